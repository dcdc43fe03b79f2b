#include "view/cleaning_modes.h"

namespace klarex {

namespace {

ModeStep Standard() { return {{CleaningMode::Standard, true}, CleaningMode::Standard}; }

ModeStep Cookies(const ModeState& state) {
  return {{CleaningMode::Cookies, state.cookiesAvailable}, CleaningMode::Cookies, true};
}

ModeStep Offline(bool cookiesAvailable) {
  return {{CleaningMode::Offline, cookiesAvailable}, CleaningMode::Offline, false, true};
}

}  // namespace

ModeStep NextModeStep(const ModeState& state, ModeEvent event) {
  switch (event) {
    case ModeEvent::StandardCommand:
      return Standard();
    case ModeEvent::CookiesCommand:
      return Cookies(state);
    case ModeEvent::OfflineCommand:
      return Offline(state.cookiesAvailable);
    case ModeEvent::CookiesFoundNothing:
      // Nothing to delete there: the command is disabled until Standard runs.
      return Offline(false);
    case ModeEvent::ListEmptied:
      switch (state.mode) {
        case CleaningMode::Standard:
          return Cookies(state);
        case CleaningMode::Cookies:
          return Offline(state.cookiesAvailable);
        case CleaningMode::Offline:
          return Standard();
      }
      break;
  }
  return Standard();
}

}  // namespace klarex
