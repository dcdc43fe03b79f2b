// SQLite databases for tests, made and inspected directly through sqlite3.dll
// (never through the program's own database layer).
#pragma once
#include <string>

struct sqlite3;

namespace klarex::test {

// Creates (or opens) the database file `path` and runs `sql` on it.
// False if the file cannot be opened or a statement fails.
bool RunSql(const std::wstring& path, const char* sql);

// First column of the first row of `sql`, or -1 if the query fails or has no row.
long long QueryNumber(const std::wstring& path, const char* sql);

// A places.sqlite with Firefox's history tables and some history:
//   page 1: bookmarked, 2 visits, typed input "ex";
//   page 2: annotated, 1 visit;
//   page 3: neither, 3 visits, typed input "fo";
//   page 4: neither, never visited;
//   a bookmark folder (no page).
// Pages 1 and 2 must survive a history clean-up; pages 3 and 4 must not.
bool CreatePlacesDb(const std::wstring& path);

// Holds an exclusive lock on a database, as a running Firefox does, until destroyed.
class DatabaseLock {
 public:
  explicit DatabaseLock(const std::wstring& path);
  ~DatabaseLock();
  DatabaseLock(const DatabaseLock&) = delete;
  DatabaseLock& operator=(const DatabaseLock&) = delete;
  bool Held() const { return m_db != nullptr; }

 private:
  sqlite3* m_db = nullptr;
};

}  // namespace klarex::test
