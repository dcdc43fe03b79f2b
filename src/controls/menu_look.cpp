#include "controls/menu_look.h"

#include <algorithm>
#include <cwchar>

#include "controls/menu_icons.h"
#include "framework/gdi.h"

namespace klarex {
namespace {

GdiFont MenuFont(bool bold) {
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof(ncm);
  ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
  LOGFONTW lf = ncm.lfMenuFont;
  if (bold) lf.lfWeight = FW_BOLD;
  return GdiFont(::CreateFontIndirectW(&lf));
}

bool IsSeparator(const CMenuItemRecord& item) {
  return (item.m_flags & MF_SEPARATOR) && item.m_text.empty();
}

// A Marlett glyph centred in rc; raised over a bluish shadow when selected.
void DrawGlyph(HDC dc, const RECT& rc, wchar_t glyph, bool bold, bool grayed, bool selected,
               const ColorEnv& env) {
  RECT g = rc;
  ::InflateRect(&g, -2, -2);
  LOGFONTW lf{};
  lf.lfHeight = g.bottom - g.top;
  lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  lf.lfCharSet = SYMBOL_CHARSET;
  wcscpy(lf.lfFaceName, L"Marlett");
  GdiFont font(::CreateFontIndirectW(&lf));
  SelectGuard sel(dc, font.get());
  ::SetBkMode(dc, TRANSPARENT);
  const UINT fmt = DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX;
  if (grayed) {
    ::SetTextColor(dc, env.Sys(COLOR_GRAYTEXT));
    ::DrawTextW(dc, &glyph, 1, &g, fmt);
  } else if (selected) {
    RECT s = g;
    ::OffsetRect(&s, 1, 1);
    ::SetTextColor(dc, BluishDark(SelectionColor(env)));
    ::DrawTextW(dc, &glyph, 1, &s, fmt);
    ::OffsetRect(&s, -2, -2);
    ::SetTextColor(dc, env.Sys(COLOR_MENUTEXT));
    ::DrawTextW(dc, &glyph, 1, &s, fmt);
  } else {
    ::SetTextColor(dc, env.Sys(COLOR_MENUTEXT));
    ::DrawTextW(dc, &glyph, 1, &g, fmt);
  }
}

wchar_t SystemGlyph(WORD id) {
  switch (id & 0xFFF0) {
    case SC_MINIMIZE:
      return L'0';
    case SC_MAXIMIZE:
      return L'1';
    case SC_RESTORE:
      return L'2';
    case SC_CLOSE:
      return L'r';
    default:
      return 0;
  }
}

void DrawBarItem(HDC dc, const RECT& rc, const std::wstring& text, const MenuItemDrawState& state,
                 const ColorEnv& env, COLORREF menuBrush) {
  const COLORREF barColor = MenuBarColor(env, menuBrush);
  FillSolid(dc, rc, barColor);
  if (state.selected && !state.grayed) {
    // Open: tinted like the pop-up's edge and framed on three sides, so the
    // item and its pop-up below look like one piece.
    FillSolid(dc, rc, Mix86_14(barColor, env.Sys(COLOR_WINDOW)));
    RECT open = rc;
    open.bottom += 1;
    FrameSolid(dc, open,
               env.highContrast ? env.Sys(COLOR_BTNTEXT) : Darken(128, MenuColor(env, menuBrush)));
  } else if (state.hot && !state.grayed) {
    FillSolid(dc, rc, SelectionColor(env));
    FrameSolid(dc, rc, env.Sys(COLOR_HIGHLIGHT));
  }
  GdiFont font = MenuFont(state.isDefault);
  SelectGuard sel(dc, font.get());
  ::SetTextColor(dc, MenuTextColor(env, state.grayed || state.inactive));
  RECT t = rc;
  std::wstring label = text.substr(0, text.find(L'\t'));
  ::DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &t,
              DT_SINGLELINE | DT_VCENTER | DT_CENTER | (state.hidePrefix ? DT_HIDEPREFIX : 0));
}

// The icon column of a pop-up item: the toolbar image, a check box around it,
// a system-menu glyph or a check mark.
void DrawItemImage(HDC dc, const RECT& rc, const RECT& column, const CMenuItemRecord& item,
                   const MenuItemDrawState& state, SIZE iconSize, const ColorEnv& env,
                   COLORREF columnColor) {
  const COLORREF selection = SelectionColor(env);
  const COLORREF highlight = env.Sys(COLOR_HIGHLIGHT);
  const bool selectedEnabled = state.selected && !state.grayed;
  const bool hasIcon = item.m_iconSet && item.m_iconIndex >= 0 && item.m_iconSet->Images();
  if (state.checked && hasIcon) {
    RECT box = column;
    ::InflateRect(&box, -1, -1);
    FillSolid(dc, box, Mix86_14(selectedEnabled ? selection : columnColor, highlight));
    FrameSolid(dc, box, highlight);
  }
  if (hasIcon) {
    const int columnWidth = CMenuLookXP::IconColumnWidth(iconSize);
    SIZE is = item.m_iconSet->ImageSize();
    int x = is.cx < iconSize.cx ? column.left + (columnWidth - is.cx) / 2 : column.left + 3;
    int y = rc.top + (rc.bottom - rc.top - is.cy) / 2;
    HIMAGELIST images = item.m_iconSet->Images();
    if (state.grayed) {
      ::ImageList_Draw(images, item.m_iconIndex + 2, dc, x, y, ILD_TRANSPARENT);
    } else if (!state.selected) {
      ::ImageList_Draw(images, item.m_iconIndex + 1, dc, x, y, ILD_TRANSPARENT);
    } else {
      DrawRaisedImage(dc, images, item.m_iconIndex, x, y, BluishDark(selection), !state.checked);
    }
  } else if (wchar_t glyph = SystemGlyph(item.m_id); glyph && !state.checked) {
    DrawGlyph(dc, column, glyph, state.isDefault, state.grayed, selectedEnabled, env);
  } else if (state.checked) {
    wchar_t mark = (item.m_flags & MFT_RADIOCHECK) ? L'h' : L'a';
    DrawGlyph(dc, column, mark, state.isDefault, state.grayed, selectedEnabled, env);
  }
}

// The label on the left of the item area, the accelerator names on the right.
void DrawItemText(HDC dc, const RECT& area, const std::wstring& text,
                  const MenuItemDrawState& state, bool rtl, const ColorEnv& env) {
  GdiFont font = MenuFont(state.isDefault);
  SelectGuard sel(dc, font.get());
  ::SetTextColor(dc, MenuTextColor(env, state.grayed));
  RECT t = area;
  t.left += rtl ? 8 : 6;
  t.right -= rtl ? 6 : 8;
  size_t firstTab = text.find(L'\t');
  size_t lastTab = text.rfind(L'\t');
  std::wstring label = text.substr(0, firstTab);
  UINT prefix = state.hidePrefix ? DT_HIDEPREFIX : 0;
  ::DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &t,
              DT_SINGLELINE | DT_VCENTER | prefix | (rtl ? DT_RIGHT | DT_RTLREADING : 0));
  if (lastTab != std::wstring::npos) {
    std::wstring keys = text.substr(lastTab + 1);
    ::DrawTextW(dc, keys.c_str(), static_cast<int>(keys.size()), &t,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (rtl ? DT_LEFT : DT_RIGHT));
  }
}

}  // namespace

SIZE CMenuLookXP::MeasureItem(const CMenuItemRecord& item, const std::wstring& text, bool menuBar,
                              bool isDefault, SIZE iconSize) {
  if (IsSeparator(item)) return SIZE{3, 3};
  std::wstring measured = text;
  for (size_t pos = 0; (pos = measured.find(L'\t', pos)) != std::wstring::npos;)
    measured.replace(pos, 1, L"nnn");
  WindowDc screen(nullptr);
  GdiFont font = MenuFont(isDefault);
  SelectGuard sel(screen, font.get());
  SIZE extent{};
  ::GetTextExtentPoint32W(screen, measured.c_str(), static_cast<int>(measured.size()), &extent);
  int cyMenu = ::GetSystemMetrics(SM_CYMENU);
  SIZE size{};
  if (menuBar) {
    size.cx = extent.cx - (text.find(L'&') != std::wstring::npos ? 6 : 0);
    size.cy = std::max<LONG>(cyMenu, iconSize.cy + 2);
  } else {
    size.cx = ((item.m_flags & MF_POPUP) ? cyMenu : cyMenu / 2) + iconSize.cx + extent.cx + 6;
    size.cy = iconSize.cy + 8 < cyMenu ? cyMenu : iconSize.cy + 7;
    size.cy = std::max(size.cy, extent.cy);
  }
  return size;
}

void CMenuLookXP::DrawItem(HDC dc, const RECT& rc, const CMenuItemRecord& item,
                           const std::wstring& text, const MenuItemDrawState& state, SIZE iconSize,
                           const ColorEnv& env, COLORREF menuBrush) {
  ::SetBkMode(dc, TRANSPARENT);
  if (state.menuBar) {
    DrawBarItem(dc, rc, text, state, env, menuBrush);
    return;
  }

  const bool rtl = (item.m_flags & MFT_RIGHTORDER) != 0;
  const int columnWidth = IconColumnWidth(iconSize);
  RECT column = rc, area = rc;
  if (rtl) {
    column.left = rc.right - columnWidth;
    area.right = column.left;
  } else {
    column.right = rc.left + columnWidth;
    area.left = column.right;
  }
  const COLORREF columnColor = IconColumnColor(env, menuBrush);
  FillSolid(dc, column, columnColor);
  FillSolid(dc, area, env.Sys(COLOR_WINDOW));

  if (IsSeparator(item)) {
    int y = (rc.top + rc.bottom) / 2;
    RECT line{rc.left + iconSize.cx + 15, y, rc.right - 4, y + 1};
    if (rtl) line = RECT{rc.left + 4, y, rc.right - iconSize.cx - 15, y + 1};
    FillSolid(dc, line, env.Sys(COLOR_GRAYTEXT));
    return;
  }
  if (state.selected && !state.grayed) {
    FillSolid(dc, rc, SelectionColor(env));
    FrameSolid(dc, rc, env.Sys(COLOR_HIGHLIGHT));
  }
  DrawItemImage(dc, rc, column, item, state, iconSize, env, columnColor);
  DrawItemText(dc, area, text, state, rtl, env);
}

}  // namespace klarex
