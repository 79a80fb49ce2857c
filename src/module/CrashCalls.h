#pragma once

// Builds the exception manager the module exports; the module's load calls it once, early.
void InitCrashLog();
