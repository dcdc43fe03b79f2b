#include "view/status_progress.h"

#include <commctrl.h>
#include <shobjidl.h>

#include "framework/app.h"
#include "framework/frame_wnd.h"

namespace klarex {

namespace {

struct StatusProgressState {
  HWND statusBar = nullptr;
  HWND progress = nullptr;
  ITaskbarList3* taskbar = nullptr;

  void ReleaseTaskbar() {
    if (taskbar) taskbar->Release();
    taskbar = nullptr;
  }
};

StatusProgressState& State() {
  static StatusProgressState state;
  return state;
}

bool IsWindows7OrLater() {
  const DWORD version = ::GetVersion();
  const DWORD major = LOBYTE(LOWORD(version)), minor = HIBYTE(LOWORD(version));
  return major > 6 || (major == 6 && minor != 0);
}

// The main frame's status bar, which keeps its own pane widths.
CStatusBar* FrameStatusBar() {
  CWinApp* app = AfxGetApp();
  CFrameWnd* frame = app ? app->MainFrame() : nullptr;
  CStatusBar* bar = frame ? frame->StatusBar() : nullptr;
  return bar && bar->IsWindow() ? bar : nullptr;
}

HWND StatusBar() {
  StatusProgressState& s = State();
  if (s.statusBar && ::IsWindow(s.statusBar)) return s.statusBar;
  CStatusBar* bar = FrameStatusBar();
  return bar ? bar->Handle() : nullptr;
}

// The bar lives on the status bar it was made for; a new status bar gets a new one.
HWND Progress() {
  StatusProgressState& s = State();
  if (s.progress && (!::IsWindow(s.progress) || ::GetParent(s.progress) != StatusBar())) {
    s.progress = nullptr;
  }
  return s.progress;
}

}  // namespace

void SetStatusBarWindow(HWND statusBar) {
  StatusProgressState& s = State();
  s.statusBar = statusBar;
  if (!statusBar) {
    s.progress = nullptr;
    s.ReleaseTaskbar();
  }
}

void ShowProgress(int percent) {
  HWND bar = StatusBar();
  if (!bar) return;
  StatusProgressState& s = State();
  HWND progress = Progress();
  if (!progress) {
    progress =
        ::CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | WS_VISIBLE | PBS_SMOOTH, 0, 0, 0,
                          0, bar, reinterpret_cast<HMENU>(1), ::GetModuleHandleW(nullptr), nullptr);
    if (!progress) return;
    s.progress = progress;
    ::SendMessageW(progress, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    RECT r{};
    ::GetWindowRect(bar, &r);
    LayoutStatusPanes(r.right - r.left);
    if (IsWindows7OrLater()) {
      s.ReleaseTaskbar();
      void* taskbar = nullptr;
      if (SUCCEEDED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_ALL, IID_ITaskbarList3,
                                       &taskbar))) {
        s.taskbar = static_cast<ITaskbarList3*>(taskbar);
        if (FAILED(s.taskbar->HrInit())) s.ReleaseTaskbar();
      }
    }
  }
  ::SendMessageW(progress, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
  ::ShowWindow(progress, SW_SHOW);
  if (s.taskbar && IsWindows7OrLater()) {
    s.taskbar->SetProgressValue(::GetAncestor(bar, GA_ROOT), static_cast<ULONGLONG>(percent), 100);
  }
}

void HideProgress() {
  StatusProgressState& s = State();
  if (HWND progress = Progress()) ::ShowWindow(progress, SW_HIDE);
  if (s.taskbar && IsWindows7OrLater()) {
    if (HWND bar = StatusBar())
      s.taskbar->SetProgressState(::GetAncestor(bar, GA_ROOT), TBPF_NOPROGRESS);
  }
}

void LayoutStatusPanes(int width) {
  HWND bar = StatusBar();
  if (!bar) return;
  CStatusBar* frameBar = FrameStatusBar();
  if (frameBar && frameBar->Handle() == bar) {
    frameBar->SetPaneWidth(0, width * 7 / 10);
    frameBar->SetPaneWidth(1, width * 3 / 10);
  } else {
    const int edges[2] = {width * 7 / 10, width * 7 / 10 + width * 3 / 10};
    ::SendMessageW(bar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
  }
  if (HWND progress = Progress()) {
    RECT r{};
    ::SendMessageW(bar, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&r));
    ::SetWindowPos(progress, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, 0);
  }
}

HWND StatusProgressWindow() { return Progress(); }

}  // namespace klarex
