// Firefox's history database (places.sqlite in the roaming profile folder):
// opened once while the document is built, cleaned by the privacy scans.
#include <shlwapi.h>
#include <windows.h>

#include <cstdint>
#include <string>

#include "engine/klarex_doc.h"
#include "sys/queries.h"
#include "sys/status_sink.h"
#include "sys/utf8.h"

namespace klarex {

namespace {

constexpr char kDeleteHistoryPlaces[] =
    "DELETE FROM moz_places WHERE id NOT IN (SELECT place_id FROM moz_annos WHERE place_id IS NOT "
    "NULL UNION SELECT fk FROM moz_bookmarks WHERE fk IS NOT NULL);";
constexpr char kDeleteHistoryVisits[] = "DELETE FROM moz_historyvisits;";
constexpr char kDeleteInputHistory[] = "delete from moz_inputhistory;";

bool Exists(const std::wstring& path) { return !path.empty() && PathFileExistsW(path.c_str()); }

std::wstring PlacesPath(const std::wstring& profileDir) {
  return JoinPath(profileDir, L"places.sqlite");
}

// The clean-ups run only where there is something to clean: the profile folder
// exists and holds a non-empty places.sqlite.
bool HistoryDatabasePresent(const std::wstring& profileDir) {
  if (!Exists(profileDir)) return false;
  std::wstring path = PlacesPath(profileDir);
  uint64_t size = 0;
  return !path.empty() && QueryFileSize(path.c_str(), &size) && size > 0;
}

}  // namespace

bool CKlarexDoc::OpenFirefoxHistory() {
  if (!Exists(m_firefoxProfileDir)) return false;
  std::wstring path = PlacesPath(m_firefoxProfileDir);
  // No database means nothing to clean; SQLite must not create one in the
  // user's profile.
  if (!Exists(path)) return false;
  try {
    m_historyDb.OpenDatabase(ToUtf8(path));
    return true;
  } catch (const CSqliteError& e) {
    // The status line does not exist yet; the frame collects this later.
    m_pendingStatus = FromUtf8(std::string("Firefox history: ") + e.Message());
    return false;
  }
}

void CKlarexDoc::ClearFirefoxHistory() {
  if (!HistoryDatabasePresent(m_firefoxProfileDir)) return;
  try {
    m_historyDb.ExecuteStatement(kDeleteHistoryPlaces);
    m_historyDb.ExecuteStatement(kDeleteHistoryVisits);
  } catch (const CSqliteError& e) {
    SetStatusText(FromUtf8(std::string("Cannot clear Firefox history: ") + e.Message()));
  }
}

void CKlarexDoc::ClearFirefoxInputHistory() {
  if (!HistoryDatabasePresent(m_firefoxProfileDir)) return;
  try {
    m_historyDb.ExecuteStatement(kDeleteInputHistory);
  } catch (const CSqliteError& e) {
    SetStatusText(FromUtf8(std::string("Firefox input history: ") + e.Message()));
  }
}

}  // namespace klarex
