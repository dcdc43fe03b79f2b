// The flat "XP" look of themed menu items: white item area, a tinted icon
// column holding the command's toolbar image, a framed selection box and
// accelerator texts on the right. Everything it paints follows the colour
// rules of colors.h for the environment it is given.
#pragma once
#include <windows.h>

#include <string>

#include "controls/colors.h"
#include "controls/menu_item.h"

namespace klarex {

// What an item needs to be drawn, apart from its record.
struct MenuItemDrawState {
  bool menuBar = false;
  bool selected = false;
  bool grayed = false;
  bool checked = false;
  bool hot = false;
  bool inactive = false;  // window inactive (menu bar)
  bool hidePrefix = false;
  bool isDefault = false;
};

class CMenuLookXP {
 public:
  static SIZE MeasureItem(const CMenuItemRecord& item, const std::wstring& text, bool menuBar,
                          bool isDefault, SIZE iconSize);
  // Draws into dc at rc (the off-screen copy is made by the caller).
  static void DrawItem(HDC dc, const RECT& rc, const CMenuItemRecord& item,
                       const std::wstring& text, const MenuItemDrawState& state, SIZE iconSize,
                       const ColorEnv& env, COLORREF menuBrush);
  static int IconColumnWidth(SIZE iconSize) { return iconSize.cx + 8; }
};

}  // namespace klarex
