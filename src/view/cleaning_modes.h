// The cleaning modes and how the program moves between them. Pure: the mode
// controller asks here what a mode command, an empty Cookies list or a
// deletion that emptied the list leads to, and carries it out.
#pragma once
#include "engine/cleaning_mode.h"

namespace klarex {

struct ModeState {
  CleaningMode mode = CleaningMode::Standard;
  // False once a Cookies scan found nothing; Standard makes it true again.
  bool cookiesAvailable = true;
  bool operator==(const ModeState&) const = default;
};

enum class ModeEvent {
  StandardCommand,      // F5
  CookiesCommand,       // Ctrl+K
  OfflineCommand,       // Ctrl+H: Offline Temp & Advance
  CookiesFoundNothing,  // the Cookies scan just run left the list empty
  ListEmptied,          // a deletion emptied the list: this mode's cleaning is complete
};

// What the list goes through for an event.
struct ModeStep {
  ModeState next;     // the state from the step on
  CleaningMode scan;  // the list is cleared and filled by this mode's scan
  // Cookies: an empty list after the scan leads on (CookiesFoundNothing).
  bool moveOnIfEmpty = false;
  // Offline: the commands show the new mode, the Advance dialog runs, and what
  // its privacy scans found joins the list.
  bool runAdvance = false;
  bool operator==(const ModeStep&) const = default;
};

// Standard -> Cookies -> Offline Temp & Advance -> Standard when a list empties.
ModeStep NextModeStep(const ModeState& state, ModeEvent event);

}  // namespace klarex
