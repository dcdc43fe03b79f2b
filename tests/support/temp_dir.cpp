#include "support/temp_dir.h"

#include <windows.h>
// needs windows.h first
#include <shlobj.h>

#include <atomic>
#include <string>

#include "support/folder_link.h"

namespace klarex::test {

namespace {
std::atomic<unsigned> g_counter{0};

void CreateFolders(const std::wstring& path) {
  for (size_t pos = 3; (pos = path.find(L'\\', pos)) != std::wstring::npos; ++pos)
    CreateDirectoryW(path.substr(0, pos).c_str(), nullptr);
  CreateDirectoryW(path.c_str(), nullptr);
}
}  // namespace

TempDir::TempDir() {
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  m_path = std::wstring(base) + L"klarex-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(g_counter++);
  CreateFolders(m_path);
}

TempDir::~TempDir() { RemoveTree(m_path); }

std::wstring TempDir::operator/(const std::wstring& relative) const {
  return m_path + L"\\" + relative;
}

std::wstring TempDir::File(const std::wstring& relative, size_t size) const {
  std::wstring full = *this / relative;
  CreateFolders(full.substr(0, full.rfind(L'\\')));
  HANDLE h = CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    std::string data(size, 'x');
    DWORD written = 0;
    if (size) WriteFile(h, data.data(), static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(h);
  }
  return full;
}

std::wstring TempDir::Folder(const std::wstring& relative) const {
  std::wstring full = *this / relative;
  CreateFolders(full);
  return full;
}

namespace {

// Whether `exact` opens itself rather than what a link leads to: under Wine a
// link to a file looks like a plain file, and deleting it deletes its target.
bool LeadsToItself(const std::wstring& exact) {
  HANDLE h = CreateFileW(
      exact.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  wchar_t final[1024];
  DWORD n = GetFinalPathNameByHandleW(h, final, 1024, 0);
  CloseHandle(h);
  return n && CompareStringOrdinal(final, static_cast<int>(n), exact.c_str(),
                                   static_cast<int>(exact.size()), TRUE) == CSTR_EQUAL;
}

// A link: a reparse point, or a file that opens as another (or one Wine names
// without its trailing dot). Removed from the host side.
bool IsLink(const std::wstring& exact, DWORD attrs) {
  return (attrs & FILE_ATTRIBUTE_REPARSE_POINT) ||
         (!(attrs & FILE_ATTRIBUTE_DIRECTORY) && !LeadsToItself(exact));
}

template <typename Visit>
void ForEachChild(const std::wstring& exact, Visit visit) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((exact + L"\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    std::wstring name = fd.cFileName;
    if (name != L"." && name != L"..") visit(exact + L"\\" + name);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
}

// Links go first, while what they lead to is still there: once their target
// is gone Windows code no longer sees them, and they would keep their folder.
void RemoveLinks(const std::wstring& exact) {
  ForEachChild(exact, [](const std::wstring& child) {
    const DWORD attrs = GetFileAttributesW(child.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) return;
    if (IsLink(child, attrs))
      RemoveLink(child.substr(4));
    else if (attrs & FILE_ATTRIBUTE_DIRECTORY)
      RemoveLinks(child);
  });
}

void RemoveExact(const std::wstring& exact) {
  DWORD attrs = GetFileAttributesW(exact.c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES) return;
  if (IsLink(exact, attrs)) {
    RemoveLink(exact.substr(4));
  } else if (attrs & FILE_ATTRIBUTE_DIRECTORY) {
    ForEachChild(exact, RemoveExact);
    SetFileAttributesW(exact.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(exact.c_str());
  } else {
    SetFileAttributesW(exact.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(exact.c_str());
  }
}

}  // namespace

void RemoveTree(const std::wstring& path) {
  const std::wstring exact = path.rfind(L"\\\\?\\", 0) == 0 ? path : L"\\\\?\\" + path;
  RemoveLinks(exact);
  RemoveExact(exact);
}

}  // namespace klarex::test
