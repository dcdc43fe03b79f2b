// The Advance dialog's run: the engine's privacy run (engine/privacy_run.h)
// with a line in the deletion record for each registry history it clears.
#pragma once
#include <atomic>
#include <vector>

#include "engine/deletion_record.h"
#include "engine/privacy_run.h"

namespace klarex {

// Runs on the privacy worker thread. Each registry history key of the chosen
// categories gets a line in `record`, if any: deleted, absent (there was none)
// or failed (still there); false when those lines could not be written.
bool RunPrivacyCategories(const PrivacyScanContext& scans, const CategoryFlags& selected,
                          std::atomic<int>& progress, CDeletionRecord* record);

// The registry keys the chosen categories delete, in the order they run
// (those of skipped browsers left out).
std::vector<const wchar_t*> CategoryRegistryKeys(const PrivacyScanContext& scans,
                                                 const CategoryFlags& selected);

}  // namespace klarex
