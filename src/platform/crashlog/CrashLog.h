#pragma once

#include "jointrix/jointrix.h"

#include <QString>

#include <exception>

// The least crash reporting of the module: errors handed to the exception manager go to the
// host's callback, or to the Qt log.

// The text an error is reported by: what() of a std::exception, a fixed text otherwise.
QString ExceptionText(const std::exception_ptr &error);

// Sets up the crash reporting; the module's load calls it once, early.
void InitCrashLog();
