// The privacy run without a window: which categories touch which registry
// histories, how far the step counter moves, what a preview leaves alone, and
// the thread's COM apartment.
#include "engine/privacy_run.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlwapi.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/catalogue.h"
#include "engine/firefox_history.h"
#include "support/fake_machine.h"
#include "support/recording_sink.h"

namespace klarex {
namespace {

const wchar_t kRunMru[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
const wchar_t kMuiCache[] = L"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache";
const wchar_t kWinRarDialogs[] = L"Software\\WinRAR\\DialogEditHistory";
const wchar_t kRecentDocs[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs";
const wchar_t kTypedUrls[] = L"Software\\Microsoft\\Internet Explorer\\TypedURLs";
const wchar_t kWordWheel[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\WordWheelQuery";
const wchar_t kIntelliForms[] = L"Software\\Microsoft\\Internet Explorer\\IntelliForms";

// A key of the test prefix's HKEY_CURRENT_USER with a value and a sub-key,
// removed again at the end if the run left it.
class PlantedKey {
 public:
  explicit PlantedKey(const wchar_t* path) : m_path(path) {
    HKEY key = nullptr;
    const std::wstring sub = m_path + L"\\Sub";
    if (RegCreateKeyExW(HKEY_CURRENT_USER, sub.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) == ERROR_SUCCESS) {
      const wchar_t text[] = L"C:\\secret.txt";
      RegSetValueExW(key, L"a", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
      RegCloseKey(key);
    }
  }
  ~PlantedKey() { SHDeleteKeyW(HKEY_CURRENT_USER, m_path.c_str()); }
  PlantedKey(const PlantedKey&) = delete;
  PlantedKey& operator=(const PlantedKey&) = delete;

  bool Exists() const {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
      return false;
    }
    RegCloseKey(key);
    return true;
  }

 private:
  std::wstring m_path;
};

class PrivacyRun : public ::testing::Test {
 protected:
  test::FakeMachine machine;
  const Catalogue catalogue = BuildCatalogue(machine);
  test::RecordingStatus status;
  CFirefoxHistory firefox{catalogue.firefoxProfileDir, status};
  test::CollectingSink found;
  const PrivacyScanContext scans{catalogue, machine, firefox, found};
};

TEST_F(PrivacyRun, RunHistoryAloneDeletesItsThreeKeysAndCountsThem) {
  PlantedKey run(kRunMru), mui(kMuiCache), rar(kWinRarDialogs), recent(kRecentDocs);
  ASSERT_TRUE(run.Exists() && mui.Exists() && rar.Exists() && recent.Exists());

  std::atomic<int> progress{1};
  RunPrivacyCategories(scans, {0, 0, 1, 0, 0, 0}, progress);

  EXPECT_FALSE(run.Exists());
  EXPECT_FALSE(mui.Exists());
  EXPECT_FALSE(rar.Exists());
  EXPECT_TRUE(recent.Exists()) << "a category that was not chosen was cleaned";
  EXPECT_EQ(progress.load(), 4);
  EXPECT_EQ(catalogue.runHistoryKeys.size(), 3u) << "the catalogue's list must stay intact";

  // A later run deletes the same keys again; missing ones are counted all the same.
  PlantedKey again(kRunMru);
  RunPrivacyCategories(scans, {0, 0, 1, 0, 0, 0}, progress);
  EXPECT_FALSE(again.Exists());
  EXPECT_EQ(progress.load(), 7);
}

TEST_F(PrivacyRun, EachChosenCategoryCleansOnlyItsOwnHistory) {
  struct Case {
    CategoryFlags selected;
    const wchar_t* cleaned;
  };
  const Case cases[] = {
      {{0, 1, 0, 0, 0, 0}, kIntelliForms},
      {{0, 0, 0, 1, 0, 0}, kWordWheel},
      {{0, 0, 0, 0, 1, 0}, kTypedUrls},
      {{0, 0, 0, 0, 0, 1}, kRecentDocs},
  };
  const wchar_t* all[] = {kIntelliForms, kWordWheel, kTypedUrls, kRecentDocs, kRunMru};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cleaned);
    std::vector<std::unique_ptr<PlantedKey>> keys;
    for (const wchar_t* k : all) keys.push_back(std::make_unique<PlantedKey>(k));
    std::atomic<int> progress{1};
    RunPrivacyCategories(scans, c.selected, progress);
    for (std::size_t i = 0; i < std::size(all); ++i) {
      EXPECT_EQ(keys[i]->Exists(), all[i] != c.cleaned) << all[i];
    }
  }
}

TEST_F(PrivacyRun, CounterMovesByTheExpectedStepsOfTheCatalogueAsBuilt) {
  // Url History 16, AutoComplete 4 + 2 keys, Run History 3 keys, Find History
  // 1 + 8 keys, Typed URL 4 keys + 1, Recent Documents 3 + 17 keys.
  const int steps[] = {16, 6, 3, 9, 5, 20};
  int all = 1;
  for (std::size_t i = 0; i < kCategoryCount; ++i) {
    SCOPED_TRACE(i);
    CategoryFlags one{};
    one[i] = 1;
    std::atomic<int> progress{1};
    RunPrivacyCategories(scans, one, progress);
    EXPECT_EQ(progress.load(), 1 + steps[i]);
    all += steps[i];
  }
  std::atomic<int> progress{1};
  RunPrivacyCategories(scans, {1, 1, 1, 1, 1, 1}, progress);
  EXPECT_EQ(progress.load(), all);
  progress = 1;
  RunPrivacyCategories(scans, {}, progress);
  EXPECT_EQ(progress.load(), 1);
}

TEST_F(PrivacyRun, APreviewFindsTheSameFilesClearsNoKeyAndCountsTheSameSteps) {
  PlantedKey run(kRunMru), recent(kRecentDocs), typed(kTypedUrls), forms(kIntelliForms);
  const PrivacyScanContext preview{catalogue, machine, firefox, found, true};
  std::atomic<int> previewSteps{0};
  RunPrivacyCategories(preview, {1, 1, 1, 1, 1, 1}, previewSteps);
  const std::vector<std::wstring> previewFound = found.Paths();
  EXPECT_TRUE(run.Exists() && recent.Exists() && typed.Exists() && forms.Exists());

  found.Clear();
  std::atomic<int> steps{0};
  RunPrivacyCategories(scans, {1, 1, 1, 1, 1, 1}, steps);
  EXPECT_EQ(previewSteps.load(), steps.load());
  EXPECT_EQ(previewFound, found.Paths());
  EXPECT_FALSE(run.Exists() || recent.Exists() || typed.Exists() || forms.Exists());
}

TEST_F(PrivacyRun, EachCategoryNamesTheKeysItClears) {
  for (std::size_t i = 0; i < kCategoryCount; ++i) {
    SCOPED_TRACE(i);
    CategoryFlags one{};
    one[i] = 1;
    std::atomic<int> progress{0};
    RunPrivacyCategories({catalogue, machine, firefox, found, true}, one, progress);
    // Every counted step beyond the category's own fixed ones is one of its keys.
    const int fixed[] = {16, 4, 0, 1, 1, 3};
    EXPECT_EQ(progress.load(),
              fixed[i] + static_cast<int>(CategoryRegistryKeys(catalogue, i).size()));
  }
  EXPECT_TRUE(CategoryRegistryKeys(catalogue, kUrlHistory).empty());
  EXPECT_EQ(&CategoryRegistryKeys(catalogue, kRunHistory), &catalogue.runHistoryKeys);
}

TEST_F(PrivacyRun, CounterIsReadSafelyWhileTheRunGoesOn) {
  // The dialog's timer reads the counter on the user-interface thread while
  // the worker adds to it: it only ever grows, and ends at the whole count.
  std::atomic<int> progress{1};
  std::atomic<bool> done{false};
  std::vector<int> seen;
  std::thread timer([&] {
    while (!done.load()) {
      seen.push_back(progress.load());
      std::this_thread::yield();
    }
  });
  RunPrivacyCategories(scans, {1, 1, 1, 1, 1, 1}, progress);
  done = true;
  timer.join();
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_EQ(progress.load(), 1 + 16 + 6 + 3 + 9 + 5 + 20);
}

TEST_F(PrivacyRun, LeavesTheThreadWithoutACOMApartment) {
  HRESULT after = E_FAIL;
  std::thread worker([&] {
    std::atomic<int> progress{1};
    RunPrivacyCategories(scans, {1, 0, 0, 0, 0, 0}, progress);
    // Still inside the worker's apartment this would be RPC_E_CHANGED_MODE.
    after = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(after)) CoUninitialize();
  });
  worker.join();
  EXPECT_EQ(after, S_OK);
}

}  // namespace
}  // namespace klarex
