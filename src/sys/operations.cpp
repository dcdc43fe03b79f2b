#include "sys/operations.h"

#include <aclapi.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <wininet.h>

#include <cwchar>
#include <memory>
#include <mutex>

#include "sys/status_sink.h"

namespace klarex {

namespace {

constexpr DWORD kFullAccess = 0x101FFFFF;  // GENERIC_ALL plus every standard and specific right
constexpr DWORD kInheritToAll = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;

std::mutex g_currentItemMutex;
std::wstring g_currentItemPath;

bool IsLinkedFolder(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool IsDotEntry(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

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

SecurityState& ProcessSecurityState() {
  static SecurityState state;
  return state;
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

// --- Deleting -----------------------------------------------------------------------

bool DeletePath(std::wstring path, bool permanent) {
  SHFILEOPSTRUCTW operation{};
  operation.hwnd = nullptr;
  operation.wFunc = FO_DELETE;
  operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | (permanent ? 0 : FOF_ALLOWUNDO);
  // The shell takes a list of names ended by an empty one.
  path.push_back(L'\0');
  operation.pFrom = path.c_str();

  // One attribute read answers both "does it exist" and "is it a link".
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  ShowDeletingStatus(path.substr(0, path.size() - 1));

  // A link holds no data of its own; removing it must never reach into its target.
  if (IsLinkedFolder(attributes)) return RemoveDirectoryW(path.c_str()) != FALSE;

  if (!permanent) return SHFileOperationW(&operation) == 0;
  if (DeleteFileW(path.c_str())) return true;
  // A folder, or a file in use or protected: let Windows remove it at the next restart.
  MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  return false;
}

bool DeleteFolderTree(const std::wstring& folder) {
  if (!IsLinkedFolder(GetFileAttributesW(folder.c_str()))) {
    WIN32_FIND_DATAW entry;
    FindHandle search(FindFirstFileW((folder + L"\\*.*").c_str(), &entry));
    if (search) {
      do {
        if (IsDotEntry(entry.cFileName)) continue;
        const std::wstring child = folder + L"\\" + entry.cFileName;
        // A linked folder is handed to DeletePath as it is, which removes the link only.
        if (!IsLinkedFolder(entry.dwFileAttributes) &&
            (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
          DeleteFolderTree(child);
        }
        DeletePath(child, true);
      } while (FindNextFileW(search.get(), &entry));
    }
  }
  // The worker's own item was registered for removal at restart: leave it in place.
  if (folder != GetCurrentItemPath()) RemoveDirectoryW(folder.c_str());
  return true;
}

void SetCurrentItemPath(const std::wstring& path) {
  std::lock_guard lock(g_currentItemMutex);
  g_currentItemPath = path;
}

std::wstring GetCurrentItemPath() {
  std::lock_guard lock(g_currentItemMutex);
  return g_currentItemPath;
}

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

void TakeOwnership(const std::wstring& path) { TakeOwnership(ProcessSecurityState(), path); }

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
    // A name without any key in it would address HKEY_CURRENT_USER itself and wipe all of it.
    if (key && key[wcsspn(key, L"\\")] != L'\0') SHDeleteKeyW(HKEY_CURRENT_USER, key);
    if (counter) ++*counter;
  }
  keys.clear();
  keys.shrink_to_fit();
}

}  // namespace klarex
