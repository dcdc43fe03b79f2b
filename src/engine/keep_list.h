// The keep list: paths the user never wants listed again. A kept path hides
// itself and everything beneath it (whole path components, without regard to
// case) from every scan. Kept under HKCU\Software\Klarex\Klarex .NET\Keep, one
// REG_SZ value per path.
#pragma once
#include <windows.h>

#include <string>
#include <unordered_set>
#include <vector>

#include "engine/found_item_sink.h"

namespace klarex {

inline constexpr wchar_t kKeepKeyPath[] = L"Software\\Klarex\\Klarex .NET\\Keep";

// The comparable form of a path: upper case, backslashes, no "\\?\" prefix,
// no trailing backslash ("C:\" becomes "C:"). Empty when `path` is no
// absolute path ("X:\..." or "\\server\share...") or longer than MAX_PATH - 1.
std::wstring NormaliseKeptPath(const std::wstring& path);

class CKeepList {
 public:
  // False (nothing changes) for a path that NormaliseKeptPath refuses or one
  // already kept; the path is stored as given.
  bool Add(const std::wstring& path);
  // Removes the path (compared in normalised form); false when it was not kept.
  bool Remove(const std::wstring& path);
  // The path itself or one of its ancestors is kept. O(depth of `path`).
  bool IsKept(const std::wstring& path) const;
  // The kept paths as they were added, in that order.
  const std::vector<std::wstring>& Paths() const { return m_paths; }
  bool Empty() const { return m_paths.empty(); }

 private:
  std::vector<std::wstring> m_paths;
  std::unordered_set<std::wstring> m_normalised;
};

// Reads every value of the key under HKEY_CURRENT_USER. A value that is not
// a REG_SZ, is empty, too long or no absolute path is passed over. A missing
// key is an empty list.
CKeepList LoadKeepList(HKEY root = HKEY_CURRENT_USER, const wchar_t* keyPath = kKeepKeyPath);
// Replaces the key's values with the list (value names "1", "2", ...). False
// when the key cannot be created or a value not written.
bool SaveKeepList(const CKeepList& list, HKEY root = HKEY_CURRENT_USER,
                  const wchar_t* keyPath = kKeepKeyPath);

// Passes on what the keep list does not hide. The list is read on the
// scanning thread: it must not change while a scan runs (the user changes it
// on the user-interface thread, where the list's scans run too).
class CKeepFilterSink final : public IFoundItemSink {
 public:
  CKeepFilterSink(const CKeepList& keep, IFoundItemSink& next) : m_keep(keep), m_next(next) {}
  void Add(const FoundItem& item) override {
    if (m_keep.Empty() || !m_keep.IsKept(item.cFileName)) m_next.Add(item);
  }
  void EndOfScan() override { m_next.EndOfScan(); }

 private:
  const CKeepList& m_keep;
  IFoundItemSink& m_next;
};

}  // namespace klarex
