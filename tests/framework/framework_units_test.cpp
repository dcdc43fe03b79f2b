#include <gtest/gtest.h>

#include "../res/ids_main.h"
#include "framework/file_dialog.h"
#include "framework/profile.h"
#include "framework/resources.h"
#include "framework/toolbar.h"
#include "framework/wnd.h"

namespace klarex {
namespace {

TEST(CommandStrings, PromptIsBeforeTheFirstBreakAndShortNameAfterTheLast) {
  EXPECT_EQ(PromptPart(L"a\nb\nc"), L"a");
  EXPECT_EQ(ShortNamePart(L"a\nb\nc"), L"c");
  EXPECT_EQ(PromptPart(L"whole"), L"whole");
  EXPECT_EQ(ShortNamePart(L"whole"), L"whole");
  EXPECT_EQ(ShortNamePart(L"File Name\n"), L"");
  EXPECT_EQ(CommandPrompt(ID_DELETE), L"Delete selected object(s)");
  EXPECT_EQ(CommandShortName(ID_DELETE), L"Permanently Delete");
  EXPECT_EQ(CommandPrompt(ID_MODE_COOKIES), L"Cookies Killer");
  EXPECT_EQ(CommandShortName(ID_MODE_COOKIES), L"Cookies Killer");
  EXPECT_EQ(LoadResString(ID_INDICATOR_PROGRESS), std::wstring(41, L' '));
  EXPECT_EQ(LoadResString(12345), L"");
}

TEST(ToolbarTemplate, ParsesTheProgramsResourceAndRejectsBrokenOnes) {
  HRSRC res = FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_MAINFRAME),
                            MAKEINTRESOURCEW(kToolbarResourceType));
  ASSERT_NE(res, nullptr);
  ToolbarTemplate t;
  ASSERT_TRUE(ParseToolbarTemplate(LockResource(LoadResource(nullptr, res)),
                                   SizeofResource(nullptr, res), t));
  EXPECT_EQ(t.width, 16);
  EXPECT_EQ(t.height, 16);
  EXPECT_EQ(t.ids, (std::vector<UINT>{181, 182, 183, 0, 158, 157, 0, 161, 162, 163}));

  const WORD truncated[] = {1, 16, 16, 10, 181, 182};
  EXPECT_FALSE(ParseToolbarTemplate(truncated, sizeof(truncated), t));
  const WORD otherVersion[] = {2, 16, 16, 1, 181};
  EXPECT_FALSE(ParseToolbarTemplate(otherVersion, sizeof(otherVersion), t));
  EXPECT_FALSE(ParseToolbarTemplate(nullptr, 0, t));
}

TEST(FileDialog, FilterBarsBecomeNulls) {
  std::wstring b = ToFilterBuffer(L"*.lng (Klarex .NET Language Files) |*.lng||");
  const wchar_t expected[] = L"*.lng (Klarex .NET Language Files) \0*.lng\0\0\0";
  EXPECT_EQ(b, std::wstring(expected, std::size(expected) - 1));
}

TEST(Profile, RoundTripsIntegersAndStringsAndFallsBackToDefaults) {
  CProfile profile(L"KlarexTest", L"profile-" + std::to_wstring(GetCurrentProcessId()));
  EXPECT_EQ(profile.GetInt(L"Location", L"Width", 7), 7);
  EXPECT_EQ(profile.GetString(L"root", L"src", L"Default"), L"Default");
  EXPECT_TRUE(profile.WriteInt(L"Location", L"Left", -32000));
  EXPECT_TRUE(profile.WriteString(L"root", L"src", L"C:\\lang\\x.lng"));
  EXPECT_EQ(profile.GetInt(L"Location", L"Left", 0), -32000);
  EXPECT_EQ(profile.GetString(L"root", L"src", L"Default"), L"C:\\lang\\x.lng");
  // A value of the wrong type reads as missing.
  EXPECT_EQ(profile.GetInt(L"root", L"src", 5), 5);
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\KlarexTest");
}

}  // namespace
}  // namespace klarex

namespace {
WNDPROC g_ours = nullptr;
LRESULT CALLBACK Outer(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return ::CallWindowProcW(g_ours, hwnd, msg, wp, lp);
}
}  // namespace

// The object is found from its window while our procedure is on it, after
// someone else subclassed it again, and no longer once it has let go.
TEST(WindowObject, FoundThroughOurProcedureAndThroughAnotherOnTop) {
  HWND edit = ::CreateWindowW(L"EDIT", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                              klarex::ModuleInstance(), nullptr);
  ASSERT_NE(edit, nullptr);
  auto* window = new klarex::CWnd;
  EXPECT_EQ(klarex::CWnd::FromHandle(edit), nullptr);
  ASSERT_TRUE(window->Subclass(edit));
  EXPECT_EQ(klarex::CWnd::FromHandle(edit), window);
  g_ours = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Outer)));
  EXPECT_EQ(klarex::CWnd::FromHandle(edit), window);
  EXPECT_EQ(::SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0), 0);  // through both procedures
  ::SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_ours));
  delete window;  // destroys the window and lets go of it
  EXPECT_FALSE(::IsWindow(edit));
  EXPECT_EQ(klarex::CWnd::FromHandle(nullptr), nullptr);
}
