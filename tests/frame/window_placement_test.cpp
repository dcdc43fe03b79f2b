#include "frame/window_placement.h"

#include <gtest/gtest.h>

namespace klarex {
namespace {

TEST(WindowPlacement, RestoreRule) {
  const PlacementRect def{80, 66, 800, 456};
  EXPECT_EQ(ChooseWindowRect({0, 0, 0, 0}), def);  // first start: nothing stored
  EXPECT_EQ(ChooseWindowRect({10, 20, 450, 300}), def);
  EXPECT_EQ(ChooseWindowRect({10, 20, 451, 300}), (PlacementRect{10, 20, 451, 300}));
  EXPECT_EQ(ChooseWindowRect({10, 20, 900, 0}), def);
  EXPECT_EQ(ChooseWindowRect({-32000, -32000, 900, 600}), def);  // closed while minimised
  EXPECT_EQ(ChooseWindowRect({-8, -8, 1296, 816}), (PlacementRect{-8, -8, 1296, 816}));
  // Absurd values from a damaged registry.
  EXPECT_EQ(ChooseWindowRect({INT_MAX, INT_MAX, INT_MAX, INT_MAX}), def);
  EXPECT_EQ(ChooseWindowRect({INT_MIN, 0, 900, 600}), def);
  EXPECT_EQ(ChooseWindowRect({0, 0, 900, INT_MAX}), def);
}

TEST(WindowPlacement, StoredAtCloseAndReadBack) {
  CProfile profile(L"KlarexTest", L"placement-" + std::to_wstring(GetCurrentProcessId()));
  EXPECT_EQ(ReadStoredWindowRect(profile), (PlacementRect{0, 0, 0, 0}));
  StoreWindowRect(profile, RECT{100, 50, 800, 550});
  EXPECT_EQ(ReadStoredWindowRect(profile), (PlacementRect{100, 50, 700, 500}));
  EXPECT_EQ(profile.GetInt(L"Location", L"Top", 0), 50);
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\KlarexTest");
}

}  // namespace
}  // namespace klarex
