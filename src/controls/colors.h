// Colour rules shared by the themed menus, toolbar and buttons. Every rule
// that depends on the system reads it through a ColorEnv, so the rules can be
// evaluated for any display state, not just the current one.
#pragma once
// commctrl.h needs windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <array>
#include <cstdint>

namespace klarex {

// "No colour": used for unset background/text colours and Blend's passthrough.
inline constexpr COLORREF kNoColor = 0xFFFFFFFF;

// Platform classes, from the version numbers (see PlatformClassOf).
enum PlatformClass : int {
  kWin32s = 0,
  kNtOld = 1,
  kWin95 = 2,
  kWin98 = 3,
  kWinMe = 4,
  kNt4 = 5,
  kWin2000 = 6,
  kWinXpOrLater = 7,
};

// platformId: OSVERSIONINFO's dwPlatformId (VER_PLATFORM_WIN32s, _WINDOWS, _NT).
int PlatformClassOf(DWORD platformId, DWORD major, DWORD minor);
// Computed once from GetVersionExW.
int CurrentPlatformClass();

COLORREF Lighten(int amount, COLORREF c);
COLORREF Darken(int amount, COLORREF c);
COLORREF Mix86_14(COLORREF a, COLORREF b);
COLORREF Mix70_30(COLORREF a, COLORREF b);
COLORREF Blend(COLORREF a, COLORREF b, int alpha);
COLORREF BluishDark(COLORREF c);

// Pixel formulas of the icon copies. Pixels are COLORREFs.
COLORREF DarkerPixel(COLORREF c);
COLORREF DisabledPixel(COLORREF c, COLORREF tint);

// What the colour rules need to know about the display.
struct ColorEnv {
  int platform = kWinXpOrLater;
  bool highContrast = false;
  bool flatMenus = false;
  bool themesActive = false;
  int colorCount = 64000;  // colours the display can show; 64000 for "no palette limit"
  std::array<COLORREF, COLOR_MENUBAR + 1> sys{};

  COLORREF Sys(int index) const { return sys[static_cast<size_t>(index)]; }
  bool LowColor() const { return colorCount <= 256; }

  // The live system state (system colours, SPI flags, IsThemeActive, display depth).
  static ColorEnv Current();
};

// The colour of a menu's own background brush (GetMenuInfo), or kNoColor.
COLORREF MenuBrushColor(HMENU menu);

COLORREF MenuColor(const ColorEnv& env, COLORREF menuBrush = kNoColor);
COLORREF MenuBarColor(const ColorEnv& env, COLORREF menuBrush = kNoColor);
COLORREF FaceColor(const ColorEnv& env);
COLORREF SelectionColor(const ColorEnv& env);
// The tinted column on the left of pop-up items.
COLORREF IconColumnColor(const ColorEnv& env, COLORREF menuBrush = kNoColor);
// Tint used by the disabled icon copies: Lighten(115, face colour).
COLORREF DisabledTint(const ColorEnv& env);
// Menu item text colour.
COLORREF MenuTextColor(const ColorEnv& env, bool grayed);

// Fills `rc` with colour `c`.
void FillSolid(HDC dc, const RECT& rc, COLORREF c);
// Draws the one-pixel outline of `rc` in colour `c`, leaving the inside alone.
void FrameSolid(HDC dc, const RECT& rc, COLORREF c);

}  // namespace klarex

namespace klarex {

// Draws image `index` of `images` at (x, y) raised over its shadow: first a
// one-colour silhouette in `shadow` one pixel down-right, then the image one
// pixel up-left. Without `withShadow` only the lifted image is drawn.
void DrawRaisedImage(HDC dc, HIMAGELIST images, int index, int x, int y, COLORREF shadow,
                     bool withShadow = true);

}  // namespace klarex

namespace klarex {

// A copy of `bitmap` as a 32-bit DIB with every pixel passed through `fn`,
// except pixels of the mask colour, which stay as they are.
HBITMAP TransformedBitmap(HBITMAP bitmap, COLORREF mask, COLORREF (*fn)(COLORREF, COLORREF),
                          COLORREF arg);
// The colour of a bitmap's top-left pixel.
COLORREF TopLeftPixel(HBITMAP bitmap);

}  // namespace klarex
