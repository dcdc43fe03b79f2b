// The progress display of the deletion and the Advance dialog: a bar kept on
// pane 1 of the main window's status bar and the progress on the program's
// taskbar button (Windows 7 and later). User-interface thread only. (Texts of
// pane 0 go through the status line, view/status_line.h.)
#pragma once
#include <windows.h>

namespace klarex {

// The status bar to use (the main frame's); nullptr forgets it and releases the
// taskbar object. Without one the main window's status bar child is looked up.
void SetStatusBarWindow(HWND statusBar);

// Shows and moves the bar (created on first use) and the taskbar progress.
void ShowProgress(int percent);
// Hides the bar and clears the taskbar progress.
void HideProgress();
// Pane 0 gets 7/10 of `width`, pane 1 the rest; the bar stays on pane 1.
void LayoutStatusPanes(int width);

// The progress control, if created (for tests).
HWND StatusProgressWindow();

}  // namespace klarex
