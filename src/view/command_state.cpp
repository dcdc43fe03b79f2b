#include "view/command_state.h"

#include "../res/ids_main.h"

namespace klarex {

bool ComputeCommandState(UINT id, const UiSnapshot& s, CommandState& out) {
  const bool anySelected = s.selected > 0;
  out = {};
  switch (id) {
    case ID_FILE_OPEN:
    case ID_DELETE:
    case ID_RECYCLE:
      out.enabled = anySelected && !s.busy;
      return true;
    case ID_FILE_PROPERTIES:
      return true;
    case ID_SELECT_ALL:
      out.enabled = s.rows > 0 && s.selected < s.rows && !s.busy;
      return true;
    case ID_UNSELECT_ALL:
      out.enabled = anySelected;  // also while a deletion runs
      return true;
    case ID_INVERT_SELECTION:
      out.enabled = s.rows > 0 && !s.busy;
      return true;
    case ID_MODE_COOKIES:
      out = {s.cookiesAvailable && !s.busy, s.mode == CleaningMode::Cookies};
      return true;
    case ID_MODE_OFFLINE:
      out = {!s.busy, s.mode == CleaningMode::Offline};
      return true;
    case ID_MODE_STANDARD:
      out = {!s.busy, s.mode == CleaningMode::Standard};
      return true;
    case ID_LANGUAGE:
    case ID_KEPT_ITEMS:
      out.enabled = !s.busy;
      return true;
    case ID_KEEP:
      out.enabled = anySelected && !s.busy;
      return true;
    case ID_DELETION_RECORD:
      return true;
    case ID_VIEW_TOOLBAR:
      out.checked = s.toolBarVisible;
      return true;
    case ID_VIEW_STATUS_BAR:
      out.checked = s.statusBarVisible;
      return true;
    case ID_EXTENDED_CATALOGUE:
      out.checked = s.extendedCatalogue;
      return true;
    case ID_APP_EXIT:
    case ID_APP_ABOUT:
    case ID_HELP_ONLINE:
    case ID_HELP_UPDATE:
      return true;
  }
  return false;
}

}  // namespace klarex
