#include "support/temp_dir.h"

#include "support/folder_link.h"

#include <windows.h>
#include <shlobj.h>

#include <atomic>
#include <string>

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

void RemoveTree(const std::wstring& path) {
  DWORD attrs = GetFileAttributesW(path.c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES) return;
  if ((attrs & FILE_ATTRIBUTE_DIRECTORY) && !(attrs & FILE_ATTRIBUTE_REPARSE_POINT)) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((path + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..") continue;
        RemoveTree(path + L"\\" + name);
      } while (FindNextFileW(h, &fd));
      FindClose(h);
    }
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(path.c_str());
  } else if (attrs & FILE_ATTRIBUTE_REPARSE_POINT) {
    // Under Wine removing a link acts on its target: unlink it from the host side.
    RemoveFolderLink(path);
  } else {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
  }
}

}  // namespace klarex::test
