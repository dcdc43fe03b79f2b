// Colour rules and icon pixel formulas, with expected values worked out by hand.
#include "controls/colors.h"

#include <gtest/gtest.h>

namespace klarex {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kXpHighlight = RGB(49, 106, 197);

TEST(ColorRules, LightenAndDarkenRoundLikeMulDiv) {
  EXPECT_EQ(Lighten(115, RGB(236, 233, 216)), RGB(245, 243, 234));
  EXPECT_EQ(Lighten(0, RGB(1, 2, 3)), RGB(1, 2, 3));
  EXPECT_EQ(Lighten(255, RGB(1, 2, 3)), kWhite);
  EXPECT_EQ(Darken(128, RGB(200, 100, 0)), RGB(100, 50, 0));
  EXPECT_EQ(Darken(255, kWhite), RGB(0, 0, 0));
}

TEST(ColorRules, MixesRoundEachShareAndCapAt255) {
  EXPECT_EQ(Mix86_14(kWhite, kXpHighlight), RGB(226, 234, 247));
  EXPECT_EQ(Mix70_30(kWhite, kXpHighlight), RGB(194, 211, 238));
  // 178.5 and 76.5 both round up: 256 must be capped, not wrap to 0.
  EXPECT_EQ(Mix70_30(kWhite, kWhite), kWhite);
  EXPECT_EQ(Mix86_14(kWhite, kWhite), kWhite);
}

TEST(ColorRules, BlendTruncatesAndPassesNoColourThrough) {
  EXPECT_EQ(Blend(RGB(0, 0, 0), kWhite, 128), RGB(127, 127, 127));
  EXPECT_EQ(Blend(RGB(100, 100, 100), RGB(200, 0, 50), 64), RGB(124, 74, 87));
  EXPECT_EQ(Blend(RGB(1, 2, 3), kNoColor, 100), kNoColor);
}

TEST(ColorRules, BluishDark) {
  EXPECT_EQ(BluishDark(RGB(100, 200, 255)), RGB(70, 140, 217));
  EXPECT_EQ(BluishDark(RGB(10, 10, 10)), RGB(7, 7, 45));
}

TEST(IconPixels, DarkerAndDisabledCopies) {
  EXPECT_EQ(DarkerPixel(RGB(255, 128, 1)), RGB(205, 103, 1));
  // grey = 60; (60 * 110 + tint * 145) / 256 per channel.
  EXPECT_EQ(DisabledPixel(RGB(30, 60, 90), RGB(245, 243, 234)), RGB(164, 163, 158));
  EXPECT_EQ(DisabledPixel(RGB(0, 0, 0), RGB(0, 0, 0)), RGB(0, 0, 0));
}

TEST(PlatformClass, FromVersionNumbers) {
  EXPECT_EQ(PlatformClassOf(VER_PLATFORM_WIN32s, 3, 1), 0);
  EXPECT_EQ(PlatformClassOf(VER_PLATFORM_WIN32_WINDOWS, 4, 0), 2);
  EXPECT_EQ(PlatformClassOf(VER_PLATFORM_WIN32_WINDOWS, 4, 10), 3);
  EXPECT_EQ(PlatformClassOf(VER_PLATFORM_WIN32_WINDOWS, 4, 90), 4);
  EXPECT_EQ(PlatformClassOf(VER_PLATFORM_WIN32_NT, 3, 51), 1);
  EXPECT_EQ(PlatformClassOf(VER_PLATFORM_WIN32_NT, 4, 0), 5);
  EXPECT_EQ(PlatformClassOf(VER_PLATFORM_WIN32_NT, 5, 0), 6);
  EXPECT_EQ(PlatformClassOf(VER_PLATFORM_WIN32_NT, 5, 1), 7);
  EXPECT_EQ(PlatformClassOf(VER_PLATFORM_WIN32_NT, 10, 0), 7);
  EXPECT_EQ(CurrentPlatformClass(), 7);  // Wine reports Windows 7
}

ColorEnv XpEnv() {
  ColorEnv env;
  env.sys[COLOR_MENU] = RGB(255, 255, 254);
  env.sys[COLOR_MENUBAR] = RGB(236, 233, 216);
  env.sys[COLOR_BTNFACE] = RGB(212, 208, 200);
  env.sys[COLOR_WINDOW] = kWhite;
  env.sys[COLOR_HIGHLIGHT] = kXpHighlight;
  return env;
}

TEST(ColorRules, MenuAndMenuBarColourFollowPlatformAndFlags) {
  ColorEnv env = XpEnv();
  EXPECT_EQ(MenuColor(env), RGB(255, 255, 254));
  EXPECT_EQ(MenuBarColor(env), RGB(212, 208, 200));  // class 7, neither flat nor themed
  env.themesActive = true;
  EXPECT_EQ(MenuColor(env), RGB(255, 255, 254));
  EXPECT_EQ(MenuBarColor(env), RGB(236, 233, 216));
  env.themesActive = false;
  env.flatMenus = true;
  EXPECT_EQ(MenuColor(env), RGB(236, 233, 216));
  EXPECT_EQ(MenuBarColor(env), RGB(236, 233, 216));
  EXPECT_EQ(MenuBarColor(env, RGB(1, 2, 3)), RGB(1, 2, 3));  // the menu's own brush wins
  EXPECT_EQ(MenuColor(env, RGB(1, 2, 3)), RGB(1, 2, 3));
  env.platform = kNt4;
  EXPECT_EQ(MenuBarColor(env), RGB(255, 255, 254));
  EXPECT_EQ(FaceColor(env), RGB(255, 255, 254));
  env.platform = kWin2000;
  EXPECT_EQ(MenuBarColor(env), RGB(212, 208, 200));
  EXPECT_EQ(FaceColor(env), RGB(212, 208, 200));
}

TEST(ColorRules, SelectionColourCases) {
  ColorEnv env = XpEnv();
  EXPECT_EQ(SelectionColor(env), RGB(194, 211, 238));  // dark highlight: 70/30
  env.sys[COLOR_HIGHLIGHT] = RGB(200, 200, 100);       // bright (500), themes off: 86/14
  EXPECT_EQ(SelectionColor(env), Mix86_14(kWhite, RGB(200, 200, 100)));
  EXPECT_EQ(SelectionColor(env), RGB(247, 247, 233));
  env.themesActive = true;
  EXPECT_EQ(SelectionColor(env), Mix70_30(kWhite, RGB(200, 200, 100)));
  env.colorCount = 256;
  EXPECT_EQ(SelectionColor(env), kWhite);
  env.highContrast = true;
  EXPECT_EQ(SelectionColor(env), RGB(200, 200, 100));
}

TEST(ColorRules, IconColumnAndTextColours) {
  ColorEnv env = XpEnv();
  env.themesActive = true;
  EXPECT_EQ(IconColumnColor(env), Mix86_14(RGB(236, 233, 216), kWhite));
  EXPECT_EQ(IconColumnColor(env), RGB(239, 236, 222));
  env.sys[COLOR_MENUBAR] = kWhite;  // tint indistinguishable from the item area
  EXPECT_EQ(IconColumnColor(env), kWhite);
  env.colorCount = 16;
  EXPECT_EQ(IconColumnColor(env), RGB(212, 208, 200));
  env.sys[COLOR_MENUTEXT] = RGB(1, 1, 1);
  env.sys[COLOR_WINDOWTEXT] = RGB(2, 2, 2);
  env.sys[COLOR_GRAYTEXT] = RGB(3, 3, 3);
  EXPECT_EQ(MenuTextColor(env, false), RGB(1, 1, 1));
  EXPECT_EQ(MenuTextColor(env, true), RGB(3, 3, 3));
  env.highContrast = true;
  EXPECT_EQ(MenuTextColor(env, false), RGB(2, 2, 2));
  EXPECT_EQ(DisabledTint(XpEnv()), Lighten(115, RGB(212, 208, 200)));
}

}  // namespace
}  // namespace klarex
