#include "sys/operations.h"

#include <gtest/gtest.h>
#include <shlwapi.h>
#include <wininet.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace klarex {
namespace {

using test::TempDir;

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
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

TEST_F(RegistryKeysTest, NamesWithAnEmptyComponentNeverReachAParent) {
  const std::wstring keep = Plant(L"Keep");
  Plant(L"Keep\\Child");
  // A doubled or trailing backslash would address the parent tree instead.
  const std::wstring trailing = m_base + L"\\";
  const std::wstring doubled = m_base + L"\\\\Keep";
  const std::wstring leading = L"\\" + m_base;
  std::atomic<int> counter{0};
  DeleteRegistryKeys({L"", nullptr, L"\\\\", trailing.c_str(), doubled.c_str(), leading.c_str()},
                     &counter);
  EXPECT_EQ(counter.load(), 6);
  EXPECT_TRUE(KeyExists(keep + L"\\Child"));
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
