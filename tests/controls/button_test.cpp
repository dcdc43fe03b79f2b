// Owner-drawn and themed buttons: dialog codes, toggles, double-clicks,
// keyboard presses with real input, hot tracking and both drawing paths.
#include <gtest/gtest.h>

#include <vector>

#include "controls/themed_button.h"
#include "controls/ui_test_util.h"

namespace klarex {
namespace {

std::vector<int> g_clicks;  // control ids of BN_CLICKED commands, in order

LRESULT CALLBACK CommandHost(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) g_clicks.push_back(LOWORD(wp));
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

// Dispatches like a dialog's loop, so Tab, Enter and Space reach the controls.
void PumpDialog(HWND host, DWORD ms = 80) {
  DWORD end = ::GetTickCount() + ms;
  do {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (::IsDialogMessageW(host, &msg)) continue;
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::Sleep(5);
  } while (static_cast<LONG>(end - ::GetTickCount()) > 0);
}

void Key(WORD vk) {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, in, sizeof(INPUT));
}

class ButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_clicks.clear();
    host = test::MakeHostWindow(L"Button test", 420, 200, &CommandHost);
    ASSERT_TRUE(host);
  }
  void TearDown() override { ::DestroyWindow(host); }

  HWND Make(const wchar_t* text, DWORD type, int id, int x, const wchar_t* cls = L"BUTTON") {
    return ::CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | type, x, 20, 90, 30,
                             host, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             ::GetModuleHandleW(nullptr), nullptr);
  }
  LPARAM Centre(HWND button) {
    RECT rc{};
    ::GetClientRect(button, &rc);
    return MAKELPARAM(rc.right / 2, rc.bottom / 2);
  }
  void Click(HWND button) {
    ::SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, Centre(button));
    ::SendMessageW(button, WM_LBUTTONUP, 0, Centre(button));
  }

  HWND host = nullptr;
};

TEST_F(ButtonTest, OwnerDrawnButtonsKeepTheirDialogBehaviour) {
  COwnerDrawButton def, push, radio, group;
  ASSERT_TRUE(def.Attach(Make(L"OK", BS_DEFPUSHBUTTON, 1, 10)));
  ASSERT_TRUE(push.Attach(Make(L"Cancel", BS_PUSHBUTTON, 2, 110)));
  ASSERT_TRUE(radio.Attach(Make(L"Radio", BS_AUTORADIOBUTTON, 3, 210)));
  ASSERT_TRUE(group.Attach(Make(L"Group", BS_GROUPBOX, 4, 310)));
  for (HWND b : {def.Handle(), push.Handle(), radio.Handle(), group.Handle()})
    EXPECT_EQ(::GetWindowLongPtrW(b, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);

  auto code = [](HWND b) { return ::SendMessageW(b, WM_GETDLGCODE, 0, 0); };
  EXPECT_TRUE(def.IsDefault());
  EXPECT_TRUE(code(def.Handle()) & DLGC_DEFPUSHBUTTON);
  EXPECT_FALSE(code(def.Handle()) & DLGC_UNDEFPUSHBUTTON);
  EXPECT_TRUE(code(push.Handle()) & DLGC_UNDEFPUSHBUTTON);
  EXPECT_TRUE(code(radio.Handle()) & DLGC_RADIOBUTTON);
  EXPECT_FALSE(code(radio.Handle()) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON));
  EXPECT_EQ(code(group.Handle()), DLGC_STATIC);

  // The dialog manager moves the default state with BM_SETSTYLE; the button stays owner-drawn.
  ::SendMessageW(push.Handle(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  ::SendMessageW(def.Handle(), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  EXPECT_TRUE(push.IsDefault());
  EXPECT_FALSE(def.IsDefault());
  EXPECT_TRUE(code(push.Handle()) & DLGC_DEFPUSHBUTTON);
  EXPECT_TRUE(code(def.Handle()) & DLGC_UNDEFPUSHBUTTON);
  EXPECT_EQ(::GetWindowLongPtrW(push.Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
}

TEST_F(ButtonTest, ToggleClickedTwiceReturnsToItsFirstState) {
  CThemedButton toggle;
  ASSERT_TRUE(toggle.Attach(Make(L"Toggle", BS_PUSHBUTTON, 7, 10)));
  toggle.SetToggleMode(true);
  EXPECT_FALSE(toggle.ToggleState());
  Click(toggle.Handle());
  EXPECT_TRUE(toggle.ToggleState());
  Click(toggle.Handle());
  EXPECT_FALSE(toggle.ToggleState());
  EXPECT_EQ(g_clicks, (std::vector<int>{7, 7}));

  // Pressed, then released outside the button: the flip is undone and no command.
  ::SendMessageW(toggle.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, Centre(toggle.Handle()));
  EXPECT_TRUE(toggle.ToggleState());
  ::SendMessageW(toggle.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(300, 150));
  EXPECT_FALSE(toggle.ToggleState());
  EXPECT_EQ(g_clicks.size(), 2u);

  toggle.SetToggleState(true);
  EXPECT_TRUE(toggle.ToggleState());
}

TEST_F(ButtonTest, DoubleClickOnAPlainButtonSendsTwoCommands) {
  CThemedButton plain;
  HWND b = Make(L"Plain", BS_PUSHBUTTON, 8, 10);
  ASSERT_TRUE(plain.Attach(b));
  ::SetForegroundWindow(host);
  test::Pump(50);
  RECT rc{};
  ::GetWindowRect(b, &rc);
  ::SetCursorPos((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
  test::Pump(30);
  INPUT in[4] = {};
  for (int i = 0; i < 4; ++i) {
    in[i].type = INPUT_MOUSE;
    in[i].mi.dwFlags = (i % 2) ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
  }
  ::SendInput(4, in, sizeof(INPUT));
  test::Pump(200);
  EXPECT_EQ(g_clicks, (std::vector<int>{8, 8}));
  EXPECT_FALSE(::SendMessageW(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
}

TEST_F(ButtonTest, TabPassesThemedButtonWhileSpaceAndEnterPressIt) {
  HWND first = Make(L"", ES_AUTOHSCROLL | WS_BORDER, 20, 10, L"EDIT");
  CThemedButton themed;
  ASSERT_TRUE(themed.Attach(Make(L"Themed", BS_PUSHBUTTON, 21, 110)));
  HWND last = Make(L"", ES_AUTOHSCROLL | WS_BORDER, 22, 210, L"EDIT");
  ::SetForegroundWindow(host);
  ::SetFocus(first);
  PumpDialog(host);
  ASSERT_EQ(::GetFocus(), first);

  Key(VK_TAB);
  PumpDialog(host);
  EXPECT_EQ(::GetFocus(), themed.Handle());
  Key(VK_SPACE);
  PumpDialog(host);
  EXPECT_EQ(g_clicks, (std::vector<int>{21}));
  Key(VK_RETURN);
  PumpDialog(host);
  EXPECT_EQ(g_clicks, (std::vector<int>{21, 21}));
  test::SaveScreenshot("button_focus");
  Key(VK_TAB);
  PumpDialog(host);
  EXPECT_EQ(::GetFocus(), last);
  EXPECT_EQ(g_clicks.size(), 2u);
}

TEST_F(ButtonTest, HotTrackingFollowsThePointer) {
  CThemedButton button;
  ASSERT_TRUE(button.Attach(Make(L"Hot", BS_PUSHBUTTON, 9, 10)));
  ::SendMessageW(button.Handle(), WM_MOUSEMOVE, 0, Centre(button.Handle()));
  EXPECT_TRUE(button.IsHot());
  ::SendMessageW(button.Handle(), WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(button.IsHot());
}

class ButtonDrawing : public ButtonTest {
 protected:
  static constexpr int kW = 60, kH = 26;
  std::vector<COLORREF> Image(CThemedButton& b, UINT state) {
    std::vector<COLORREF> px;
    DibSurface s(kW, kH);
    Paint(b, state, s);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) px.push_back(s.Pixel(x, y));
    return px;
  }
  COLORREF Px(CThemedButton& b, UINT state, int x, int y) {
    DibSurface s(kW, kH);
    Paint(b, state, s);
    return s.Pixel(x, y);
  }
  void Paint(CThemedButton& b, UINT state, DibSurface& s) {
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.hwndItem = b.Handle();
    dis.hDC = s.dc();
    dis.rcItem = RECT{0, 0, kW, kH};
    dis.itemState = state;
    b.DrawItem(&dis);
  }
};

TEST_F(ButtonDrawing, ClassicButtonsDrawSunkenWhenPressedAndRaisedOtherwise) {
  CThemedButton b;
  ASSERT_TRUE(b.Attach(Make(L"", BS_PUSHBUTTON, 10, 10)));
  b.SetColors(RGB(250, 10, 10), kNoColor);  // a colour of its own: the classic path
  EXPECT_EQ(Px(b, 0, 0, 0), ::GetSysColor(COLOR_3DLIGHT));
  EXPECT_EQ(Px(b, 0, kW - 1, kH - 1), ::GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(Px(b, 0, 5, 5), RGB(250, 10, 10));
  EXPECT_EQ(Px(b, ODS_SELECTED, 0, 0), ::GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(Px(b, ODS_SELECTED, kW - 1, kH - 1), ::GetSysColor(COLOR_BTNHIGHLIGHT));
  // Focused: a black frame outside the edge.
  EXPECT_EQ(Px(b, ODS_FOCUS, 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(Px(b, ODS_FOCUS, 1, 1), ::GetSysColor(COLOR_3DLIGHT));

  b.SetToggleMode(true);
  b.SetToggleState(true);  // a toggle that is on draws pressed whatever the request says
  EXPECT_EQ(Px(b, 0, 0, 0), ::GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(Px(b, ODS_FOCUS, 0, 0), ::GetSysColor(COLOR_BTNSHADOW));  // no frame when pressed
}

TEST_F(ButtonDrawing, ThemedStatesDrawDifferently) {
  CThemedButton b;
  ASSERT_TRUE(b.Attach(Make(L"", BS_PUSHBUTTON, 11, 10)));
  CThemeApi api;
  ASSERT_TRUE(api.Available());
  ASSERT_TRUE(api.IsAppThemed());  // Wine's light theme is on by default
  auto image = [&](UINT state) { return Image(b, state); };
  std::vector<COLORREF> normal = image(0);
  EXPECT_NE(normal, image(ODS_SELECTED));
  EXPECT_NE(normal, image(ODS_DISABLED));
  ::SendMessageW(b.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_NE(normal, image(0));  // hot
}

// Pixels that differ between two images, outside the focus rectangle's line
// 3 pixels inside the edge.
int DifferencesOffTheFocusLine(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b,
                               int w, int h) {
  int n = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const bool onLine = ((x == 3 || x == w - 4) && y >= 3 && y <= h - 4) ||
                          ((y == 3 || y == h - 4) && x >= 3 && x <= w - 4);
      if (!onLine && a[static_cast<size_t>(y * w + x)] != b[static_cast<size_t>(y * w + x)]) ++n;
    }
  }
  return n;
}

TEST_F(ButtonDrawing, FlatToggleLooksOnOnlyWhenOnAndAlwaysShowsItsFocus) {
  CThemedButton b;
  ASSERT_TRUE(b.Attach(Make(L"", BS_PUSHBUTTON, 13, 10)));
  b.SetToolbarLook(true);
  b.SetToggleMode(true);
  const std::vector<COLORREF> off = Image(b, 0);
  b.SetToggleState(true);
  const std::vector<COLORREF> on = Image(b, 0);
  EXPECT_NE(on, off);
  // Focused, it shows a focus rectangle and nothing else changes: focus does
  // not make it look on. Enter flips it, so the rectangle shows even where the
  // window hides keyboard cues.
  for (UINT hidden : {0u, static_cast<UINT>(ODS_NOFOCUSRECT)}) {
    SCOPED_TRACE(hidden);
    b.SetToggleState(false);
    const std::vector<COLORREF> focusedOff = Image(b, ODS_FOCUS | hidden);
    EXPECT_NE(focusedOff, off);
    EXPECT_EQ(DifferencesOffTheFocusLine(focusedOff, off, kW, kH), 0);
    b.SetToggleState(true);
    const std::vector<COLORREF> focusedOn = Image(b, ODS_FOCUS | hidden);
    EXPECT_NE(focusedOn, on);
    EXPECT_EQ(DifferencesOffTheFocusLine(focusedOn, on, kW, kH), 0);
  }
  // Without visual styles a focused toggle that is off gets the black frame too.
  b.SetColors(::GetSysColor(COLOR_BTNFACE), kNoColor);
  b.SetToggleState(false);
  EXPECT_EQ(Px(b, ODS_FOCUS, 0, 0), RGB(0, 0, 0));
  EXPECT_NE(Px(b, 0, 0, 0), RGB(0, 0, 0));
  b.SetToggleState(true);
  EXPECT_NE(Image(b, ODS_FOCUS), Image(b, 0));
}

TEST_F(ButtonDrawing, IconIsCentredAndGreyWhenDisabled) {
  CThemedButton b;
  ASSERT_TRUE(b.Attach(Make(L"", BS_PUSHBUTTON, 12, 10)));
  b.SetColors(::GetSysColor(COLOR_BTNFACE), kNoColor);
  // A 16 x 16 icon filled with one saturated colour.
  DibSurface color(16, 16), mask(16, 16);
  RECT all{0, 0, 16, 16};
  FillSolid(color.dc(), all, RGB(0, 0, 255));
  FillSolid(mask.dc(), all, RGB(0, 0, 0));
  ::GdiFlush();
  GdiBitmap monoMask(::CreateBitmap(16, 16, 1, 1, nullptr));
  {
    MemoryDc dc(::CreateCompatibleDC(nullptr));
    SelectGuard sel(dc.get(), monoMask.get());
    ::PatBlt(dc.get(), 0, 0, 16, 16, BLACKNESS);
  }
  ICONINFO ii{TRUE, 0, 0, monoMask.get(), color.bitmap()};
  b.SetIcon(::CreateIconIndirect(&ii));
  ASSERT_NE(b.DisabledIcon(), nullptr);
  // Centred: ((60 - 16) / 2, (26 - 16) / 2) = (22, 5).
  EXPECT_EQ(Px(b, 0, 22 + 8, 5 + 8), RGB(0, 0, 255));
  COLORREF grey = Px(b, ODS_DISABLED, 22 + 8, 5 + 8);
  EXPECT_EQ(GetRValue(grey), GetGValue(grey));
  EXPECT_EQ(GetGValue(grey), GetBValue(grey));
}

TEST(ThemeApi, LoadsAllEightFunctionsAndSharesTheLibrary) {
  CThemeApi a;
  {
    CThemeApi b;
    EXPECT_TRUE(b.Available());
  }
  EXPECT_TRUE(a.Available());  // the second instance did not unload it
  HWND desktop = ::GetDesktopWindow();
  HTHEME theme = a.OpenThemeData(desktop, L"Button");
  ASSERT_NE(theme, nullptr);
  EXPECT_EQ(a.CloseThemeData(theme), S_OK);
}

}  // namespace
}  // namespace klarex
