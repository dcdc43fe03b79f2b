#include "app/link_label.h"

#include <shellapi.h>

#include "framework/resources.h"

namespace klarex {

HINSTANCE ShellOpen(const std::wstring& address) {
  return ::ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

HINSTANCE CLinkTarget::Open(const ShellOpener& open) const {
  if (m_text.empty() || !open) return nullptr;
  return open(m_text);
}

HCURSOR CLinkLabel::Cursor() {
  // A private copy, so the cursor outlives any module that shared it; tried once.
  if (!m_cursor && !m_cursorTried) {
    m_cursorTried = true;
    if (HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND))
      m_cursor.reset(reinterpret_cast<HCURSOR>(::CopyIcon(reinterpret_cast<HICON>(hand))));
  }
  return m_cursor.get();
}

bool CLinkLabel::SubclassDlgItem(int id, HWND dialog) {
  HWND control = ::GetDlgItem(dialog, id);
  return control && Subclass(control);
}

HBRUSH CLinkLabel::OnCtlColor(HDC dc) {
  LONG_PTR type = Style() & 0xFF;
  if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT) return nullptr;
  if (m_font) ::SelectObject(dc, m_font.get());
  ::SetTextColor(dc, m_color);
  ::SetBkMode(dc, TRANSPARENT);
  return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

bool CLinkLabel::OpenLink() {
  if (m_link.m_text.empty()) {
    std::wstring fromTable = LoadResString(static_cast<UINT>(Id()));
    m_link.m_text = fromTable.empty() ? Text() : fromTable;
  }
  if (m_link.m_text.empty()) return false;
  if (reinterpret_cast<INT_PTR>(m_link.Open(m_open)) <= 32) return false;
  m_color = kVisitedLinkColor;
  ::InvalidateRect(m_hwnd, nullptr, TRUE);
  return true;
}

LRESULT CLinkLabel::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_LBUTTONDOWN:
      OpenLink();
      return 0;
    case WM_SETCURSOR:
      if (HCURSOR cursor = Cursor()) {
        ::SetCursor(cursor);
        return TRUE;
      }
      return FALSE;
    default:
      return CWnd::WindowProc(msg, wp, lp);
  }
}

}  // namespace klarex
