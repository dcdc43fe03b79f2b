// The three cleaning modes, each a fixed recipe of scanner steps.
#pragma once

namespace klarex {

enum class CleaningMode {
  Standard,  // temporary files, logs, dumps, update left-overs (shown at start)
  Cookies,   // cookies and site storage of the browsers
  Offline,   // offline caches; the Advance dialog's privacy categories follow it
};

}  // namespace klarex
