// The work of one Advance run, apart from any window: the chosen categories in
// their fixed order, counted into the dialog's step counter.
#pragma once
#include <atomic>
#include <vector>

#include "engine/deletion_record.h"
#include "engine/privacy_scans.h"
#include "privacy/privacy_categories.h"

namespace klarex {

// Runs on the privacy worker thread. Initialises COM for the thread (the URL
// history store is a COM object) and releases it before returning. Each
// registry history key of the chosen categories gets a line in `record`, if
// any: deleted, absent (there was none) or failed (still there); false when
// those lines could not be written.
bool RunPrivacyCategories(const PrivacyScanContext& scans, const CategoryFlags& selected,
                          std::atomic<int>& progress, CDeletionRecord* record = nullptr);

// The registry keys the chosen categories delete, in the order they run
// (those of skipped browsers left out).
std::vector<const wchar_t*> CategoryRegistryKeys(const PrivacyScanContext& scans,
                                                 const CategoryFlags& selected);

}  // namespace klarex
