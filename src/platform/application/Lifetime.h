#pragma once

#include <QtGlobal>

// The one owner of the objects that live as long as the module and hold Qt objects: each has a
// stage, and they are released in the order of the stages, whatever order they were made in.
// The release runs once, from the destruction of the QApplication (while Qt is still usable),
// or earlier when the module's clean-up asks for it; an object made after that is released with
// the next QApplication.
namespace lifetime {

enum class Stage : quint8 {
    Windows, // the windows a host left open and the module's references to them
    FormLoader, // the loader that built them
    PromptBox, // the message box their fields share
    Application, // the module's own application object, last
};

using Release = void (*)();

// Sets the release of `stage`, replacing an earlier one of the same stage.
void atRelease(Stage stage, Release release);

// Runs every release set, in stage order, and forgets them.
void releaseAll();

} // namespace lifetime
