// The progress display of the deletion and the Advance dialog: a bar kept on
// pane 1 of the main window's status bar and the progress on the program's
// taskbar button (Windows 7 and later). User-interface thread only. (Texts of
// pane 0 go through the status line, view/status_line.h.)
#pragma once
#include <windows.h>
// needs windows.h first
#include <shobjidl.h>

#include "sys/com_ptr.h"

namespace klarex {

// How a run shows how far it has got.
class IProgressDisplay {
 public:
  virtual ~IProgressDisplay() = default;
  // Shows and moves the bar.
  virtual void ShowProgress(int percent) = 0;
  // Hides the bar and clears the taskbar progress.
  virtual void HideProgress() = 0;
};

// One is made at start-up; the frame attaches its status bar.
class CStatusProgress final : public IProgressDisplay {
 public:
  CStatusProgress() = default;
  CStatusProgress(const CStatusProgress&) = delete;
  CStatusProgress& operator=(const CStatusProgress&) = delete;

  // The status bar to use; Detach forgets it and releases the taskbar object.
  void Attach(HWND statusBar) { m_statusBar = statusBar; }
  void Detach();

  // Creates the bar on first use.
  void ShowProgress(int percent) override;
  void HideProgress() override;
  // Pane 0 gets 7/10 of `width`, pane 1 the rest; the bar stays on pane 1.
  void LayoutPanes(int width);
  // The progress control, if created (for tests).
  HWND Window() const;

 private:
  HWND StatusBar() const;
  void CreateBar(HWND bar);

  HWND m_statusBar = nullptr;
  HWND m_progress = nullptr;
  ComPtr<ITaskbarList3> m_taskbar;
};

}  // namespace klarex
