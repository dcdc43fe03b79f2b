#include "support/places_db.h"

#include <sqlite3.h>
#include <windows.h>

#include "sys/utf8.h"

namespace klarex::test {

namespace {

// One connection, closed on scope exit.
class Connection {
 public:
  Connection(const std::wstring& path, int flags) {
    if (sqlite3_open_v2(ToUtf8(path).c_str(), &m_db, flags, nullptr) != SQLITE_OK) {
      sqlite3_close(m_db);
      m_db = nullptr;
    }
  }
  ~Connection() { sqlite3_close(m_db); }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  sqlite3* get() const { return m_db; }

 private:
  sqlite3* m_db = nullptr;
};

// Firefox's tables with the columns the clean-up statements touch, plus a few
// of the others so that the rows look like real ones.
constexpr char kPlacesSchema[] = R"sql(
CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR,
  rev_host LONGVARCHAR, visit_count INTEGER DEFAULT 0, hidden INTEGER DEFAULT 0 NOT NULL,
  typed INTEGER DEFAULT 0 NOT NULL, frecency INTEGER DEFAULT -1 NOT NULL,
  last_visit_date INTEGER, guid TEXT);
CREATE TABLE moz_historyvisits (id INTEGER PRIMARY KEY, from_visit INTEGER,
  place_id INTEGER, visit_date INTEGER, visit_type INTEGER, session INTEGER);
CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL,
  parent INTEGER, position INTEGER, title LONGVARCHAR, dateAdded INTEGER,
  lastModified INTEGER, guid TEXT);
CREATE TABLE moz_annos (id INTEGER PRIMARY KEY, place_id INTEGER NOT NULL,
  anno_attribute_id INTEGER, content LONGVARCHAR, flags INTEGER DEFAULT 0,
  expiration INTEGER DEFAULT 0, type INTEGER DEFAULT 0, dateAdded INTEGER DEFAULT 0,
  lastModified INTEGER DEFAULT 0);
CREATE TABLE moz_inputhistory (place_id INTEGER NOT NULL, input LONGVARCHAR NOT NULL,
  use_count INTEGER, PRIMARY KEY (place_id, input));
)sql";

constexpr char kPlacesRows[] = R"sql(
INSERT INTO moz_places (id, url, title, visit_count) VALUES
  (1, 'https://example.org/', 'Bookmarked', 2),
  (2, 'https://example.net/', 'Annotated', 1),
  (3, 'https://example.com/a', 'Visited', 3),
  (4, 'https://example.com/b', 'Never visited', 0);
INSERT INTO moz_historyvisits (id, from_visit, place_id, visit_date, visit_type) VALUES
  (1, 0, 1, 1000, 1), (2, 1, 1, 2000, 1), (3, 0, 2, 3000, 2),
  (4, 0, 3, 4000, 1), (5, 4, 3, 5000, 1), (6, 5, 3, 6000, 1);
INSERT INTO moz_bookmarks (id, type, fk, parent, position, title) VALUES
  (1, 2, NULL, 0, 0, 'Toolbar'),
  (2, 1, 1, 1, 0, 'Bookmarked');
INSERT INTO moz_annos (id, place_id, anno_attribute_id, content) VALUES (1, 2, 1, 'note');
INSERT INTO moz_inputhistory (place_id, input, use_count) VALUES (1, 'ex', 2), (3, 'fo', 1);
)sql";

}  // namespace

bool RunSql(const std::wstring& path, const char* sql) {
  Connection db(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  return db.get() && sqlite3_exec(db.get(), sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

long long QueryNumber(const std::wstring& path, const char* sql) {
  Connection db(path, SQLITE_OPEN_READONLY);
  if (!db.get()) return -1;
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db.get(), sql, -1, &statement, nullptr) != SQLITE_OK) return -1;
  long long result = -1;
  if (sqlite3_step(statement) == SQLITE_ROW) result = sqlite3_column_int64(statement, 0);
  sqlite3_finalize(statement);
  return result;
}

DatabaseLock::DatabaseLock(const std::wstring& path) {
  if (sqlite3_open_v2(ToUtf8(path).c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
      sqlite3_exec(m_db, "BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr) != SQLITE_OK) {
    sqlite3_close(m_db);
    m_db = nullptr;
  }
}

DatabaseLock::~DatabaseLock() {
  if (!m_db) return;
  sqlite3_exec(m_db, "ROLLBACK;", nullptr, nullptr, nullptr);
  sqlite3_close(m_db);
}

bool CreatePlacesDb(const std::wstring& path) {
  return RunSql(path, kPlacesSchema) && RunSql(path, kPlacesRows);
}

}  // namespace klarex::test
