#pragma once

#include <QString>

#include <exception>

// The least crash reporting of the module: errors handed to the exception manager go to the
// host's callback, or to the Qt log. The module exports these as its crash calls; the rest of
// the code reaches them here, never through the hosts' header.
namespace crashlog {

// A host's notification callback: the error's text (UTF-8) and what it gave when registering.
using NotifyCallback = int (*)(const char *message, void *userData);

// The notifications a host may register a callback for. Only ExceptionNotify is ever called.
enum class Notification : quint8 {
    PasswordRequest,
    PasswordRequestEx,
    ExceptionNotify,
    HandledExceptionNotify,
    ExceptionActionNotify,
    ExceptionErrorNotify,
    CustomDataRequestEx,
    AttachedFilesRequest,
    CustomWebFieldsRequest,
    CustomButtonClick,
};

// Registers one callback of `kind`, replacing the previous one; null clears it. Thread-safe.
void registerNotification(Notification kind, NotifyCallback callback, void *userData);

// Reports an error: to the ExceptionNotify callback when there is one, otherwise as a critical
// Qt message. A null error reports nothing.
void handle(const std::exception_ptr &error);
// The same for an error known only by its text (UTF-8); null is an empty text.
void handle(const char *message);

// The text (UTF-8) of the exception being handled on this thread, or null outside a handler;
// valid until the next call on the same thread.
const char *currentExceptionText();

} // namespace crashlog

// The text an error is reported by: what() of a std::exception, a fixed text otherwise.
QString ExceptionText(const std::exception_ptr &error);
