#include "view/status_progress.h"

#include <commctrl.h>

#include "framework/status_bar.h"

namespace klarex {

namespace {

bool IsWindows7OrLater() {
  const DWORD version = ::GetVersion();
  const DWORD major = LOBYTE(LOWORD(version)), minor = HIBYTE(LOWORD(version));
  return major > 6 || (major == 6 && minor != 0);
}

}  // namespace

void CStatusProgress::Detach() {
  m_statusBar = nullptr;
  m_progress = nullptr;
  m_taskbar.reset();
}

HWND CStatusProgress::StatusBar() const {
  return m_statusBar && ::IsWindow(m_statusBar) ? m_statusBar : nullptr;
}

// The bar lives on the status bar it was made for; a new status bar gets a new one.
HWND CStatusProgress::Window() const {
  if (m_progress && ::IsWindow(m_progress) && ::GetParent(m_progress) == StatusBar())
    return m_progress;
  return nullptr;
}

void CStatusProgress::CreateBar(HWND bar) {
  m_progress =
      ::CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | WS_VISIBLE | PBS_SMOOTH, 0, 0, 0, 0,
                        bar, reinterpret_cast<HMENU>(1), ::GetModuleHandleW(nullptr), nullptr);
  if (!m_progress) return;
  ::SendMessageW(m_progress, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  RECT r{};
  ::GetWindowRect(bar, &r);
  LayoutPanes(r.right - r.left);
  if (IsWindows7OrLater()) {
    m_taskbar.reset();
    if (SUCCEEDED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_ALL, IID_ITaskbarList3,
                                     m_taskbar.put_void())) &&
        FAILED(m_taskbar->HrInit()))
      m_taskbar.reset();
  }
}

void CStatusProgress::ShowProgress(int percent) {
  HWND bar = StatusBar();
  if (!bar) return;
  if (!Window()) CreateBar(bar);
  HWND progress = Window();
  if (!progress) return;
  // The bar paints itself at once on every new position (about 2 ms under
  // Wine with a visual style, once per percent of a deletion); it is painted
  // with the next paint of the window instead.
  ::DefWindowProcW(progress, WM_SETREDRAW, FALSE, 0);
  ::SendMessageW(progress, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
  ::DefWindowProcW(progress, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(progress, nullptr, FALSE);
  ::ShowWindow(progress, SW_SHOW);
  if (m_taskbar && IsWindows7OrLater())
    m_taskbar->SetProgressValue(::GetAncestor(bar, GA_ROOT), static_cast<ULONGLONG>(percent), 100);
}

void CStatusProgress::HideProgress() {
  if (HWND progress = Window()) ::ShowWindow(progress, SW_HIDE);
  if (m_taskbar && IsWindows7OrLater()) {
    if (HWND bar = StatusBar())
      m_taskbar->SetProgressState(::GetAncestor(bar, GA_ROOT), TBPF_NOPROGRESS);
  }
}

void CStatusProgress::LayoutPanes(int width) {
  HWND bar = StatusBar();
  if (!bar) return;
  // The frame's status bar keeps its own pane widths.
  if (auto* frameBar = dynamic_cast<CStatusBar*>(CWnd::FromHandle(bar))) {
    frameBar->SetPaneWidth(0, width * 7 / 10);
    frameBar->SetPaneWidth(1, width * 3 / 10);
  } else {
    const int edges[2] = {width * 7 / 10, width * 7 / 10 + width * 3 / 10};
    ::SendMessageW(bar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
  }
  if (HWND progress = Window()) {
    RECT r{};
    ::SendMessageW(bar, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&r));
    ::SetWindowPos(progress, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, 0);
  }
}

}  // namespace klarex
