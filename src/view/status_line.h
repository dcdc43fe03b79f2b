// The status-bar services: the message pane's text (from any thread), the
// text shown while an item is deleted, the progress bar on the second pane
// with the taskbar button's progress, and the split of the two panes.
#pragma once
#include <windows.h>
#include <shobjidl.h>

#include <atomic>
#include <string>

#include "framework/status_bar.h"
#include "sys/status_sink.h"

namespace klarex {

class CStatusLine : public IStatusSink {
 public:
  // Publishes `bar` (the frame's status bar) and `mainWindow` (for the taskbar).
  void Attach(CStatusBar* bar, HWND mainWindow);
  // Forgets the bar and releases the taskbar object (the frame is closing).
  void Detach();

  // Pane 0. On the bar's own thread the text is set at once; from any other
  // thread a message carries a copy of it.
  void SetStatusText(const std::wstring& text) override;
  void ShowDeletingStatus(const std::wstring& path) override;

  void ShowProgress(int percent);
  void HideProgress();
  // Pane 0 gets 7/10 of `width`, pane 1 the rest; the progress bar follows pane 1.
  void LayoutStatusPanes(int width);

 private:
  std::atomic<CStatusBar*> m_bar{nullptr};
  HWND m_mainWindow = nullptr;
  HWND m_progress = nullptr;  // child of the bar, destroyed with it
  ::ITaskbarList3* m_taskbar = nullptr;
};

// The program's one status line.
CStatusLine& StatusLine();

// "Deleting " and the path (translated when a language file is active).
std::wstring DeletingStatusText(const std::wstring& path);

// Windows 7 or later, from a GetVersion() value.
bool IsWindows7OrLater(DWORD version);

}  // namespace klarex
