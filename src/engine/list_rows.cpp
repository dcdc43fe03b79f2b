#include "engine/list_rows.h"

#include <shlwapi.h>

#include <cwchar>

#include "sys/paths.h"
#include "sys/queries.h"

namespace klarex {

bool IsUnlistableRecord(const FoundItem& record) {
  return record.ftLastWriteTime.dwLowDateTime == 0 || !wcschr(record.cFileName, L'\\');
}

bool IsListedNow(const FoundItem& record) {
  if (IsUnlistableRecord(record)) return false;
  const std::wstring exact = ExactPath(record.cFileName);
  return ::GetFileAttributesW(exact.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<FoundItem> ListOrder(const std::vector<FoundItem>& found) {
  std::vector<FoundItem> rows;
  for (auto item = found.rbegin(); item != found.rend(); ++item) {
    if (IsListedNow(*item)) rows.push_back(*item);
  }
  return rows;
}

std::wstring CRowFacts::TypeName(const FoundItem& record) {
  const wchar_t* path = record.cFileName;
  const wchar_t* extension = ::PathFindExtensionW(path);
  if ((record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !*extension)
    return GetFileTypeName(path);
  std::wstring key = extension;
  ::CharLowerBuffW(key.data(), static_cast<DWORD>(key.size()));
  auto [entry, added] = m_typeNames.try_emplace(key);
  if (added) entry->second = GetFileTypeName(path);
  return entry->second;
}

uint64_t CRowFacts::Size(const FoundItem& record) {
  uint64_t size = 0;
  if (record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
    GetFolderSize(record.cFileName, &size);
  else
    size = (static_cast<uint64_t>(record.nFileSizeHigh) << 32) | record.nFileSizeLow;
  return size;
}

}  // namespace klarex
