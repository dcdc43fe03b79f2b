#include "sys/operations.h"

#include <aclapi.h>
#include <shlwapi.h>
#include <wininet.h>

#include <memory>

namespace klarex {

namespace {

constexpr DWORD kFullAccess = 0x101FFFFF;  // GENERIC_ALL plus every standard and specific right
constexpr DWORD kInheritToAll = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;

struct UrlCacheFindTraits {
  using handle_type = HANDLE;
  static handle_type invalid() { return nullptr; }
  static bool valid(handle_type h) { return h != nullptr; }
  static void close(handle_type h) { FindCloseUrlCache(h); }
};
using UrlCacheFind = UniqueHandle<UrlCacheFindTraits>;

// Cache entries are variable-sized structures; new[] of uint64_t keeps them aligned.
std::unique_ptr<uint64_t[]> EntryBuffer(DWORD bytes) {
  return std::make_unique<uint64_t[]>(bytes / sizeof(uint64_t) + 1);
}

bool HasOnlyNamedComponents(const wchar_t* key) {
  if (!key || *key == L'\0' || *key == L'\\') return false;
  for (const wchar_t* c = key; *c; ++c) {
    if (*c == L'\\' && (c[1] == L'\\' || c[1] == L'\0')) return false;
  }
  return true;
}

void FillEntry(EXPLICIT_ACCESSW& entry, PSID sid, TRUSTEE_TYPE type) {
  entry.grfAccessPermissions = kFullAccess;
  entry.grfAccessMode = SET_ACCESS;
  entry.grfInheritance = kInheritToAll;
  entry.Trustee.pMultipleTrustee = nullptr;
  entry.Trustee.MultipleTrusteeOperation = NO_MULTIPLE_TRUSTEE;
  entry.Trustee.TrusteeForm = TRUSTEE_IS_SID;
  entry.Trustee.TrusteeType = type;
  entry.Trustee.ptstrName = static_cast<LPWSTR>(sid);
}

}  // namespace

// --- Process security state -------------------------------------------------------

void SecurityState::Release() {
  if (fullAccessAcl) LocalFree(fullAccessAcl);
  if (administrators) FreeSid(administrators);
  if (authenticatedUsers) FreeSid(authenticatedUsers);
  fullAccessAcl = nullptr;
  administrators = nullptr;
  authenticatedUsers = nullptr;
  token.reset();
}

void PrepareSecurityState(SecurityState& state) {
  state.Release();
  state.platformVersion = GetVersion();
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, state.token.put())) {
    state.token.reset();
    return;
  }
  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
  if (!AllocateAndInitializeSid(&ntAuthority, 1, SECURITY_AUTHENTICATED_USER_RID, 0, 0, 0, 0, 0, 0,
                                0, &state.authenticatedUsers)) {
    state.authenticatedUsers = nullptr;
    return;
  }
  EXPLICIT_ACCESSW entries[2] = {};
  FillEntry(entries[0], state.authenticatedUsers, TRUSTEE_IS_WELL_KNOWN_GROUP);
  if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &state.administrators)) {
    state.administrators = nullptr;
    return;
  }
  FillEntry(entries[1], state.administrators, TRUSTEE_IS_GROUP);
  PACL acl = nullptr;
  if (SetEntriesInAclW(2, entries, nullptr, &acl) == ERROR_SUCCESS) state.fullAccessAcl = acl;
}

// --- URL cache ------------------------------------------------------------------------

bool ClearUrlCache() {
  DWORD size = 0;
  // Only the size is wanted here; a handle it might still hand out is closed at once.
  UrlCacheFind{FindFirstUrlCacheEntryW(nullptr, nullptr, &size)}.reset();
  if (size == 0) return false;
  auto buffer = EntryBuffer(size);
  auto* entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(buffer.get());
  UrlCacheFind search(FindFirstUrlCacheEntryW(nullptr, entry, &size));
  if (!search) return false;
  for (;;) {
    DeleteUrlCacheEntryW(entry->lpszSourceUrlName);
    size = 0;
    FindNextUrlCacheEntryW(search.get(), nullptr, &size);
    if (size == 0) break;
    buffer = EntryBuffer(size);
    entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(buffer.get());
    if (!FindNextUrlCacheEntryW(search.get(), entry, &size)) break;
  }
  return true;
}

// --- Security -------------------------------------------------------------------------

bool SetPrivilege(HANDLE token, bool enable) {
  TOKEN_PRIVILEGES privileges{};
  if (!LookupPrivilegeValueW(nullptr, SE_TAKE_OWNERSHIP_NAME, &privileges.Privileges[0].Luid)) {
    return false;
  }
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
  if (!AdjustTokenPrivileges(token, FALSE, &privileges, sizeof(privileges), nullptr, nullptr)) {
    return false;
  }
  // Success is also reported for a token that lacks the privilege.
  return GetLastError() != ERROR_NOT_ALL_ASSIGNED;
}

void TakeOwnership(const SecurityState& state, const std::wstring& path) {
  // Without the prepared ACL, token and owner there is nothing safe to set.
  if (!state.fullAccessAcl || !state.token || !state.authenticatedUsers) return;
  if (state.platformVersion & 0x80000000) return;  // not the NT family
  std::wstring name = path;                        // the call wants a writable string
  auto setFullAccess = [&] {
    return SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                 nullptr, state.fullAccessAcl, nullptr);
  };
  if (setFullAccess() != ERROR_ACCESS_DENIED) return;
  if (!SetPrivilege(state.token.get(), true)) return;
  if (SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION,
                            state.authenticatedUsers, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return;
  }
  if (!SetPrivilege(state.token.get(), false)) return;
  setFullAccess();
}

// --- Registry -------------------------------------------------------------------------

void DeleteRegistryKeys(std::vector<const wchar_t*> keys, std::atomic<int>* counter) {
  for (const wchar_t* key : keys) {
    // An empty component ("", "\\x", "x\\\\y", "Software\\") makes the registry address a
    // parent key, up to HKEY_CURRENT_USER itself, and wipe all of it.
    if (HasOnlyNamedComponents(key)) SHDeleteKeyW(HKEY_CURRENT_USER, key);
    if (counter) ++*counter;
  }
  keys.clear();
  keys.shrink_to_fit();
}

}  // namespace klarex
