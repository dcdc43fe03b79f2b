// Timing and planting helpers shared by the benchmark programs.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "engine/found_item_queue.h"

namespace klarex::bench {

// The floor of the scan benchmarks: every entry below `folder`, counted with
// nothing but FindFirstFileW/FindNextFileW.
inline size_t BareWalk(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((folder + L"\\*.*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return 0;
  size_t count = 0;
  do {
    const wchar_t* name = entry.cFileName;
    if (name[0] == L'.' && (!name[1] || (name[1] == L'.' && !name[2]))) continue;
    ++count;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) count += BareWalk(folder + L"\\" + name);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return count;
}

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

// The performance counter, for work of a few milliseconds.
inline double Milliseconds(const std::function<void()>& work) {
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  work();
  QueryPerformanceCounter(&end);
  return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

// The middle figure of several runs; 0 when there is none.
inline double Median(std::vector<double> figures) {
  if (figures.empty()) return 0;
  std::sort(figures.begin(), figures.end());
  return figures[figures.size() / 2];
}

// The record a scan would queue for a planted file.
inline FoundItem Record(const std::wstring& path) {
  FoundItem item{};
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
  item.dwFileAttributes = data.dwFileAttributes;
  item.ftLastWriteTime = data.ftLastWriteTime;
  item.nFileSizeLow = data.nFileSizeLow;
  wcsncpy(item.cFileName, path.c_str(), MAX_PATH - 1);
  return item;
}

}  // namespace klarex::bench
