#include "engine/firefox_history.h"

#include <shlwapi.h>
#include <windows.h>

#include <cstdint>

#include "engine/catalogue.h"
#include "sys/queries.h"
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

CFirefoxHistory::CFirefoxHistory(std::wstring profileDir, IStatusSink& status)
    : m_profileDir(std::move(profileDir)), m_status(status) {}

CFirefoxHistory::~CFirefoxHistory() {
  if (!m_db.IsOpen()) return;
  try {
    m_db.CloseDatabase();
  } catch (const CSqliteError&) {
    // Program exit: nothing left to report to.
  }
}

bool CFirefoxHistory::Open() {
  if (!Exists(m_profileDir)) return false;
  std::wstring path = PlacesPath(m_profileDir);
  // No database means nothing to clean; SQLite must not create one in the
  // user's profile.
  if (!Exists(path)) return false;
  try {
    m_db.OpenDatabase(ToUtf8(path));
    return true;
  } catch (const CSqliteError& e) {
    m_pendingStatus = FromUtf8(std::string("Firefox history: ") + e.Message());
    return false;
  }
}

void CFirefoxHistory::ClearHistory() {
  if (!HistoryDatabasePresent(m_profileDir)) return;
  try {
    m_db.ExecuteStatement(kDeleteHistoryPlaces);
    m_db.ExecuteStatement(kDeleteHistoryVisits);
  } catch (const CSqliteError& e) {
    m_status.SetStatusText(FromUtf8(std::string("Cannot clear Firefox history: ") + e.Message()));
  }
}

void CFirefoxHistory::ClearInputHistory() {
  if (!HistoryDatabasePresent(m_profileDir)) return;
  try {
    m_db.ExecuteStatement(kDeleteInputHistory);
  } catch (const CSqliteError& e) {
    m_status.SetStatusText(FromUtf8(std::string("Firefox input history: ") + e.Message()));
  }
}

}  // namespace klarex
