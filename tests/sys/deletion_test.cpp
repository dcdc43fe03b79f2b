// DeletePath on planted trees: exact names, read-only contents, links, what is
// in use, the Recycle Bin, and the outcome reported for each.
#include <gtest/gtest.h>
#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "support/folder_link.h"
#include "support/temp_dir.h"
#include "sys/operations.h"
#include "sys/status_sink.h"

namespace klarex {

// Outcomes by name in failure messages.
void PrintTo(DeleteOutcome outcome, std::ostream* out) {
  static const char* const kNames[] = {"Deleted",     "Recycled", "AtRestart",
                                       "LinkRemoved", "Missing",  "Failed"};
  *out << kNames[static_cast<int>(outcome)];
}

namespace {

using test::TempDir;

// By the exact name: "keep." is not "keep".
std::wstring Exact(const std::wstring& path) { return L"\\\\?\\" + path; }
DWORD Attributes(const std::wstring& path) { return GetFileAttributesW(Exact(path).c_str()); }
bool Exists(const std::wstring& path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }

std::wstring Plant(const std::wstring& path, const char* text,
                   DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  FileHandle file(CreateFileW(Exact(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  WriteFile(file.get(), text, static_cast<DWORD>(strlen(text)), &written, nullptr);
  file.reset();
  SetFileAttributesW(Exact(path).c_str(), attributes);
  return path;
}

std::string Content(const std::wstring& path) {
  FileHandle file(CreateFileW(Exact(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr));
  char buffer[256];
  DWORD read = 0;
  if (!file || !ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr)) return "<none>";
  return std::string(buffer, read);
}

std::wstring Folder(const std::wstring& path) {
  CreateDirectoryW(Exact(path).c_str(), nullptr);
  return path;
}

// Records what DeletePath hands to the status display.
class CountingSink : public IStatusSink {
 public:
  void SetStatusText(const std::wstring&) override {}
  void ShowDeletingStatus(const std::wstring& path) override { shown.push_back(path); }
  std::vector<std::wstring> shown;
};

// The live list of removals Windows performs at the next restart. Entries below
// the test's own folder are taken out again so the prefix's next boot deletes nothing.
class PendingRemovals {
 public:
  static constexpr wchar_t kKey[] = L"System\\CurrentControlSet\\Control\\Session Manager";
  static constexpr wchar_t kValue[] = L"PendingFileRenameOperations";

  explicit PendingRemovals(const std::wstring& root) : m_root(L"\\??\\" + root) {}
  ~PendingRemovals() { ForgetAll(); }

  // Position of `path` among the removals, or -1.
  int IndexOf(const std::wstring& path) const {
    const std::vector<std::wstring> items = Read();
    for (size_t i = 0; i < items.size(); i += 2) {
      if (items[i] == L"\\??\\" + path) return static_cast<int>(i / 2);
    }
    return -1;
  }
  bool Contains(const std::wstring& path) const { return IndexOf(path) >= 0; }

 private:
  // Pairs of (source, target); an empty target means "delete".
  static std::vector<std::wstring> Read() {
    std::vector<std::wstring> items;
    RegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, key.put())) return items;
    DWORD bytes = 0;
    if (RegQueryValueExW(key.get(), kValue, nullptr, nullptr, nullptr, &bytes)) return items;
    std::wstring data(bytes / 2 + 1, L'\0');
    RegQueryValueExW(key.get(), kValue, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                     &bytes);
    data.resize(bytes / 2);
    size_t start = 0;
    while (start < data.size()) {
      size_t end = data.find(L'\0', start);
      if (end == std::wstring::npos) end = data.size();
      items.push_back(data.substr(start, end - start));
      start = end + 1;
    }
    if (items.size() % 2) items.pop_back();  // the list's closing empty string
    return items;
  }
  void ForgetAll() const {
    const std::vector<std::wstring> items = Read();
    std::wstring kept;
    bool changed = false;
    for (size_t i = 0; i + 1 < items.size(); i += 2) {
      if (items[i].compare(0, m_root.size(), m_root) == 0) {
        changed = true;
        continue;
      }
      kept += items[i] + L'\0' + items[i + 1] + L'\0';
    }
    if (!changed) return;
    RegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_SET_VALUE, key.put())) return;
    if (kept.empty()) {
      RegDeleteValueW(key.get(), kValue);
      return;
    }
    kept += L'\0';
    RegSetValueExW(key.get(), kValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(kept.c_str()),
                   static_cast<DWORD>(kept.size() * sizeof(wchar_t)));
  }
  std::wstring m_root;
};

// The prefix's Recycle Bin (the session points XDG_DATA_HOME at C:\xdg-data).
class TrashedItem {
 public:
  explicit TrashedItem(const std::wstring& name)
      : m_files(L"C:\\xdg-data\\Trash\\files\\" + name),
        m_info(L"C:\\xdg-data\\Trash\\info\\" + name + L".trashinfo") {}
  ~TrashedItem() {
    test::RemoveTree(m_files);
    DeleteFileW(m_info.c_str());
  }
  std::wstring operator/(const std::wstring& relative) const { return m_files + L"\\" + relative; }
  const std::wstring& Path() const { return m_files; }
  bool HasInfo() const { return Exists(m_info); }

 private:
  std::wstring m_files;
  std::wstring m_info;
};

std::wstring UniqueName(const wchar_t* stem) {
  return std::wstring(stem) + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(GetTickCount64());
}

class DeletePathTest : public testing::Test {
 protected:
  TempDir dir;
  PendingRemovals pending{dir.Path()};
  CountingSink sink;
  // The tests' process has no security state prepared: ownership is never taken.
  const DeletionContext context{nullptr, &sink};
};

// --- What is deleted and how ------------------------------------------------------------

TEST_F(DeletePathTest, MissingPathIsMissingAndShowsNothingRootsAndRelativePathsFail) {
  EXPECT_EQ(DeletePath(dir / L"missing.tmp", true, context), DeleteOutcome::Missing);
  EXPECT_EQ(DeletePath(dir / L"missing.tmp", false, context), DeleteOutcome::Missing);
  EXPECT_EQ(DeletePath(L"relative\\x.tmp", true, context), DeleteOutcome::Failed);
  // A drive root is never an item (Q: does not exist, so nothing else would refuse it).
  EXPECT_EQ(DeletePath(L"Q:\\", true, context), DeleteOutcome::Failed);
  EXPECT_EQ(DeletePath(L"Q:\\", false, context), DeleteOutcome::Failed);
  EXPECT_TRUE(sink.shown.empty());
  EXPECT_FALSE(pending.Contains(dir / L"missing.tmp"));
}

TEST_F(DeletePathTest, RecycledFileArrivesWholeInTheRecycleBin) {
  const std::wstring name = UniqueName(L"recycled") + L".log";
  const std::wstring file = dir.File(name, 1234);
  TrashedItem trashed(name);
  EXPECT_EQ(DeletePath(file, false, context), DeleteOutcome::Recycled);
  EXPECT_FALSE(Exists(file));
  WIN32_FILE_ATTRIBUTE_DATA data;
  ASSERT_TRUE(GetFileAttributesExW(trashed.Path().c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(data.nFileSizeLow, 1234u);
  EXPECT_TRUE(trashed.HasInfo());
  EXPECT_EQ(sink.shown, std::vector<std::wstring>{file});
}

TEST_F(DeletePathTest, RecycledFolderGoesWithItsContentsInOneOperation) {
  const std::wstring name = UniqueName(L"folder");
  dir.File(name + L"\\a.txt", 3);
  dir.File(name + L"\\sub\\b.txt", 4);
  TrashedItem trashed(name);
  EXPECT_EQ(DeletePath(dir / name, false, context), DeleteOutcome::Recycled);
  EXPECT_FALSE(Exists(dir / name));
  EXPECT_TRUE(Exists(trashed / L"a.txt"));
  EXPECT_TRUE(Exists(trashed / L"sub\\b.txt"));
}

TEST_F(DeletePathTest, PermanentFileIsDeletedWithoutRestartEntry) {
  const std::wstring name = UniqueName(L"gone") + L".tmp";
  const std::wstring file = dir.File(name);
  TrashedItem trashed(name);
  EXPECT_EQ(DeletePath(file, true, context), DeleteOutcome::Deleted);
  EXPECT_FALSE(Exists(file));
  EXPECT_FALSE(Exists(trashed.Path()));
  EXPECT_FALSE(pending.Contains(file));
  EXPECT_EQ(sink.shown, std::vector<std::wstring>{file});
}

TEST_F(DeletePathTest, PermanentFolderGoesWithEverythingItHolds) {
  dir.File(L"tree\\a.txt");
  dir.File(L"tree\\sub\\deeper\\c.txt");
  dir.Folder(L"tree\\empty");
  EXPECT_EQ(DeletePath(dir / L"tree", true, context), DeleteOutcome::Deleted);
  EXPECT_FALSE(Exists(dir / L"tree"));
  EXPECT_FALSE(pending.Contains(dir / L"tree"));
  // Each entry is shown as it goes, the item first.
  ASSERT_FALSE(sink.shown.empty());
  EXPECT_EQ(sink.shown.front(), dir / L"tree");
  EXPECT_EQ(sink.shown.size(), 6u);
}

TEST_F(DeletePathTest, FileInUseIsRegisteredForRemovalAtRestart) {
  const std::wstring file = dir.File(L"locked.dat");
  FileHandle holder(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);
  EXPECT_EQ(DeletePath(file, true, context), DeleteOutcome::AtRestart);
  EXPECT_TRUE(Exists(file));
  EXPECT_TRUE(pending.Contains(file));
}

TEST_F(DeletePathTest, FolderHoldingAFileInUseIsRegisteredAfterIt) {
  dir.File(L"tree\\a.txt");
  const std::wstring locked = dir.File(L"tree\\sub\\b.txt");
  dir.File(L"tree\\sub\\deeper\\c.txt");
  FileHandle holder(CreateFileW(locked.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);
  EXPECT_EQ(DeletePath(dir / L"tree", true, context), DeleteOutcome::AtRestart);
  EXPECT_TRUE(Exists(locked));
  EXPECT_FALSE(Exists(dir / L"tree\\a.txt"));
  EXPECT_FALSE(Exists(dir / L"tree\\sub\\deeper"));
  // The restart removes what a folder holds before the folder.
  const int file = pending.IndexOf(locked);
  const int sub = pending.IndexOf(dir / L"tree\\sub");
  const int tree = pending.IndexOf(dir / L"tree");
  ASSERT_GE(file, 0);
  EXPECT_GT(sub, file);
  EXPECT_GT(tree, sub);
}

// --- Exact names -------------------------------------------------------------------------

TEST_F(DeletePathTest, TrailingDotOrSpaceDeletesThatFileAndNoOther) {
  const std::wstring keep = Plant(dir / L"keep", "keep");
  const std::wstring dotted = Plant(dir / L"keep.", "dotted");
  const std::wstring spaced = Plant(dir / L"space ", "spaced");
  const std::wstring plain = Plant(dir / L"space", "plain");
  EXPECT_EQ(DeletePath(dotted, true, context), DeleteOutcome::Deleted);
  EXPECT_EQ(DeletePath(spaced, true, context), DeleteOutcome::Deleted);
  EXPECT_FALSE(Exists(dotted));
  EXPECT_FALSE(Exists(spaced));
  EXPECT_EQ(Content(keep), "keep");
  EXPECT_EQ(Content(plain), "plain");
}

TEST_F(DeletePathTest, FolderWithDotAndSpaceNamesIsDeletedWhole) {
  const std::wstring tree = Folder(dir / L"tree");
  Plant(tree + L"\\dot.", "x");
  Plant(tree + L"\\space ", "x");
  Folder(tree + L"\\dir.");
  Plant(tree + L"\\dir.\\inner.txt", "x");
  Folder(tree + L"\\sp ");
  Plant(tree + L"\\sp \\in.", "x");
  // Their namesakes without the dot or space, outside the tree.
  const std::wstring dot = Plant(dir / L"dot", "keep");
  Folder(dir / L"dir");
  const std::wstring inner = Plant(dir / L"dir\\inner.txt", "keep");
  EXPECT_EQ(DeletePath(tree, true, context), DeleteOutcome::Deleted);
  EXPECT_FALSE(Exists(tree));
  EXPECT_EQ(Content(dot), "keep");
  EXPECT_EQ(Content(inner), "keep");
}

TEST_F(DeletePathTest, TreeBeyond260CharactersGoesWhole) {
  std::wstring deep = Folder(dir / L"deep");
  while (deep.size() < 400) deep = Folder(deep + L"\\" + std::wstring(40, L'd'));
  Plant(deep + L"\\far.txt", "x", FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(DeletePath(dir / L"deep", true, context), DeleteOutcome::Deleted);
  EXPECT_FALSE(Exists(dir / L"deep"));
}

TEST_F(DeletePathTest, RecycleRefusesNamesTheShellWouldAlter) {
  const std::wstring name = UniqueName(L"keep");
  const std::wstring keep = Plant(dir / name, "keep");
  const std::wstring dotted = Plant(dir / (name + L"."), "dotted");
  TrashedItem trashed(name);
  EXPECT_EQ(DeletePath(dotted, false, context), DeleteOutcome::Failed);
  EXPECT_EQ(Content(dotted), "dotted");
  EXPECT_EQ(Content(keep), "keep");
  EXPECT_FALSE(Exists(trashed.Path()));
}

// --- Read-only ---------------------------------------------------------------------------

TEST_F(DeletePathTest, ReadOnlyContentOfADeletedFolderGoesToo) {
  const std::wstring tree = Folder(dir / L"tree");
  Plant(tree + L"\\ro.txt", "x", FILE_ATTRIBUTE_READONLY);
  Folder(tree + L"\\sub");
  Plant(tree + L"\\sub\\ro2.txt", "x", FILE_ATTRIBUTE_READONLY);
  Plant(tree + L"\\hsr.txt", "x",
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
  SetFileAttributesW(Exact(tree + L"\\sub").c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(Attributes(tree + L"\\ro.txt") & FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(DeletePath(tree, true, context), DeleteOutcome::Deleted);
  EXPECT_FALSE(Exists(tree));
  EXPECT_FALSE(pending.Contains(tree));
}

TEST_F(DeletePathTest, ReadOnlyFileGoesPermanentlyAndKeepsItsBitInTheRecycleBin) {
  const std::wstring file = Plant(dir / L"ro.log", "x", FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(DeletePath(file, true, context), DeleteOutcome::Deleted);
  EXPECT_FALSE(Exists(file));

  const std::wstring name = UniqueName(L"ro") + L".log";
  const std::wstring recycled = Plant(dir / name, "x", FILE_ATTRIBUTE_READONLY);
  TrashedItem trashed(name);
  EXPECT_EQ(DeletePath(recycled, false, context), DeleteOutcome::Recycled);
  EXPECT_FALSE(Exists(recycled));
  // The shell took it as it was: nothing had to be cleared.
  EXPECT_TRUE(Attributes(trashed.Path()) & FILE_ATTRIBUTE_READONLY);
}

// --- Links -------------------------------------------------------------------------------
// Under Wine a link to a file looks like a plain file and deleting it by name
// deletes its target; a link to a folder is removed as its (empty) target.

class LinkTest : public DeletePathTest {
 protected:
  void SetUp() override {
    Folder(dir / L"outside");
    canary = Plant(dir / L"outside\\canary.txt", "canary");
  }
  void TearDown() override { EXPECT_EQ(Content(canary), "canary"); }
  void Link(const std::wstring& link, const std::wstring& target) {
    ASSERT_TRUE(test::MakeFileLink(link, target));
    links.push_back(link);
  }
  ~LinkTest() override {
    for (const std::wstring& link : links) test::RemoveLink(link);
  }
  std::wstring canary;
  std::vector<std::wstring> links;
};

TEST_F(LinkTest, FileLinkIsNeverDeletedThrough) {
  const std::wstring name = UniqueName(L"canary-filelink") + L".tmp";
  const std::wstring link = dir / name;
  Link(link, canary);
  TrashedItem trashed(name);
  EXPECT_EQ(DeletePath(link, true, context), DeleteOutcome::Failed);
  EXPECT_EQ(DeletePath(link, false, context), DeleteOutcome::Failed);
  EXPECT_TRUE(Exists(link));
  EXPECT_FALSE(pending.Contains(link));
  EXPECT_FALSE(Exists(trashed.Path()));
}

TEST_F(LinkTest, FolderHoldingAFileLinkKeepsTheLinkAndItself) {
  const std::wstring tree = Folder(dir / L"tree");
  Plant(tree + L"\\a.txt", "x");
  Folder(tree + L"\\sub");
  Link(tree + L"\\sub\\canary-filelink.tmp", canary);
  EXPECT_EQ(DeletePath(tree, true, context), DeleteOutcome::Failed);
  EXPECT_FALSE(Exists(tree + L"\\a.txt"));
  EXPECT_TRUE(Exists(tree + L"\\sub\\canary-filelink.tmp"));
  EXPECT_FALSE(pending.Contains(tree));
  EXPECT_FALSE(pending.Contains(tree + L"\\sub"));
}

TEST_F(LinkTest, RecycledFolderHoldingAFileLinkStaysWhole) {
  // A shell that cannot use the Recycle Bin would delete permanently, through the link.
  const std::wstring name = UniqueName(L"tree");
  const std::wstring tree = Folder(dir / name);
  Plant(tree + L"\\a.txt", "x");
  Link(tree + L"\\canary-filelink.tmp", canary);
  TrashedItem trashed(name);
  EXPECT_EQ(DeletePath(tree, false, context), DeleteOutcome::Failed);
  EXPECT_TRUE(Exists(tree + L"\\a.txt"));
  EXPECT_FALSE(Exists(trashed.Path()));
}

TEST_F(LinkTest, FolderLinkLeavesItsEmptyTarget) {
  const std::wstring target = Folder(dir / L"empty-target");
  for (bool permanent : {true, false}) {
    const std::wstring link = dir / UniqueName(permanent ? L"plink" : L"rlink");
    ASSERT_TRUE(test::MakeFolderLink(link, target));
    links.push_back(link);
    EXPECT_EQ(DeletePath(link, permanent, context), DeleteOutcome::Failed) << permanent;
    EXPECT_TRUE(Exists(target)) << permanent;
    EXPECT_FALSE(pending.Contains(link)) << permanent;
  }
}

TEST_F(LinkTest, FolderLinkInsideATreeIsNotEntered) {
  dir.File(L"outside\\nested\\precious.txt", 5);
  const std::wstring tree = Folder(dir / L"tree");
  Plant(tree + L"\\a.txt", "x");
  const std::wstring link = tree + L"\\link";
  ASSERT_TRUE(test::MakeFolderLink(link, dir / L"outside"));
  links.push_back(link);
  EXPECT_EQ(DeletePath(tree, true, context), DeleteOutcome::Failed);
  EXPECT_TRUE(Exists(dir / L"outside\\nested\\precious.txt"));
  EXPECT_FALSE(Exists(tree + L"\\a.txt"));
  EXPECT_FALSE(pending.Contains(link));
}

TEST_F(LinkTest, LinkToANamesakeWithoutTheTrailingDotIsALinkToo) {
  // Wine answers the final path of "x." as "x": a link "keep." to "keep" (or
  // to "keep..") answers the same as a plain file "keep." would.
  const std::wstring keep = Plant(dir / L"keep", "keep");
  const std::wstring dots = Plant(dir / L"dots..", "dots");
  Link(dir / L"keep.", keep);
  Link(dir / L"dots.", dots);
  EXPECT_EQ(DeletePath(dir / L"keep.", true, context), DeleteOutcome::Failed);
  EXPECT_EQ(DeletePath(dir / L"dots.", true, context), DeleteOutcome::Failed);
  EXPECT_EQ(Content(keep), "keep");
  EXPECT_EQ(Content(dots), "dots");
}

}  // namespace
}  // namespace klarex

namespace klarex {
namespace {

// --- With a closer: files are unlinked when their handles close, meanwhile --------------

class CloserTest : public testing::Test {
 protected:
  TempDir dir;
  CountingSink sink;
  CHandleCloser closer;
  const DeletionContext context{nullptr, &sink, &closer};
};

TEST_F(CloserTest, SettleWaitsTillEveryQueuedHandleIsClosedAndTheEndClosesTheRest) {
  std::vector<std::wstring> files;
  for (int i = 0; i < 40; ++i) files.push_back(dir.File(L"h" + std::to_wstring(i) + L".tmp"));
  auto queue = [](CHandleCloser& into, const std::wstring& file) {
    into.Close(FileHandle(CreateFileW(file.c_str(), DELETE, FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr)));
  };
  for (int i = 0; i < 20; ++i) queue(closer, files[i]);
  closer.Settle();
  for (int i = 0; i < 20; ++i) EXPECT_FALSE(Exists(files[i])) << i;
  {
    CHandleCloser ending;
    for (int i = 20; i < 40; ++i) queue(ending, files[i]);
  }
  for (int i = 20; i < 40; ++i) EXPECT_FALSE(Exists(files[i])) << i;
  closer.Settle();  // nothing queued: returns at once
}

TEST_F(CloserTest, AFolderGoesWholeOnceWhatItHeldIsUnlinked) {
  for (int i = 0; i < 30; ++i) dir.File(L"tree\\f" + std::to_wstring(i) + L".tmp");
  dir.File(L"tree\\sub\\deep\\g.tmp");
  EXPECT_EQ(DeletePath(dir / L"tree", true, context), DeleteOutcome::Deleted);
  closer.Settle();
  EXPECT_FALSE(Exists(dir / L"tree"));
}

// A file marked for deletion and not yet unlinked, met again, is gone all the
// same (Windows refuses to open it: it waits for the closer and finds it
// Missing; Wine opens and marks it again), and is not in the way of its folder.
TEST_F(CloserTest, WhatAnEarlierItemDeletedIsGoneAgainAndNoObstacle) {
  const std::wstring file = dir.File(L"twice.tmp");
  EXPECT_EQ(DeletePath(file, true, context), DeleteOutcome::Deleted);
  const DeleteOutcome again = DeletePath(file, true, context);
  EXPECT_TRUE(again == DeleteOutcome::Deleted || again == DeleteOutcome::Missing)
      << testing::PrintToString(again);

  const std::wstring inner = dir.File(L"holder\\inner.tmp");
  dir.File(L"holder\\other.tmp");
  EXPECT_EQ(DeletePath(inner, true, context), DeleteOutcome::Deleted);
  EXPECT_EQ(DeletePath(dir / L"holder", true, context), DeleteOutcome::Deleted);
  closer.Settle();
  EXPECT_FALSE(Exists(dir / L"holder"));
}

}  // namespace
}  // namespace klarex
