// The document between the scans and the list: what it queues, when the views
// hear of it, and the Firefox history it opens at start-up.
#include "view/klarex_doc.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "support/fake_machine.h"
#include "support/places_db.h"
#include "support/recording_sink.h"

namespace klarex {
namespace {

using test::FakeMachine;
using test::kRoamingDir;

// Counts the updates and drains the queue, as the list does.
class Drain final : public CDocumentObserver {
 public:
  explicit Drain(CKlarexDoc& doc) : m_doc(doc) { m_doc.AddView(this); }
  ~Drain() override { m_doc.RemoveView(this); }
  Drain(const Drain&) = delete;
  Drain& operator=(const Drain&) = delete;
  void OnUpdate(CDocumentObserver*, LPARAM) override {
    ++updates;
    while (!m_doc.Queue().IsEmpty()) paths.emplace_back(m_doc.Queue().Pop().cFileName);
  }
  int updates = 0;
  std::vector<std::wstring> paths;

 private:
  CKlarexDoc& m_doc;
};

TEST(Document, FoldersAreShownAtOnceFilesWhenTheScanEnds) {
  FakeMachine machine;
  const std::wstring win = machine / L"Windows";
  machine.File(L"Windows\\setup.log");
  machine.File(L"Windows\\Prefetch\\APP.pf");  // a folder item
  machine.File(L"Windows\\x.tmp");
  test::RecordingStatus status;
  CKlarexDoc doc(BuildCatalogue(machine), machine, status);
  Drain view(doc);
  doc.Scan(CleaningMode::Standard);
  // One update for the folder (it takes the queue's files found before it
  // along), one at the end.
  EXPECT_EQ(view.updates, 2);
  EXPECT_EQ(view.paths, (std::vector<std::wstring>{win + L"\\setup.log", win + L"\\x.tmp",
                                                   win + L"\\Prefetch"}));
  EXPECT_TRUE(doc.Queue().IsEmpty());

  // The privacy scans report to the same queue.
  view.paths.clear();
  std::atomic<int> progress{0};
  machine.specialFolders.erase(CSIDL_HISTORY);
  machine.File(L"Windows\\History\\index.dat");
  ScanUrlHistory(doc.PrivacyScans(), progress);
  EXPECT_EQ(view.paths, std::vector<std::wstring>{win + L"\\History"});
}

TEST(Document, KeptPathsAreNeverQueuedByAnyScan) {
  FakeMachine machine;
  const std::wstring win = machine / L"Windows";
  machine.File(L"Windows\\setup.log");
  machine.File(L"Windows\\Prefetch\\APP.pf");
  machine.File(L"Windows\\x.tmp");
  machine.File(L"Windows\\History\\index.dat");
  machine.specialFolders.erase(CSIDL_HISTORY);
  CKeepList keep;
  keep.Add(win + L"\\PREFETCH");
  keep.Add(win + L"\\setup.log");
  keep.Add(win + L"\\History");
  test::RecordingStatus status;
  CKlarexDoc doc(BuildCatalogue(machine), machine, status, keep);
  Drain view(doc);
  doc.Scan(CleaningMode::Standard);
  EXPECT_EQ(view.paths, std::vector<std::wstring>{win + L"\\x.tmp"});
  EXPECT_EQ(doc.LastMode(), CleaningMode::Standard);
  std::atomic<int> progress{0};
  ScanUrlHistory(doc.PrivacyScans(), progress);  // the privacy scans' files too
  EXPECT_EQ(view.paths, std::vector<std::wstring>{win + L"\\x.tmp"});
}

TEST(Document, OpensFirefoxHistoryAtStartAndKeepsAFailureForTheStatusLine) {
  FakeMachine machine;
  const std::wstring profile = std::wstring(kRoamingDir) + L"\\Mozilla\\Firefox\\Profiles\\p";
  const std::wstring ini =
      machine.File(std::wstring(kRoamingDir) + L"\\Mozilla\\Firefox\\profiles.ini");
  WritePrivateProfileStringW(L"Profile0", L"Path", L"Profiles/p", ini.c_str());
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());
  // A folder where the database file should be cannot be opened.
  machine.Folder(profile + L"\\places.sqlite");
  test::RecordingStatus status;
  CKlarexDoc doc(BuildCatalogue(machine), machine, status);
  EXPECT_EQ(doc.TakePendingStatus(),
            L"Firefox history: SQLITE_CANTOPEN[14]: unable to open database file");
  EXPECT_EQ(doc.TakePendingStatus(), L"");
  EXPECT_TRUE(status.texts.empty());
}

}  // namespace
}  // namespace klarex
