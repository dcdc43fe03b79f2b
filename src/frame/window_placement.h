// The main window's rectangle between runs: section "Location" of the
// application's profile, values "Top", "Left", "Width", "Height".
#pragma once
#include <windows.h>

#include "framework/profile.h"

namespace klarex {

struct PlacementRect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const PlacementRect&) const = default;
};

inline constexpr PlacementRect kDefaultWindowRect{80, 66, 800, 456};

PlacementRect ReadStoredWindowRect(const CProfile& profile);
void StoreWindowRect(const CProfile& profile, const RECT& screenRect);

// The stored rectangle when it is usable, else the default: rejected when
// the width is 450 or less, the height 0 or less, the left edge -32000 (a
// minimised window), or any value lies beyond the 16-bit coordinate space.
PlacementRect ChooseWindowRect(const PlacementRect& stored);

}  // namespace klarex
