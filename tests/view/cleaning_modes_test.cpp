// Where the cleaning modes lead: the three commands, the Cookies list that
// comes out empty, and the next mode after a deletion emptied the list.
#include "view/cleaning_modes.h"

#include <gtest/gtest.h>

namespace klarex {
namespace {

constexpr CleaningMode kStandard = CleaningMode::Standard;
constexpr CleaningMode kCookies = CleaningMode::Cookies;
constexpr CleaningMode kOffline = CleaningMode::Offline;

TEST(CleaningModes, EachCommandScansItsModeOnlyOfflineRunsTheAdvanceDialog) {
  for (bool cookies : {true, false}) {
    const ModeState any{kOffline, cookies};
    EXPECT_EQ(NextModeStep(any, ModeEvent::StandardCommand),
              (ModeStep{{kStandard, true}, kStandard, false, false}));
    EXPECT_EQ(NextModeStep(any, ModeEvent::CookiesCommand),
              (ModeStep{{kCookies, cookies}, kCookies, true, false}));
    EXPECT_EQ(NextModeStep(any, ModeEvent::OfflineCommand),
              (ModeStep{{kOffline, cookies}, kOffline, false, true}));
  }
}

TEST(CleaningModes, AnEmptyCookiesListMovesOnAndDisablesCookiesUntilStandard) {
  ModeStep step = NextModeStep({kStandard, true}, ModeEvent::CookiesCommand);
  EXPECT_TRUE(step.moveOnIfEmpty);
  step = NextModeStep(step.next, ModeEvent::CookiesFoundNothing);
  EXPECT_EQ(step, (ModeStep{{kOffline, false}, kOffline, false, true}));
  // Offline keeps it disabled; only Standard makes it available again.
  step = NextModeStep(step.next, ModeEvent::OfflineCommand);
  EXPECT_FALSE(step.next.cookiesAvailable);
  step = NextModeStep(step.next, ModeEvent::StandardCommand);
  EXPECT_TRUE(step.next.cookiesAvailable);
}

TEST(CleaningModes, AnEmptiedListAdvancesStandardCookiesOfflineStandard) {
  ModeState state;
  std::vector<CleaningMode> scans;
  for (int i = 0; i < 4; ++i) {
    const ModeStep step = NextModeStep(state, ModeEvent::ListEmptied);
    EXPECT_EQ(step.scan, step.next.mode);
    EXPECT_EQ(step.runAdvance, step.scan == kOffline);
    EXPECT_EQ(step.moveOnIfEmpty, step.scan == kCookies);
    scans.push_back(step.scan);
    state = step.next;
  }
  EXPECT_EQ(scans, (std::vector<CleaningMode>{kCookies, kOffline, kStandard, kCookies}));
  // After an empty Cookies list the turn goes on from Offline, and Standard is next.
  EXPECT_EQ(NextModeStep({kOffline, false}, ModeEvent::ListEmptied).next,
            (ModeState{kStandard, true}));
}

}  // namespace
}  // namespace klarex
