// Checks the pictures linked into the program: every icon loads at the sizes its users ask
// for, the toolbar strip has the layout the toolbar and the menus cut it by, and its mask
// colour marks only the background.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "../res/resource.h"

namespace {

struct Bits {
  int width = 0;
  int height = 0;
  int bits_per_pixel = 0;
  std::vector<COLORREF> pixels;  // top-down, row by row
  COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Bits ReadBitmap(UINT id) {
  Bits out;
  HBITMAP bitmap = static_cast<HBITMAP>(::LoadImageW(
      ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bitmap) return out;
  DIBSECTION dib{};
  ::GetObjectW(bitmap, sizeof dib, &dib);
  out.width = dib.dsBm.bmWidth;
  out.height = dib.dsBm.bmHeight;
  out.bits_per_pixel = dib.dsBm.bmBitsPixel;
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) out.pixels.push_back(::GetPixel(dc, x, y));
  }
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  ::DeleteObject(bitmap);
  return out;
}

// Size of an icon loaded as the program's users load it (0 x 0: the default size).
SIZE IconSize(UINT id, int cx, int cy) {
  SIZE size{0, 0};
  HICON icon = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                               IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR));
  if (!icon) return size;
  ICONINFO info{};
  if (::GetIconInfo(icon, &info)) {
    BITMAP bm{};
    ::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
    size = {bm.bmWidth, bm.bmHeight};
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
  }
  ::DestroyIcon(icon);
  return size;
}

TEST(ArtResources, IconsLoadAtTheSizesTheirUsersAskFor) {
  // Program icon: small and large window icons, and 48 for the shell.
  for (int n : {16, 32, 48}) {
    SIZE s = IconSize(IDR_MAINFRAME, n, n);
    EXPECT_EQ(s.cx, n);
    EXPECT_EQ(s.cy, n);
  }
  // Rows of the list: 16 x 16 into its small image list.
  for (UINT id : {IDI_FOLDER, IDI_FILE, IDI_FOLDER_LOCKED, IDI_FILE_LOCKED}) {
    SIZE s = IconSize(id, 16, 16);
    EXPECT_EQ(s.cx, 16) << id;
    EXPECT_EQ(s.cy, 16) << id;
  }
  // Advance dialog toggles load the default (large) size.
  const int large = ::GetSystemMetrics(SM_CXICON);
  for (UINT id : {IDI_FIND_HISTORY, IDI_AUTOCOMPLETE, IDI_RUN_HISTORY, IDI_TYPED_URL,
                  IDI_URL_HISTORY, IDI_RECENT_DOCUMENTS}) {
    EXPECT_EQ(IconSize(id, 0, 0).cx, large) << id;
    EXPECT_EQ(IconSize(id, 16, 16).cx, 16) << id;
  }
}

TEST(ArtResources, ToolbarStripHoldsEightMaskedButtonImages) {
  Bits strip = ReadBitmap(IDB_TOOLBAR);
  ASSERT_EQ(strip.width, 8 * 16);
  ASSERT_EQ(strip.height, 16);
  EXPECT_EQ(strip.bits_per_pixel, 24);
  const COLORREF mask = strip.At(0, 0);
  EXPECT_EQ(mask, RGB(255, 0, 255));
  for (int image = 0; image < 8; ++image) {
    int background = 0;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) background += strip.At(image * 16 + x, y) == mask;
    }
    // Each image draws something and leaves a transparent surround.
    EXPECT_GT(background, 16) << "image " << image;
    EXPECT_LT(background, 200) << "image " << image;
  }
  // Nothing drawn may be near enough to magenta to vanish or fringe in the masked copy.
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < strip.width; ++x) {
      COLORREF c = strip.At(x, y);
      if (c == mask) continue;
      bool near_mask = GetRValue(c) > 200 && GetGValue(c) < 60 && GetBValue(c) > 200;
      EXPECT_FALSE(near_mask) << "pixel " << x << "," << y;
    }
  }
}

TEST(ArtResources, AboutLogoFitsItsStatic) {
  Bits logo = ReadBitmap(IDB_LOGO);
  EXPECT_EQ(logo.width, 75);
  EXPECT_EQ(logo.height, 45);
  EXPECT_EQ(logo.bits_per_pixel, 24);
}

}  // namespace
