#include "frame/window_placement.h"

namespace klarex {

namespace {
const wchar_t kSection[] = L"Location";
constexpr int kCoordinateLimit = 32767;
}  // namespace

PlacementRect ReadStoredWindowRect(const CProfile& profile) {
  PlacementRect r;
  r.left = profile.GetInt(kSection, L"Left", 0);
  r.top = profile.GetInt(kSection, L"Top", 0);
  r.width = profile.GetInt(kSection, L"Width", 0);
  r.height = profile.GetInt(kSection, L"Height", 0);
  return r;
}

void StoreWindowRect(const CProfile& profile, const RECT& screenRect) {
  profile.WriteInt(kSection, L"Top", screenRect.top);
  profile.WriteInt(kSection, L"Left", screenRect.left);
  profile.WriteInt(kSection, L"Width", screenRect.right - screenRect.left);
  profile.WriteInt(kSection, L"Height", screenRect.bottom - screenRect.top);
}

PlacementRect ChooseWindowRect(const PlacementRect& stored) {
  if (stored.width <= 450 || stored.height <= 0 || stored.left == -32000) return kDefaultWindowRect;
  // Windows keeps coordinates in 16 bits; beyond them the window could not be
  // placed or seen.
  auto inRange = [](int v) { return v >= -kCoordinateLimit && v <= kCoordinateLimit; };
  if (!inRange(stored.left) || !inRange(stored.top) || stored.width > kCoordinateLimit ||
      stored.height > kCoordinateLimit)
    return kDefaultWindowRect;
  return stored;
}

}  // namespace klarex
