// Themed menus: display texts with accelerators, mnemonics, synchronising a
// real menu, measuring, and the pixels of drawn items.
#include <gtest/gtest.h>

#include "../res/ids_main.h"
#include "controls/menu_icons.h"
#include "controls/menu_item.h"
#include "controls/menu_look.h"
#include "controls/themed_frame.h"
#include "controls/themed_menu.h"
#include "controls/ui_test_util.h"

namespace klarex {
namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kRed = RGB(200, 30, 40);

struct Accel {
  HACCEL handle;
  explicit Accel(std::vector<ACCEL> entries)
      : handle(::CreateAcceleratorTableW(entries.data(), static_cast<int>(entries.size()))) {}
  ~Accel() { ::DestroyAcceleratorTable(handle); }
};

Accel SampleAccelerators() {
  return Accel({{FVIRTKEY | FCONTROL, 'A', 161},
                {FVIRTKEY, VK_F5, 183},
                {FVIRTKEY | FALT | FCONTROL | FSHIFT, 'R', 183},
                {0, 'q', 300}});
}

TEST(MenuText, AcceleratorNamesInModifierOrder) {
  Accel accel = SampleAccelerators();
  EXPECT_EQ(AcceleratorText(accel.handle, 161), L"Ctrl+A");
  EXPECT_EQ(AcceleratorText(accel.handle, 183), L"F5, Alt+Ctrl+Shift+R");
  EXPECT_EQ(AcceleratorText(accel.handle, 300), L"q");  // a character accelerator names itself
  EXPECT_EQ(AcceleratorText(accel.handle, 999), L"");
  EXPECT_EQ(AcceleratorText(nullptr, 161), L"");
}

TEST(MenuText, DisplayTextAddsAcceleratorsOnlyWithoutTab) {
  Accel accel = SampleAccelerators();
  CMenuItemRecord item;
  item.m_id = 161;
  item.m_text = L"Select &All";
  EXPECT_EQ(item.DisplayText(accel.handle), L"Select &All\tCtrl+A");
  item.m_text = L"Select &All\tCustom";
  EXPECT_EQ(item.DisplayText(accel.handle), L"Select &All\tCustom");
  item.m_noAccelText = true;
  EXPECT_EQ(item.DisplayText(accel.handle), L"Select &All");
  item.m_text = L"Plain";
  item.m_noAccelText = false;
  item.m_id = 5;
  EXPECT_EQ(item.DisplayText(accel.handle), L"Plain");
}

TEST(MenuText, MnemonicMatchesFirstItemCaseInsensitively) {
  std::vector<std::wstring> texts = {L"&File", L"Coo&kies\tCtrl+K", L"&Edit", L"&edit again"};
  EXPECT_EQ(FindMnemonic(texts, L'k'), 1);
  EXPECT_EQ(FindMnemonic(texts, L'K'), 1);
  EXPECT_EQ(FindMnemonic(texts, L'e'), 2);  // the first of two matches
  EXPECT_EQ(FindMnemonic(texts, L'z'), -1);
  EXPECT_EQ(FindMnemonic({}, L'a'), -1);
}

// A strip of two 16 x 15 images on a magenta mask: a red one and a green one.
GdiBitmap SampleStrip() {
  DibSurface strip(32, 15);
  RECT all{0, 0, 32, 15}, red{1, 1, 15, 14}, green{17, 1, 31, 14};
  FillSolid(strip.dc(), all, kMagenta);
  FillSolid(strip.dc(), red, kRed);
  FillSolid(strip.dc(), green, RGB(0, 160, 0));
  ::GdiFlush();
  return GdiBitmap(static_cast<HBITMAP>(::CopyImage(strip.bitmap(), IMAGE_BITMAP, 0, 0, 0)));
}

COLORREF ImagePixel(HIMAGELIST images, int index, int x, int y) {
  DibSurface s(16, 15);
  RECT all{0, 0, 16, 15};
  FillSolid(s.dc(), all, RGB(1, 2, 3));
  ::ImageList_Draw(images, index, s.dc(), 0, 0, ILD_TRANSPARENT);
  return s.Pixel(x, y);
}

TEST(MenuIcons, EachImageStoredAsItselfDarkerAndDisabled) {
  CMenuIconSet set(nullptr, 0);
  GdiBitmap strip = SampleStrip();
  ASSERT_TRUE(set.LoadFromBitmap(strip.get(), 16, 15, {161, 162}));
  EXPECT_EQ(set.ImageIndex(161), 0);
  EXPECT_EQ(set.ImageIndex(162), 3);
  EXPECT_EQ(set.ImageIndex(7), -1);
  EXPECT_EQ(::ImageList_GetImageCount(set.Images()), 6);
  COLORREF tint = DisabledTint(ColorEnv::Current());
  EXPECT_EQ(ImagePixel(set.Images(), 0, 8, 7), kRed);
  EXPECT_EQ(ImagePixel(set.Images(), 1, 8, 7), DarkerPixel(kRed));
  EXPECT_EQ(ImagePixel(set.Images(), 2, 8, 7), DisabledPixel(kRed, tint));
  EXPECT_EQ(ImagePixel(set.Images(), 4, 8, 7), DarkerPixel(RGB(0, 160, 0)));
  // The mask stays transparent in all three copies.
  for (int i = 0; i < 3; ++i) EXPECT_EQ(ImagePixel(set.Images(), i, 0, 0), RGB(1, 2, 3)) << i;
}

TEST(MenuIcons, TheProgramsToolbarGivesOneImageTripleForEachCommand) {
  CMenuIconSet set(nullptr, IDR_MAINFRAME);
  ASSERT_TRUE(set.Load());
  EXPECT_EQ(set.ImageSize().cx, 16);
  EXPECT_EQ(set.ImageSize().cy, 16);
  // Separators take no image.
  EXPECT_EQ(set.ImageIndex(ID_MODE_COOKIES), 0);
  EXPECT_EQ(set.ImageIndex(ID_RECYCLE), 9);
  EXPECT_EQ(set.ImageIndex(ID_INVERT_SELECTION), 21);
  EXPECT_EQ(::ImageList_GetImageCount(set.Images()), 24);
  EXPECT_EQ(set.ImageIndex(ID_APP_EXIT), -1);
  CMenuIconSet missing(nullptr, 4242);
  EXPECT_FALSE(missing.Load());
}

HMENU SampleMenuBar() {
  HMENU file = ::CreatePopupMenu();
  ::AppendMenuW(file, MF_STRING, 57601, L"&Open");
  ::AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuW(file, MF_STRING, 161, L"Select &All");
  ::AppendMenuW(file, MF_STRING, 57665, L"E&xit");
  HMENU bar = ::CreateMenu();
  ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
  return bar;
}

UINT ItemType(HMENU menu, int pos) {
  MENUITEMINFOW mii{};
  mii.cbSize = sizeof(mii);
  mii.fMask = MIIM_FTYPE;
  ::GetMenuItemInfoW(menu, pos, TRUE, &mii);
  return mii.fType;
}

TEST(ThemedMenu, LoadSyncAndDetachKeepTheMenuUsable) {
  MenuHandle bar(SampleMenuBar());
  HMENU file = ::GetSubMenu(bar.get(), 0);
  Accel accel = SampleAccelerators();
  {
    CThemedMenu menu;
    menu.Load(bar.get());
    menu.SetAccelerators(accel.handle);
    EXPECT_EQ(CThemedMenu::FromHandle(bar.get()), &menu);
    ASSERT_NE(CThemedMenu::FromHandle(file), nullptr);
    for (int pos = 0; pos < 4; ++pos) EXPECT_TRUE(ItemType(file, pos) & MFT_OWNERDRAW) << pos;
    EXPECT_TRUE(ItemType(file, 1) & MFT_SEPARATOR);
    CThemedMenu* popup = CThemedMenu::FromHandle(file);
    std::vector<std::wstring> texts = popup->DisplayTexts();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0], L"&Open");
    EXPECT_EQ(texts[2], L"Select &All\tCtrl+A");
    EXPECT_EQ(popup->OnMenuChar(L'X'), MAKELRESULT(3, MNC_EXECUTE));
    EXPECT_EQ(popup->OnMenuChar(L'a'), MAKELRESULT(2, MNC_EXECUTE));
    EXPECT_EQ(popup->OnMenuChar(L'#'), 0);
    EXPECT_EQ(menu.OnMenuChar(L'f'), MAKELRESULT(0, MNC_EXECUTE));

    // A language change puts plain texts back; the next synchronisation picks them up.
    ::ModifyMenuW(file, 57665, MF_BYCOMMAND | MF_STRING, 57665, L"E&sci");
    // An item removed behind the menu's back: the mnemonic look-up resynchronises.
    ::DeleteMenu(file, 57601, MF_BYCOMMAND);
    EXPECT_EQ(popup->OnMenuChar(L's'), MAKELRESULT(2, MNC_EXECUTE));
    EXPECT_TRUE(ItemType(file, 2) & MFT_OWNERDRAW);
    EXPECT_EQ(popup->DisplayTexts().size(), 3u);

    // A text set on the owner-drawn item itself reaches the record when measured.
    MENUITEMINFOW set{};
    set.cbSize = sizeof(set);
    set.fMask = MIIM_STRING;
    set.dwTypeData = const_cast<wchar_t*>(L"Seleziona &tutto");
    ::SetMenuItemInfoW(file, 161, FALSE, &set);
    EXPECT_TRUE(ItemType(file, 1) & MFT_OWNERDRAW);
    MENUITEMINFOW data{};
    data.cbSize = sizeof(data);
    data.fMask = MIIM_DATA;
    ::GetMenuItemInfoW(file, 1, TRUE, &data);
    MEASUREITEMSTRUCT mis{ODT_MENU, 0, 161, 0, 0, data.dwItemData};
    menu.MeasureItem(&mis);
    EXPECT_EQ(popup->DisplayTexts()[1], L"Seleziona &tutto\tCtrl+A");
  }
  // Detached: plain strings again, nothing points into freed records.
  EXPECT_EQ(CThemedMenu::FromHandle(bar.get()), nullptr);
  EXPECT_EQ(CThemedMenu::FromHandle(file), nullptr);
  EXPECT_FALSE(ItemType(file, 2) & MFT_OWNERDRAW);
  wchar_t text[64] = {};
  ::GetMenuStringW(file, 2, text, 64, MF_BYPOSITION);
  EXPECT_STREQ(text, L"E&sci");
}

TEST(MenuLook, MeasuresSeparatorsPopupAndBarItems) {
  SIZE icon{16, 15};
  CMenuItemRecord sep;
  sep.m_flags = MF_OWNERDRAW | MF_SEPARATOR;
  SIZE s = CMenuLookXP::MeasureItem(sep, L"", false, false, icon);
  EXPECT_EQ(s.cx, 3);
  EXPECT_EQ(s.cy, 3);

  int cyMenu = ::GetSystemMetrics(SM_CYMENU);
  CMenuItemRecord cmd;
  cmd.m_flags = MF_OWNERDRAW;
  cmd.m_text = L"Open";
  SIZE plain = CMenuLookXP::MeasureItem(cmd, cmd.m_text, false, false, icon);
  EXPECT_EQ(plain.cy, icon.cy + 8 < cyMenu ? cyMenu : icon.cy + 7);
  CMenuItemRecord sub = cmd;
  sub.m_flags |= MF_POPUP;
  SIZE withArrow = CMenuLookXP::MeasureItem(sub, sub.m_text, false, false, icon);
  EXPECT_EQ(withArrow.cx - plain.cx, cyMenu - cyMenu / 2);
  SIZE bold = CMenuLookXP::MeasureItem(cmd, cmd.m_text, false, true, icon);
  EXPECT_GE(bold.cx, plain.cx);
  // Tabs are measured as "nnn".
  SIZE tabbed = CMenuLookXP::MeasureItem(cmd, L"Open\tF5", false, false, icon);
  SIZE spelled = CMenuLookXP::MeasureItem(cmd, L"OpennnnF5", false, false, icon);
  EXPECT_EQ(tabbed.cx, spelled.cx);

  SIZE barItem = CMenuLookXP::MeasureItem(cmd, L"&File", true, false, icon);
  SIZE barPlain = CMenuLookXP::MeasureItem(cmd, L"&File", false, false, icon);
  EXPECT_EQ(barItem.cy, std::max<LONG>(cyMenu, icon.cy + 2));
  EXPECT_EQ(barPlain.cx - barItem.cx, cyMenu / 2 + icon.cx + 6 + 6);
}

class MenuDrawing : public ::testing::Test {
 protected:
  static constexpr int kW = 200, kH = 22;
  void SetUp() override {
    env = ColorEnv::Current();
    GdiBitmap strip = SampleStrip();
    ASSERT_TRUE(icons.LoadFromBitmap(strip.get(), 16, 15, {161, 162}));
    item.m_flags = MF_OWNERDRAW;
    item.m_id = 161;
    item.m_text = L"Select &All";
  }
  DibSurface& Draw(const MenuItemDrawState& state, const std::wstring& text = L"Select &All") {
    RECT rc{0, 0, kW, kH};
    CMenuLookXP::DrawItem(surface.dc(), rc, item, text, state, SIZE{16, 15}, env, kNoColor);
    return surface;
  }
  ColorEnv env;
  CMenuIconSet icons{nullptr, 0};
  CMenuItemRecord item;
  DibSurface surface{kW, kH};
};

TEST_F(MenuDrawing, NormalItemShowsColumnWhiteAreaAndDarkerIcon) {
  item.m_iconSet = &icons;
  item.m_iconIndex = 0;
  DibSurface& s = Draw({});
  EXPECT_EQ(s.Pixel(1, 1), IconColumnColor(env));
  EXPECT_EQ(s.Pixel(23, kH - 1), IconColumnColor(env));  // column is icon width + 8
  EXPECT_EQ(s.Pixel(24, 1), env.Sys(COLOR_WINDOW));
  EXPECT_EQ(s.Pixel(kW - 1, kH - 1), env.Sys(COLOR_WINDOW));
  // Icon at left + 3, vertically centred: (22 - 15) / 2 = 3.
  EXPECT_EQ(s.Pixel(3 + 8, 3 + 7), DarkerPixel(kRed));
  EXPECT_EQ(s.Pixel(3, 3), IconColumnColor(env));  // masked corner
}

TEST_F(MenuDrawing, SelectedItemIsBoxedAndItsIconRaised) {
  item.m_iconSet = &icons;
  item.m_iconIndex = 0;
  MenuItemDrawState state;
  state.selected = true;
  DibSurface& s = Draw(state);
  COLORREF selection = SelectionColor(env);
  EXPECT_EQ(s.Pixel(0, 0), env.Sys(COLOR_HIGHLIGHT));
  EXPECT_EQ(s.Pixel(kW - 1, kH / 2), env.Sys(COLOR_HIGHLIGHT));
  EXPECT_EQ(s.Pixel(1, 1), selection);
  EXPECT_EQ(s.Pixel(kW - 3, 2), selection);
  // Image one pixel up-left of its place, full colour; its shadow one pixel down-right.
  EXPECT_EQ(s.Pixel(2 + 1, 2 + 1), kRed);
  EXPECT_EQ(s.Pixel(3 + 15, 3 + 14), BluishDark(selection));
}

TEST_F(MenuDrawing, DisabledItemIsNotSelectedAndShowsPaleIcon) {
  item.m_iconSet = &icons;
  item.m_iconIndex = 0;
  MenuItemDrawState state;
  state.selected = true;
  state.grayed = true;
  DibSurface& s = Draw(state);
  EXPECT_EQ(s.Pixel(0, 0), IconColumnColor(env));
  EXPECT_EQ(s.Pixel(kW - 3, 2), env.Sys(COLOR_WINDOW));
  EXPECT_EQ(s.Pixel(3 + 8, 3 + 7), DisabledPixel(kRed, DisabledTint(env)));
}

TEST_F(MenuDrawing, SeparatorIsAGreyLineAtMidHeight) {
  item.m_flags = MF_OWNERDRAW | MF_SEPARATOR;
  item.m_text.clear();
  RECT rc{0, 0, kW, 3};
  DibSurface sep(kW, 3);
  CMenuLookXP::DrawItem(sep.dc(), rc, item, L"", {}, SIZE{16, 15}, env, kNoColor);
  EXPECT_EQ(sep.Pixel(16 + 15, 1), env.Sys(COLOR_GRAYTEXT));
  EXPECT_EQ(sep.Pixel(kW - 5, 1), env.Sys(COLOR_GRAYTEXT));
  EXPECT_EQ(sep.Pixel(kW - 4, 1), env.Sys(COLOR_WINDOW));
  EXPECT_EQ(sep.Pixel(16 + 14, 1), env.Sys(COLOR_WINDOW));
  EXPECT_EQ(sep.Pixel(16 + 15, 0), env.Sys(COLOR_WINDOW));
  EXPECT_EQ(sep.Pixel(2, 1), IconColumnColor(env));
}

TEST_F(MenuDrawing, CheckedItemsGetABoxOrAGlyph) {
  MenuItemDrawState state;
  state.checked = true;
  item.m_iconSet = &icons;
  item.m_iconIndex = 0;
  DibSurface& boxed = Draw(state);
  EXPECT_EQ(boxed.Pixel(1, 1), env.Sys(COLOR_HIGHLIGHT));
  EXPECT_EQ(boxed.Pixel(2, 2), Mix86_14(IconColumnColor(env), env.Sys(COLOR_HIGHLIGHT)));
  EXPECT_EQ(boxed.Pixel(0, 0), IconColumnColor(env));

  item.m_iconSet = nullptr;
  item.m_iconIndex = -1;
  DibSurface& glyph = Draw(state);
  int marks = 0;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < 24; ++x) marks += glyph.Pixel(x, y) == env.Sys(COLOR_MENUTEXT);
  EXPECT_GT(marks, 4);
}

TEST_F(MenuDrawing, MenuBarItemsHotAndOpen) {
  MenuItemDrawState state;
  state.menuBar = true;
  EXPECT_EQ(Draw(state, L"&File").Pixel(0, 0), MenuBarColor(env));
  state.hot = true;
  DibSurface& hot = Draw(state, L"&File");
  EXPECT_EQ(hot.Pixel(0, 0), env.Sys(COLOR_HIGHLIGHT));
  EXPECT_EQ(hot.Pixel(1, 1), SelectionColor(env));
  state.hot = false;
  state.selected = true;
  DibSurface& open = Draw(state, L"&File");
  EXPECT_EQ(open.Pixel(0, 0), Darken(128, MenuColor(env)));
  EXPECT_EQ(open.Pixel(1, 1), Mix86_14(MenuBarColor(env), env.Sys(COLOR_WINDOW)));
  EXPECT_EQ(open.Pixel(1, kH - 1),
            Mix86_14(MenuBarColor(env), env.Sys(COLOR_WINDOW)));  // open below
}

TEST_F(MenuDrawing, TextAndRightAlignedAcceleratorAreDrawn) {
  DibSurface& s = Draw({}, L"Select &All\tCtrl+A");
  auto inkIn = [&](int x0, int x1) {
    int n = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = x0; x < x1; ++x) n += s.Pixel(x, y) != env.Sys(COLOR_WINDOW);
    return n;
  };
  EXPECT_GT(inkIn(30, 90), 10);           // the label after the column
  EXPECT_GT(inkIn(kW - 60, kW - 8), 10);  // the accelerator at the right
  EXPECT_EQ(inkIn(100, kW - 70), 0);      // nothing in between
}

TEST(ThemedMenuDraw, DrawItemMessagePaintsThroughOffscreenCopy) {
  MenuHandle bar(SampleMenuBar());
  HMENU file = ::GetSubMenu(bar.get(), 0);
  CThemedMenu menu;
  menu.Load(bar.get());
  MENUITEMINFOW mii{};
  mii.cbSize = sizeof(mii);
  mii.fMask = MIIM_DATA;
  ::GetMenuItemInfoW(file, 2, TRUE, &mii);
  ASSERT_NE(menu.FindRecord(mii.dwItemData), nullptr);

  MEASUREITEMSTRUCT mis{ODT_MENU, 0, 161, 0, 0, mii.dwItemData};
  menu.MeasureItem(&mis);
  EXPECT_GT(mis.itemWidth, 40u);
  EXPECT_GE(mis.itemHeight, 15u);

  DibSurface s(150, 30);
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_MENU;
  dis.itemID = 161;
  dis.itemState = ODS_SELECTED;
  dis.hwndItem = reinterpret_cast<HWND>(file);
  dis.hDC = s.dc();
  dis.rcItem = RECT{10, 4, 140, 26};
  dis.itemData = mii.dwItemData;
  menu.DrawItem(&dis);
  ColorEnv env = ColorEnv::Current();
  EXPECT_EQ(s.Pixel(10, 4), env.Sys(COLOR_HIGHLIGHT));
  EXPECT_EQ(s.Pixel(11, 5), SelectionColor(env));
  EXPECT_EQ(s.Pixel(9, 4), RGB(0, 0, 0));  // outside the item: untouched
}

}  // namespace
}  // namespace klarex

namespace klarex {
namespace {

struct PopupSeen {
  bool found = false;
  bool subclassed = false;
  COLORREF outer = 0, inner = 0, column = 0, item = 0;
  int clientLeft = -1, clientTop = -1;
};
PopupSeen g_popup;

void CALLBACK InspectPopup(HWND, UINT, UINT_PTR id, DWORD) {
  HWND popup = ::FindWindowW(L"#32768", nullptr);
  if (!popup || !::IsWindowVisible(popup)) return;
  ::KillTimer(nullptr, id);
  ::UpdateWindow(popup);
  ::RedrawWindow(popup, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  g_popup.found = true;
  g_popup.subclassed = ::GetPropW(popup, L"OldMenuProc") != nullptr;
  HDC dc = ::GetWindowDC(popup);
  RECT wr{}, cr{};
  ::GetWindowRect(popup, &wr);
  ::GetClientRect(popup, &cr);
  ::MapWindowPoints(popup, nullptr, reinterpret_cast<POINT*>(&cr), 2);
  g_popup.clientLeft = cr.left - wr.left;
  g_popup.clientTop = cr.top - wr.top;
  g_popup.outer = ::GetPixel(dc, 0, 5);
  g_popup.inner = ::GetPixel(dc, 5, 1);
  g_popup.column = ::GetPixel(dc, 1, 5);
  g_popup.item = ::GetPixel(dc, g_popup.clientLeft + 3, g_popup.clientTop + 1);
  ::ReleaseDC(popup, dc);
  test::SaveScreenshot("menu_popup");
  ::EndMenu();
}

TEST(ThemedFrame, PopupWindowsGetTheFlatFrameAndOwnerDrawnItems) {
  ASSERT_TRUE(StartThemedMenus());
  HWND host = test::MakeHostWindow(L"Menu host");
  MenuHandle bar(SampleMenuBar());
  ::SetMenu(host, bar.get());
  CThemedFrameWnd frame;
  ASSERT_TRUE(frame.Attach(host, nullptr));
  ASSERT_EQ(frame.Menu().Handle(), bar.get());
  ::SetForegroundWindow(host);
  test::Pump(100);

  g_popup = {};
  ::SetTimer(nullptr, 0, 50, &InspectPopup);
  ::TrackPopupMenu(::GetSubMenu(bar.get(), 0), TPM_LEFTALIGN, 100, 120, 0, host, nullptr);
  test::Pump(50);
  ASSERT_TRUE(g_popup.found);
  EXPECT_TRUE(g_popup.subclassed);
  ColorEnv env = ColorEnv::Current();
  COLORREF menuColor = MenuColor(env);
  EXPECT_EQ(g_popup.outer, Darken(128, menuColor));
  EXPECT_EQ(g_popup.inner, Mix86_14(env.Sys(COLOR_WINDOW), menuColor));
  EXPECT_EQ(g_popup.column, IconColumnColor(env));
  EXPECT_EQ(g_popup.clientLeft, 2);
  EXPECT_EQ(g_popup.clientTop, 2);
  EXPECT_EQ(g_popup.item, IconColumnColor(env));  // the owner-drawn item's icon column

  frame.Detach();
  ::SetMenu(host, nullptr);
  ::DestroyWindow(host);
}

}  // namespace
}  // namespace klarex

namespace klarex {
namespace {

int g_command = 0;
LRESULT CALLBACK CommandRecorder(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COMMAND) g_command = LOWORD(wp);
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

TEST(ThemedFrame, AcceleratorsStillReachTheFrame) {
  ASSERT_TRUE(StartThemedMenus());
  HWND host = test::MakeHostWindow(L"Accelerator host", 300, 200, &CommandRecorder);
  MenuHandle bar(SampleMenuBar());
  ::SetMenu(host, bar.get());
  Accel accel = SampleAccelerators();
  CThemedFrameWnd frame;
  ASSERT_TRUE(frame.Attach(host, accel.handle));
  ::SetMenu(host, nullptr);  // hidden until Alt, as in the main window
  ::SetForegroundWindow(host);
  ::SetFocus(host);
  test::Pump(100);
  g_command = 0;
  INPUT in[4] = {};
  for (auto& i : in) i.type = INPUT_KEYBOARD;
  in[0].ki.wVk = VK_CONTROL;
  in[1].ki.wVk = 'A';
  in[2].ki.wVk = 'A';
  in[2].ki.dwFlags = KEYEVENTF_KEYUP;
  in[3].ki.wVk = VK_CONTROL;
  in[3].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(4, in, sizeof(INPUT));
  DWORD end = ::GetTickCount() + 300;
  while (static_cast<LONG>(end - ::GetTickCount()) > 0) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (::TranslateAcceleratorW(host, accel.handle, &msg)) continue;
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::Sleep(5);
  }
  EXPECT_EQ(g_command, 161);
  frame.Detach();
  ::DestroyWindow(host);
}

}  // namespace
}  // namespace klarex

namespace klarex {
namespace {

TEST(ThemedFrame, ASystemColourChangeGivesTheBarTheFaceColourWhileAttached) {
  HWND host = test::MakeHostWindow(L"Colour host");
  MenuHandle bar(SampleMenuBar());
  ::SetMenu(host, bar.get());
  {
    CThemedFrameWnd frame;
    ASSERT_TRUE(frame.Attach(host, nullptr));
    EXPECT_EQ(MenuBrushColor(bar.get()), kNoColor);
    ::SendMessageW(host, WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(MenuBrushColor(bar.get()), ::GetSysColor(COLOR_BTNFACE));
  }
  // The brush went with the frame's theming: the menu does not keep a deleted one.
  EXPECT_EQ(MenuBrushColor(bar.get()), kNoColor);
  ::SetMenu(host, nullptr);
  ::DestroyWindow(host);
}

}  // namespace
}  // namespace klarex
