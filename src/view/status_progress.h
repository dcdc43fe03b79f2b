// The main window's status bar as the deletion and the Advance dialog use it:
// the status line in pane 0, a progress bar kept on pane 1, and the progress on
// the program's taskbar button (Windows 7 and later). User-interface thread only.
#pragma once
#include <windows.h>

#include <string>

namespace klarex {

// The status bar to use (the main frame's); nullptr forgets it and releases the
// taskbar object. Without one the main window's status bar child is looked up.
void SetStatusBarWindow(HWND statusBar);

// Puts `text` into pane 0 (no tab parsing).
void SetStatusBarText(const std::wstring& text);

// "Deleting " and the path, translated when a language is active.
std::wstring DeletingStatusText(const std::wstring& path);

// Shows and moves the bar (created on first use) and the taskbar progress.
void ShowProgress(int percent);
// Hides the bar and clears the taskbar progress.
void HideProgress();
// Pane 0 gets 7/10 of `width`, pane 1 the rest; the bar stays on pane 1.
void LayoutStatusPanes(int width);

// The progress control, if created (for tests).
HWND StatusProgressWindow();

}  // namespace klarex
