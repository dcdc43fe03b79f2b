// The main frame as a real window (under Xvfb): bars, command states pushed
// on idle, tooltips and status prompts with and without a language.
#include "frame/main_frame.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <thread>

#include "../res/ids_main.h"
#include "framework/lang_file.h"
#include "support/scratch_profile.h"
#include "support/temp_dir.h"
#include "view/status_line.h"
#include "view/status_progress.h"

namespace klarex {
namespace {

// The frame tests run no Offline mode.
class NoAdvanceDialog final : public IAdvanceDialog {
 public:
  void Run(HWND, CKlarexDoc&) override { ADD_FAILURE() << "no Advance dialog expected"; }
};

class MainFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc{8, 0xFF};
    InitCommonControlsEx(&icc);
    ASSERT_TRUE(frame.LoadFrame(IDR_MAINFRAME));
  }
  void TearDown() override {
    statusLine.Detach();
    progress.Detach();
    DestroyWindow(frame.Handle());
    MSG msg;  // the frame's end posts WM_QUIT
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  std::wstring ToolTip(UINT id, UINT code = TTN_GETDISPINFOW) {
    NMTTDISPINFOW info{};
    info.hdr.hwndFrom = frame.ToolBar()->Handle();
    info.hdr.idFrom = id;
    info.hdr.code = code;
    LRESULT handled = SendMessageW(frame.Handle(), WM_NOTIFY, id, reinterpret_cast<LPARAM>(&info));
    EXPECT_TRUE(handled);
    if (code == TTN_GETDISPINFOA) {
      const char* text = reinterpret_cast<NMTTDISPINFOA*>(&info)->szText;
      return std::wstring(text, text + strlen(text));
    }
    return info.szText;
  }

  std::wstring HoverText(UINT id) {
    SendMessageW(frame.Handle(), WM_MENUSELECT, MAKEWPARAM(id, MF_STRING),
                 reinterpret_cast<LPARAM>(frame.MenuBar()));
    return frame.StatusBar()->PaneText(0);
  }

  NoAdvanceDialog advance;
  CStatusLine statusLine;
  CStatusProgress progress;
  test::ScratchProfile profile;
  CMainFrame frame{advance, statusLine, progress, profile.Get()};
};

TEST_F(MainFrameTest, CaptionBarsAndHiddenMenuBar) {
  EXPECT_EQ(frame.Text(), L"Klarex .NET (64 bit) 4.18");
  EXPECT_FALSE(frame.IsMenuBarShown());
  EXPECT_NE(frame.MenuBar(), nullptr);
  CToolBar* bar = frame.ToolBar();
  ASSERT_NE(bar, nullptr);
  const int expected[] = {181, 182, 183, 0, 158, 157, 0, 161, 162, 163};
  ASSERT_EQ(bar->Send(TB_BUTTONCOUNT), 10);
  for (int i = 0; i < 10; ++i) {
    TBBUTTON b{};
    bar->Send(TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
    EXPECT_EQ(b.idCommand, expected[i]) << i;
  }
  EXPECT_EQ(frame.StatusBar()->Send(SB_GETPARTS), 2);
  EXPECT_EQ(frame.StatusBar()->Id(), 59393);
  EXPECT_EQ(bar->Id(), 59392);
}

// Every notification of the list passes the frame's procedure; a subclass in
// front of it (SetWindowSubclass) finds its data through window properties,
// under Wine a round trip to the window server for each message.
TEST_F(MainFrameTest, TheThemedMenusPutNoSubclassInFrontOfTheFrame) {
  EXPECT_EQ(::GetWindowLongPtrW(frame.Handle(), GWLP_WNDPROC),
            static_cast<LONG_PTR>(::GetClassLongPtrW(frame.Handle(), GCLP_WNDPROC)));
  EXPECT_EQ(CWnd::FromHandle(frame.Handle()), &frame);
}

TEST_F(MainFrameTest, IdleUpdatePushesStatesToTheToolbar) {
  // No rows yet: row commands disabled, Standard checked.
  frame.UpdateToolbarStates();
  CToolBar* bar = frame.ToolBar();
  EXPECT_FALSE(bar->Send(TB_ISBUTTONENABLED, ID_DELETE));
  EXPECT_FALSE(bar->Send(TB_ISBUTTONENABLED, ID_SELECT_ALL));
  EXPECT_TRUE(bar->Send(TB_ISBUTTONENABLED, ID_MODE_COOKIES));
  EXPECT_TRUE(bar->Send(TB_ISBUTTONCHECKED, ID_MODE_STANDARD));
  EXPECT_FALSE(bar->Send(TB_ISBUTTONCHECKED, ID_MODE_COOKIES));
}

TEST_F(MainFrameTest, ToolbarAndStatusBarToggle) {
  frame.Show(SW_SHOW);
  frame.ExecuteCommand(ID_VIEW_TOOLBAR);
  EXPECT_FALSE(frame.ToolBar()->HasVisibleStyle());
  CommandState state;
  ASSERT_TRUE(frame.QueryCommandState(ID_VIEW_TOOLBAR, state));
  EXPECT_FALSE(state.checked);
  frame.ExecuteCommand(ID_VIEW_TOOLBAR);
  EXPECT_TRUE(frame.ToolBar()->HasVisibleStyle());
  frame.ExecuteCommand(ID_VIEW_STATUS_BAR);
  EXPECT_FALSE(frame.StatusBar()->HasVisibleStyle());
}

TEST_F(MainFrameTest, TooltipsAndPromptsWithoutLanguage) {
  EXPECT_EQ(ToolTip(ID_DELETE), L"Permanently Delete");
  EXPECT_EQ(ToolTip(ID_MODE_COOKIES), L"Cookies Killer");
  EXPECT_EQ(ToolTip(ID_RECYCLE, TTN_GETDISPINFOA), L"Recycle Bin");
  EXPECT_EQ(HoverText(ID_APP_EXIT), L"Quit the application");
  EXPECT_EQ(HoverText(ID_DELETE), L"Delete selected object(s)");
}

TEST_F(MainFrameTest, TooltipsAndPromptsFromTheLanguageFile) {
  test::TempDir dir;
  std::wstring path = dir / L"f.lng";
  test::WriteUtf16File(path,
                       L"[ToolTips]\r\n1=Elimina\r\n3=Seleziona tutto\r\n"
                       L"[Status]\r\n10=Esci dal programma\r\n");
  test::LanguageGuard lang(path);
  EXPECT_EQ(ToolTip(ID_DELETE), L"Elimina");
  EXPECT_EQ(ToolTip(ID_SELECT_ALL), L"Seleziona tutto");
  EXPECT_EQ(ToolTip(ID_APP_EXIT), L"");  // no tooltip of its own
  EXPECT_EQ(HoverText(ID_APP_EXIT), L"Esci dal programma");
  EXPECT_EQ(HoverText(ID_SELECT_ALL), L"Seleziona tutto");
  EXPECT_EQ(HoverText(ID_FILE_OPEN), L"");  // framework prompt: 57601 has no string
  std::wstring longText(200, L'x');
  test::WriteUtf16File(path, L"[ToolTips]\r\n1=" + longText + L"\r\n");
  EXPECT_EQ(ToolTip(ID_DELETE), std::wstring(79, L'x'));  // 80-character buffer
}

TEST_F(MainFrameTest, StatusTextFromAnotherThreadArrivesAsACopy) {
  std::thread worker([this] { statusLine.SetStatusText(L"from the worker"); });
  worker.join();
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  EXPECT_EQ(frame.StatusBar()->PaneText(0), L"from the worker");
}

int g_progressPaints = 0;
WNDPROC g_progressProc = nullptr;
LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) ++g_progressPaints;
  return CallWindowProcW(g_progressProc, hwnd, msg, wp, lp);
}

// A deletion moves the bar once per percent: it is painted with the window's
// next paint, not at once each time (Wine's bar paints itself on every move).
TEST_F(MainFrameTest, TheProgressBarMovesNowAndIsPaintedWithTheNextPaint) {
  ShowWindow(frame.Handle(), SW_SHOW);
  progress.ShowProgress(10);
  HWND bar = progress.Window();
  ASSERT_NE(bar, nullptr);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  g_progressPaints = 0;
  g_progressProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingProc)));
  progress.ShowProgress(20);
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 20);
  EXPECT_EQ(g_progressPaints, 0);
  EXPECT_TRUE(IsWindowVisible(bar));
  UpdateWindow(frame.Handle());
  EXPECT_EQ(g_progressPaints, 1);
  SetWindowLongPtrW(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_progressProc));
}

}  // namespace
}  // namespace klarex
