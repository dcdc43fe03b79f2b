// The category table, the expected-step total and the percentage shown.
#include "privacy/privacy_categories.h"

#include <gtest/gtest.h>

#include <climits>

namespace klarex {
namespace {

TEST(PrivacyCategories, OrderIconsAndOpeningStateFollowTheTable) {
  const int ids[] = {206, 201, 204, 202, 205, 203};
  const int icons[] = {138, 134, 136, 133, 137, 139};
  const bool on[] = {true, false, false, false, false, true};
  for (std::size_t i = 0; i < kCategoryCount; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(kPrivacyCategories[i].id, ids[i]);
    EXPECT_EQ(kPrivacyCategories[i].iconId, icons[i]);
    EXPECT_EQ(kPrivacyCategories[i].onAtOpen, on[i]);
  }
  EXPECT_STREQ(kPrivacyCategories[0].label, L"Ur&l History");
  EXPECT_STREQ(kPrivacyCategories[1].label, L"AutoComplete &Passwords");
  EXPECT_STREQ(kPrivacyCategories[5].label, L"Recent &Documents");
}

TEST(PrivacyCategories, WeightsFollowTheKeyListSizes) {
  EXPECT_EQ(MakeCategoryWeights(8, 17), (CategoryWeights{16, 4, 1, 9, 1, 20}));
  EXPECT_EQ(MakeCategoryWeights(0, 0), (CategoryWeights{16, 4, 1, 1, 1, 3}));
}

TEST(PrivacyCategories, TotalIsTheSumOfTheChosenWeightsAndNeverZero) {
  const CategoryWeights w = MakeCategoryWeights(8, 17);
  EXPECT_EQ(ExpectedTotal(w, {1, 0, 0, 0, 0, 1}), 36);  // the opening choice
  EXPECT_EQ(ExpectedTotal(w, {0, 0, 0, 0, 0, 0}), 1);
  EXPECT_EQ(ExpectedTotal(w, {0, 0, 1, 0, 0, 0}), 1);
  EXPECT_EQ(ExpectedTotal(w, {0, 0, 0, 1, 0, 0}), 9);
  EXPECT_EQ(ExpectedTotal(w, {1, 1, 1, 1, 1, 1}), 51);
  // Any non-zero flag counts as on (the toggles report 1, BST_CHECKED).
  EXPECT_EQ(ExpectedTotal(w, {0, 7, 0, 0, 0, 0}), 4);
}

TEST(PrivacyCategories, PercentTruncatesAndMayPassAHundred) {
  EXPECT_EQ(ProgressPercent(1, 36), 2);
  EXPECT_EQ(ProgressPercent(18, 36), 50);
  EXPECT_EQ(ProgressPercent(36, 36), 100);
  EXPECT_EQ(ProgressPercent(4, 1), 400);  // Run History alone: 1 + 3 keys, total 1
  EXPECT_EQ(ProgressPercent(5, 0), 500);  // a zero total is taken as 1
  EXPECT_EQ(ProgressPercent(INT_MAX, 1), INT_MAX);
}

TEST(PrivacyCategories, BarPositionStaysInItsRange) {
  EXPECT_EQ(BarPosition(400), 100);
  EXPECT_EQ(BarPosition(100), 100);
  EXPECT_EQ(BarPosition(37), 37);
  EXPECT_EQ(BarPosition(0), 0);
  EXPECT_EQ(BarPosition(-5), 0);
}

}  // namespace
}  // namespace klarex
