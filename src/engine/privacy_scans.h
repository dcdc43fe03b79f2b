// The browser privacy scans of the Advance dialog's categories. Files are only
// found (they become list rows); stores that cannot be listed as files
// (registry histories, the Firefox database, the IE history and URL cache)
// are cleared at once. Each scan adds a fixed amount to `progress`, whatever
// exists on the machine.
#pragma once
#include <atomic>

#include "engine/catalogue.h"
#include "engine/firefox_history.h"
#include "engine/found_item_sink.h"
#include "sys/machine.h"

namespace klarex {

// What the privacy scans work on.
struct PrivacyScanContext {
  const Catalogue& catalogue;
  IMachine& machine;  // special folders asked at scan time (History, Recent)
  CFirefoxHistory& firefox;
  IFoundItemSink& found;
  // A preview finds files and clears nothing; the counter moves all the same.
  bool preview = false;
  // BrowserBits (engine/running_browsers.h) of running browsers the user
  // chose to leave alone: the steps that change their stores are skipped.
  unsigned skipBrowsers = 0;
};

// COM must be initialised on the calling thread (the URL history store).
void ScanUrlHistory(const PrivacyScanContext& context, std::atomic<int>& progress);
void ScanFormData(const PrivacyScanContext& context, std::atomic<int>& progress);
// The run history has no files: its registry keys only.
void ScanRunHistory(const PrivacyScanContext& context, std::atomic<int>& progress);
void ScanFindHistory(const PrivacyScanContext& context, std::atomic<int>& progress);
void ScanTypedUrls(const PrivacyScanContext& context, std::atomic<int>& progress);
void ScanRecentDocuments(const PrivacyScanContext& context, std::atomic<int>& progress);

}  // namespace klarex
