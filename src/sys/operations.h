// Operations that change the file system, the URL cache, security settings and
// the registry. They report through their result only; most callers ignore it.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "sys/handle_closer.h"
#include "sys/handles.h"
#include "sys/status_sink.h"

namespace klarex {

// The process security state that TakeOwnership uses: prepared once at
// start-up and released when the program ends, after every worker.
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

void PrepareSecurityState(SecurityState& state);

// What happened to an item handed to DeletePath.
enum class DeleteOutcome {
  Deleted,      // gone for good
  Recycled,     // moved to the Recycle Bin
  AtRestart,    // registered for removal at the next restart
  LinkRemoved,  // a link (reparse point) removed; what it points to is untouched
  Missing,      // already gone before anything was done
  Failed,       // still there
};

// True for the outcomes after which the item is gone or will go at restart.
inline bool IsGone(DeleteOutcome outcome) { return outcome != DeleteOutcome::Failed; }

// Deletes one file or folder: permanently (a folder with all it holds; what is
// in use is registered for removal at the next restart) or to the Recycle Bin.
// Every call uses the item's exact name. Read-only bits are cleared only on
// what is being deleted, just before it goes, and ownership is taken only of
// what cannot be deleted otherwise. An entry that does not lead to itself (a
// link that Wine shows as a plain file or folder) is never deleted through and
// never entered: it stays, and so does the folder holding it.
// `context` holds what the process lends a deletion. With a closer, a file
// reported Deleted is marked for deletion (Windows lets no one open it any
// more; Wine does) and is unlinked when the closer closes its handle: Settle
// waits for that.
struct DeletionContext {
  const SecurityState* security = nullptr;  // none: ownership is never taken
  IStatusSink* status = nullptr;            // hears "Deleting <path>" per entry
  CHandleCloser* closer = nullptr;          // none: every handle closes at once
};
DeleteOutcome DeletePath(std::wstring path, bool permanent, const DeletionContext& context);

// The deletion of one listed item (a folder with all it holds), as the list's
// deletion worker sees it.
class IDeleteOperations {
 public:
  virtual ~IDeleteOperations() = default;
  virtual DeleteOutcome DeletePath(const std::wstring& path, bool permanent) = 0;
  // Returns once everything reported Deleted so far is unlinked; called at the
  // end of a run, before anyone looks at the file system again.
  virtual void Settle() = 0;
};

// DeletePath with the process's security state, telling `status` what it
// deletes; the files' handles close on a thread of their own.
class CDeleteOperations final : public IDeleteOperations {
 public:
  CDeleteOperations(const SecurityState& security, IStatusSink& status)
      : m_context{&security, &status, &m_closer} {}
  DeleteOutcome DeletePath(const std::wstring& path, bool permanent) override {
    return klarex::DeletePath(path, permanent, m_context);
  }
  void Settle() override { m_closer.Settle(); }

 private:
  CHandleCloser m_closer;
  DeletionContext m_context;
};

// Deletes every entry of the WinINet URL cache; false if the enumeration could
// not start (an empty cache).
bool ClearUrlCache();

bool SetPrivilege(HANDLE token, bool enable);
// Gives the process full access to a file or folder, taking ownership if need
// be. Takes exact ("\\?\") paths as well.
void TakeOwnership(const SecurityState& state, const std::wstring& path);

// Deletes each key tree under HKEY_CURRENT_USER, adding 1 to `*counter` per key
// attempted. The list is consumed.
void DeleteRegistryKeys(std::vector<const wchar_t*> keys, std::atomic<int>* counter);

}  // namespace klarex
