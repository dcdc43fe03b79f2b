// The found-item queue and the scanner on planted folder trees.
#include "engine/scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "engine/found_item_queue.h"
#include "support/folder_link.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace klarex {
namespace {

using test::CollectingSink;
using test::TempDir;
using Paths = std::vector<std::wstring>;

FoundItem Item(const wchar_t* path) {
  FoundItem item{};
  wcscpy_s(item.cFileName, path);
  return item;
}

// The underflow is a standard exception, caught where any of those is.
std::string PopFailure(CFoundItemQueue& queue) {
  try {
    queue.Pop();
  } catch (const std::exception& error) {
    return error.what();
  }
  return "no exception";
}

TEST(FoundItemQueue, FirstInFirstOutAndUnderflowText) {
  CFoundItemQueue queue;
  EXPECT_TRUE(queue.IsEmpty());
  EXPECT_EQ(PopFailure(queue), "SB Queue underflow !");
  EXPECT_TRUE(queue.Push(Item(L"a")));
  EXPECT_TRUE(queue.Push(Item(L"b")));
  EXPECT_FALSE(queue.IsEmpty());
  EXPECT_STREQ(queue.Pop().cFileName, L"a");
  EXPECT_TRUE(queue.Push(Item(L"c")));
  EXPECT_STREQ(queue.Pop().cFileName, L"b");
  EXPECT_STREQ(queue.Pop().cFileName, L"c");
  EXPECT_TRUE(queue.IsEmpty());
  EXPECT_EQ(PopFailure(queue), "SB Queue underflow !");
  // Still usable after an underflow; items left behind are freed with the queue.
  EXPECT_TRUE(queue.Push(Item(L"d")));
  EXPECT_STREQ(queue.Pop().cFileName, L"d");
  EXPECT_TRUE(queue.Push(Item(L"left behind")));
}

TEST(FoundItemQueue, OneProducerOneConsumerKeepOrder) {
  CFoundItemQueue queue;
  constexpr int kCount = 20000;
  std::thread producer([&] {
    for (int i = 0; i < kCount; ++i) queue.Push(Item(std::to_wstring(i).c_str()));
  });
  int next = 0;
  bool ordered = true;
  while (next < kCount) {
    if (queue.IsEmpty()) continue;
    ordered = ordered && queue.Pop().cFileName == std::to_wstring(next);
    ++next;
  }
  producer.join();
  EXPECT_TRUE(ordered);
  EXPECT_TRUE(queue.IsEmpty());
}

class ScannerTest : public ::testing::Test {
 protected:
  std::wstring Dir(const std::wstring& relative) const { return tree / relative; }

  CollectingSink found;
  TempDir tree;
};

bool IsReadOnly(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY;
}

void MakeReadOnly(const std::wstring& path) {
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
}

TEST_F(ScannerTest, FolderWithAllFilesMaskQueuesFilesAndSubfoldersWithoutDescending) {
  tree.File(L"s\\a.txt");
  tree.File(L"s\\sub1\\inner.txt");
  tree.Folder(L"s\\sub2");
  tree.File(L"s\\z.dat", 0);
  ScanFolder(found, Dir(L"s"), L"*.*");
  EXPECT_EQ(found.Folders(), 2);
  EXPECT_EQ(found.Paths(),
            (Paths{Dir(L"s\\a.txt"), Dir(L"s\\sub1"), Dir(L"s\\sub2"), Dir(L"s\\z.dat")}));
  EXPECT_TRUE(found.items[1].dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(found.items[0].nFileSizeLow, 1u);
}

TEST_F(ScannerTest, FolderPassesOverAFolderThatIsTheFirstMatch) {
  tree.Folder(L"s\\a.log");
  tree.File(L"s\\b.log");
  tree.Folder(L"s\\c.log");
  tree.File(L"s\\d.txt");
  ScanFolder(found, Dir(L"s"), L"*.log");
  EXPECT_EQ(found.Paths(), (Paths{Dir(L"s\\b.log"), Dir(L"s\\c.log")}));
}

TEST_F(ScannerTest, FolderExcludedNameIsExactAndSparesOnlyLaterEntries) {
  tree.File(L"msdtc\\a.txt");
  tree.File(L"msdtc\\MSDTC.LOG");
  tree.File(L"msdtc\\z.txt");
  tree.File(L"lower\\msdtc.log");
  tree.File(L"first\\MSDTC.LOG");
  tree.File(L"first\\other.log");
  ScanFolder(found, Dir(L"msdtc"), L"*.*", L"MSDTC.LOG");
  ScanFolder(found, Dir(L"lower"), L"*.*", L"MSDTC.LOG");    // case differs: not excluded
  ScanFolder(found, Dir(L"first"), L"*.LOG", L"MSDTC.LOG");  // first entry: no name tests
  EXPECT_EQ(found.Paths(),
            (Paths{Dir(L"msdtc\\a.txt"), Dir(L"msdtc\\z.txt"), Dir(L"lower\\msdtc.log"),
                   Dir(L"first\\MSDTC.LOG"), Dir(L"first\\other.log")}));
}

TEST_F(ScannerTest, FolderMasksFollowTheListOrder) {
  tree.File(L"m\\a.tmp");
  tree.File(L"m\\b.bak");
  tree.File(L"m\\c.txt");
  ScanFolderMasks(found, Dir(L"m"), {L"*.tmp", L"*.bak", L"*.none"});
  ScanFoldersWithMask(found, tree.Path(), {L"m", L"missing", L"m"}, L"*.bak");
  EXPECT_EQ(found.Paths(),
            (Paths{Dir(L"m\\a.tmp"), Dir(L"m\\b.bak"), Dir(L"m\\b.bak"), Dir(L"m\\b.bak")}));
}

TEST_F(ScannerTest, ScanningChangesNoAttribute) {
  const std::wstring first = tree.File(L"r\\a.log");
  const std::wstring later = tree.File(L"r\\b.log");
  const std::wstring unmatched = tree.File(L"r\\c.txt");
  const std::wstring emptyMatch = tree.File(L"t\\deep\\e.log", 0);
  const std::wstring deep = tree.File(L"t\\deep\\f.log");
  for (const auto& path : {first, unmatched, emptyMatch, deep}) MakeReadOnly(path);
  SetFileAttributesW(later.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesW(Dir(L"t").c_str(), FILE_ATTRIBUTE_HIDDEN);  // its "." comes first
  std::vector<DWORD> before;
  const std::vector<std::wstring> all = {first, later, unmatched, emptyMatch, deep, Dir(L"t")};
  for (const auto& path : all) before.push_back(GetFileAttributesW(path.c_str()));

  ScanFolder(found, Dir(L"r"), L"*.log");
  ScanTree(found, Dir(L"t"), L"*.log");

  EXPECT_EQ(found.Paths(), (Paths{first, later, deep}));
  std::vector<DWORD> after;
  for (const auto& path : all) after.push_back(GetFileAttributesW(path.c_str()));
  EXPECT_EQ(after, before);
  EXPECT_TRUE(IsReadOnly(first));
  // The record keeps the attributes as found (the list shows the read-only icon).
  EXPECT_TRUE(found.items[0].dwFileAttributes & FILE_ATTRIBUTE_READONLY);
}

TEST_F(ScannerTest, MasksMatchLongNamesNotShortOnes) {
  // Each decoy's short (8.3) name ends in the extension its neighbour's mask asks for.
  for (const wchar_t* name : {L"archive.chkpt", L"budget.tmpl", L"photos.bakery", L"thesis.logbook",
                              L"a.log", L"b.tmp", L"c.bak", L"d.chk"})
    tree.File(std::wstring(L"m\\") + name);
  ScanFolderMasks(found, Dir(L"m"), {L"*.chk", L"*.bak", L"*.log", L"*.tmp", L"*.log.*"});
  EXPECT_EQ(found.Paths(), (Paths{Dir(L"m\\d.chk"), Dir(L"m\\c.bak"), Dir(L"m\\a.log"),
                                  Dir(L"m\\b.tmp"), Dir(L"m\\a.log")}));
}

TEST_F(ScannerTest, TreeWalksFoldersByTheirExactNames) {
  // "dir." is not "dir": its own entries are found, under its own name.
  const std::wstring dotted = Dir(L"t\\dir.");
  tree.Folder(L"t");
  CreateDirectoryW((L"\\\\?\\" + dotted).c_str(), nullptr);
  HANDLE file = CreateFileW((L"\\\\?\\" + dotted + L"\\inner.log").c_str(), GENERIC_WRITE, 0,
                            nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, "x", 1, &written, nullptr);
  CloseHandle(file);
  tree.File(L"t\\dir\\other.log");
  ScanTree(found, Dir(L"t"), L"*.log");
  ScanFolder(found, dotted, L"*.*");
  EXPECT_EQ(found.Paths(),
            (Paths{Dir(L"t\\dir\\other.log"), dotted + L"\\inner.log", dotted + L"\\inner.log"}));
}

TEST_F(ScannerTest, TreeQueuesNonEmptyMatchesAtAnyDepthAndMatchingFoldersWhole) {
  tree.File(L"t\\a.log");
  tree.File(L"t\\x\\y\\z\\a.log", 10);
  tree.File(L"t\\x\\b.log", 0);
  tree.File(L"t\\old.log\\c.log");
  tree.File(L"t\\x\\keep.txt");
  ScanTree(found, Dir(L"t"), L"*.log");
  EXPECT_EQ(found.Folders(), 1);  // the folder old.log
  EXPECT_EQ(found.Paths(),
            (Paths{Dir(L"t\\a.log"), Dir(L"t\\old.log"), Dir(L"t\\x\\y\\z\\a.log")}));
  EXPECT_EQ(found.items[2].nFileSizeLow, 10u);
}

TEST_F(ScannerTest, TreeWithPlainNameMatchesNamesExactlyWithCase) {
  tree.File(L"t\\Cache\\Cache\\f.txt");
  tree.File(L"t\\a\\Cache\\f.txt");
  tree.File(L"t\\c\\cache\\Cache\\f.txt");
  tree.File(L"t\\b\\Cache", 5);  // a file of that name counts as well
  tree.File(L"t\\b\\Cache2\\f.txt");
  ScanTree(found, Dir(L"t"), L"Cache");
  EXPECT_EQ(found.Paths(), (Paths{Dir(L"t\\a\\Cache"), Dir(L"t\\b\\Cache"),
                                  Dir(L"t\\c\\cache\\Cache"), Dir(L"t\\Cache")}));
}

TEST_F(ScannerTest, TreeNeverEntersALinkedFolderButMatchesItsName) {
  TempDir outside;
  outside.File(L"target\\secret.log");
  outside.File(L"target\\Cache\\x.txt");
  tree.File(L"t\\a.log");
  ASSERT_TRUE(test::MakeFolderLink(Dir(L"t\\link"), outside / L"target"));
  ASSERT_TRUE(test::MakeFolderLink(Dir(L"t\\Cache"), outside / L"target"));
  ASSERT_EQ(GetFileAttributesW(Dir(L"t\\link").c_str()),
            DWORD{FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT});

  ScanTree(found, Dir(L"t"), L"*.log");
  ScanTree(found, Dir(L"t"), L"Cache");
  EXPECT_EQ(found.Paths(), (Paths{Dir(L"t\\a.log"), Dir(L"t\\Cache")}));
  test::RemoveLink(Dir(L"t\\link"));
  test::RemoveLink(Dir(L"t\\Cache"));
}

TEST_F(ScannerTest, EntriesWhosePathWouldNotFitArePassedOver) {
  // Folders whose entries reach 259 characters and past (made through the long-path form).
  const std::wstring deep = tree.Path() + L"\\" + std::wstring(249 - tree.Path().size(), L'd');
  const std::wstring edge = tree.Path() + L"\\" + std::wstring(255 - tree.Path().size(), L'e');
  ASSERT_EQ(deep.size(), 250u);
  ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + edge).c_str(), nullptr));
  auto plant = [&](const std::wstring& path) {
    HANDLE h = CreateFileW((L"\\\\?\\" + path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                           nullptr);
    DWORD written;
    WriteFile(h, "x", 1, &written, nullptr);
    CloseHandle(h);
  };
  plant(deep + L"\\fit.log");            // 258 characters
  plant(deep + L"\\too-long-name.log");  // 268 characters
  plant(edge + L"\\a");                  // 258 characters, but the search "<edge>\\*.*" is 260
  ScanTree(found, tree.Path(), L"*.log");
  ScanTree(found, tree.Path(), L"a");
  ScanFolder(found, deep, L"*.*");
  ScanFolder(found, deep, L"*.log");
  ScanFolder(found, edge, L"*.*");
  const std::wstring fit = deep + L"\\fit.log";
  EXPECT_EQ(found.Paths(), (Paths{fit, edge + L"\\a", fit, fit, edge + L"\\a"}));
  for (const FoundItem& item : found.items) EXPECT_LE(wcslen(item.cFileName), 259u);
  for (const std::wstring& path :
       {deep + L"\\too-long-name.log", deep + L"\\fit.log", edge + L"\\a"})
    DeleteFileW((L"\\\\?\\" + path).c_str());
  for (const std::wstring& path : {deep, edge}) RemoveDirectoryW((L"\\\\?\\" + path).c_str());
}

TEST_F(ScannerTest, TreeTakesAFileOfExactly4GiBAsNonEmpty) {
  const std::wstring big = tree.File(L"t\\huge.log", 0);
  HANDLE h = CreateFileW(big.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  LARGE_INTEGER size;
  size.QuadPart = 1LL << 32;  // sparse on the host: no disk space used
  SetFilePointerEx(h, size, nullptr, FILE_BEGIN);
  ASSERT_TRUE(SetEndOfFile(h));
  CloseHandle(h);
  ScanTree(found, Dir(L"t"), L"*.log");
  ASSERT_EQ(found.Paths(), (Paths{big}));
  EXPECT_EQ(found.items[0].nFileSizeHigh, 1u);
  EXPECT_EQ(found.items[0].nFileSizeLow, 0u);
}

TEST_F(ScannerTest, AddPathQueuesOneItemWithItsAttributes) {
  const std::wstring folder = tree.Folder(L"p\\folder");
  const std::wstring file = tree.File(L"p\\file.bin", 1234);
  AddPath(found, folder);
  AddPath(found, tree / L"p\\folder\\..\\file.bin");
  ASSERT_EQ(found.Paths(), (Paths{folder, file}));
  EXPECT_TRUE(found.items[0].dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(found.items[0].nFileSizeLow, 0xFFFFFFFFu);
  EXPECT_EQ(found.items[1].nFileSizeLow, 1234u);
  EXPECT_EQ(found.items[1].nFileSizeHigh, 0u);
  EXPECT_NE(
      found.items[1].ftLastWriteTime.dwLowDateTime | found.items[1].ftLastWriteTime.dwHighDateTime,
      0u);
}

TEST_F(ScannerTest, UnresolvedOrRelativePlacesFindNothing) {
  // Even with matching entries in the current directory.
  tree.File(L"cwd\\a.log");
  tree.File(L"cwd\\null\\b.log");
  wchar_t previous[MAX_PATH] = L"";
  GetCurrentDirectoryW(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryW(Dir(L"cwd").c_str()));
  for (const wchar_t* place : {L"", L"null", L"a.log"}) {
    ScanFolder(found, place, L"*.*");
    ScanTree(found, place, L"*.log");
    AddPath(found, place);
  }
  ScanFolder(found, Dir(L"missing"), L"*.*");
  ScanTree(found, Dir(L"missing"), L"*.log");
  AddPath(found, Dir(L"missing"));
  AddPaths(found, L"null", {L"cwd"});
  ScanSubfolderMasks(found, L"", {{L"cwd", L"*.log"}});
  // The start folder may lie outside every drive, where Wine cannot go back;
  // staying in "cwd" would keep it from being removed.
  if (!SetCurrentDirectoryW(previous)) {
    GetWindowsDirectoryW(previous, MAX_PATH);
    SetCurrentDirectoryW(previous);
  }
  EXPECT_TRUE(found.Paths().empty());
}

}  // namespace
}  // namespace klarex
