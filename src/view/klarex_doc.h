// The document: joins the engine to the views. It owns the catalogue, the
// places read from definition files, the found-item queue the scans fill and
// the list drains, and Firefox's history database; a mode's scan or a privacy
// scan reports here.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "engine/catalogue.h"
#include "engine/cleaning_mode.h"
#include "engine/definitions.h"
#include "engine/firefox_history.h"
#include "engine/found_item_queue.h"
#include "engine/found_item_sink.h"
#include "engine/keep_list.h"
#include "engine/privacy_scans.h"
#include "engine/running_browsers.h"
#include "framework/document.h"
#include "sys/machine.h"
#include "sys/status_sink.h"

namespace klarex {

// The keep list of a document that is given none.
inline const CKeepList& NoKeptPaths() {
  static const CKeepList none;
  return none;
}

class CKlarexDoc : public CDocument, private IFoundItemSink {
 public:
  // `machine` is asked again at scan time; `status` hears what the engine
  // reports (a Firefox database error). Opens Firefox's history database
  // when the catalogue names a profile that has one. What `keep` holds is
  // never queued, by any scan. The definitions' places of a mode follow its
  // recipe while the extended catalogue is on.
  CKlarexDoc(Catalogue catalogue, IMachine& machine, IStatusSink& status,
             const CKeepList& keep = NoKeptPaths(), DefinitionSet definitions = {});

  // Runs the mode's recipe. Items are queued: a folder is shown at once (its
  // size takes a while), files when the scan is over.
  void Scan(CleaningMode mode);
  // Whether the scans include the definitions' places (from the next scan on).
  void SetExtendedCatalogue(bool on) { m_extended = on; }
  bool ExtendedCatalogue() const { return m_extended; }
  const DefinitionSet& Definitions() const { return m_definitions; }
  // The mode of the last Scan (the list's rows are that mode's).
  CleaningMode LastMode() const { return m_lastMode; }
  // What the Advance dialog's privacy scans work on; their items are queued
  // the same way (any thread).
  PrivacyScanContext PrivacyScans();

  const Catalogue& GetCatalogue() const { return m_catalogue; }
  // The programs whose files a run must not take while they run: the
  // built-in browsers with this machine's folders, and the definitions'
  // programs while the extended catalogue is on.
  std::vector<WatchedProgram> WatchedPrograms() const;
  CFoundItemQueue& Queue() { return m_queue; }
  // Text of a failed opening of the Firefox history, kept until the status
  // line exists.
  std::wstring TakePendingStatus() { return m_firefox.TakePendingStatus(); }

 private:
  void Add(const FoundItem& item) override;
  void EndOfScan() override;

  const Catalogue m_catalogue;
  const DefinitionSet m_definitions;
  bool m_extended = true;
  IMachine& m_machine;
  CKeepFilterSink m_unkept;  // every scan reports through it
  CleaningMode m_lastMode = CleaningMode::Standard;
  CFirefoxHistory m_firefox;
  CFoundItemQueue m_queue;
};

}  // namespace klarex
