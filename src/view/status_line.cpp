#include "view/status_line.h"

#include <commctrl.h>
#include <shobjidl.h>

#include "framework/language.h"
#include "framework/resources.h"
#include "../res/ids_main.h"

namespace klarex {

CStatusLine& StatusLine() {
  static CStatusLine line;
  return line;
}

bool IsWindows7OrLater(DWORD version) {
  DWORD major = LOBYTE(LOWORD(version)), minor = HIBYTE(LOWORD(version));
  return major > 6 || (major == 6 && minor != 0);
}

std::wstring DeletingStatusText(const std::wstring& path) {
  if (IsLanguageActive())
    return GetLangString(L"Status", L"11", LoadResString(IDS_DELETING)) + L" " + path;
  return LoadResString(IDS_DELETING) + path;
}

void CStatusLine::Attach(CStatusBar* bar, HWND mainWindow) {
  m_bar = bar;
  m_mainWindow = mainWindow;
  SetStatusSink(this);
}

void CStatusLine::Detach() {
  SetStatusSink(nullptr);
  if (m_taskbar) {
    m_taskbar->Release();
    m_taskbar = nullptr;
  }
  m_bar = nullptr;
  m_progress = nullptr;
}

void CStatusLine::SetStatusText(const std::wstring& text) {
  if (CStatusBar* bar = m_bar.load()) bar->PostOrSetPaneText(0, text);
}

void CStatusLine::ShowDeletingStatus(const std::wstring& path) {
  SetStatusText(DeletingStatusText(path));
}

void CStatusLine::ShowProgress(int percent) {
  CStatusBar* bar = m_bar.load();
  if (!bar) return;
  if (!m_progress) {
    m_progress = ::CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | WS_VISIBLE | PBS_SMOOTH,
                                   0, 0, 0, 0, bar->Handle(), reinterpret_cast<HMENU>(1),
                                   ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(m_progress, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    RECT r = bar->WindowRect();
    LayoutStatusPanes(r.right - r.left);
    if (IsWindows7OrLater(::GetVersion())) {
      if (m_taskbar) m_taskbar->Release();
      m_taskbar = nullptr;
      if (FAILED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_ALL, IID_ITaskbarList3,
                                    reinterpret_cast<void**>(&m_taskbar))))
        m_taskbar = nullptr;
    }
  }
  ::SendMessageW(m_progress, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
  ::ShowWindow(m_progress, SW_SHOW);
  if (m_taskbar && IsWindows7OrLater(::GetVersion()))
    m_taskbar->SetProgressValue(m_mainWindow, static_cast<ULONGLONG>(percent), 100);
}

void CStatusLine::HideProgress() {
  if (m_progress) ::ShowWindow(m_progress, SW_HIDE);
  if (m_taskbar && IsWindows7OrLater(::GetVersion()))
    m_taskbar->SetProgressState(m_mainWindow, TBPF_NOPROGRESS);
}

void CStatusLine::LayoutStatusPanes(int width) {
  CStatusBar* bar = m_bar.load();
  if (!bar || !bar->IsWindow()) return;
  bar->SetPaneWidth(0, width * 7 / 10);
  bar->SetPaneWidth(1, width * 3 / 10);
  if (m_progress) {
    RECT r = bar->PaneRect(1);
    ::SetWindowPos(m_progress, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, 0);
  }
}

}  // namespace klarex
