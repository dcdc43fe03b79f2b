#include "engine/firefox_history.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "engine/catalogue.h"
#include "support/fake_machine.h"
#include "support/places_db.h"
#include "support/recording_sink.h"

namespace klarex {
namespace {

using test::CreatePlacesDb;
using test::FakeMachine;
using test::kRoamingDir;
using test::QueryNumber;
using test::RunSql;

using test::RecordingStatus;

long long Rows(const std::wstring& db, const char* table) {
  return QueryNumber(db, (std::string("SELECT count(*) FROM ") + table + ";").c_str());
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

uint64_t SizeOf(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return ~0ull;
  return (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

// The history of a profile folder of the test's choosing, as the catalogue
// would have found it.
class FirefoxHistory : public ::testing::Test {
 protected:
  const std::wstring kProfile =
      std::wstring(kRoamingDir) + L"\\Mozilla\\Firefox\\Profiles\\ab12.default";
  FakeMachine machine;
  std::wstring profile = machine / kProfile;
  std::wstring places = profile + L"\\places.sqlite";
  RecordingStatus sink;
  CFirefoxHistory history{profile, sink};
};

TEST_F(FirefoxHistory, ClearingHistoryKeepsBookmarkedAndAnnotatedPagesOnly) {
  machine.Folder(kProfile);
  ASSERT_TRUE(CreatePlacesDb(places));
  EXPECT_TRUE(history.Open());

  history.ClearHistory();
  EXPECT_EQ(Rows(places, "moz_places"), 2);
  EXPECT_EQ(QueryNumber(places, "SELECT count(*) FROM moz_places WHERE id IN (1, 2);"), 2);
  EXPECT_EQ(Rows(places, "moz_historyvisits"), 0);
  EXPECT_EQ(Rows(places, "moz_bookmarks"), 2);
  EXPECT_EQ(Rows(places, "moz_annos"), 1);
  EXPECT_EQ(Rows(places, "moz_inputhistory"), 2);  // a separate category
  EXPECT_TRUE(sink.texts.empty());

  history.ClearInputHistory();
  EXPECT_EQ(Rows(places, "moz_inputhistory"), 0);
  EXPECT_EQ(Rows(places, "moz_places"), 2);
  EXPECT_TRUE(sink.texts.empty());
  EXPECT_EQ(history.TakePendingStatus(), L"");
}

TEST_F(FirefoxHistory, MissingTablesAreReportedAndStopOnlyTheirOwnStatement) {
  machine.Folder(kProfile);
  ASSERT_TRUE(RunSql(places,
                     "CREATE TABLE moz_historyvisits (id INTEGER PRIMARY KEY);"
                     "INSERT INTO moz_historyvisits VALUES (1), (2);"));
  ASSERT_TRUE(history.Open());

  history.ClearHistory();
  history.ClearInputHistory();
  EXPECT_EQ(sink.texts,
            (std::vector<std::wstring>{
                L"Cannot clear Firefox history: SQLITE_ERROR[1]: no such table: moz_places",
                L"Firefox input history: SQLITE_ERROR[1]: no such table: moz_inputhistory"}));
  // The visits statement comes second and is skipped once the first has failed.
  EXPECT_EQ(Rows(places, "moz_historyvisits"), 2);
}

TEST_F(FirefoxHistory, MissingProfileOrDatabaseIsSilentAndCreatesNothing) {
  // No profile folder at all.
  EXPECT_FALSE(history.Open());
  history.ClearHistory();
  history.ClearInputHistory();
  EXPECT_FALSE(Exists(profile));

  // A profile without places.sqlite.
  machine.Folder(kProfile);
  EXPECT_FALSE(history.Open());
  EXPECT_FALSE(history.IsOpen());
  history.ClearHistory();
  history.ClearInputHistory();
  EXPECT_FALSE(Exists(places));
  EXPECT_TRUE(sink.texts.empty());
  EXPECT_EQ(history.TakePendingStatus(), L"");

  // A database that appears after start-up is not the one opened then: the
  // clean-up says it could not clear instead of pretending it did.
  ASSERT_TRUE(CreatePlacesDb(places));
  history.ClearHistory();
  EXPECT_EQ(sink.texts,
            std::vector<std::wstring>{
                L"Cannot clear Firefox history: DBLAYER_ERROR[1000]: Database not open"});
  EXPECT_EQ(Rows(places, "moz_historyvisits"), 6);
}

TEST_F(FirefoxHistory, EmptyDatabaseFileIsLeftAlone) {
  machine.File(kProfile + L"\\places.sqlite", 0);
  history.Open();
  history.ClearHistory();
  history.ClearInputHistory();
  EXPECT_TRUE(sink.texts.empty());
  EXPECT_EQ(SizeOf(places), 0u);
}

TEST_F(FirefoxHistory, FileThatIsNotADatabaseIsReportedAndKept) {
  machine.File(kProfile + L"\\places.sqlite", 2048);
  history.Open();
  history.ClearHistory();
  history.ClearInputHistory();
  EXPECT_EQ(sink.texts,
            (std::vector<std::wstring>{
                L"Cannot clear Firefox history: UNKNOWN_ERROR[26]: file is not a database",
                L"Firefox input history: UNKNOWN_ERROR[26]: file is not a database"}));
  EXPECT_EQ(SizeOf(places), 2048u);
}

TEST_F(FirefoxHistory, ALockedDatabaseIsGivenUpWithinSecondsAndSaysWhy) {
  machine.Folder(kProfile);
  ASSERT_TRUE(CreatePlacesDb(places));
  ASSERT_TRUE(history.Open());
  {
    test::DatabaseLock firefox(places);  // what a running Firefox holds
    ASSERT_TRUE(firefox.Held());
    const ULONGLONG start = GetTickCount64();
    history.ClearHistory();
    history.ClearInputHistory();
    EXPECT_LT(GetTickCount64() - start, 5000u);
  }
  EXPECT_EQ(sink.texts, (std::vector<std::wstring>{
                            L"Cannot clear Firefox history: SQLITE_BUSY[5]: database is locked",
                            L"Firefox input history: SQLITE_BUSY[5]: database is locked"}));
  EXPECT_EQ(Rows(places, "moz_historyvisits"), 6);
  // Once Firefox lets go, the next run clears it.
  sink.texts.clear();
  history.ClearHistory();
  EXPECT_TRUE(sink.texts.empty());
  EXPECT_EQ(Rows(places, "moz_historyvisits"), 0);
}

TEST_F(FirefoxHistory, FailedOpenIsKeptForTheStatusLineOnce) {
  // A folder where the database file should be cannot be opened.
  machine.Folder(kProfile + L"\\places.sqlite");
  EXPECT_FALSE(history.Open());
  EXPECT_FALSE(history.IsOpen());
  EXPECT_TRUE(sink.texts.empty());  // no status line exists while the program starts
  EXPECT_EQ(history.TakePendingStatus(),
            L"Firefox history: SQLITE_CANTOPEN[14]: unable to open database file");
  EXPECT_EQ(history.TakePendingStatus(), L"");
}

TEST(FirefoxHistoryOfTheCatalogue, OpensTheProfileNamedInProfilesIni) {
  FakeMachine machine;
  const std::wstring firefox = machine.Folder(std::wstring(kRoamingDir) + L"\\Mozilla\\Firefox");
  ASSERT_TRUE(WritePrivateProfileStringW(L"Profile0", L"Path", L"Profiles/\u00e9t\u00e9.default",
                                         (firefox + L"\\profiles.ini").c_str()));
  const std::wstring places = machine.Folder(firefox.substr(machine.Root().size() + 1) +
                                             L"\\Profiles\\\u00e9t\u00e9.default") +
                              L"\\places.sqlite";
  ASSERT_TRUE(CreatePlacesDb(places));

  RecordingStatus sink;
  {
    CFirefoxHistory history(BuildCatalogue(machine).firefoxProfileDir, sink);
    EXPECT_TRUE(history.Open());
    EXPECT_EQ(history.TakePendingStatus(), L"");
    history.ClearHistory();
    EXPECT_EQ(Rows(places, "moz_historyvisits"), 0);
  }
  EXPECT_TRUE(sink.texts.empty());
  // The history closed the database: the file can be deleted.
  EXPECT_TRUE(DeleteFileW(places.c_str()));
}

}  // namespace
}  // namespace klarex
