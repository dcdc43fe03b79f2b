// A static control that works as a hyperlink: blue text (purple once
// visited), a hand cursor, and a click that opens its address in the shell.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "framework/gdi.h"
#include "framework/wnd.h"

namespace klarex {

// Hands an address to the shell ("open"); returns ShellExecuteW's instance
// value (above 32 is success).
HINSTANCE ShellOpen(const std::wstring& address);
// What opens a link: ShellOpen, or what a test records.
using ShellOpener = std::function<HINSTANCE(const std::wstring& address)>;

class CLinkTarget {
 public:
  CLinkTarget() = default;
  explicit CLinkTarget(std::wstring text) : m_text(std::move(text)) {}

  // Opens the link with `open`; 0 and nothing done when there is no text.
  HINSTANCE Open(const ShellOpener& open) const;

  std::wstring m_text;
};

inline constexpr COLORREF kLinkColor = RGB(0, 0, 255);
inline constexpr COLORREF kVisitedLinkColor = RGB(128, 0, 128);

class CLinkLabel : public CWnd {
 public:
  explicit CLinkLabel(ShellOpener open = ShellOpen) : m_open(std::move(open)) {}

  // Binds to control `id` of `dialog`.
  bool SubclassDlgItem(int id, HWND dialog);
  void SetLink(const std::wstring& address) { m_link.m_text = address; }
  const std::wstring& Link() const { return m_link.m_text; }
  COLORREF Color() const { return m_color; }
  // Takes ownership of a font for the link text.
  void SetFont(HFONT font) { m_font.reset(font); }

  // The parent's WM_CTLCOLORSTATIC for this control: the brush to return, or
  // null when the control is not a text static and paints normally.
  HBRUSH OnCtlColor(HDC dc);
  // The click: opens the link (or the string of the control's id, or its
  // text); visited links turn purple. True when the shell accepted it.
  bool OpenLink();
  // The hand cursor shown over the link; null when the system has none.
  HCURSOR Cursor();

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  ShellOpener m_open;
  CLinkTarget m_link;
  COLORREF m_color = kLinkColor;
  GdiFont m_font;
  CursorHandle m_cursor;
  bool m_cursorTried = false;
};

}  // namespace klarex
