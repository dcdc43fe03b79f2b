// A static control that works as a hyperlink: blue text (purple once
// visited), a hand cursor, and a click that opens its address in the shell.
#pragma once
#include <windows.h>

#include <string>

#include "framework/gdi.h"
#include "framework/wnd.h"

namespace klarex {

// Hands an address to the shell ("open"); returns ShellExecuteW's instance
// value (above 32 is success). Tests replace the shell with a hook.
using ShellOpenHook = HINSTANCE (*)(const std::wstring& address);
HINSTANCE ShellOpen(const std::wstring& address);
// Null restores the real shell. Returns the previous hook.
ShellOpenHook SetShellOpenHook(ShellOpenHook hook);

class CLinkTarget {
 public:
  CLinkTarget() = default;
  explicit CLinkTarget(std::wstring text) : m_text(std::move(text)) {}
  virtual ~CLinkTarget() = default;

  // Opens the link; 0 and nothing done when there is no text.
  virtual HINSTANCE Open() const;

  std::wstring m_text;
};

inline constexpr COLORREF kLinkColor = RGB(0, 0, 255);
inline constexpr COLORREF kVisitedLinkColor = RGB(128, 0, 128);

class CLinkLabel : public CWnd {
 public:
  CLinkLabel() = default;

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

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  CLinkTarget m_link;
  COLORREF m_color = kLinkColor;
  GdiFont m_font;
};

// The hand cursor, loaded once per process; null when the system has none.
HCURSOR LinkCursor();

}  // namespace klarex
