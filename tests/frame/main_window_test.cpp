// The main frame with the result list inside, as the program puts them
// together: closing during a deletion, the status line after an Advance run
// and after a language change, and the list's context menu in themed menus.
#include <windows.h>
// needs windows.h first
#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "../res/ids_main.h"
#include "controls/ui_test_util.h"
#include "frame/main_frame.h"
#include "framework/app_messages.h"
#include "framework/lang_file.h"
#include "support/fake_machine.h"
#include "support/recording_sink.h"
#include "support/scratch_profile.h"
#include "support/temp_dir.h"
#include "sys/operations.h"
#include "view/klarex_view.h"
#include "view/status_line.h"
#include "view/status_progress.h"

namespace klarex {
namespace {

// The deletion's file-system work, done by nobody: each item only takes its time.
class SlowOperations : public IDeleteOperations {
 public:
  std::atomic<int> calls{0};

  // Slow enough that a loaded machine closes the window long before the
  // 40th row: the test is about stopping, not about speed.
  DeleteOutcome DeletePath(const std::wstring&, bool) override {
    ++calls;
    ::Sleep(150);
    return DeleteOutcome::Deleted;
  }
  void Settle() override {}
};

FoundItem Record(const std::wstring& path) {
  FoundItem item{};
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
  item.dwFileAttributes = data.dwFileAttributes;
  item.ftLastWriteTime = data.ftLastWriteTime;
  item.nFileSizeLow = data.nFileSizeLow;
  wcsncpy(item.cFileName, path.c_str(), MAX_PATH - 1);
  return item;
}

// The Advance dialog as a test scripts it.
class ScriptedAdvance final : public IAdvanceDialog {
 public:
  void Run(HWND, CKlarexDoc&) override {
    if (script) script();
  }
  std::function<void()> script;
};

void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) continue;  // the frame's end; the test goes on
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc{8, 0xFF};
    ::InitCommonControlsEx(&icc);
    ASSERT_TRUE(frame.LoadFrame(IDR_MAINFRAME));
    view.SetDocument(&doc);
    ASSERT_TRUE(view.Create(frame.Handle(), 0xE900));
    doc.AddView(&view);
    frame.SetView(&view);
    frame.InitialUpdateFrame();
    ::MoveWindow(frame.Handle(), 80, 66, 800, 456, TRUE);
    frame.Show(SW_SHOW);
    Pump();
  }
  void TearDown() override {
    doc.RemoveView(&view);
    if (frame.IsWindow()) ::SendMessageW(frame.Handle(), WM_CLOSE, 0, 0);
    Pump();
  }

  void AddRows(int count) {
    for (int i = 0; i < count; ++i)
      doc.Queue().Push(Record(dir.File(L"row" + std::to_wstring(m_rows++) + L".tmp")));
    view.OnUpdate(nullptr, 0);
    view.RefreshAfterFill();
  }
  std::wstring Status() const { return frame.StatusBar()->PaneText(0); }

  SlowOperations operations;
  test::TempDir dir;
  test::FakeMachine machine;
  test::ScratchProfile profile;
  CStatusLine statusLine;
  CStatusProgress progress;
  CKlarexDoc doc{BuildCatalogue(machine), machine, statusLine.EngineSink()};
  ScriptedAdvance advance;
  CMainFrame frame{advance, statusLine, progress, profile.Get()};
  CKlarexView view{operations, statusLine, progress};

 private:
  int m_rows = 0;
};

// The program releases its security state after the application and its
// windows are gone: no deletion may run once the window has closed.
TEST_F(MainWindow, ClosingDuringADeletionStopsTheWorkerWithTheWindow) {
  AddRows(40);
  view.OnCommand(ID_SELECT_ALL);
  view.OnCommand(ID_DELETE);
  ASSERT_TRUE(view.IsBusy());
  for (int i = 0; i < 500 && operations.calls < 3; ++i) {
    Pump();
    ::Sleep(5);
  }
  ASSERT_GE(operations.calls, 3);

  ::SendMessageW(frame.Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(frame.IsWindow());
  EXPECT_FALSE(view.IsBusy());
  const int calls = operations.calls;
  EXPECT_LT(calls, 40) << "the run was to be cut short";
  ::Sleep(100);
  EXPECT_EQ(operations.calls, calls) << "the worker went on after the window had gone";
}

TEST_F(MainWindow, AnEngineErrorStaysInTheStatusLineUntilTheUsersNextAction) {
  // An Advance run whose Firefox step fails: the engine reports on the worker
  // thread while the dialog's loop runs; then the dialog closes by itself.
  advance.script = [this] {
    std::thread worker([this] {
      statusLine.EngineSink().SetStatusText(L"Cannot clear Firefox history: database is locked");
    });
    worker.join();
    Pump();
  };
  frame.ExecuteCommand(ID_MODE_OFFLINE);
  Pump();
  EXPECT_EQ(Status(), L"Cannot clear Firefox history: database is locked");

  // Rows that arrive without the user doing anything leave it there.
  AddRows(3);
  EXPECT_EQ(Status(), L"Cannot clear Firefox history: database is locked");

  // The user clicks into the list: from then on the selection shows again.
  MSG click{view.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, 0, 0, {}};
  frame.PreTranslateMessage(&click);
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED;
  item.state = LVIS_SELECTED;
  view.Send(LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(Status(), L"1 / 3 selected");
}

// What the open pop-up menu looked like; the menu is closed after one look.
struct PopupLook {
  int ticks = 0;
  bool seen = false;
  int width = 0;
  std::vector<RECT> items;
  int inkInFirstItem = 0;  // pixels unlike the item's background: icon and text
};
PopupLook g_look;
HWND g_lookOwner = nullptr;
HMENU g_lookMenu = nullptr;

void CALLBACK LookAtPopup(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND popup = ::FindWindowW(L"#32768", nullptr);
  // A few ticks after it shows, the menu has drawn its items.
  if (!popup || !::IsWindowVisible(popup) || ++g_look.ticks < 4) return;
  ::KillTimer(nullptr, timer);
  ::RedrawWindow(popup, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  g_look.seen = true;
  RECT wr{};
  ::GetWindowRect(popup, &wr);
  g_look.width = wr.right - wr.left;
  for (int i = 0; g_lookMenu && i < ::GetMenuItemCount(g_lookMenu); ++i) {
    RECT r{};
    ::GetMenuItemRect(g_lookOwner, g_lookMenu, static_cast<UINT>(i), &r);
    g_look.items.push_back(r);
  }
  if (!g_look.items.empty()) {
    const RECT& r = g_look.items[0];
    WindowDc screen(nullptr);
    const COLORREF background = ::GetPixel(screen, r.right - 2, r.top + 1);
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x)
        g_look.inkInFirstItem += ::GetPixel(screen, x, y) != background;
    }
  }
  test::SaveScreenshot("list_context_menu");
  ::EndMenu();
}

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND popup = ::FindWindowW(L"#32768", nullptr);
  if (!popup || !::IsWindowVisible(popup)) return;
  ::KillTimer(nullptr, timer);
  ::EndMenu();
}

TEST_F(MainWindow, ContextMenuWithoutSelectionDrawsTheThemedEditItems) {
  AddRows(2);
  // Alt shows the menu bar; opening its Edit menu makes the menus themed.
  MSG alt{frame.Handle(), WM_SYSKEYDOWN, VK_MENU, 0x20380001, 0, {}};
  frame.PreTranslateMessage(&alt);
  ASSERT_TRUE(frame.IsMenuBarShown());
  ::SetTimer(nullptr, 0, 50, &CloseMenu);
  ::SendMessageW(frame.Handle(), WM_SYSCOMMAND, SC_KEYMENU, 'e');
  Pump();
  HMENU edit = ::GetSubMenu(frame.MenuBar(), 1);
  ASSERT_NE(CThemedMenu::FromHandle(edit), nullptr) << "the Edit menu was not themed";

  // Right-click into the list with nothing selected.
  g_look = {};
  g_lookOwner = view.Handle();
  g_lookMenu = edit;
  ::SetTimer(nullptr, 0, 50, &LookAtPopup);
  ::SendMessageW(view.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(view.Handle()),
                 MAKELPARAM(300, 300));
  Pump();
  ASSERT_TRUE(g_look.seen);
  EXPECT_GT(g_look.width, 100) << "an empty strip";
  ASSERT_EQ(g_look.items.size(), 3u);
  for (const RECT& r : g_look.items) {
    EXPECT_GT(r.right - r.left, 100);
    EXPECT_GE(r.bottom - r.top, ::GetSystemMetrics(SM_CYMENU) / 2);
  }
  // Icon, label and accelerator text were drawn.
  EXPECT_GT(g_look.inkInFirstItem, 100);
}

// Answers the program's message box (the language's name) as the user would.
void CALLBACK AnswerMessageBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = ::FindWindowW(L"#32770", L"Klarex .NET");
  if (!box || !::IsWindowVisible(box)) return;
  ::KillTimer(nullptr, timer);
  ::PostMessageW(box, WM_COMMAND, IDOK, 0);
}

// A language file shipped beside the program.
std::wstring ShippedLanguage(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  std::wstring folder(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH));
  // Started by its Unix path, the program's name comes back without its \\?\ prefix.
  if (folder.rfind(L"unix\\", 0) == 0) folder = L"\\\\?\\" + folder;
  return folder.substr(0, folder.rfind(L'\\') + 1) + L"lang\\" + name;
}

TEST_F(MainWindow, ChoosingALanguageShowsItsReadyTextAndRoomForItsTitles) {
  AddRows(2);
  const std::wstring italian = ShippedLanguage(L"italiano.lng");
  ASSERT_NE(::GetFileAttributesW(italian.c_str()), INVALID_FILE_ATTRIBUTES) << italian;
  EXPECT_EQ(Status(), L"Ready");

  // What the Language command does with the chosen file.
  test::LanguageGuard language(italian);
  frame.ApplyLanguage(italian);
  ::SetTimer(nullptr, 0, 20, &AnswerMessageBox);
  view.Post(kMsgLanguageChanged, 0, 0);
  Pump();
  EXPECT_EQ(Status(), L"Pronto");

  HWND header = reinterpret_cast<HWND>(view.Send(LVM_GETHEADER));
  wchar_t title[64] = L"";
  HDITEMW item{};
  item.mask = HDI_TEXT;
  item.pszText = title;
  item.cchTextMax = 64;
  ::SendMessageW(header, HDM_GETITEMW, 2, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(title, L"Dimensione");
  WindowDc dc(header);
  SelectGuard font(dc, reinterpret_cast<HFONT>(::SendMessageW(header, WM_GETFONT, 0, 0)));
  SIZE text{};
  ::GetTextExtentPoint32W(dc, title, static_cast<int>(wcslen(title)), &text);
  // The header keeps three edges of margin on each side of a title.
  EXPECT_GE(view.Send(LVM_GETCOLUMNWIDTH, 2), text.cx + 6 * ::GetSystemMetrics(SM_CXEDGE));
  test::SaveScreenshot("italian_columns");
}

}  // namespace
}  // namespace klarex
