#include "sys/operations.h"

#include <gtest/gtest.h>
#include <shlwapi.h>
#include <wininet.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "support/folder_link.h"
#include "support/temp_dir.h"
#include "sys/status_sink.h"

namespace klarex {
namespace {

using test::TempDir;

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsEmptyFolder(const std::wstring& path) {
  return PathIsDirectoryW(path.c_str()) && PathIsDirectoryEmptyW(path.c_str());
}

// Records what DeletePath hands to the status display.
class CountingSink : public IStatusSink {
 public:
  CountingSink() { SetStatusSink(this); }
  ~CountingSink() override { SetStatusSink(nullptr); }
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

  bool Contains(const std::wstring& path) const {
    const std::vector<std::wstring> items = Read();
    for (size_t i = 0; i < items.size(); i += 2) {
      if (items[i] == L"\\??\\" + path) return true;
    }
    return false;
  }

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

// --- DeletePath -----------------------------------------------------------------

TEST(DeletePath, MissingPathReturnsFalseAndShowsNothing) {
  TempDir dir;
  CountingSink sink;
  PendingRemovals pending(dir.Path());
  EXPECT_FALSE(DeletePath(dir / L"missing.tmp", true));
  EXPECT_FALSE(DeletePath(dir / L"missing.tmp", false));
  EXPECT_TRUE(sink.shown.empty());
  EXPECT_FALSE(pending.Contains(dir / L"missing.tmp"));
}

TEST(DeletePath, RecycledFileArrivesWholeInTheRecycleBin) {
  TempDir dir;
  CountingSink sink;
  const std::wstring name = UniqueName(L"recycled") + L".log";
  const std::wstring file = dir.File(name, 1234);
  TrashedItem trashed(name);
  EXPECT_TRUE(DeletePath(file, false));
  EXPECT_FALSE(Exists(file));
  WIN32_FILE_ATTRIBUTE_DATA data;
  ASSERT_TRUE(GetFileAttributesExW(trashed.Path().c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(data.nFileSizeLow, 1234u);
  EXPECT_TRUE(trashed.HasInfo());
  EXPECT_EQ(sink.shown, std::vector<std::wstring>{file});
}

TEST(DeletePath, RecycledFolderGoesWithItsContentsInOneOperation) {
  TempDir dir;
  const std::wstring name = UniqueName(L"folder");
  dir.File(name + L"\\a.txt", 3);
  dir.File(name + L"\\sub\\b.txt", 4);
  TrashedItem trashed(name);
  EXPECT_TRUE(DeletePath(dir / name, false));
  EXPECT_FALSE(Exists(dir / name));
  EXPECT_TRUE(Exists(trashed / L"a.txt"));
  EXPECT_TRUE(Exists(trashed / L"sub\\b.txt"));
}

TEST(DeletePath, PermanentFileIsDeletedWithoutRestartEntry) {
  TempDir dir;
  CountingSink sink;
  PendingRemovals pending(dir.Path());
  const std::wstring name = UniqueName(L"gone") + L".tmp";
  const std::wstring file = dir.File(name);
  TrashedItem trashed(name);
  EXPECT_TRUE(DeletePath(file, true));
  EXPECT_FALSE(Exists(file));
  EXPECT_FALSE(Exists(trashed.Path()));
  EXPECT_FALSE(pending.Contains(file));
  EXPECT_EQ(sink.shown, std::vector<std::wstring>{file});
}

TEST(DeletePath, PermanentFolderIsRegisteredForRemovalAtRestart) {
  TempDir dir;
  PendingRemovals pending(dir.Path());
  const std::wstring folder = dir.Folder(L"cache");
  dir.File(L"cache\\x.dat");
  EXPECT_FALSE(DeletePath(folder, true));
  EXPECT_TRUE(Exists(dir / L"cache\\x.dat"));
  EXPECT_TRUE(pending.Contains(folder));
}

TEST(DeletePath, FileInUseIsRegisteredForRemovalAtRestart) {
  TempDir dir;
  PendingRemovals pending(dir.Path());
  const std::wstring file = dir.File(L"locked.dat");
  FileHandle holder(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);
  EXPECT_FALSE(DeletePath(file, true));
  EXPECT_TRUE(Exists(file));
  EXPECT_TRUE(pending.Contains(file));
}

TEST(DeletePath, LinkedFolderIsNeverEntered) {
  TempDir dir;
  PendingRemovals pending(dir.Path());
  dir.File(L"target\\keep.txt", 10);
  dir.File(L"target\\sub\\keep2.txt", 10);
  for (bool permanent : {true, false}) {
    const std::wstring name = UniqueName(permanent ? L"plink" : L"rlink");
    const std::wstring link = dir / name;
    ASSERT_TRUE(test::MakeFolderLink(link, dir / L"target"));
    TrashedItem trashed(name);
    DeletePath(link, permanent);
    EXPECT_TRUE(Exists(dir / L"target\\keep.txt")) << permanent;
    EXPECT_TRUE(Exists(dir / L"target\\sub\\keep2.txt")) << permanent;
    EXPECT_FALSE(Exists(trashed / L"keep.txt")) << permanent;
    EXPECT_FALSE(pending.Contains(link)) << permanent;
    test::RemoveFolderLink(link);
  }
}

// --- DeleteFolderTree -------------------------------------------------------------------

class DeleteFolderTreeTest : public testing::Test {
 protected:
  void SetUp() override {
    m_dir.File(L"tree\\a.txt");
    m_dir.File(L"tree\\sub\\b.txt");
    m_dir.File(L"tree\\sub\\deeper\\c.txt");
    m_dir.Folder(L"tree\\empty");
  }
  void TearDown() override { SetCurrentItemPath(L""); }
  TempDir m_dir;
  PendingRemovals m_pending{m_dir.Path()};
};

TEST_F(DeleteFolderTreeTest, CurrentItemFolderIsEmptiedAndLeftInPlace) {
  const std::wstring tree = m_dir / L"tree";
  SetCurrentItemPath(tree);
  EXPECT_TRUE(DeleteFolderTree(tree));
  EXPECT_TRUE(IsEmptyFolder(tree));
  // Sub-folders went at once, so nothing waits for a restart.
  EXPECT_FALSE(m_pending.Contains(tree + L"\\sub"));
  EXPECT_FALSE(m_pending.Contains(tree + L"\\a.txt"));
}

TEST_F(DeleteFolderTreeTest, AnyOtherFolderIsRemovedToo) {
  SetCurrentItemPath(m_dir / L"TREE");  // compared case-sensitively
  EXPECT_TRUE(DeleteFolderTree(m_dir / L"tree"));
  EXPECT_FALSE(Exists(m_dir / L"tree"));
}

TEST_F(DeleteFolderTreeTest, LockedFileSurvivesAndItsFolderIsRegistered) {
  const std::wstring locked = m_dir / L"tree\\sub\\b.txt";
  FileHandle holder(CreateFileW(locked.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);
  EXPECT_TRUE(DeleteFolderTree(m_dir / L"tree"));
  EXPECT_TRUE(Exists(locked));
  EXPECT_FALSE(Exists(m_dir / L"tree\\a.txt"));
  EXPECT_FALSE(Exists(m_dir / L"tree\\sub\\deeper"));
  EXPECT_TRUE(m_pending.Contains(locked));
  EXPECT_TRUE(m_pending.Contains(m_dir / L"tree\\sub"));
}

TEST_F(DeleteFolderTreeTest, LinkToAnOutsideFolderIsNotFollowed) {
  m_dir.File(L"outside\\precious.txt", 5);
  m_dir.File(L"outside\\nested\\precious2.txt", 5);
  const std::wstring link = m_dir / L"tree\\sub\\link";
  ASSERT_TRUE(test::MakeFolderLink(link, m_dir / L"outside"));
  EXPECT_TRUE(DeleteFolderTree(m_dir / L"tree"));
  EXPECT_TRUE(Exists(m_dir / L"outside\\precious.txt"));
  EXPECT_TRUE(Exists(m_dir / L"outside\\nested\\precious2.txt"));
  EXPECT_FALSE(Exists(m_dir / L"tree\\a.txt"));
  EXPECT_FALSE(Exists(m_dir / L"tree\\sub\\b.txt"));
  EXPECT_FALSE(m_pending.Contains(link));
  // Asked for the link itself, the tree behind it is not walked either.
  if (Exists(link)) {
    DeleteFolderTree(link);
    EXPECT_TRUE(Exists(m_dir / L"outside\\nested\\precious2.txt"));
  }
  test::RemoveFolderLink(link);  // before its target goes, or it dangles out of sight
}

TEST(CurrentItemPath, IsSharedAcrossThreads) {
  std::thread writer([] { SetCurrentItemPath(L"C:\\from\\worker"); });
  writer.join();
  EXPECT_EQ(GetCurrentItemPath(), L"C:\\from\\worker");
  SetCurrentItemPath(L"");
  EXPECT_EQ(GetCurrentItemPath(), L"");
}

// --- DeleteRegistryKeys ---------------------------------------------------------------------

class RegistryKeysTest : public testing::Test {
 protected:
  RegistryKeysTest()
      : m_base(L"Software\\KlarexTest\\o" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(GetTickCount64())) {}
  ~RegistryKeysTest() override {
    SHDeleteKeyW(HKEY_CURRENT_USER, m_base.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\KlarexTest");
  }
  std::wstring Plant(const std::wstring& relative) const {
    const std::wstring path = m_base + L"\\" + relative;
    RegKey key;
    RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    key.put(), nullptr);
    const wchar_t data[] = L"x";
    RegSetValueExW(key.get(), L"v", 0, REG_SZ, reinterpret_cast<const BYTE*>(data), sizeof(data));
    return path;
  }
  static bool KeyExists(const std::wstring& path) {
    RegKey key;
    return RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.put()) == 0;
  }
  std::wstring m_base;
};

TEST_F(RegistryKeysTest, DeletesWholeTreesAndCountsEveryKey) {
  const std::wstring typed = Plant(L"TypedURLs");
  Plant(L"TypedURLs\\Deeper\\Deepest");
  const std::wstring runMru = Plant(L"RunMRU");
  const std::wstring keep = Plant(L"Keep");
  const std::wstring missing = m_base + L"\\NotThere";
  std::atomic<int> counter{4};
  DeleteRegistryKeys({typed.c_str(), missing.c_str(), runMru.c_str()}, &counter);
  EXPECT_EQ(counter.load(), 7);
  EXPECT_FALSE(KeyExists(typed));
  EXPECT_FALSE(KeyExists(runMru));
  EXPECT_TRUE(KeyExists(keep));
}

TEST_F(RegistryKeysTest, NamesWithoutAKeyNeverReachTheRoot) {
  const std::wstring keep = Plant(L"Keep");
  std::atomic<int> counter{0};
  DeleteRegistryKeys({L"", nullptr, L"\\\\"}, &counter);
  EXPECT_EQ(counter.load(), 3);
  EXPECT_TRUE(KeyExists(keep));
  EXPECT_TRUE(KeyExists(L"Software"));
}

// --- Security ------------------------------------------------------------------------------------

bool SameSid(PSID sid, WELL_KNOWN_SID_TYPE type) {
  BYTE buffer[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof(buffer);
  if (!sid || !CreateWellKnownSid(type, nullptr, buffer, &size)) return false;
  return EqualSid(sid, buffer);
}

TEST(SecurityState, PreparesTokenSidsAndTheFullAccessAcl) {
  SecurityState state;
  PrepareSecurityState(state);
  EXPECT_EQ(state.platformVersion, GetVersion());
  EXPECT_TRUE(state.token);
  EXPECT_TRUE(SameSid(state.authenticatedUsers, WinAuthenticatedUserSid));
  EXPECT_TRUE(SameSid(state.administrators, WinBuiltinAdministratorsSid));
  ASSERT_NE(state.fullAccessAcl, nullptr);

  ACL_SIZE_INFORMATION info{};
  ASSERT_TRUE(GetAclInformation(state.fullAccessAcl, &info, sizeof(info), AclSizeInformation));
  ASSERT_EQ(info.AceCount, 2u);
  PSID expected[] = {state.authenticatedUsers, state.administrators};
  for (DWORD i = 0; i < 2; ++i) {
    ACCESS_ALLOWED_ACE* ace = nullptr;
    ASSERT_TRUE(GetAce(state.fullAccessAcl, i, reinterpret_cast<void**>(&ace)));
    EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
    EXPECT_EQ(ace->Header.AceFlags, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE);
    EXPECT_TRUE(EqualSid(&ace->SidStart, expected[i])) << i;
  }

  state.Release();
  EXPECT_FALSE(state.token);
  EXPECT_EQ(state.authenticatedUsers, nullptr);
  EXPECT_EQ(state.administrators, nullptr);
  EXPECT_EQ(state.fullAccessAcl, nullptr);
  state.Release();              // a second release is harmless
  PrepareSecurityState(state);  // and preparing again starts afresh
  EXPECT_NE(state.fullAccessAcl, nullptr);
}

TEST(SetPrivilege, SwitchesTakeOwnershipOnAndOff) {
  KernelHandle token;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, token.put()));
  EXPECT_TRUE(SetPrivilege(token.get(), true));
  EXPECT_TRUE(SetPrivilege(token.get(), false));
  EXPECT_FALSE(SetPrivilege(nullptr, true));
}

TEST(TakeOwnership, LeavesFilesUsableAndIgnoresAnUnpreparedState) {
  TempDir dir;
  const std::wstring file = dir.File(L"owned.txt", 3);
  SecurityState empty;
  TakeOwnership(empty, file);  // no ACL, no token: nothing happens
  SecurityState partial;
  PrepareSecurityState(partial);
  LocalFree(partial.fullAccessAcl);
  partial.fullAccessAcl = nullptr;
  TakeOwnership(partial, file);

  SecurityState state;
  PrepareSecurityState(state);
  TakeOwnership(state, file);
  TakeOwnership(state, dir / L"missing.txt");
  TakeOwnership(file);  // the process-wide state, unprepared here
  EXPECT_TRUE(Exists(file));
  EXPECT_TRUE(DeleteFileW(file.c_str()));
}

// --- ClearUrlCache ------------------------------------------------------------------------------

bool PlantCacheEntry(const std::wstring& url) {
  wchar_t file[MAX_PATH];
  if (!CreateUrlCacheEntryW(url.c_str(), 5, L"html", file, 0)) return false;
  FileHandle h(CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  WriteFile(h.get(), "hello", 5, &written, nullptr);
  h.reset();
  FILETIME never{};
  return CommitUrlCacheEntryW(url.c_str(), file, never, never, NORMAL_CACHE_ENTRY, nullptr, 0,
                              nullptr, nullptr) != FALSE;
}

bool InCache(const std::wstring& url) {
  DWORD size = 0;
  GetUrlCacheEntryInfoW(url.c_str(), nullptr, &size);
  return GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

TEST(ClearUrlCache, DeletesEveryEntryThenReportsAnEmptyCache) {
  const std::vector<std::wstring> urls = {L"http://klarex.test/a.html", L"http://klarex.test/b/c",
                                          L"https://other.test/page?q=1"};
  for (const std::wstring& url : urls) ASSERT_TRUE(PlantCacheEntry(url)) << url;
  for (const std::wstring& url : urls) ASSERT_TRUE(InCache(url)) << url;
  EXPECT_TRUE(ClearUrlCache());
  for (const std::wstring& url : urls) EXPECT_FALSE(InCache(url)) << url;
  EXPECT_FALSE(ClearUrlCache());
}

}  // namespace
}  // namespace klarex
