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

std::wstring RowTypeName(const FoundItem& record) {
  return CachedFileTypeName(record.cFileName,
                            (record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
}

uint64_t RowSize(const FoundItem& record) {
  uint64_t size = 0;
  if (record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
    GetFolderSize(record.cFileName, &size);
  else
    size = (static_cast<uint64_t>(record.nFileSizeHigh) << 32) | record.nFileSizeLow;
  return size;
}

}  // namespace klarex
