// The skin of themed pop-up menu windows: a WH_CALLWNDPROC hook, installed
// while menu windows exist, spots each pop-up menu window of a themed menu as
// it is created and subclasses it for as long as it is shown. The skin trades the 3-D border for a
// flat frame, draws a soft shadow over a copy of the screen behind (where the system draws none),
// joins a pop-up to the menu-bar item it drops from and shows fading pop-ups at once.
#pragma once
#include <windows.h>

namespace klarex {

// Process-wide start and stop of the skin; stopped at the latest when the
// process ends.
class CThemedMenuLibrary {
 public:
  // Throws std::runtime_error when the hook cannot be installed.
  static void Start();
  static void Stop();
  static bool Started();
  // Whether sent messages are being watched: only while a menu window exists.
  static bool WatchingMessages();
  // Whether Escape was pressed in the themed pop-up menu window `popup`.
  static bool EscapePressed(HWND popup);
  // A pop-up about to open whose window should be themed (set from WM_INITMENUPOPUP).
  static void SetPendingMenu(HMENU menu, HWND owner);
};

}  // namespace klarex
