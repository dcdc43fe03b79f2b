// The themed pop-up menu window procedure: Escape is noted, the fade timer
// makes the window opaque at once, a size change while shown hands the window
// back to the system, and pop-ups with the self-drawn shadow leak nothing.
#include "controls/menu_popup.h"

#include <gtest/gtest.h>

#include <functional>

#include "controls/themed_frame.h"
#include "controls/themed_menu.h"
#include "controls/ui_test_util.h"

namespace klarex {
namespace {

constexpr UINT_PTR kFadeTimer = 0x1234;

// Runs `look` once on the shown pop-up of a tracked menu, then closes it.
std::function<void(HWND)> g_look;
void CALLBACK LookAndClose(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND popup = ::FindWindowW(L"#32768", nullptr);
  if (!popup || !::IsWindowVisible(popup)) return;
  ::KillTimer(nullptr, timer);
  if (g_look) g_look(popup);
  ::EndMenu();
}

class MenuPopup : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(StartThemedMenus());
    host = test::MakeHostWindow(L"Popup host");
    HMENU file = ::CreatePopupMenu();
    ::AppendMenuW(file, MF_STRING, 57601, L"&Open");
    ::AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(file, MF_STRING, 57665, L"E&xit");
    bar.reset(::CreateMenu());
    ::AppendMenuW(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    ::SetMenu(host, bar.get());
    ASSERT_TRUE(frame.Attach(host, nullptr));
    ::SetForegroundWindow(host);
    test::Pump(50);
  }
  void TearDown() override {
    g_look = nullptr;
    frame.Detach();
    ::SetMenu(host, nullptr);
    ::DestroyWindow(host);
  }
  // Tracks the File menu until `look` has seen its window.
  void Track(std::function<void(HWND)> look) {
    g_look = std::move(look);
    ::SetTimer(nullptr, 0, 10, &LookAndClose);
    ::TrackPopupMenu(::GetSubMenu(bar.get(), 0), TPM_LEFTALIGN, 100, 120, 0, host, nullptr);
    test::Pump(10);
  }

  HWND host = nullptr;
  MenuHandle bar;
  CThemedFrameWnd frame;
};

bool Themed(HWND popup) { return ::GetPropW(popup, L"OldMenuProc") != nullptr; }

TEST_F(MenuPopup, EscapeIsNotedAndTheFadeTimerMakesTheWindowOpaque) {
  bool escaped = false, layered = false, timerStopped = false;
  BYTE alpha = 0;
  Track([&](HWND popup) {
    ASSERT_TRUE(Themed(popup));
    EXPECT_FALSE(CThemedMenuLibrary::EscapePressed(popup));
    ::SendMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    escaped = CThemedMenuLibrary::EscapePressed(popup);

    ::SetTimer(popup, kFadeTimer, 60000, nullptr);
    ::SendMessageW(popup, WM_TIMER, kFadeTimer, 0);
    layered = (::GetWindowLongPtrW(popup, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
    DWORD flags = 0;
    ::GetLayeredWindowAttributes(popup, nullptr, &alpha, &flags);
    timerStopped = !::KillTimer(popup, kFadeTimer);
  });
  EXPECT_TRUE(escaped);
  EXPECT_TRUE(layered);
  EXPECT_EQ(alpha, 255);
  EXPECT_TRUE(timerStopped);
}

// Watching sent messages costs every message of the thread a trip to the
// window server under Wine: it is on only while a menu window exists.
TEST_F(MenuPopup, SentMessagesAreWatchedOnlyWhileAMenuIsShown) {
  EXPECT_FALSE(CThemedMenuLibrary::WatchingMessages());
  bool watching = false, themed = false;
  Track([&](HWND popup) {
    watching = CThemedMenuLibrary::WatchingMessages();
    themed = Themed(popup);
  });
  EXPECT_TRUE(watching);
  EXPECT_TRUE(themed);
  EXPECT_FALSE(CThemedMenuLibrary::WatchingMessages());
  // And again for the next menu.
  themed = false;
  Track([&](HWND popup) { themed = Themed(popup); });
  EXPECT_TRUE(themed);
  EXPECT_FALSE(CThemedMenuLibrary::WatchingMessages());
}

TEST_F(MenuPopup, ASizeChangeWhileShownGivesTheWindowBackToTheSystem) {
  bool themedBefore = false, themedAfter = true;
  Track([&](HWND popup) {
    themedBefore = Themed(popup);
    RECT wr{};
    ::GetWindowRect(popup, &wr);
    // A move alone keeps the look.
    ::SetWindowPos(popup, nullptr, wr.left + 1, wr.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(Themed(popup));
    ::SetWindowPos(popup, nullptr, 0, 0, wr.right - wr.left + 20, wr.bottom - wr.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    themedAfter = Themed(popup);
  });
  EXPECT_TRUE(themedBefore);
  EXPECT_FALSE(themedAfter);
}

TEST_F(MenuPopup, PopupsWithTheSelfDrawnShadowLeakNoGdiObjects) {
  BOOL shadows = FALSE;
  ::SystemParametersInfoW(SPI_GETDROPSHADOW, 0, &shadows, 0);
  ::SystemParametersInfoW(SPI_SETDROPSHADOW, 0, reinterpret_cast<void*>(FALSE), 0);
  Track(nullptr);  // warms what the first pop-up loads
  const int before = test::GdiObjectCount();
  ASSERT_GT(before, 0);
  for (int i = 0; i < 200; ++i) Track(nullptr);
  const int after = test::GdiObjectCount();
  ::SystemParametersInfoW(SPI_SETDROPSHADOW, 0,
                          reinterpret_cast<void*>(static_cast<INT_PTR>(shadows)), 0);
  EXPECT_LT(after - before, 10) << "GDI objects before " << before << ", after " << after;
}

}  // namespace
}  // namespace klarex
