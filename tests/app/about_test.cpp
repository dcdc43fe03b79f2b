// The About box and the Help commands: caption with and without a language,
// the links and what they hand to the shell, the addresses of Online Help and
// Update. The shell is replaced by one that records addresses.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "../res/ids_dialogs.h"
#include "app/about_dlg.h"
#include "controls/ui_test_util.h"
#include "framework/language.h"
#include "support/temp_dir.h"

namespace klarex {
namespace {

constexpr wchar_t kHome[] = L"https://www.example.org/klarex/";
constexpr wchar_t kHomeQuery[] = L"https://www.example.org/klarex/?";

std::vector<std::wstring> g_opened;
INT_PTR g_shellResult = 42;

HINSTANCE RecordingShell(const std::wstring& address) {
  g_opened.push_back(address);
  return reinterpret_cast<HINSTANCE>(g_shellResult);
}

class AboutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_opened.clear();
    g_shellResult = 42;
    Language().SetSetting(kDefaultLanguage);
  }
  void TearDown() override { Language().SetSetting(kDefaultLanguage); }
  // A language file with the home page and the About caption replaced.
  void UseLanguage() {
    std::wstring path = temp / L"test.lng";
    const char text[] = "[status]\r\n12=https://lang.example.org/home\r\n[Title]\r\n5=Info\r\n";
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(file, text, sizeof(text) - 1, &written, nullptr);
    ::CloseHandle(file);
    Language().SetSetting(path);
  }
  // Runs the About box, calling `inspect` with the open dialog, then closes it.
  void RunAbout(CAboutDlg& dialog, std::function<void(HWND)> inspect) {
    s_inspect = std::move(inspect);
    s_inspected = false;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 100, &OnTimer);
    dialog.DoModal();
    ::KillTimer(nullptr, timer);
    EXPECT_TRUE(s_inspected) << "the About box never showed";
  }
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hwnd, LPARAM out) {
          wchar_t cls[16] = {};
          ::GetClassNameW(hwnd, cls, 16);
          if (wcscmp(cls, L"#32770") != 0) return TRUE;
          *reinterpret_cast<HWND*>(out) = hwnd;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&dialog));
    if (!dialog || s_inspected) return;
    ::KillTimer(nullptr, id);
    s_inspected = true;
    s_inspect(dialog);
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  }
  static std::wstring Caption(HWND hwnd) {
    wchar_t text[256] = {};
    ::GetWindowTextW(hwnd, text, 256);
    return text;
  }

  static inline std::function<void(HWND)> s_inspect;
  static inline bool s_inspected = false;
  test::TempDir temp;
};

TEST_F(AboutTest, AddressesOfOnlineHelpAndUpdate) {
  EXPECT_EQ(HelpAddress(), kHomeQuery);
  EXPECT_EQ(UpdateAddress(), std::wstring(kHomeQuery) + L"4.180000");
  OnlineHelp(RecordingShell);
  CheckUpdate(RecordingShell);
  EXPECT_EQ(g_opened,
            (std::vector<std::wstring>{kHomeQuery, std::wstring(kHomeQuery) + L"4.180000"}));

  // A language's status/12 replaces both, without the "?".
  UseLanguage();
  g_opened.clear();
  OnlineHelp(RecordingShell);
  CheckUpdate(RecordingShell);
  EXPECT_EQ(g_opened, (std::vector<std::wstring>{L"https://lang.example.org/home",
                                                 L"https://lang.example.org/home4.180000"}));
}

TEST_F(AboutTest, WithoutLanguageKeepsTemplateCaptionAndOpensHomePage) {
  CAboutDlg dialog(nullptr, RecordingShell);
  RunAbout(dialog, [&](HWND hwnd) {
    EXPECT_EQ(Caption(hwnd), L"About");
    EXPECT_EQ(Caption(::GetDlgItem(hwnd, IDC_ABOUT_VERSION)), L"Version 4.18");
    EXPECT_FALSE(Caption(::GetDlgItem(hwnd, IDC_ABOUT_NOTICE)).empty());
    ::ShowWindow(hwnd, SW_SHOW);
    ::UpdateWindow(hwnd);
    test::Pump(150);
    test::SaveScreenshot("about_box");

    // The logo opens the home page and its link turns purple.
    HWND logo = ::GetDlgItem(hwnd, IDC_ABOUT_LOGO);
    EXPECT_EQ(dialog.HomePageLink().Handle(), logo);
    EXPECT_EQ(dialog.HomePageLink().Color(), kLinkColor);
    ::SendMessageW(logo, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(dialog.HomePageLink().Color(), kVisitedLinkColor);

    // The e-mail link: the shell refuses it, so it stays blue.
    g_shellResult = 2;
    HWND mail = ::GetDlgItem(hwnd, IDC_ABOUT_EMAIL);
    ::SendMessageW(mail, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_EQ(dialog.MailLink().Color(), kLinkColor);

    // Colouring: the text link gets blue text on a null brush; the bitmap paints normally.
    HDC dc = ::GetDC(mail);
    LRESULT brush = ::SendMessageW(hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                   reinterpret_cast<LPARAM>(mail));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), ::GetStockObject(NULL_BRUSH));
    EXPECT_EQ(::GetTextColor(dc), kLinkColor);
    EXPECT_EQ(::GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(dialog.HomePageLink().OnCtlColor(dc), nullptr);
    ::ReleaseDC(mail, dc);

    // The hand cursor over a link.
    ASSERT_NE(dialog.MailLink().Cursor(), nullptr);
    EXPECT_TRUE(::SendMessageW(mail, WM_SETCURSOR, reinterpret_cast<WPARAM>(mail),
                               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(::GetCursor(), dialog.MailLink().Cursor());
  });
  EXPECT_EQ(g_opened, (std::vector<std::wstring>{kHome, kSupportMail}));
}

TEST_F(AboutTest, WithLanguageShowsTranslatedCaptionAndLink) {
  UseLanguage();
  CAboutDlg dialog(nullptr, RecordingShell);
  RunAbout(dialog, [&](HWND hwnd) {
    EXPECT_EQ(Caption(hwnd), L"Info Klarex .NET");
    ::SendMessageW(::GetDlgItem(hwnd, IDC_ABOUT_LOGO), WM_LBUTTONDOWN, MK_LBUTTON, 0);
  });
  EXPECT_EQ(g_opened, (std::vector<std::wstring>{L"https://lang.example.org/home"}));
}

TEST(LinkLabel, EmptyLinkFallsBackToTheControlText) {
  g_opened.clear();
  g_shellResult = 42;
  EXPECT_EQ(CLinkTarget().Open(RecordingShell), nullptr);  // nothing to open, shell untouched
  HWND host = test::MakeHostWindow(L"Link host");
  HWND label = ::CreateWindowW(L"STATIC", L"https://www.example.org/x", WS_CHILD | SS_NOTIFY, 0, 0,
                               100, 20, host, reinterpret_cast<HMENU>(4321), nullptr, nullptr);
  CLinkLabel link(RecordingShell);
  ASSERT_TRUE(link.Subclass(label));
  EXPECT_TRUE(link.OpenLink());
  EXPECT_EQ(g_opened, (std::vector<std::wstring>{L"https://www.example.org/x"}));
  ::DestroyWindow(host);
}

}  // namespace
}  // namespace klarex
