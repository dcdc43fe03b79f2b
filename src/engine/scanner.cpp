// The file scanner: turns a folder and mask, a tree and a name pattern, or one named path
// into found items. Listing is a preview: it changes no attribute, owner or time of
// anything it looks at (read-only bits are cleared by the deletion, on what it deletes).
#include "engine/scanner.h"

#include <shlwapi.h>

#include <cwchar>
#include <vector>

#include "sys/handles.h"
#include "sys/paths.h"

namespace klarex {

namespace {

constexpr size_t kMaxPathChars = MAX_PATH - 1;

bool IsDotEntry(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

bool IsFolder(DWORD attributes) { return attributes & FILE_ATTRIBUTE_DIRECTORY; }

// A relative place (an unresolved "null", for one) would be looked up in
// whatever the current directory happens to be.
bool IsAbsolutePlace(const std::wstring& place) {
  return !place.empty() && !PathIsRelativeW(place.c_str());
}

// The folder in canonical form ending in a backslash, so that entry names join
// by appending; empty if it does not fit a path buffer.
std::wstring EntryPrefix(const std::wstring& folder) {
  if (folder.size() > kMaxPathChars) return {};
  wchar_t canonical[MAX_PATH];
  if (!PathCanonicalizeW(canonical, folder.c_str())) return {};
  std::wstring prefix = canonical;
  if (prefix.empty()) return {};
  if (prefix.back() != L'\\') prefix += L'\\';
  return prefix;
}

// The search for `mask` in the folder `prefix`, by the folder's exact name: a
// folder "dir." is searched, not "dir".
std::wstring SearchPath(const std::wstring& prefix, const wchar_t* mask) {
  std::wstring search = ExactPath(prefix);
  if (search.empty()) return {};
  if (search.back() != L'\\') search += L'\\';
  return search + mask;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(ExactPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A folder's last change, by its exact name; 0 when it cannot be read.
uint64_t LastChange(const std::wstring& prefix) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(ExactPath(prefix).c_str(), GetFileExInfoStandard, &data)) return 0;
  return (uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
}

// Whether the entries a search returned may hold one that has gone since:
// the folder changed during the search, or so shortly before it that a
// change within the same tick of its clock would not show.
bool MayHaveLost(uint64_t before, uint64_t after) {
  constexpr uint64_t kTwoSeconds = 2 * 10'000'000;  // in 100 ns units
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const uint64_t current = (uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
  return before == 0 || after != before || current < before + kTwoSeconds;
}

// Builds prefix + name into `full`; false when the path would not fit 259 characters.
bool EntryPath(const std::wstring& prefix, const wchar_t* name, std::wstring& full) {
  full.assign(prefix).append(name);
  return full.size() <= kMaxPathChars;
}

uint64_t SizeOf(const WIN32_FIND_DATAW& entry) {
  return (uint64_t{entry.nFileSizeHigh} << 32) | entry.nFileSizeLow;
}

// Reports one entry under its full path; a path too long for a found item is
// never cut, it is left out.
void Report(IFoundItemSink& sink, const std::wstring& fullPath, const FoundItem& entry) {
  if (fullPath.size() > kMaxPathChars) return;
  FoundItem item = entry;
  std::wmemcpy(item.cFileName, fullPath.c_str(), fullPath.size() + 1);
  sink.Add(item);
}

void WalkTree(IFoundItemSink& sink, const std::wstring& prefix, const wchar_t* mask) {
  WIN32_FIND_DATAW entry;
  FindHandle search(FindFirstFileW(SearchPath(prefix, L"*.*").c_str(), &entry));
  if (!search) return;
  std::wstring full;
  // The first entry (normally ".") is neither matched nor entered.
  while (FindNextFileW(search.get(), &entry)) {
    if (IsDotEntry(entry.cFileName) || !EntryPath(prefix, entry.cFileName, full)) continue;
    const bool matches =
        PathMatchSpecW(full.c_str(), mask) || std::wcscmp(entry.cFileName, mask) == 0;
    if (!matches) {
      // A link (reparse point) may lead anywhere, even back up the tree.
      if (IsFolder(entry.dwFileAttributes) &&
          !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        WalkTree(sink, full + L'\\', mask);
      continue;
    }
    // An empty file is not worth listing; a matching folder is taken whole.
    if (IsFolder(entry.dwFileAttributes) || SizeOf(entry) != 0) Report(sink, full, entry);
  }
}

}  // namespace

void ScanFolder(IFoundItemSink& sink, const std::wstring& folder, const wchar_t* mask,
                const wchar_t* excludedName) {
  if (!IsAbsolutePlace(folder) || !mask) return;
  const std::wstring prefix = EntryPrefix(folder);
  if (prefix.empty()) return;
  // An entry that has gone gives no item. Asking after each one would double
  // the walk's cost; the folder's change time, read around the search, tells
  // whether any can have gone, and only then is each one asked.
  const uint64_t before = LastChange(prefix);
  WIN32_FIND_DATAW entry;
  FindHandle search(FindFirstFileW(SearchPath(prefix, mask).c_str(), &entry));
  if (!search) return;
  // Entries wait in batches of a bounded size for that test.
  constexpr size_t kBatch = 4096;
  std::vector<FoundItem> found;
  auto reportFound = [&] {
    const bool mayHaveLost = MayHaveLost(before, LastChange(prefix));
    for (const FoundItem& item : found) {
      if (!mayHaveLost || Exists(item.cFileName)) sink.Add(item);
    }
    found.clear();
  };
  std::wstring full;
  auto keep = [&] {
    if (!EntryPath(prefix, entry.cFileName, full)) return;
    found.push_back(entry);
    std::wmemcpy(found.back().cFileName, full.c_str(), full.size() + 1);
    if (found.size() == kBatch) reportFound();
  };
  // The search also matches short (8.3) names ("thesis.logbook" is THESIS~1.LOG
  // to "*.log"): every entry's long name must match the mask itself.
  // The first entry is taken without the name tests; a folder there (often
  // ".") is passed over.
  if (!IsFolder(entry.dwFileAttributes) && MatchesMask(entry.cFileName, mask)) keep();
  while (FindNextFileW(search.get(), &entry)) {
    if (IsDotEntry(entry.cFileName)) continue;
    if (excludedName && std::wcscmp(entry.cFileName, excludedName) == 0) continue;
    if (MatchesMask(entry.cFileName, mask)) keep();
  }
  search.reset();
  reportFound();
}

void ScanTree(IFoundItemSink& sink, const std::wstring& folder, const wchar_t* mask) {
  if (!IsAbsolutePlace(folder) || !mask) return;
  const std::wstring prefix = EntryPrefix(folder);
  if (!prefix.empty()) WalkTree(sink, prefix, mask);
}

void AddPath(IFoundItemSink& sink, const std::wstring& path) {
  if (!IsAbsolutePlace(path) || path.size() > kMaxPathChars || !PathFileExistsW(path.c_str()))
    return;
  wchar_t canonical[MAX_PATH];
  if (!PathCanonicalizeW(canonical, path.c_str())) return;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(canonical, GetFileExInfoStandard, &data)) return;
  FoundItem item{};
  item.dwFileAttributes = data.dwFileAttributes;
  item.ftCreationTime = data.ftCreationTime;
  item.ftLastAccessTime = data.ftLastAccessTime;
  item.ftLastWriteTime = data.ftLastWriteTime;
  if (IsFolder(data.dwFileAttributes)) {
    item.nFileSizeLow = 0xFFFFFFFF;  // a folder's size is computed by the view
  } else {
    item.nFileSizeHigh = data.nFileSizeHigh;
    item.nFileSizeLow = data.nFileSizeLow;
  }
  Report(sink, canonical, item);
}

void ScanFolderMasks(IFoundItemSink& sink, const std::wstring& folder, const NameList& masks) {
  for (const wchar_t* mask : masks) ScanFolder(sink, folder, mask);
}

void ScanSubfolderMasks(IFoundItemSink& sink, const std::wstring& folder,
                        const FolderMaskList& pairs) {
  for (const auto& [subfolder, mask] : pairs) ScanFolder(sink, JoinPath(folder, subfolder), mask);
}

void ScanFoldersWithMask(IFoundItemSink& sink, const std::wstring& folder, const NameList& names,
                         const wchar_t* mask) {
  for (const wchar_t* name : names) ScanFolder(sink, JoinPath(folder, name), mask);
}

void AddPaths(IFoundItemSink& sink, const std::wstring& folder, const NameList& names) {
  for (const wchar_t* name : names) AddPath(sink, JoinPath(folder, name));
}

}  // namespace klarex
