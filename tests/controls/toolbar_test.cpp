// Themed toolbar: image lists, custom-draw results, the pixels of hot,
// checked, disabled and resting buttons, and the live bar under Xvfb.
#include <gtest/gtest.h>

#include "controls/colors.h"
#include "controls/themed_toolbar.h"
#include "controls/ui_test_util.h"
#include "framework/wnd.h"

namespace klarex {
namespace {

constexpr UINT kToolbarId = 127;
constexpr COLORREF kBlank = RGB(1, 2, 3);

LRESULT CALLBACK ReflectingHost(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NOTIFY) {
    LRESULT result = 0;
    if (ReflectNotify(lp, result)) return result;
  }
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

class ToolbarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host = test::MakeHostWindow(L"Toolbar test", 420, 200, &ReflectingHost);
    ASSERT_TRUE(bar.Create(host, WS_CHILD | WS_VISIBLE, 59392));
    ASSERT_TRUE(bar.LoadToolBar(kToolbarId));
    ASSERT_TRUE(bar.LoadImages(nullptr, kToolbarId));
    env = ColorEnv::Current();
    FindOpaquePixel();
  }
  void TearDown() override { ::DestroyWindow(host); }

  // An opaque pixel of the first image (full colour), for comparing copies.
  void FindOpaquePixel() {
    DibSurface s(16, 16);
    RECT all{0, 0, 16, 16};
    FillSolid(s.dc(), all, kBlank);
    ::ImageList_Draw(bar.FullColorImages(), 0, s.dc(), 0, 0, ILD_TRANSPARENT);
    for (int y = 4; y < 12 && px < 0; ++y)
      for (int x = 4; x < 12; ++x)
        if (s.Pixel(x, y) != kBlank) {
          px = x, py = y, full = s.Pixel(x, y);
          break;
        }
    ASSERT_GE(px, 0) << "toolbar image 0 has no opaque centre";
  }

  DibSurface& Draw(UINT state, int command = 181) {
    RECT all{0, 0, 23, 22};
    FillSolid(surface.dc(), all, kBlank);
    bar.DrawButton(surface.dc(), all, command, state);
    return surface;
  }

  HWND host = nullptr;
  CThemedToolBar bar;
  ColorEnv env;
  DibSurface surface{23, 22};
  int px = -1, py = -1;
  COLORREF full = 0;
};

TEST_F(ToolbarTest, ImageListsHoldFullDarkerAndPaleCopies) {
  int n = ::ImageList_GetImageCount(bar.FullColorImages());
  EXPECT_EQ(n, 8);
  EXPECT_EQ(::ImageList_GetImageCount(bar.NormalImages()), n);
  EXPECT_EQ(::ImageList_GetImageCount(bar.DisabledImages()), n);
  EXPECT_EQ(reinterpret_cast<HIMAGELIST>(bar.Send(TB_GETIMAGELIST)), bar.NormalImages());
}

TEST_F(ToolbarTest, CustomDrawStagesAnswerAsTheLookNeeds) {
  NMTBCUSTOMDRAW cd{};
  cd.nmcd.hdc = surface.dc();
  cd.nmcd.dwDrawStage = CDDS_PREPAINT;
  EXPECT_EQ(bar.OnCustomDraw(&cd), 0x34);
  cd.nmcd.dwDrawStage = CDDS_POSTPAINT;
  EXPECT_EQ(bar.OnCustomDraw(&cd), 0x24);
  cd.nmcd.dwDrawStage = CDDS_ITEMPOSTPAINT;
  EXPECT_EQ(bar.OnCustomDraw(&cd), 0x24);
  cd.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
  cd.nmcd.dwItemSpec = 181;
  cd.nmcd.rc = RECT{0, 0, 23, 22};
  cd.nmcd.uItemState = CDIS_HOT;
  EXPECT_EQ(bar.OnCustomDraw(&cd), CDRF_SKIPDEFAULT);
  EXPECT_EQ(surface.Pixel(0, 0), env.Sys(COLOR_HIGHLIGHT));  // the item was drawn here
}

TEST_F(ToolbarTest, RestingButtonShowsOnlyTheDarkerImage) {
  DibSurface& s = Draw(0);
  EXPECT_EQ(s.Pixel(0, 0), kBlank);  // the bar background shows through
  // Centred: ((23 - 16) / 2, (22 - 16) / 2) = (3, 3).
  EXPECT_EQ(s.Pixel(3 + px, 3 + py), DarkerPixel(full));
}

TEST_F(ToolbarTest, HotButtonIsBoxedAndItsImageLiftedOverAShadow) {
  DibSurface& s = Draw(CDIS_HOT);
  COLORREF selection = SelectionColor(env);
  EXPECT_EQ(s.Pixel(0, 0), env.Sys(COLOR_HIGHLIGHT));
  EXPECT_EQ(s.Pixel(22, 21), env.Sys(COLOR_HIGHLIGHT));
  EXPECT_EQ(s.Pixel(1, 1), selection);
  EXPECT_EQ(s.Pixel(2 + px, 2 + py), full);  // full colour, one pixel up-left
  bool shadow = false;
  for (int y = 0; y < 22; ++y)
    for (int x = 0; x < 23; ++x) shadow |= s.Pixel(x, y) == BluishDark(selection);
  EXPECT_TRUE(shadow);
  // Pressed while hot: no lift.
  DibSurface& pressed = Draw(CDIS_HOT | CDIS_SELECTED);
  EXPECT_EQ(pressed.Pixel(3 + px, 3 + py), full);
}

TEST_F(ToolbarTest, CheckedDisabledAndIndeterminateButtons) {
  DibSurface& checked = Draw(CDIS_CHECKED);
  EXPECT_EQ(checked.Pixel(0, 0), env.Sys(COLOR_HIGHLIGHT));
  EXPECT_EQ(checked.Pixel(1, 1), SelectionColor(env));
  EXPECT_EQ(checked.Pixel(3 + px, 3 + py), DarkerPixel(full));

  DibSurface& disabled = Draw(CDIS_DISABLED);
  EXPECT_EQ(disabled.Pixel(0, 0), kBlank);
  EXPECT_EQ(disabled.Pixel(3 + px, 3 + py), DisabledPixel(full, DisabledTint(env)));

  DibSurface& mixed = Draw(CDIS_INDETERMINATE);
  COLORREF barColor = MenuBarColor(env);
  EXPECT_EQ(mixed.Pixel(0, 0), Darken(128, barColor));
  EXPECT_EQ(mixed.Pixel(1, 1), Mix86_14(barColor, env.Sys(COLOR_WINDOW)));
}

TEST_F(ToolbarTest, LiveBarPaintsTintAndHotButtonOnScreen) {
  ::SetForegroundWindow(host);
  ::UpdateWindow(host);
  test::Pump(150);
  RECT bar_rc = bar.WindowRect();
  RECT button{};
  ASSERT_TRUE(bar.Send(TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&button)));
  WindowDc screen(nullptr);
  // Right of the last button: the bar's own tint.
  COLORREF tint = ::GetPixel(screen, bar_rc.right - 5, bar_rc.top + 3);
  EXPECT_EQ(tint, Mix86_14(FaceColor(env), env.Sys(COLOR_WINDOW)));
  // The gripper at the leading edge, ahead of the first button.
  POINT grip{4, 4};
  ::ClientToScreen(bar.Handle(), &grip);
  EXPECT_EQ(::GetPixel(screen, grip.x, grip.y), BluishDark(FaceColor(env)));
  EXPECT_EQ(::GetPixel(screen, grip.x, grip.y + 1), tint);
  EXPECT_GE(button.left, 10);

  bar.Send(TB_SETHOTITEM, 0);
  bar.Update();
  test::Pump(100);
  POINT corner{button.left, button.top};
  ::ClientToScreen(bar.Handle(), &corner);
  EXPECT_EQ(::GetPixel(screen, corner.x, corner.y), env.Sys(COLOR_HIGHLIGHT));
  EXPECT_EQ(::GetPixel(screen, corner.x + 1, corner.y + 1), SelectionColor(env));
  test::SaveScreenshot("toolbar_hot");
}

TEST(ToolbarGripper, StrokesEveryTwoPixelsDownAHorizontalBar) {
  CThemedToolBar bar;
  DibSurface s(40, 30);
  RECT all{0, 0, 40, 30};
  FillSolid(s.dc(), all, kBlank);
  bar.DrawGripper(s.dc(), all, true);
  COLORREF ink = BluishDark(FaceColor(ColorEnv::Current()));
  EXPECT_EQ(s.Pixel(4, 4), ink);
  EXPECT_EQ(s.Pixel(6, 4), ink);
  EXPECT_EQ(s.Pixel(7, 4), kBlank);
  EXPECT_EQ(s.Pixel(4, 5), kBlank);
  EXPECT_EQ(s.Pixel(4, 6), ink);
  EXPECT_EQ(s.Pixel(4, 20), ink);
  EXPECT_EQ(s.Pixel(4, 22), kBlank);  // stops 8 pixels above the bottom
}

}  // namespace
}  // namespace klarex
