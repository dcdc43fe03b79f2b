// Timing and planting helpers shared by the benchmark programs.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cwchar>
#include <functional>
#include <map>
#include <sstream>
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

// A tree of `folders` folders below `root` (made if missing), each holding
// `filesPerFolder` files of `bytes` bytes; the folders' paths. Plain
// CreateFileW/WriteFile: planting large trees is slow enough under Wine.
inline std::vector<std::wstring> PlantTree(const std::wstring& root, int folders,
                                           int filesPerFolder, DWORD bytes) {
  CreateDirectoryW(root.c_str(), nullptr);
  const std::string data(bytes, 'x');
  std::vector<std::wstring> made;
  for (int f = 0; f < folders; ++f) {
    const std::wstring folder = root + L"\\d" + std::to_wstring(f);
    CreateDirectoryW(folder.c_str(), nullptr);
    for (int i = 0; i < filesPerFolder; ++i) {
      const std::wstring path = folder + L"\\f" + std::to_wstring(i) + L".tmp";
      HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
      if (h == INVALID_HANDLE_VALUE) continue;
      DWORD written = 0;
      WriteFile(h, data.data(), bytes, &written, nullptr);
      CloseHandle(h);
    }
    made.push_back(folder);
  }
  return made;
}

// The floor of the deletion benchmarks over trees: `folder` and everything
// below it, with nothing but FindFirstFileW/DeleteFileW/RemoveDirectoryW.
inline void BareDeleteTree(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((folder + L"\\*.*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const wchar_t* name = entry.cFileName;
      if (name[0] == L'.' && (!name[1] || (name[1] == L'.' && !name[2]))) continue;
      const std::wstring path = folder + L"\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        BareDeleteTree(path);
      else
        DeleteFileW(path.c_str());
    } while (FindNextFileW(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

// This program's own path, as Windows calls accept it: run from a folder no
// drive maps, Wine names it "unix\...", which the "\\?\" prefix makes usable.
inline std::wstring SelfPath() {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self);
  if (path.rfind(L"unix\\", 0) == 0) path = L"\\\\?\\" + path;
  return path;
}

// A copy of the program (next to this one in the build) in `app`, as a user
// would have it; RemoveProgramCopy takes it away again.
inline void InstallProgramCopy(const std::wstring& app) {
  std::wstring bin = SelfPath();
  bin.resize(bin.rfind(L'\\') + 1);
  CreateDirectoryW(app.c_str(), nullptr);
  CreateDirectoryW((app + L"\\lang").c_str(), nullptr);
  for (const wchar_t* name : {L"Klarex.exe", L"sqlite3.dll"})
    CopyFileW((bin + name).c_str(), (app + L"\\" + name).c_str(), FALSE);
}

inline void RemoveProgramCopy(const std::wstring& app) {
  for (const wchar_t* name : {L"\\Klarex.exe", L"\\sqlite3.dll"}) DeleteFileW((app + name).c_str());
  RemoveDirectoryW((app + L"\\lang").c_str());
  RemoveDirectoryW(app.c_str());
}

// Seconds from CreateProcess to the end of the process; negative on failure.
// The child inherits this process's environment.
inline double TimeProcess(std::wstring commandLine, const std::wstring& folder) {
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  auto start = Clock::now();
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &si, &pi))
    return -1;
  DWORD wait = WaitForSingleObject(pi.hProcess, 120000);
  double seconds = Seconds(start);
  if (wait != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return wait == WAIT_OBJECT_0 ? seconds : -1;
}

// The text of the file at `path`, which is then deleted.
inline std::string TakeText(const std::wstring& path) {
  std::string text;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return text;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got) text.append(buffer, got);
  CloseHandle(file);
  DeleteFileW(path.c_str());
  return text;
}

// The program's "<step> <ms>" lines (and its "peak-kb <n>").
inline std::map<std::string, double> ParseSteps(const std::string& text) {
  std::map<std::string, double> steps;
  std::istringstream lines(text);
  std::string name;
  double value = 0;
  while (lines >> name >> value) steps[name] = value;
  return steps;
}

// The median of one step over several runs' notes.
inline double MedianStep(const std::vector<std::map<std::string, double>>& runs, const char* step) {
  std::vector<double> figures;
  for (const auto& run : runs)
    if (auto it = run.find(step); it != run.end()) figures.push_back(it->second);
  return Median(figures);
}

inline bool UserKeyExists(const wchar_t* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

}  // namespace klarex::bench
