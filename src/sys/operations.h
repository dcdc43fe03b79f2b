// Operations that change the file system, the URL cache, security settings and
// the registry. They report through their result only; most callers ignore it.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "sys/handles.h"

namespace klarex {

// The process security state that TakeOwnership uses: prepared once at start-up,
// released when the main frame closes.
struct SecurityState {
  DWORD platformVersion = 0;  // GetVersion(); top bit clear = NT family
  KernelHandle token;         // TOKEN_ADJUST_PRIVILEGES; empty if it could not be opened
  PSID authenticatedUsers = nullptr;
  PSID administrators = nullptr;
  PACL fullAccessAcl = nullptr;  // empty if any earlier step failed

  SecurityState() = default;
  ~SecurityState() { Release(); }
  SecurityState(const SecurityState&) = delete;
  SecurityState& operator=(const SecurityState&) = delete;
  void Release();
};

// The one process-wide state (owned here, prepared by the application object).
SecurityState& ProcessSecurityState();
void PrepareSecurityState(SecurityState& state);

// Deletes one file or folder: permanently (falling back to removal at the next
// restart) or to the Recycle Bin. False for a missing path. A linked folder is
// removed as a link, never entered.
bool DeletePath(std::wstring path, bool permanent);

// Empties a folder tree permanently; removes the folder itself unless it is the
// current item (the deletion worker's DeletePath registered that one). Never
// enters linked folders. Always true.
bool DeleteFolderTree(const std::wstring& folder);

// The path of the row the deletion worker is handling. Written and read by the
// worker thread (DeleteFolderTree); guarded so any thread may read a whole copy.
void SetCurrentItemPath(const std::wstring& path);
std::wstring GetCurrentItemPath();

// Deletes every entry of the WinINet URL cache; false if the enumeration could
// not start (an empty cache).
bool ClearUrlCache();

bool SetPrivilege(HANDLE token, bool enable);
void TakeOwnership(const std::wstring& path);
void TakeOwnership(const SecurityState& state, const std::wstring& path);

// Deletes each key tree under HKEY_CURRENT_USER, adding 1 to `*counter` per key
// attempted. The list is consumed.
void DeleteRegistryKeys(std::vector<const wchar_t*> keys, std::atomic<int>* counter);

}  // namespace klarex
