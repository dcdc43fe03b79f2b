// Enabled and checked states of every command, from one snapshot of the
// window's state. Pure: menus (on WM_INITMENUPOPUP), the toolbar (on idle) and
// accelerators (before running a command) all ask here.
#pragma once
#include <windows.h>

#include "engine/cleaning_mode.h"
#include "framework/command.h"

namespace klarex {

struct UiSnapshot {
  int rows = 0;
  int selected = 0;
  bool busy = false;  // a deletion runs
  bool cookiesAvailable = true;
  CleaningMode mode = CleaningMode::Standard;
  bool toolBarVisible = true;
  bool statusBarVisible = true;
  bool extendedCatalogue = true;
};

// False for an id no handler claims.
bool ComputeCommandState(UINT id, const UiSnapshot& s, CommandState& out);

}  // namespace klarex
