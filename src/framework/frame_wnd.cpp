#include "framework/frame_wnd.h"

#include <commctrl.h>

#include "framework/app.h"
#include "framework/app_messages.h"
#include "framework/resources.h"
#include "framework/unexpected_error.h"

namespace klarex {

bool CFrameWnd::LoadFrame(UINT resourceId) {
  HINSTANCE instance = ModuleInstance();
  m_menu.reset(::LoadMenuW(instance, MAKEINTRESOURCEW(resourceId)));
  m_accel = ::LoadAcceleratorsW(instance, MAKEINTRESOURCEW(resourceId));
  HICON icon = ::LoadIconW(instance, MAKEINTRESOURCEW(resourceId));
  const wchar_t* className = FrameClassName();
  PreCreateWindow(className);
  if (!CreateEx(0, className, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, icon))
    return false;
  return IsWindow();
}

void CFrameWnd::SetView(CView* view) {
  m_view = view;
  RecalcLayout();
}

void CFrameWnd::InitialUpdateFrame() {
  if (m_view) m_view->OnInitialUpdate();
}

void CFrameWnd::RecalcLayout() {
  if (!m_hwnd) return;
  RECT client = ClientRect();
  int top = 0, bottom = client.bottom;
  if (m_toolBar && m_toolBar->HasVisibleStyle()) {
    m_toolBar->Send(TB_AUTOSIZE);
    top = m_toolBar->Height();
  }
  if (m_statusBar && m_statusBar->HasVisibleStyle()) {
    m_statusBar->Send(WM_SIZE);
    m_statusBar->Relayout();
    bottom -= m_statusBar->Height();
  }
  if (m_view && m_view->IsWindow())
    m_view->Move(0, top, client.right, std::max(0, bottom - top), true);
}

void CFrameWnd::SetMessageText(const std::wstring& text) {
  if (m_statusBar && m_statusBar->IsWindow()) m_statusBar->SetPaneText(0, text);
}

void CFrameWnd::SaveMessageText() {
  if (m_savedText || !m_statusBar) return;
  m_textBeforePrompt = m_statusBar->PaneText(0);
  m_savedText = true;
}

void CFrameWnd::RestoreMessageText() {
  if (!m_savedText) return;
  m_savedText = false;
  SetMessageText(m_textBeforePrompt);
}

bool CFrameWnd::QueryCommandState(UINT id, CommandState& state) {
  switch (id) {
    case kIdToolBar:
      state = {true, m_toolBar && m_toolBar->HasVisibleStyle()};
      return true;
    case kIdStatusBar:
      state = {true, m_statusBar && m_statusBar->HasVisibleStyle()};
      return true;
    case kIdAppExit:
      state = {};
      return true;
  }
  return false;
}

void CFrameWnd::UpdateToolbarStates() {
  if (!m_toolBar || !m_toolBar->HasVisibleStyle()) return;
  for (UINT id : m_toolBar->ButtonIds()) {
    if (id == 0) continue;
    CommandState state;
    bool claimed = QueryCommandState(id, state);
    m_toolBar->SetButtonState(id, claimed && state.enabled, state.checked);
  }
}

void CFrameWnd::ExecuteCommand(UINT id) {
  CommandState state;
  if (QueryCommandState(id, state) && !state.enabled) return;
  if (m_view && m_view->OnCommand(id)) return;
  if (OnCommand(id)) return;
  if (CWinApp* app = AfxGetApp()) app->OnCommand(id);
}

bool CFrameWnd::OnCommand(UINT id) {
  switch (id) {
    case kIdToolBar:
      ShowToolBar(!(m_toolBar && m_toolBar->HasVisibleStyle()));
      return true;
    case kIdStatusBar:
      ShowStatusBar(!(m_statusBar && m_statusBar->HasVisibleStyle()));
      return true;
    case kIdAppExit:
      Post(WM_CLOSE);
      return true;
  }
  return false;
}

void CFrameWnd::ShowToolBar(bool show) {
  if (!m_toolBar) return;
  m_toolBar->Show(show ? SW_SHOW : SW_HIDE);
  RecalcLayout();
}

void CFrameWnd::ShowStatusBar(bool show) {
  if (!m_statusBar) return;
  m_statusBar->Show(show ? SW_SHOW : SW_HIDE);
  RecalcLayout();
}

void CFrameWnd::SetMenuBarDisplayOnFocus() {
  m_menuOnFocus = true;
  ShowMenuBar(false);
}

void CFrameWnd::ShowMenuBar(bool show) {
  if (show == IsMenuBarShown()) return;
  ::SetMenu(m_hwnd, show ? m_menu.get() : nullptr);
  RecalcLayout();
}

bool CFrameWnd::PreTranslateMessage(MSG* msg) {
  if (msg->hwnd != m_hwnd && !::IsChild(m_hwnd, msg->hwnd)) return false;
  bool altDown = msg->message == WM_SYSKEYDOWN && (msg->wParam == VK_MENU || msg->wParam == VK_F10);
  if (m_menuOnFocus && altDown && !(msg->lParam & (1 << 30))) ShowMenuBar(true);
  if (m_accel && ::TranslateAcceleratorW(m_hwnd, m_accel, msg)) {
    // An Alt+key accelerator (Alt+Enter) does not open the menu: hide it again.
    if (m_menuOnFocus && msg->message == WM_SYSKEYDOWN) ShowMenuBar(false);
    return true;
  }
  return false;
}

void CFrameWnd::OnClose() { Destroy(); }

bool CFrameWnd::OnNcActivate(bool active) { return DefaultProc(WM_NCACTIVATE, active, 0) != 0; }

std::wstring CFrameWnd::GetMessageString(UINT id) { return CommandPrompt(id); }

void CFrameWnd::OnMenuSelect(UINT id, UINT flags, HMENU menu) {
  if (flags == 0xFFFF && !menu) return;  // menu closed: WM_EXITMENULOOP restores
  if (flags & (MF_POPUP | MF_SEPARATOR))
    SetMessageText(L"");
  else
    SetMessageText(GetMessageString(id));
}

void SetToolTipText(NMHDR* header, const std::wstring& text) {
  if (header->code == TTN_GETDISPINFOW) {
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    size_t n = std::min(text.size(), std::size(info->szText) - 1);
    text.copy(info->szText, n);
    info->szText[n] = L'\0';
    info->lpszText = info->szText;
  } else {
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
    int n = ::WideCharToMultiByte(CP_THREAD_ACP, 0, text.c_str(), static_cast<int>(text.size()),
                                  info->szText, static_cast<int>(std::size(info->szText)) - 1,
                                  nullptr, nullptr);
    info->szText[std::max(0, n)] = '\0';
    info->lpszText = info->szText;
  }
}

void CFrameWnd::OnToolTipText(NMHDR* header) {
  SetToolTipText(header, CommandShortName(static_cast<UINT>(header->idFrom)));
}

void CFrameWnd::OnHotItemChange(const NMTBHOTITEM* hot) {
  if (!(hot->dwFlags & HICF_LEAVING) && hot->idNew > 0) {
    SaveMessageText();
    SetMessageText(GetMessageString(static_cast<UINT>(hot->idNew)));
  } else {
    RestoreMessageText();
  }
}

LRESULT CFrameWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      return OnCreate();
    case WM_SIZE:
      RecalcLayout();
      return 0;
    case WM_SETFOCUS:
      if (m_view && m_view->IsWindow()) ::SetFocus(m_view->Handle());
      return 0;
    case WM_COMMAND:
      // Menus (0), accelerators (1) and toolbar buttons (BN_CLICKED = 0).
      if (HIWORD(wp) <= 1) {
        ExecuteCommand(LOWORD(wp));
        return 0;
      }
      break;
    case WM_INITMENUPOPUP:
      if (HIWORD(lp)) break;  // the system menu keeps its own states
      UpdateMenuItems(reinterpret_cast<HMENU>(wp),
                      [this](UINT id, CommandState& s) { return QueryCommandState(id, s); });
      return 0;
    case WM_MENUSELECT:
      OnMenuSelect(LOWORD(wp), HIWORD(wp), reinterpret_cast<HMENU>(lp));
      return 0;
    case WM_ENTERMENULOOP:
      SaveMessageText();
      break;
    case WM_EXITMENULOOP:
      RestoreMessageText();
      if (m_menuOnFocus) ShowMenuBar(false);
      break;
    case WM_ACTIVATE:
      if (LOWORD(wp) == WA_INACTIVE && m_menuOnFocus) ShowMenuBar(false);
      break;
    case WM_NCACTIVATE:
      return OnNcActivate(wp != FALSE);
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lp);
      if (header->code == TTN_GETDISPINFOW || header->code == TTN_GETDISPINFOA) {
        OnToolTipText(header);
        return TRUE;
      }
      if (m_toolBar && header->hwndFrom == m_toolBar->Handle() &&
          header->code == TBN_HOTITEMCHANGE) {
        OnHotItemChange(reinterpret_cast<NMTBHOTITEM*>(lp));
        return 0;
      }
      LRESULT result = 0;
      if (ReflectNotify(lp, result)) return result;
      break;
    }
    case WM_CLOSE:
      OnClose();
      return 0;
    case kMsgUnexpectedError:
      ShowPostedUnexpectedError(lp);
      return 0;
    case WM_DESTROY:
      DiscardPostedUnexpectedErrors(m_hwnd);
      // The menu belongs to m_menu, not to the window.
      ::SetMenu(m_hwnd, nullptr);
      ::PostQuitMessage(0);
      break;
  }
  return DefaultProc(msg, wp, lp);
}

}  // namespace klarex
