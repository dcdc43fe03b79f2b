// Hooks for measuring and driving the program from outside.
#pragma once
#include <windows.h>

namespace klarex {

// With the environment variable KLAREX_EXIT_AFTER_FIRST_FILL set to 1 the
// program closes its main window as soon as the first Standard list is filled
// and shown (used to time start-up).
void AfterFirstFill(HWND mainWindow);

}  // namespace klarex
