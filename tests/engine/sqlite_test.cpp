#include <gtest/gtest.h>
#include <sqlite3.h>
#include <windows.h>

#include <string>

#include "engine/sqlite_db.h"
#include "support/places_db.h"
#include "sys/utf8.h"
#include "support/temp_dir.h"

namespace klarex {
namespace {

using test::QueryNumber;
using test::RunSql;
using test::TempDir;

// Runs `statement` and returns the error it throws (code -1 if none).
CSqliteError ErrorOf(CSqliteDb& db, const char* statement) {
  try {
    db.ExecuteStatement(statement);
  } catch (const CSqliteError& e) {
    return e;
  }
  return CSqliteError(-1, "no error");
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(SqliteError, NamesEveryListedCodeAndNothingElse) {
  const std::pair<int, const char*> table[] = {
      {0, "SQLITE_OK"},
      {1, "SQLITE_ERROR"},
      {2, "SQLITE_INTERNAL"},
      {3, "SQLITE_PERM"},
      {4, "SQLITE_ABORT"},
      {5, "SQLITE_BUSY"},
      {6, "SQLITE_LOCKED"},
      {7, "SQLITE_NOMEM"},
      {8, "SQLITE_READONLY"},
      {9, "SQLITE_INTERRUPT"},
      {10, "SQLITE_IOERR"},
      {11, "SQLITE_CORRUPT"},
      {12, "SQLITE_NOTFOUND"},
      {13, "SQLITE_FULL"},
      {14, "SQLITE_CANTOPEN"},
      {15, "SQLITE_PROTOCOL"},
      {16, "SQLITE_EMPTY"},
      {17, "SQLITE_SCHEMA"},
      {18, "SQLITE_TOOBIG"},
      {19, "SQLITE_CONSTRAINT"},
      {20, "SQLITE_MISMATCH"},
      {21, "SQLITE_MISUSE"},
      {22, "SQLITE_NOLFS"},
      {23, "SQLITE_AUTH"},
      {24, "SQLITE_FORMAT"},
      {25, "SQLITE_RANGE"},
      {100, "SQLITE_ROW"},
      {101, "SQLITE_DONE"},
      {1000, "DBLAYER_ERROR"},
      // Unlisted: the next code, extended codes, negatives.
      {26, "UNKNOWN_ERROR"},
      {27, "UNKNOWN_ERROR"},
      {99, "UNKNOWN_ERROR"},
      {102, "UNKNOWN_ERROR"},
      {261, "UNKNOWN_ERROR"},
      {999, "UNKNOWN_ERROR"},
      {-1, "UNKNOWN_ERROR"}};
  for (const auto& [code, name] : table) EXPECT_STREQ(CSqliteError::CodeName(code), name) << code;
}

TEST(SqliteError, FormatsNameCodeAndMessageAndCopiesIndependently) {
  CSqliteError busy(5, "database is locked");
  EXPECT_EQ(busy.Code(), 5);
  EXPECT_STREQ(busy.Message(), "SQLITE_BUSY[5]: database is locked");
  EXPECT_STREQ(CSqliteError(26, static_cast<const char*>(nullptr)).Message(),
               "UNKNOWN_ERROR[26]: ");

  auto* original = new CSqliteError(21, "misuse");
  CSqliteError copy(*original);
  delete original;
  EXPECT_EQ(copy.Code(), 21);
  EXPECT_STREQ(copy.Message(), "SQLITE_MISUSE[21]: misuse");
}

TEST(SqliteError, ReleasesAnSqliteAllocatedMessageOnlyWhenAsked) {
  sqlite3_int64 before = sqlite3_memory_used();
  {
    CSqliteError error(1, sqlite3_mprintf("%s", "owned by the error"), true);
    EXPECT_STREQ(error.Message(), "SQLITE_ERROR[1]: owned by the error");
  }
  EXPECT_EQ(sqlite3_memory_used(), before);

  char* kept = sqlite3_mprintf("%s", "still mine");
  { CSqliteError error(1, kept, false); }
  EXPECT_STREQ(kept, "still mine");
  sqlite3_free(kept);
  EXPECT_EQ(sqlite3_memory_used(), before);
}

TEST(SqliteDb, NeverOpenedOrClosedReportsTheLayerError) {
  CSqliteDb db;
  EXPECT_FALSE(db.IsOpen());
  EXPECT_EQ(db.BusyTimeout(), 60000);
  CSqliteError error = ErrorOf(db, "DELETE FROM moz_places;");
  EXPECT_EQ(error.Code(), 1000);
  EXPECT_STREQ(error.Message(), "DBLAYER_ERROR[1000]: Database not open");

  TempDir dir;
  std::wstring path = dir / L"a.sqlite";
  ASSERT_TRUE(RunSql(path, "CREATE TABLE t (x);"));
  db.OpenDatabase(ToUtf8(path));
  EXPECT_TRUE(db.IsOpen());
  db.CloseDatabase();
  db.CloseDatabase();  // a second close is harmless
  EXPECT_FALSE(db.IsOpen());
  EXPECT_EQ(ErrorOf(db, "DELETE FROM t;").Code(), 1000);
}

TEST(SqliteDb, ReturnsChangedRowsAndZeroWhenNothingMatches) {
  TempDir dir;
  std::wstring path = dir / L"rows.sqlite";
  ASSERT_TRUE(RunSql(path, "CREATE TABLE t (x); INSERT INTO t VALUES (1), (2), (2), (3);"));
  CSqliteDb db;
  db.OpenDatabase(ToUtf8(path));
  EXPECT_EQ(db.ExecuteStatement("DELETE FROM t WHERE x = 7;"), 0);
  EXPECT_EQ(db.ExecuteStatement("DELETE FROM t WHERE x = 2;"), 2);
  EXPECT_EQ(db.ExecuteStatement("delete from t;"), 2);
  db.CloseDatabase();
  EXPECT_EQ(QueryNumber(path, "SELECT count(*) FROM t;"), 0);
}

TEST(SqliteDb, FailingStatementThrowsSqlitesMessageWithoutLeakingIt) {
  TempDir dir;
  std::wstring path = dir / L"empty.sqlite";
  ASSERT_TRUE(RunSql(path, "CREATE TABLE other (x);"));
  CSqliteDb db;
  db.OpenDatabase(ToUtf8(path));
  {
    CSqliteError error = ErrorOf(db, "DELETE FROM moz_places;");
    EXPECT_EQ(error.Code(), 1);
    EXPECT_STREQ(error.Message(), "SQLITE_ERROR[1]: no such table: moz_places");
  }
  // The schema and page cache are loaded now: a second failure must leave
  // SQLite's heap exactly as it was, so the message SQLite allocated is freed.
  sqlite3_int64 before = sqlite3_memory_used();
  ErrorOf(db, "DELETE FROM moz_places;");
  EXPECT_EQ(sqlite3_memory_used(), before);
  // The connection stays usable after a failed statement.
  EXPECT_EQ(db.ExecuteStatement("DELETE FROM other;"), 0);
}

TEST(SqliteDb, MissingFileIsNotCreatedAndLeavesNoConnection) {
  TempDir dir;
  std::wstring path = dir / L"places.sqlite";
  CSqliteDb db;
  try {
    db.OpenDatabase(ToUtf8(path));
    ADD_FAILURE() << "opening a missing file succeeded";
  } catch (const CSqliteError& e) {
    EXPECT_EQ(e.Code(), 14);
    EXPECT_STREQ(e.Message(), "SQLITE_CANTOPEN[14]: unable to open database file");
  }
  EXPECT_FALSE(Exists(path));
  EXPECT_FALSE(db.IsOpen());
  EXPECT_EQ(ErrorOf(db, "DELETE FROM t;").Code(), 1000);
}

TEST(SqliteDb, FileThatIsNotADatabaseFailsCleanlyAndStaysUntouched) {
  TempDir dir;
  std::wstring path = dir.File(L"places.sqlite", 4096);  // 4 KB of 'x'
  CSqliteDb db;
  db.OpenDatabase(ToUtf8(path));  // SQLite reads the header only on first use
  CSqliteError error = ErrorOf(db, "DELETE FROM moz_historyvisits;");
  EXPECT_STREQ(error.Message(), "UNKNOWN_ERROR[26]: file is not a database");
  db.CloseDatabase();
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(data.nFileSizeLow, 4096u);
}

TEST(SqliteDb, OpensAPathWithNonAsciiCharacters) {
  TempDir dir;
  std::wstring path = dir.Folder(L"Pr\u00f6file \u00e9\u4e2d") + L"\\places.sqlite";
  ASSERT_TRUE(RunSql(path, "CREATE TABLE t (x); INSERT INTO t VALUES (1);"));
  CSqliteDb db;
  db.OpenDatabase(ToUtf8(path));
  EXPECT_EQ(db.ExecuteStatement("DELETE FROM t;"), 1);
}

}  // namespace
}  // namespace klarex
