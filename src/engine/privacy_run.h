// One privacy run apart from any window: the six categories of the Advance
// dialog in the order they run, their expected counter steps, and the run
// itself. The dialog's worker and the console program both use it.
#pragma once
#include <array>
#include <atomic>
#include <cstddef>

#include "engine/catalogue.h"
#include "engine/privacy_scans.h"

namespace klarex {

inline constexpr std::size_t kCategoryCount = 6;

// Index order, which is also the order of a run.
enum PrivacyCategoryIndex : std::size_t {
  kUrlHistory,
  kAutoComplete,
  kRunHistory,
  kFindHistory,
  kTypedUrls,
  kRecentDocuments,
};

using CategoryWeights = std::array<int, kCategoryCount>;
using CategoryFlags = std::array<int, kCategoryCount>;

// Expected counter steps per category; the two list-driven ones grow with the
// find-history and recent-documents key lists of the catalogue.
CategoryWeights MakeCategoryWeights(std::size_t findHistoryKeys, std::size_t recentDocKeys);

// Expected steps of a run with the categories that are on; 1 when none is, so
// a percentage never divides by zero.
int ExpectedTotal(const CategoryWeights& weights, const CategoryFlags& on);

// The registry histories under HKEY_CURRENT_USER that a category clears
// (none for the URL history).
const NameList& CategoryRegistryKeys(const Catalogue& catalogue, std::size_t category);

// Runs the chosen categories in index order, counting into `progress`.
// Initialises COM for the calling thread (the URL history store is a COM
// object) and releases it before returning.
void RunPrivacyCategories(const PrivacyScanContext& scans, const CategoryFlags& selected,
                          std::atomic<int>& progress);

}  // namespace klarex
