// The canary harness: planted trees whose canary files must survive, a run of
// chosen rows through the result list's real deletion worker and operations,
// and the one checker every case ends with.
#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "sys/operations.h"

namespace klarex::test {

// A test tree in the prefix and a folder outside it (in the build tree, which
// Windows code reaches only as \\?\unix\...). Both are removed afterwards.
class CanaryTree {
 public:
  CanaryTree();
  ~CanaryTree();
  CanaryTree(const CanaryTree&) = delete;
  CanaryTree& operator=(const CanaryTree&) = delete;

  std::wstring operator/(const std::wstring& relative) const { return m_dir / relative; }
  const std::wstring& Root() const { return m_dir.Path(); }
  // Files (parents made) by exact names; a canary holds bytes of its own.
  std::wstring Junk(const std::wstring& relative, size_t size = 3) const;
  std::wstring Canary(const std::wstring& relative) const;
  std::wstring Folder(const std::wstring& relative) const;
  // A canary file outside the prefix; empty where Wine offers no such path.
  std::wstring OutsideCanary(const std::wstring& name) const;
  std::vector<std::wstring> Roots() const;

 private:
  TempDir m_dir;
  std::wstring m_outside;
};

// Every entry below the roots (links listed, never entered) with its
// attributes, size and a hash of its bytes, keyed by exact path.
using Listing = std::map<std::wstring, std::string>;
Listing TakeListing(const std::vector<std::wstring>& roots);

// What a run left: the rows removed from the list and those kept.
struct RunResult {
  std::vector<std::wstring> removed, kept;
  bool ended = false;
};

// Something done to the disk just before the item `path` is deleted
// (between listing and deleting).
using Meanwhile = std::function<void(const std::wstring& path)>;

// Lists `rows` in a result list, selects them all and deletes them through
// the deletion worker, with the program's operations (or `operations`).
RunResult DeleteRows(const std::vector<std::wstring>& rows, bool permanent,
                     const Meanwhile& meanwhile = {}, IDeleteOperations* operations = nullptr);

// The invariants after a case: no byte outside the rows changed (listings
// equal without what lies at or below a row), every removed row is gone or
// (only where `inUse`, something is held open) registered for restart, every
// kept row is still there, no canary was a row.
void CheckCase(const Listing& before, const Listing& after, const std::vector<std::wstring>& rows,
               const RunResult& result, const std::vector<std::wstring>& canaries,
               bool inUse = false);

// Names registered for removal at restart; entries below `root` are forgotten
// again by ForgetPendingBelow.
bool PendingAtRestart(const std::wstring& path);
void ForgetPendingBelow(const std::wstring& root);

}  // namespace klarex::test
