// The texts and icon of one result row, and the column arithmetic. Pure
// functions: no window, no file system.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

namespace klarex {

// "0 KB", "1 KB" (1 to 2,047 bytes), "<n> KB" below 1 MB, "<n> MB" from 1 MB on.
std::wstring FormatSizeText(int64_t bytes);

// Local time as "%m/%d/%Y %H:%M"; empty when the time cannot be converted or
// formatted. A local year before 1900 shows the runtime library's time 0.
std::wstring FormatDateText(const FILETIME& lastWrite);

// Index into the row icons 128-131: 0 folder, 1 file, +2 when the item could
// not be opened for writing.
inline int RowImageIndex(bool folder, bool writable) {
  return (folder ? 0 : 1) + (writable ? 0 : 2);
}

// Width of the File Name column: what the other three leave of `available`,
// never negative.
int FirstColumnWidth(int available, int type, int size, int date);

// "3 / 120 selected", or "Ready" with nothing selected; translated when a
// language file is active.
std::wstring SelectionStatusText(int selected, int total);

}  // namespace klarex
