#include "engine/sqlite_db.h"

#include <sqlite3.h>

#include <iterator>

namespace klarex {

namespace {
constexpr int kLayerError = 1000;
}

CSqliteError::CSqliteError(int code, char* message, bool releaseMessage)
    : CSqliteError(code, static_cast<const char*>(message)) {
  if (releaseMessage && message) sqlite3_free(message);
}

CSqliteError::CSqliteError(int code, const char* message)
    : m_code(code),
      m_message(sqlite3_mprintf("%s[%d]: %s", CodeName(code), code, message ? message : "")) {}

CSqliteError::CSqliteError(const CSqliteError& other)
    : m_code(other.m_code),
      m_message(other.m_message ? sqlite3_mprintf("%s", other.m_message) : nullptr) {}

CSqliteError::~CSqliteError() { sqlite3_free(m_message); }

const char* CSqliteError::CodeName(int code) {
  static const char* const kNames[] = {
      "SQLITE_OK",       "SQLITE_ERROR",     "SQLITE_INTERNAL", "SQLITE_PERM",
      "SQLITE_ABORT",    "SQLITE_BUSY",      "SQLITE_LOCKED",   "SQLITE_NOMEM",
      "SQLITE_READONLY", "SQLITE_INTERRUPT", "SQLITE_IOERR",    "SQLITE_CORRUPT",
      "SQLITE_NOTFOUND", "SQLITE_FULL",      "SQLITE_CANTOPEN", "SQLITE_PROTOCOL",
      "SQLITE_EMPTY",    "SQLITE_SCHEMA",    "SQLITE_TOOBIG",   "SQLITE_CONSTRAINT",
      "SQLITE_MISMATCH", "SQLITE_MISUSE",    "SQLITE_NOLFS",    "SQLITE_AUTH",
      "SQLITE_FORMAT",   "SQLITE_RANGE"};
  if (code >= 0 && code < static_cast<int>(std::size(kNames))) return kNames[code];
  switch (code) {
    case 100:
      return "SQLITE_ROW";
    case 101:
      return "SQLITE_DONE";
    case kLayerError:
      return "DBLAYER_ERROR";
    default:
      return "UNKNOWN_ERROR";
  }
}

CSqliteDb::~CSqliteDb() { CloseDatabase(); }

void CSqliteDb::OpenDatabase(const std::string& utf8Path) {
  CloseDatabase();
  // Read-write without CREATE: a missing file must not turn into an empty
  // database in the user's profile.
  int rc = sqlite3_open_v2(utf8Path.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
  if (rc != SQLITE_OK) {
    CSqliteError error(rc, m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc));
    // A connection that failed to open is of no further use; release it so
    // that later statements report "Database not open".
    CloseDatabase();
    throw error;
  }
  sqlite3_busy_timeout(m_db, m_busyTimeoutMs);
}

int CSqliteDb::ExecuteStatement(const char* statement) {
  if (!m_db) throw CSqliteError(kLayerError, "Database not open");
  char* message = nullptr;
  int rc = sqlite3_exec(m_db, statement, nullptr, nullptr, &message);
  if (rc != SQLITE_OK) throw CSqliteError(rc, message, true);
  return sqlite3_changes(m_db);
}

void CSqliteDb::CloseDatabase() {
  if (m_db) {
    sqlite3_close(m_db);
    m_db = nullptr;
  }
}

}  // namespace klarex
