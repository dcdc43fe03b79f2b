#include "controls/colors.h"

#include <algorithm>
#include <vector>

#include "controls/theme_api.h"
#include "framework/gdi.h"

namespace klarex {
namespace {

int R(COLORREF c) { return GetRValue(c); }
int G(COLORREF c) { return GetGValue(c); }
int B(COLORREF c) { return GetBValue(c); }
int Cap(int v) { return std::clamp(v, 0, 255); }

template <typename F>
COLORREF PerChannel(COLORREF c, F f) {
  return RGB(Cap(f(R(c))), Cap(f(G(c))), Cap(f(B(c))));
}
template <typename F>
COLORREF PerChannel2(COLORREF a, COLORREF b, F f) {
  return RGB(Cap(f(R(a), R(b))), Cap(f(G(a), G(b))), Cap(f(B(a), B(b))));
}

}  // namespace

int PlatformClassOf(DWORD platformId, DWORD major, DWORD minor) {
  switch (platformId) {
    case VER_PLATFORM_WIN32s:
      return kWin32s;
    case VER_PLATFORM_WIN32_WINDOWS:
      if (major == 4 && minor == 10) return kWin98;
      if (major == 4 && minor == 90) return kWinMe;
      return kWin95;
    default:
      if (major < 4) return kNtOld;
      if (major == 4) return kNt4;
      if (major == 5 && minor == 0) return kWin2000;
      return kWinXpOrLater;
  }
}

int CurrentPlatformClass() {
  static const int cls = [] {
    OSVERSIONINFOW vi{};
    vi.dwOSVersionInfoSize = sizeof(vi);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!::GetVersionExW(&vi)) return static_cast<int>(kWinXpOrLater);
#pragma GCC diagnostic pop
    return PlatformClassOf(vi.dwPlatformId, vi.dwMajorVersion, vi.dwMinorVersion);
  }();
  return cls;
}

COLORREF Lighten(int amount, COLORREF c) {
  return PerChannel(c, [amount](int ch) { return ch + ::MulDiv(255 - ch, amount, 255); });
}

COLORREF Darken(int amount, COLORREF c) {
  return PerChannel(c, [amount](int ch) { return ::MulDiv(ch, 255 - amount, 255); });
}

COLORREF Mix86_14(COLORREF a, COLORREF b) {
  return PerChannel2(a, b,
                     [](int x, int y) { return ::MulDiv(x, 86, 100) + ::MulDiv(y, 14, 100); });
}

COLORREF Mix70_30(COLORREF a, COLORREF b) {
  return PerChannel2(a, b,
                     [](int x, int y) { return ::MulDiv(x, 70, 100) + ::MulDiv(y, 30, 100); });
}

COLORREF Blend(COLORREF a, COLORREF b, int alpha) {
  if (b == kNoColor) return b;
  return PerChannel2(a, b, [alpha](int x, int y) { return (y * alpha - x * (alpha - 255)) / 256; });
}

COLORREF BluishDark(COLORREF c) {
  return RGB(Cap(static_cast<int>(R(c) * 0.7)), Cap(static_cast<int>(G(c) * 0.7)),
             Cap(static_cast<int>((B(c) + 55) * 0.7)));
}

COLORREF DarkerPixel(COLORREF c) {
  return PerChannel(c, [](int ch) { return ::MulDiv(ch, 205, 255); });
}

COLORREF DisabledPixel(COLORREF c, COLORREF tint) {
  int grey = (R(c) + G(c) + B(c)) / 3;
  return PerChannel(tint, [grey](int t) { return (grey * 110 + t * 145) / 256; });
}

ColorEnv ColorEnv::Current() {
  ColorEnv env;
  env.platform = CurrentPlatformClass();
  HIGHCONTRASTW hc{};
  hc.cbSize = sizeof(hc);
  env.highContrast = ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(hc), &hc, 0) &&
                     (hc.dwFlags & HCF_HIGHCONTRASTON);
  BOOL flat = FALSE;
  env.flatMenus = ::SystemParametersInfoW(SPI_GETFLATMENU, 0, &flat, 0) && flat;
  static const CThemeApi theme;  // keeps uxtheme.dll loaded for the process
  env.themesActive = theme.IsThemeActive();
  static const int colors = [] {
    WindowDc screen(nullptr);
    int n = ::GetDeviceCaps(screen, NUMCOLORS);
    if (n == -1 || ::GetDeviceCaps(screen, BITSPIXEL) > 8) return 64000;
    return n;
  }();
  env.colorCount = colors;
  for (int i = 0; i <= COLOR_MENUBAR; ++i) env.sys[static_cast<size_t>(i)] = ::GetSysColor(i);
  return env;
}

COLORREF MenuBrushColor(HMENU menu) {
  if (!menu) return kNoColor;
  MENUINFO mi{};
  mi.cbSize = sizeof(mi);
  mi.fMask = MIM_BACKGROUND;
  if (!::GetMenuInfo(menu, &mi) || !mi.hbrBack) return kNoColor;
  LOGBRUSH lb{};
  if (!::GetObjectW(mi.hbrBack, sizeof(lb), &lb) || lb.lbStyle != BS_SOLID) return kNoColor;
  return lb.lbColor;
}

COLORREF MenuColor(const ColorEnv& env, COLORREF menuBrush) {
  if (menuBrush != kNoColor) return menuBrush;
  if (env.platform == kWinXpOrLater && env.flatMenus) return env.Sys(COLOR_MENUBAR);
  return env.Sys(COLOR_MENU);
}

COLORREF MenuBarColor(const ColorEnv& env, COLORREF menuBrush) {
  if (menuBrush != kNoColor) return menuBrush;
  if (env.platform == kWinXpOrLater && (env.flatMenus || env.themesActive))
    return env.Sys(COLOR_MENUBAR);
  if (env.platform == kWin95 || env.platform == kNt4) return env.Sys(COLOR_MENU);
  return env.Sys(COLOR_BTNFACE);
}

COLORREF FaceColor(const ColorEnv& env) {
  if (env.platform == kWin95 || env.platform == kNt4) return env.Sys(COLOR_MENU);
  return env.Sys(COLOR_BTNFACE);
}

COLORREF SelectionColor(const ColorEnv& env) {
  COLORREF hl = env.Sys(COLOR_HIGHLIGHT);
  if (env.highContrast) return hl;
  if (env.LowColor()) return env.Sys(COLOR_WINDOW);
  if (!env.themesActive && R(hl) + G(hl) + B(hl) > 384) return Mix86_14(env.Sys(COLOR_WINDOW), hl);
  return Mix70_30(env.Sys(COLOR_WINDOW), hl);
}

COLORREF IconColumnColor(const ColorEnv& env, COLORREF menuBrush) {
  if (env.LowColor()) return env.Sys(COLOR_BTNFACE);
  COLORREF bar = MenuBarColor(env, menuBrush);
  COLORREF column = Mix86_14(bar, env.Sys(COLOR_WINDOW));
  // On a display that cannot tell the tint from the item area, keep the plain bar colour.
  if (column == Mix86_14(env.Sys(COLOR_WINDOW), bar)) return bar;
  return column;
}

COLORREF DisabledTint(const ColorEnv& env) { return Lighten(115, FaceColor(env)); }

COLORREF MenuTextColor(const ColorEnv& env, bool grayed) {
  if (grayed) return env.Sys(COLOR_GRAYTEXT);
  return env.Sys(env.highContrast ? COLOR_WINDOWTEXT : COLOR_MENUTEXT);
}

void FillSolid(HDC dc, const RECT& rc, COLORREF c) {
  GdiBrush brush(::CreateSolidBrush(c));
  ::FillRect(dc, &rc, brush.get());
}

void FrameSolid(HDC dc, const RECT& rc, COLORREF c) {
  GdiPen pen(::CreatePen(PS_SOLID, 1, c));
  SelectGuard p(dc, pen.get());
  SelectGuard b(dc, ::GetStockObject(HOLLOW_BRUSH));
  ::Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
}

}  // namespace klarex

namespace klarex {

void DrawRaisedImage(HDC dc, HIMAGELIST images, int index, int x, int y, COLORREF shadow,
                     bool withShadow) {
  if (withShadow) {
    IconHandle icon(::ImageList_GetIcon(images, index, ILD_NORMAL));
    if (icon) {
      GdiBrush brush(::CreateSolidBrush(shadow));
      ::DrawStateW(dc, brush.get(), nullptr, reinterpret_cast<LPARAM>(icon.get()), 0, x + 1, y + 1,
                   0, 0, DST_ICON | DSS_MONO);
    }
  }
  ::ImageList_Draw(images, index, dc, x - 1, y - 1, ILD_TRANSPARENT);
}

}  // namespace klarex

namespace klarex {

HBITMAP TransformedBitmap(HBITMAP bitmap, COLORREF mask, COLORREF (*fn)(COLORREF, COLORREF),
                          COLORREF arg) {
  BITMAP bm{};
  if (!::GetObjectW(bitmap, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return nullptr;
  BITMAPINFO bi = TopDownDib32Info(bm.bmWidth, bm.bmHeight);
  void* bits = nullptr;
  HBITMAP out = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!out) return nullptr;
  WindowDc screen(nullptr);
  if (!::GetDIBits(screen, bitmap, 0, bm.bmHeight, bits, &bi, DIB_RGB_COLORS)) {
    ::DeleteObject(out);
    return nullptr;
  }
  auto* px = static_cast<DWORD*>(bits);
  for (size_t i = 0, n = static_cast<size_t>(bm.bmWidth) * bm.bmHeight; i < n; ++i) {
    COLORREF c = RGB((px[i] >> 16) & 0xFF, (px[i] >> 8) & 0xFF, px[i] & 0xFF);
    if (c == mask) continue;
    c = fn(c, arg);
    px[i] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
  }
  return out;
}

COLORREF TopLeftPixel(HBITMAP bitmap) {
  BITMAP bm{};
  if (!::GetObjectW(bitmap, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return 0;
  BITMAPINFO bi = TopDownDib32Info(bm.bmWidth, 1);
  bi.bmiHeader.biHeight = -bm.bmHeight;
  std::vector<DWORD> px(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
  WindowDc screen(nullptr);
  if (!::GetDIBits(screen, bitmap, 0, bm.bmHeight, px.data(), &bi, DIB_RGB_COLORS)) return 0;
  return RGB((px[0] >> 16) & 0xFF, (px[0] >> 8) & 0xFF, px[0] & 0xFF);
}

}  // namespace klarex
