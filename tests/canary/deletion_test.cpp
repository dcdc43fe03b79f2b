// Every kind of trap a listed item can hold, planted beside canaries and run
// through the list's deletion worker with the real operations, permanently
// and to the Recycle Bin. One checker judges every case (canary.h).
#include <gtest/gtest.h>
#include <windows.h>
// needs windows.h first
#include <shlobj.h>

#include <memory>
#include <set>

#include "canary/canary.h"
#include "engine/catalogue.h"
#include "engine/mode_scans.h"
#include "engine/scanner.h"
#include "support/fake_machine.h"
#include "support/folder_link.h"
#include "support/recording_sink.h"
#include "sys/handles.h"

namespace klarex::test {
namespace {

struct Planted {
  std::vector<std::wstring> rows, canaries;
  Meanwhile meanwhile;
  std::vector<FileHandle> held;          // released after the checks
  std::unique_ptr<FakeMachine> machine;  // for traps planted as a whole machine
  bool inUse = false;                    // something is held open: restart registrations expected
};

struct Trap {
  const char* name;
  void (*plant)(CanaryTree& tree, Planted& p);
};

// Rows as a scan lists them: each path once, in the order found.
void AddFound(Planted& p, const CollectingSink& sink) {
  std::set<std::wstring> seen(p.rows.begin(), p.rows.end());
  for (const std::wstring& path : sink.Paths())
    if (seen.insert(path).second) p.rows.push_back(path);
}

void FolderLinks(CanaryTree& t, Planted& p) {
  const std::wstring canaries = t.Folder(L"canaries");
  p.canaries = {t.Canary(L"canaries\\c1.txt"), t.Canary(L"canaries\\sub\\c2.txt")};
  const std::wstring empty = t.Folder(L"empty");
  const std::wstring listed = t.Folder(L"listed\\a\\b\\c");
  t.Junk(L"listed\\junk.tmp");
  t.Junk(L"listed\\a\\b\\junk.tmp");
  ASSERT_TRUE(MakeFolderLink(t / L"listed\\a\\b\\up", t / L"listed\\a"));  // a loop
  ASSERT_TRUE(MakeFolderLink(t / L"listed\\to-canaries", canaries));
  ASSERT_TRUE(MakeFolderLink(t / L"listed\\to-empty", empty));
  ASSERT_TRUE(MakeFolderLink(listed + L"\\deep", canaries));
  ASSERT_TRUE(MakeFolderLink(t / L"row-link", canaries));  // a link as a row of its own
  ASSERT_TRUE(MakeFolderLink(t / L"row-empty-link", empty));
  p.rows = {t / L"listed", t / L"row-link", t / L"row-empty-link"};
}

void FileLinks(CanaryTree& t, Planted& p) {
  p.canaries = {t.Canary(L"canaries\\in.txt")};
  const std::wstring outside = t.OutsideCanary(L"out.txt");
  t.Junk(L"listed\\junk.tmp");
  ASSERT_TRUE(MakeFileLink(t / L"listed\\fl-in.tmp", p.canaries[0]));
  ASSERT_TRUE(MakeFileLink(t / L"row-in.tmp", p.canaries[0]));
  if (!outside.empty()) {
    t.Folder(L"listed\\sub");
    ASSERT_TRUE(MakeFileLink(t / L"listed\\sub\\fl-out.tmp", outside));
    ASSERT_TRUE(MakeFileLink(t / L"row-out.tmp", outside));
    p.rows.push_back(t / L"row-out.tmp");
  }
  p.rows.push_back(t / L"listed");
  p.rows.push_back(t / L"row-in.tmp");
}

// Windows matches masks against 8.3 names too: THES~1.LOG is found by *.log.
void ShortNames(CanaryTree& t, Planted& p) {
  for (const wchar_t* name :
       {L"thesis.logbook", L"budget.tmpl", L"photos.bakery", L"archive.chkpt", L"notes.log1x"})
    p.canaries.push_back(t.Canary(std::wstring(L"masks\\") + name));
  for (const wchar_t* name : {L"a.log", L"b.tmp", L"c.bak", L"d.chk", L"e.log.1"})
    t.Junk(std::wstring(L"masks\\") + name);
  CollectingSink sink;
  ScanFolderMasks(sink, t / L"masks", {L"*.log", L"*.tmp", L"*.bak", L"*.chk", L"*.log.*"});
  ScanTree(sink, t.Root(), L"*.log");
  AddFound(p, sink);
}

// Win32 strips a trailing dot or blank from a plain path: "keep." is not "keep".
void ExactNames(CanaryTree& t, Planted& p) {
  p.canaries = {t.Canary(L"names\\keep"), t.Canary(L"names\\space"),
                t.Canary(L"names\\dir\\inner.txt"), t.Canary(L"names\\x\\inner.txt")};
  t.Junk(L"names\\keep.");
  t.Junk(L"names\\space ");
  t.Junk(L"names\\dir.\\inner.txt");
  t.Junk(L"names\\x. \\inner.txt");
  p.rows = {t / L"names\\keep.", t / L"names\\space ", t / L"names\\dir.", t / L"names\\x. "};
}

void Attributes(CanaryTree& t, Planted& p) {
  auto set = [&](const std::wstring& path, DWORD attributes) {
    SetFileAttributesW((L"\\\\?\\" + path).c_str(), attributes);
  };
  set(t.Junk(L"attrs\\ro.txt"), FILE_ATTRIBUTE_READONLY);
  set(t.Junk(L"attrs\\sub\\ro2.txt"), FILE_ATTRIBUTE_READONLY);
  set(t.Junk(L"attrs\\hsr.txt"),
      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
  set(t / L"attrs\\sub", FILE_ATTRIBUTE_READONLY);
  set(t.Junk(L"ro-row.txt"), FILE_ATTRIBUTE_READONLY);
  p.canaries = {t.Canary(L"kept\\ro-canary.txt")};
  set(p.canaries[0], FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  p.rows = {t / L"attrs", t / L"ro-row.txt"};
}

void Locked(CanaryTree& t, Planted& p) {
  const std::wstring held = t.Junk(L"lock\\held.tmp");
  p.held.emplace_back(
      CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(p.held.back());
  p.inUse = true;
  t.Junk(L"lock\\free.tmp");
  t.Junk(L"lockdir\\held-inside.tmp");
  p.held.emplace_back(CreateFileW((t / L"lockdir\\held-inside.tmp").c_str(), GENERIC_READ,
                                  FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  p.canaries = {t.Canary(L"lock\\keep.txt")};
  p.rows = {held, t / L"lock\\free.tmp", t / L"lockdir"};
}

// Between listing and deleting: a file vanishes, a folder is emptied and refilled.
void Meanwhiles(CanaryTree& t, Planted& p) {
  t.Junk(L"v\\gone.tmp");
  t.Junk(L"v\\refill\\old.tmp");
  p.canaries = {t.Canary(L"v\\keep.txt")};
  p.rows = {t / L"v\\gone.tmp", t / L"v\\refill"};
  const std::wstring root = t.Root();
  p.meanwhile = [root](const std::wstring& path) {
    if (path.find(L"gone.tmp") != std::wstring::npos) DeleteFileW(path.c_str());
    if (path.size() > 6 && path.substr(path.size() - 6) == L"refill") {
      DeleteFileW((path + L"\\old.tmp").c_str());
      CreateDirectoryW((path + L"\\new").c_str(), nullptr);
      CloseHandle(CreateFileW((path + L"\\new\\new.tmp").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, 0, nullptr));
    }
  };
}

// Whole paths of 258-262 characters, and a tree deeper than 260.
void LongPaths(CanaryTree& t, Planted& p) {
  const std::wstring dir = t.Folder(L"long");
  for (size_t length = 258; length <= 262; ++length) {
    const size_t name = length - dir.size() - 1;
    t.Junk(L"long\\" + std::wstring(name - 4, L'j') + L".tmp");
    p.canaries.push_back(t.Canary(L"long\\" + std::wstring(name - 4, L'k') + L".txt"));
  }
  std::wstring deep = L"deep";
  while ((t / deep).size() < 400) deep += L"\\" + std::wstring(40, L'd');
  t.Junk(deep + L"\\bottom.tmp");
  CollectingSink sink;
  ScanFolder(sink, dir, L"*.tmp");
  AddFound(p, sink);
  p.rows.push_back(t / L"deep");
}

// profiles.ini leading out of the Firefox folder: the Offline recipe's steps
// in the "profile" must find nothing of AppData.
void ProfilesIni(CanaryTree& t, Planted& p) {
  p.machine = std::make_unique<FakeMachine>(t.Root());
  FakeMachine& m = *p.machine;
  m.specialFolders[CSIDL_LOCAL_APPDATA] = m.Folder(kLocalDir);
  const std::wstring firefox = std::wstring(kRoamingDir) + L"\\Mozilla\\Firefox";
  HANDLE ini = CreateFileW(m.File(firefox + L"\\profiles.ini").c_str(), GENERIC_WRITE, 0, nullptr,
                           CREATE_ALWAYS, 0, nullptr);
  const char text[] = "[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=../../..\r\n";
  DWORD written = 0;
  WriteFile(ini, text, sizeof(text) - 1, &written, nullptr);
  CloseHandle(ini);
  for (const wchar_t* name : {L"thesis.bak", L"Cache\\c.txt", L"places.sqlite", L"cookies.txt"}) {
    p.canaries.push_back(t.Canary(m / (std::wstring(L"Users\\u\\AppData\\") + name)));
    p.canaries.push_back(t.Canary(m / (std::wstring(kRoamingDir) + L"\\" + name)));
  }
  CollectingSink sink;
  ScanMode(CleaningMode::Offline, BuildCatalogue(m), m, sink);
  AddFound(p, sink);
}

const Trap kTraps[] = {
    {"FolderLinks", FolderLinks}, {"FileLinks", FileLinks},   {"ShortNames", ShortNames},
    {"ExactNames", ExactNames},   {"Attributes", Attributes}, {"Locked", Locked},
    {"Meanwhile", Meanwhiles},    {"LongPaths", LongPaths},   {"ProfilesIni", ProfilesIni},
};

class Canary : public ::testing::TestWithParam<std::tuple<Trap, bool>> {};

TEST_P(Canary, NothingButTheRowsChangesAndEveryRemovedRowIsGone) {
  const auto& [trap, permanent] = GetParam();
  CanaryTree tree;
  Planted planted;
  trap.plant(tree, planted);
  if (HasFatalFailure()) return;
  const Listing before = TakeListing(tree.Roots());
  const RunResult result = DeleteRows(planted.rows, permanent, planted.meanwhile);
  CheckCase(before, TakeListing(tree.Roots()), planted.rows, result, planted.canaries,
            planted.inUse);
}

INSTANTIATE_TEST_SUITE_P(Traps, Canary,
                         ::testing::Combine(::testing::ValuesIn(kTraps), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<std::tuple<Trap, bool>>& param) {
                           return std::string(std::get<0>(param.param).name) +
                                  (std::get<1>(param.param) ? "_Permanent" : "_RecycleBin");
                         });

}  // namespace
}  // namespace klarex::test
