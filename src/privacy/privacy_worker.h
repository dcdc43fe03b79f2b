// The work of one Advance run, apart from any window: the chosen categories in
// their fixed order, counted into the dialog's step counter.
#pragma once
#include <atomic>

#include "engine/privacy_scans.h"
#include "privacy/privacy_categories.h"

namespace klarex {

// Runs on the privacy worker thread. Initialises COM for the thread (the URL
// history store is a COM object) and releases it before returning.
void RunPrivacyCategories(const PrivacyScanContext& scans, const CategoryFlags& selected,
                          std::atomic<int>& progress);

}  // namespace klarex
