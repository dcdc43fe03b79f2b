// Owner-drawn push buttons. COwnerDrawButton turns a button owner-drawn while
// keeping the dialog behaviour of the type it was created as; CThemedButton
// draws it with the visual styles when they are on (classic 3-D otherwise),
// with an optional icon, toggle mode and flat toolbar look. Both attach to an
// existing button and catch its WM_DRAWITEM by subclassing the parent.
#pragma once
// uxtheme.h needs windows.h first.
// clang-format off
#include <windows.h>
#include <uxtheme.h>
// clang-format on

#include <string>

#include "controls/colors.h"
#include "controls/theme_api.h"
#include "framework/gdi.h"

namespace klarex {

class COwnerDrawButton {
 public:
  COwnerDrawButton() = default;
  virtual ~COwnerDrawButton();
  COwnerDrawButton(const COwnerDrawButton&) = delete;
  COwnerDrawButton& operator=(const COwnerDrawButton&) = delete;

  // Subclasses `button` (and its parent, for WM_DRAWITEM) and makes it owner-drawn.
  bool Attach(HWND button);
  void Detach();
  HWND Handle() const { return m_hwnd; }
  bool IsDefault() const { return m_isDefault; }

  virtual void DrawItem(const DRAWITEMSTRUCT* dis);

 protected:
  virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);

  HWND m_hwnd = nullptr;
  bool m_canBeDefault = false;
  bool m_isDefault = false;
  UINT m_type = 0;  // BS_ type the button was created with

 private:
  static LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                     DWORD_PTR data);
  static LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                     DWORD_PTR data);
  HWND m_parent = nullptr;
};

class CThemedButton : public COwnerDrawButton {
 public:
  enum IconPosition { kIconLeft = 1, kIconRight = 2 };

  CThemedButton() = default;
  ~CThemedButton() override;

  // Takes ownership of `icon` (destroyed with the button or the next icon).
  void SetIcon(HICON icon, IconPosition position = kIconLeft);
  void SetToggleMode(bool on) { m_toggleMode = on; }
  void SetToggleState(bool on);
  bool ToggleState() const { return m_toggleState; }
  // Flat look of a toolbar button ("Toolbar" theme class, no raised edge).
  void SetToolbarLook(bool on);
  // kNoColor: COLOR_BTNFACE / COLOR_BTNTEXT.
  void SetColors(COLORREF background, COLORREF text);
  bool IsHot() const { return m_hot; }
  HICON DisabledIcon() const { return m_disabledIcon.get(); }

  void DrawItem(const DRAWITEMSTRUCT* dis) override;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  // How one DrawItem call draws the button.
  struct Look {
    bool disabled = false;
    bool focused = false;
    bool focusRect = false;
    bool pressed = false;
    bool themed = false;  // through the visual styles, else classic 3-D
  };

  void CloseTheme();
  bool PointerInside() const;
  void SimulateButton(UINT msg);
  LRESULT OnGetDlgCode(WPARAM wp, LPARAM lp);
  // True when the release ended a double-click, which it then reports itself.
  bool OnLeftButtonUp(LPARAM lp);
  void OnMouseMove();
  void OnMouseLeave();
  Look LookOf(const DRAWITEMSTRUCT* dis);
  void DrawBackground(HDC dc, const RECT& rc, const Look& look);
  // Draws the icon; the rectangle left to the text.
  RECT DrawIcon(HDC dc, const RECT& rc, bool withText, const Look& look);
  void DrawLabel(HDC dc, const RECT& area, const std::wstring& text, const Look& look);

  CThemeApi m_api;
  bool m_redrawTheme = true;
  bool m_hot = false;
  bool m_toggleMode = false;
  bool m_toggleState = false;
  bool m_leftDown = false;
  bool m_doubleClickPending = false;
  bool m_toolbarLook = false;
  HTHEME m_theme = nullptr;
  IconHandle m_icon;
  IconHandle m_disabledIcon;
  SIZE m_iconSize{};
  IconPosition m_iconPosition = kIconLeft;
  COLORREF m_background = kNoColor;
  COLORREF m_textColor = kNoColor;
};

// A grey copy of `icon` made through a 256-entry inverted grey colour table.
HICON MakeDisabledIcon(HICON icon);

}  // namespace klarex
