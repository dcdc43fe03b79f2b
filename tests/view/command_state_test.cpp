#include "view/command_state.h"

#include <gtest/gtest.h>

#include "../res/ids_main.h"

namespace klarex {
namespace {

CommandState State(UINT id, const UiSnapshot& s) {
  CommandState out;
  EXPECT_TRUE(ComputeCommandState(id, s, out)) << id;
  return out;
}

TEST(CommandState, RowCommandsNeedASelectionAndNoDeletion) {
  UiSnapshot s;
  s.rows = 5;
  for (UINT id : {ID_FILE_OPEN, ID_DELETE, ID_RECYCLE, ID_UNSELECT_ALL})
    EXPECT_FALSE(State(id, s).enabled) << id;
  s.selected = 2;
  for (UINT id :
       {ID_FILE_OPEN, ID_DELETE, ID_RECYCLE, ID_UNSELECT_ALL, ID_SELECT_ALL, ID_INVERT_SELECTION})
    EXPECT_TRUE(State(id, s).enabled) << id;
  s.selected = 5;
  EXPECT_FALSE(State(ID_SELECT_ALL, s).enabled);  // all rows already selected
  s.rows = s.selected = 0;
  EXPECT_FALSE(State(ID_SELECT_ALL, s).enabled);
  EXPECT_FALSE(State(ID_INVERT_SELECTION, s).enabled);
  EXPECT_TRUE(State(ID_FILE_PROPERTIES, s).enabled);
}

TEST(CommandState, WhileDeletingOnlyUnselectAllPropertiesAndTheFrameCommandsStay) {
  UiSnapshot s;
  s.rows = 5;
  s.selected = 2;
  s.busy = true;
  for (UINT id : {ID_FILE_OPEN, ID_DELETE, ID_RECYCLE, ID_SELECT_ALL, ID_INVERT_SELECTION,
                  ID_MODE_COOKIES, ID_MODE_OFFLINE, ID_MODE_STANDARD, ID_LANGUAGE})
    EXPECT_FALSE(State(id, s).enabled) << id;
  for (UINT id : {ID_UNSELECT_ALL, ID_FILE_PROPERTIES, ID_APP_EXIT, ID_APP_ABOUT, ID_HELP_ONLINE,
                  ID_HELP_UPDATE, ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR})
    EXPECT_TRUE(State(id, s).enabled) << id;
}

TEST(CommandState, ModeChecksAndCookiesAvailability) {
  UiSnapshot s;
  s.mode = CleaningMode::Standard;
  EXPECT_TRUE(State(ID_MODE_STANDARD, s).checked);
  EXPECT_FALSE(State(ID_MODE_COOKIES, s).checked);
  s.mode = CleaningMode::Cookies;
  EXPECT_TRUE(State(ID_MODE_COOKIES, s).checked);
  EXPECT_FALSE(State(ID_MODE_STANDARD, s).checked);
  EXPECT_FALSE(State(ID_MODE_OFFLINE, s).checked);
  s.mode = CleaningMode::Offline;
  EXPECT_TRUE(State(ID_MODE_OFFLINE, s).checked);
  s.cookiesAvailable = false;
  EXPECT_FALSE(State(ID_MODE_COOKIES, s).enabled);
  EXPECT_TRUE(State(ID_MODE_STANDARD, s).enabled);
}

TEST(CommandState, BarsAreCheckedByVisibilityAndUnknownIdsAreUnclaimed) {
  UiSnapshot s;
  s.toolBarVisible = false;
  EXPECT_FALSE(State(ID_VIEW_TOOLBAR, s).checked);
  EXPECT_TRUE(State(ID_VIEW_STATUS_BAR, s).checked);
  CommandState out;
  EXPECT_FALSE(ComputeCommandState(4242, s, out));
}

}  // namespace
}  // namespace klarex
