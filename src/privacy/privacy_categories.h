// The six privacy categories of the Advance dialog, in the order the worker runs
// them, and the arithmetic that turns the worker's step counter into a bar.
#pragma once
#include <array>
#include <cstddef>

namespace klarex {

inline constexpr std::size_t kCategoryCount = 6;

struct PrivacyCategory {
  int id;                // command id of the toggle (201-206)
  int iconId;            // icon resource
  const wchar_t* label;  // English text; the language key ("Labels", id - 200)
  bool onAtOpen;
};

// Index order: Url History, AutoComplete Passwords, Run History, Find History,
// Typed URL, Recent Documents.
extern const std::array<PrivacyCategory, kCategoryCount> kPrivacyCategories;

using CategoryWeights = std::array<int, kCategoryCount>;
using CategoryFlags = std::array<int, kCategoryCount>;

// Expected counter steps per category; the two list-driven ones grow with the
// find-history and recent-documents key lists of the catalogue.
CategoryWeights MakeCategoryWeights(std::size_t findHistoryKeys, std::size_t recentDocKeys);

// Expected steps of a run with the categories that are on; 1 when none is, so
// the percentage never divides by zero.
int ExpectedTotal(const CategoryWeights& weights, const CategoryFlags& on);

// progress * 100 / total, truncated; passes 100 when the weights underestimate.
int ProgressPercent(int progress, int total);

// What the bar shows for a percentage: clamped to its 0-100 range.
int BarPosition(int percent);

}  // namespace klarex
