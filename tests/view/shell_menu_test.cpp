#include <gtest/gtest.h>

#include "../res/ids_main.h"
#include "support/temp_dir.h"
#include "view/list_fixture.h"
#include "view/shell_item_menu.h"

namespace klarex {
namespace {

// Records the items of every pop-up menu that opens on this thread, then
// closes it: WM_INITMENUPOPUP reaches the owner before the menu shows.
class MenuSpy {
 public:
  struct Item {
    UINT id;
    std::wstring text;
  };
  MenuSpy() {
    s_spy = this;
    m_hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &MenuSpy::Hook, nullptr, ::GetCurrentThreadId());
    m_timer = ::SetTimer(nullptr, 0, 200, &MenuSpy::Close);
  }
  ~MenuSpy() {
    ::KillTimer(nullptr, m_timer);
    ::UnhookWindowsHookEx(m_hook);
    s_spy = nullptr;
  }
  std::vector<std::vector<Item>> menus;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp) {
    const auto* msg = reinterpret_cast<const CWPSTRUCT*>(lp);
    if (code == HC_ACTION && msg->message == WM_INITMENUPOPUP && s_spy) {
      HMENU menu = reinterpret_cast<HMENU>(msg->wParam);
      std::vector<Item> items;
      for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = {};
        ::GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
        items.push_back({::GetMenuItemID(menu, i), text});
      }
      s_spy->menus.push_back(items);
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
  }
  static void CALLBACK Close(HWND, UINT, UINT_PTR, DWORD) { ::EndMenu(); }

  static MenuSpy* s_spy;
  HHOOK m_hook = nullptr;
  UINT_PTR m_timer = 0;
};
MenuSpy* MenuSpy::s_spy = nullptr;

std::vector<UINT> Ids(const std::vector<MenuSpy::Item>& items) {
  std::vector<UINT> ids;
  for (const auto& item : items) ids.push_back(item.id);
  return ids;
}

// A main menu shaped like the program's: File (with Delete/Recycle), Edit.
HMENU MakeMainMenu() {
  HMENU main = ::CreateMenu();
  HMENU file = ::CreatePopupMenu();
  ::AppendMenuW(file, MF_STRING, 157, L"Löschen\tShift+Del");
  ::AppendMenuW(file, MF_STRING, 158, L"In den Papierkorb\tDel");
  HMENU edit = ::CreatePopupMenu();
  ::AppendMenuW(edit, MF_STRING, 161, L"Select &All\tCtrl+A");
  ::AppendMenuW(edit, MF_STRING, 162, L"&Unselect All\tCtrl+U");
  ::AppendMenuW(edit, MF_STRING, 163, L"&Invert Selection");
  ::AppendMenuW(main, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
  ::AppendMenuW(main, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), L"&Edit");
  return main;
}

class ContextMenu : public ::testing::Test {
 protected:
  void SetUp() override {
    ::OleInitialize(nullptr);
    main = MakeMainMenu();
  }
  void TearDown() override {
    ::DestroyMenu(main);
    ::OleUninitialize();
  }
  test::ListWindow list;
  test::TempDir dir;
  HMENU main = nullptr;
};

TEST(PathsShareOneFolder, ComparesParentsCaseInsensitively) {
  EXPECT_TRUE(PathsShareOneFolder({L"C:\\Temp\\a.log"}));
  EXPECT_TRUE(PathsShareOneFolder({L"C:\\Temp\\a.log", L"c:\\TEMP\\b.log"}));
  EXPECT_FALSE(PathsShareOneFolder({L"C:\\Temp\\a.log", L"C:\\Temp\\sub\\b.log"}));
  EXPECT_FALSE(PathsShareOneFolder({L"C:\\Temp\\a.log", L"D:\\Temp\\a.log"}));
}

TEST_F(ContextMenu, NoSelectionShowsTheThreeEditCommandsBusyShowsNothing) {
  list.Add(dir.File(L"a.tmp"));
  {
    MenuSpy spy;
    ShowListContextMenu(list.Handle(), main, true);
    EXPECT_TRUE(spy.menus.empty());
  }
  {
    MenuSpy spy;
    ShowListContextMenu(list.Handle(), main, false);
    ASSERT_EQ(spy.menus.size(), 1u);
    EXPECT_EQ(Ids(spy.menus[0]), (std::vector<UINT>{161, 162, 163}));
  }
  list.Select(0);
  MenuSpy spy;
  ShowListContextMenu(list.Handle(), main, true);
  EXPECT_TRUE(spy.menus.empty());
}

TEST_F(ContextMenu, RowsOfOneFolderGetTheShellMenuAndTheWindowProcedureBack) {
  list.Add(dir.File(L"a.tmp"));
  list.Add(dir.File(L"b.tmp"));
  list.Select(0);
  list.Select(1);
  const LONG_PTR procedure = ::GetWindowLongPtrW(list.Handle(), GWLP_WNDPROC);
  MenuSpy spy;
  ShowListContextMenu(list.Handle(), main, false);
  ASSERT_EQ(spy.menus.size(), 1u);
  EXPECT_GE(spy.menus[0].size(), 3u);
  // The shell's commands, then the program's Keep at the end.
  std::vector<UINT> ids = Ids(spy.menus[0]);
  ASSERT_EQ(ids.back(), UINT(ID_KEEP));
  EXPECT_EQ(spy.menus[0].back().text, L"&Keep (never list again)");
  ids.pop_back();
  for (UINT id : ids) {
    if (id != 0 && id != UINT(-1)) {
      EXPECT_GE(id, 1u);
      EXPECT_LE(id, 10000u);
    }
  }
  EXPECT_EQ(::GetWindowLongPtrW(list.Handle(), GWLP_WNDPROC), procedure);
}

TEST_F(ContextMenu, RowsOfSeveralFoldersGetOnlyTheProgramsOwnCommands) {
  list.Add(dir.File(L"a.tmp"));
  list.Add(dir.File(L"sub\\b.tmp"));
  list.Select(0);
  list.Select(1);
  MenuSpy spy;
  ShowListContextMenu(list.Handle(), main, false);
  ASSERT_EQ(spy.menus.size(), 1u);
  EXPECT_EQ(Ids(spy.menus[0]), (std::vector<UINT>{158, 157, 0, 161, 162, 163, 0, ID_KEEP}));
  // Texts come from the main menu, so a translated menu stays translated.
  EXPECT_EQ(spy.menus[0][0].text, L"In den Papierkorb\tDel");
  EXPECT_EQ(spy.menus[0][1].text, L"Löschen\tShift+Del");
}

TEST_F(ContextMenu, ShellItemMenuHoldsItemsOfOneFolderOnly) {
  const std::wstring a = dir.File(L"a.tmp"), b = dir.File(L"b.tmp"), c = dir.File(L"sub\\c.tmp");
  CShellItemMenu menu;
  EXPECT_TRUE(menu.SetObjects(std::vector<std::wstring>{a, b}));
  EXPECT_EQ(menu.ItemCount(), 2);
  EXPECT_FALSE(menu.SetObjects(std::vector<std::wstring>{a, c}));
  EXPECT_EQ(menu.ItemCount(), 0);
  EXPECT_FALSE(menu.SetObjects(std::vector<std::wstring>{}));
  EXPECT_FALSE(menu.SetObjects(static_cast<PCIDLIST_ABSOLUTE>(nullptr)));

  PIDLIST_ABSOLUTE item = ::ILCreateFromPathW(a.c_str());
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(menu.SetObjects(item));
  ::ILFree(item);
  EXPECT_EQ(menu.ItemCount(), 1);
  MenuSpy spy;
  EXPECT_EQ(menu.ShowContextMenu(list.Handle(), POINT{10, 10}), 0u);
  ASSERT_NE(menu.Menu(), nullptr);
  EXPECT_GT(::GetMenuItemCount(menu.Menu()), 0);
}

}  // namespace
}  // namespace klarex
