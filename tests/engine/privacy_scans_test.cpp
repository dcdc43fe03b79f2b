#include "engine/privacy_scans.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/catalogue.h"
#include "engine/firefox_history.h"
#include "support/catalogue_tables.h"
#include "support/fake_machine.h"
#include "support/places_db.h"
#include "support/recording_sink.h"

namespace klarex {
namespace {

using test::CollectingSink;
using test::FakeMachine;
using test::kLocalDir;
using test::kRoamingDir;
using test::PlantedOutside;
using test::QueryNumber;
using ::testing::ElementsAreArray;
using ::testing::UnorderedElementsAreArray;

using test::RecordingStatus;

// The privacy worker initialises COM on its thread; the tests do the same.
class ComThread {
 public:
  ComThread() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  ~ComThread() { CoUninitialize(); }
};

// What the scans work on, as the program builds it at start-up: the machine's
// catalogue and Firefox history; the finds are collected.
struct Scans {
  Scans(FakeMachine& machine, IStatusSink& status)
      : catalogue(BuildCatalogue(machine)),
        firefox(catalogue.firefoxProfileDir, status),
        context{catalogue, machine, firefox, found} {
    firefox.Open();
  }
  const Catalogue catalogue;
  CFirefoxHistory firefox;
  CollectingSink found;
  const PrivacyScanContext context;
};

bool KeyExists(const wchar_t* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// Plants keys (each with a sub-key and a value) under HKEY_CURRENT_USER of the
// test prefix and removes, at the end, the topmost key each plant created.
class PlantedKeys {
 public:
  ~PlantedKeys() {
    for (auto it = m_tops.rbegin(); it != m_tops.rend(); ++it)
      SHDeleteKeyW(HKEY_CURRENT_USER, it->c_str());
  }
  void Plant(const test::Names& paths) {
    for (const wchar_t* path : paths) Plant(path);
  }
  void Plant(const std::wstring& path) {
    // Remember the first key of the path that this plant creates.
    if (KeyExists(path.c_str())) {
      m_tops.push_back(path + L"\\Child");
    } else {
      for (size_t pos = 0;; ++pos) {
        pos = path.find(L'\\', pos);
        std::wstring prefix = path.substr(0, pos);
        if (!KeyExists(prefix.c_str())) {
          m_tops.push_back(prefix);
          break;
        }
      }
    }
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (path + L"\\Child").c_str(), 0, nullptr, 0,
                              KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, L"a", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"x"), 4);
    RegCloseKey(key);
  }

 private:
  std::vector<std::wstring> m_tops;
};

// Paths found by a scan, grouped by step: within a step the order is the
// directory search's, so each group is compared as a set, the groups in order.
void ExpectSteps(const std::vector<std::wstring>& found,
                 const std::vector<std::vector<std::wstring>>& steps) {
  size_t at = 0;
  for (const auto& step : steps) {
    ASSERT_LE(at + step.size(), found.size()) << "missing items from step " << step.front();
    std::vector<std::wstring> slice(found.begin() + at, found.begin() + at + step.size());
    EXPECT_THAT(slice, UnorderedElementsAreArray(step));
    at += step.size();
  }
  EXPECT_EQ(at, found.size()) << "unexpected extra items";
}

// A machine where every browser the scans know keeps its traces, with decoys
// beside each place that the scans must pass over.
class PrivacyScans : public ::testing::Test {
 protected:
  PrivacyScans() : machine(L"D:\\") {
    const std::wstring roaming = kRoamingDir, local = kLocalDir;
    machine.specialFolders[CSIDL_HISTORY] =
        machine.Folder(local + L"\\Microsoft\\Windows\\History");
    machine.specialFolders[CSIDL_RECENT] =
        machine.Folder(roaming + L"\\Microsoft\\Windows\\Recent");
    machine.File(local + L"\\Microsoft\\Windows\\History\\index.dat");
    machine.File(roaming + L"\\Microsoft\\Windows\\Recent\\report.lnk");

    // Catalogue sources: Netscape's program path, Office 11's install root,
    // the Edge package, the old Mozilla profile, Firefox's profiles.ini.
    machine.SetRegistry(
        HKEY_LOCAL_MACHINE,
        L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Netscape.exe\\Path",
        machine / L"Netscape\\Communicator\\Program");
    machine.SetSubkeys(L"Software\\Microsoft\\Office", {L"11.0"});
    machine.SetRegistry(HKEY_LOCAL_MACHINE,
                        L"Software\\Microsoft\\Office\\11.0\\Common\\InstallRoot\\Path",
                        machine.Folder(L"Office11"));
    edgeAc = machine.Folder(local + L"\\Packages\\Microsoft.MicrosoftEdge_8wekyb3d8bbwe\\AC");
    mozilla = machine.Folder(roaming + L"\\Mozilla\\Profiles\\default\\k3b.slt");
    firefox = machine.Folder(roaming + L"\\Mozilla\\Firefox\\Profiles\\x.default");
    WritePrivateProfileStringW(L"Profile0", L"Path", L"Profiles/x.default",
                               (machine / (roaming + L"\\Mozilla\\Firefox\\profiles.ini")).c_str());
    firefoxLocal = machine.Folder(local + L"\\Mozilla\\Firefox\\Profiles\\x.default");
    chrome = machine.Folder(roaming + L"\\Google\\Chrome\\User Data\\Default");
    safariRoaming = machine.Folder(roaming + L"\\Apple Computer\\Safari");
    safariLocal = machine.Folder(local + L"\\Apple Computer\\Safari");
    places = firefox + L"\\places.sqlite";
    test::CreatePlacesDb(places);

    // URL history.
    ieHistory = machine.specialFolders[CSIDL_HISTORY];
    machine.File(mozilla.substr(machine.Root().size() + 1) + L"\\netscape.hst");
    machine.File(mozilla.substr(machine.Root().size() + 1) + L"\\netscape.dat");
    machine.File(L"Netscape\\Users\\Default\\netscape.hst");
    machine.File(L"Netscape\\Users\\Default\\prefs.js");
    Plant(safariLocal, L"History\\History.db");
    Plant(safariLocal, L"Bookmarks.plist");
    Plant(safariRoaming, L"History.plist");
    Plant(safariRoaming, L"Bookmarks.plist");
    Plant(firefox, L"history.dat");
    Plant(firefox, L"formhistory.sqlite");
    Plant(chrome, L"History");
    Plant(chrome, L"Archived History");
    Plant(chrome, L"Web Data");
    Plant(edgeAc, L"MicrosoftEdge\\History\\container.dat");
    Plant(edgeAc, L"#!001\\MicrosoftEdge\\User\\Default\\History");
    Plant(edgeAc, L"#!002\\History", 0);  // empty: passed over
    Plant(edgeAc, L"MicrosoftEdge\\Cache\\History.old");

    // Form data.
    Plant(safariRoaming, L"Form Values.plist");
    Plant(firefox, L"signons3.txt");
    Plant(firefox, L"key3.db");
    Plant(chrome, L"Local Storage\\leveldb\\000003.log");
    Plant(chrome, L"Session Storage\\000001.log");
    Plant(chrome, L"Storage\\ext\\data");
    Plant(chrome, L"Sync Data\\SyncData.sqlite3");
    Plant(safariLocal, L"LocalStorage\\site.localstorage");

    // Find history.
    Plant(safariRoaming, L"LastSession.plist");
    machine.File(roaming + L"\\Google\\Local Search History\\queries.dat");
    searchLogs = L"D:\\ProgramData\\Microsoft\\Search\\Data\\Applications\\Windows";
    outside.File(searchLogs + L"\\MSS.log");
    outside.File(searchLogs + L"\\Windows.edb");
    Plant(firefox, L"search.sqlite");
    Plant(firefox, L"search.json");

    // Typed URLs and thumbnails.
    Plant(safariRoaming, L"TopSites.plist");
    Plant(safariLocal, L"Webpage Previews\\a.jpeg");
    Plant(firefoxLocal, L"thumbnails\\b.png");
    Plant(firefoxLocal, L"cache2\\entries\\c");

    // Recent documents.
    machine.File(L"Office11\\Recent\\budget.xls.lnk");
    machine.File(roaming + L"\\Microsoft\\Office\\Recent\\notes.doc.lnk");
  }

  void Plant(const std::wstring& folder, const std::wstring& relative, size_t size = 1) {
    machine.File(folder.substr(machine.Root().size() + 1) + L"\\" + relative, size);
  }

  FakeMachine machine;
  PlantedOutside outside;
  std::wstring ieHistory, edgeAc, mozilla, firefox, firefoxLocal, chrome, safariRoaming,
      safariLocal, places, searchLogs;
  RecordingStatus sink;
  ComThread com;
};

TEST_F(PrivacyScans, UrlHistoryFindsEachBrowsersHistoryAndClearsTheStores) {
  Scans scans(machine, sink);
  ASSERT_EQ(scans.catalogue.netscapeDir, machine / L"Netscape");
  ASSERT_EQ(scans.catalogue.firefoxProfileDir, firefox);

  // An entry in the WinINet URL cache of the test prefix.
  const wchar_t* url = L"http://klarex.test/privacy-scan";
  wchar_t cacheFile[MAX_PATH] = L"";
  ASSERT_TRUE(CreateUrlCacheEntryW(url, 0, L"htm", cacheFile, 0));
  HANDLE h = CreateFileW(cacheFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  CloseHandle(h);
  FILETIME zero{};
  ASSERT_TRUE(CommitUrlCacheEntryW(url, cacheFile, zero, zero, NORMAL_CACHE_ENTRY, nullptr, 0,
                                   nullptr, nullptr));

  std::atomic<int> progress{7};
  ScanUrlHistory(scans.context, progress);
  EXPECT_EQ(progress.load(), 7 + 16);

  ExpectSteps(scans.found.Paths(), {{ieHistory},
                                    {mozilla + L"\\netscape.hst"},
                                    {machine / L"Netscape\\Users\\Default\\netscape.hst"},
                                    {safariLocal + L"\\History"},
                                    {safariRoaming + L"\\History.plist"},
                                    {firefox + L"\\history.dat"},
                                    {chrome + L"\\History"},
                                    {chrome + L"\\Archived History"},
                                    {edgeAc + L"\\MicrosoftEdge\\History",
                                     edgeAc + L"\\#!001\\MicrosoftEdge\\User\\Default\\History"}});
  EXPECT_TRUE(scans.found.items.front().dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);

  // Firefox: only pages that are bookmarked or annotated are left, no visits.
  EXPECT_EQ(QueryNumber(places, "SELECT count(*) FROM moz_places WHERE id NOT IN (1, 2);"), 0);
  EXPECT_EQ(QueryNumber(places, "SELECT count(*) FROM moz_places;"), 2);
  EXPECT_EQ(QueryNumber(places, "SELECT count(*) FROM moz_historyvisits;"), 0);
  EXPECT_EQ(QueryNumber(places, "SELECT count(*) FROM moz_inputhistory;"), 2);

  DWORD size = 0;
  EXPECT_FALSE(GetUrlCacheEntryInfoW(url, nullptr, &size));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_TRUE(sink.texts.empty());
}

TEST_F(PrivacyScans, FormFindTypedAndRecentScansListTheirPlacesAndDeleteTheirKeys) {
  PlantedKeys keys;
  keys.Plant(test::kAutoCompleteKeys);
  keys.Plant(test::kFindHistoryKeys);
  keys.Plant(test::kTypedUrlKeys);
  keys.Plant(test::kRecentDocKeys);
  keys.Plant(test::kRunHistoryKeys);  // not theirs: must survive

  Scans scans(machine, sink);
  std::atomic<int> progress{0};

  ScanFormData(scans.context, progress);
  EXPECT_EQ(progress.load(), 6);
  ExpectSteps(scans.found.Paths(), {{safariRoaming + L"\\Form Values.plist"},
                                    {firefox + L"\\formhistory.sqlite"},
                                    {firefox + L"\\signons3.txt"},
                                    {chrome + L"\\Local Storage"},
                                    {chrome + L"\\Session Storage"},
                                    {chrome + L"\\Storage"},
                                    {chrome + L"\\Sync Data\\SyncData.sqlite3"},
                                    {safariLocal + L"\\LocalStorage"}});
  for (const wchar_t* key : test::kAutoCompleteKeys) EXPECT_FALSE(KeyExists(key)) << key;
  scans.found.Clear();

  ScanFindHistory(scans.context, progress);
  EXPECT_EQ(progress.load(), 6 + 9);
  ExpectSteps(
      scans.found.Paths(),
      {{safariRoaming + L"\\LastSession.plist"},
       {machine / (std::wstring(kRoamingDir) + L"\\Google\\Local Search History\\queries.dat")},
       {searchLogs + L"\\MSS.log"},
       {firefox + L"\\search.sqlite"}});
  for (const wchar_t* key : test::kFindHistoryKeys) EXPECT_FALSE(KeyExists(key)) << key;
  scans.found.Clear();

  ScanTypedUrls(scans.context, progress);
  EXPECT_EQ(progress.load(), 15 + 5);
  ExpectSteps(scans.found.Paths(), {{safariRoaming + L"\\TopSites.plist"},
                                    {safariLocal + L"\\Webpage Previews"},
                                    {firefoxLocal + L"\\thumbnails"}});
  for (const wchar_t* key : test::kTypedUrlKeys) EXPECT_FALSE(KeyExists(key)) << key;
  EXPECT_EQ(QueryNumber(places, "SELECT count(*) FROM moz_inputhistory;"), 0);
  EXPECT_EQ(QueryNumber(places, "SELECT count(*) FROM moz_historyvisits;"), 6);
  scans.found.Clear();

  ScanRecentDocuments(scans.context, progress);
  EXPECT_EQ(progress.load(), 20 + 20);
  ExpectSteps(
      scans.found.Paths(),
      {{machine.specialFolders[CSIDL_RECENT]},
       {machine / L"Office11\\Recent\\budget.xls.lnk"},
       {machine / (std::wstring(kRoamingDir) + L"\\Microsoft\\Office\\Recent\\notes.doc.lnk")},
       {chrome + L"\\Session Storage"}});
  EXPECT_TRUE(scans.found.items.front().dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  for (const wchar_t* key : test::kRecentDocKeys) EXPECT_FALSE(KeyExists(key)) << key;

  for (const wchar_t* key : test::kRunHistoryKeys) EXPECT_TRUE(KeyExists(key)) << key;
  // The catalogue's own lists are untouched: a second run deletes the same keys.
  EXPECT_EQ(scans.catalogue.recentDocKeys.size(), 17u);
  EXPECT_EQ(scans.catalogue.autoCompleteKeys.size(), 2u);
  EXPECT_TRUE(sink.texts.empty());
}

TEST_F(PrivacyScans, EveryPlaceAndKeyIsVisitedAgainOnASecondRun) {
  Scans scans(machine, sink);
  std::atomic<int> progress{0};
  for (int run = 0; run < 2; ++run) {
    ScanFormData(scans.context, progress);
    ScanRecentDocuments(scans.context, progress);
  }
  EXPECT_EQ(progress.load(), 2 * (6 + 20));
  // Session Storage is listed by both categories, in both runs.
  const std::vector<std::wstring> found = scans.found.Paths();
  EXPECT_EQ(std::count(found.begin(), found.end(), chrome + L"\\Session Storage"), 4);
  EXPECT_EQ(found.size(), 2u * (8 + 4));
}

TEST(PrivacyScansWithoutBrowsers, CountExactlyAndFindNothing) {
  FakeMachine machine(L"D:\\");
  RecordingStatus sink;
  ComThread com;
  Scans scans(machine, sink);

  std::atomic<int> progress{0};
  ScanUrlHistory(scans.context, progress);
  EXPECT_EQ(progress.load(), 16);
  ScanFormData(scans.context, progress);
  EXPECT_EQ(progress.load(), 16 + 6);
  ScanFindHistory(scans.context, progress);
  EXPECT_EQ(progress.load(), 22 + 9);
  ScanTypedUrls(scans.context, progress);
  EXPECT_EQ(progress.load(), 31 + 5);
  ScanRecentDocuments(scans.context, progress);
  EXPECT_EQ(progress.load(), 36 + 20);
  EXPECT_THAT(scans.found.Paths(), ElementsAreArray(std::vector<std::wstring>{}));
  EXPECT_TRUE(sink.texts.empty());
}

// Also run without COM on the thread: the URL history store is then skipped.
TEST(PrivacyScansWithoutBrowsers, HistoryFallsBackToTheWindowsFolderAndRecentIsSkipped) {
  FakeMachine machine(L"D:\\");
  machine.specialFolders.erase(CSIDL_HISTORY);
  machine.specialFolders.erase(CSIDL_RECENT);
  std::wstring history = machine.Folder(L"Windows\\History");
  machine.File(L"Windows\\History\\index.dat");
  RecordingStatus sink;
  Scans scans(machine, sink);

  std::atomic<int> progress{0};
  ScanUrlHistory(scans.context, progress);
  ScanRecentDocuments(scans.context, progress);
  EXPECT_EQ(progress.load(), 16 + 20);
  EXPECT_EQ(scans.found.Paths(), std::vector<std::wstring>{history});
}

}  // namespace
}  // namespace klarex
