#include "support/fake_machine.h"

#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cwctype>

#include "support/temp_dir.h"

namespace klarex::test {

namespace {

std::atomic<unsigned> g_counter{0};

void CreateFolders(const std::wstring& path) {
  for (size_t pos = 3; (pos = path.find(L'\\', pos)) != std::wstring::npos; ++pos)
    CreateDirectoryW(path.substr(0, pos).c_str(), nullptr);
  CreateDirectoryW(path.c_str(), nullptr);
}

void WriteFile(const std::wstring& path, size_t size) {
  CreateFolders(path.substr(0, path.rfind(L'\\')));
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  std::string data(size, 'x');
  DWORD written = 0;
  if (size) ::WriteFile(h, data.data(), static_cast<DWORD>(size), &written, nullptr);
  CloseHandle(h);
}

std::wstring Lower(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  return text;
}

}  // namespace

std::wstring UniqueName(const wchar_t* stem) {
  return std::wstring(stem) + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(g_counter++);
}

FakeMachine::FakeMachine(const std::wstring& parent) {
  std::wstring base = parent;
  if (base.empty()) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    base = temp;
  }
  if (base.back() != L'\\') base += L'\\';
  m_root = base + UniqueName(L"klarex-machine");
  CreateFolders(m_root);

  windowsDir = Folder(L"Windows");
  specialFolders[CSIDL_APPDATA] = Folder(kRoamingDir);
  specialFolders[CSIDL_PROGRAM_FILES] = Folder(L"Program Files");
  specialFolders[CSIDL_PROGRAM_FILES_COMMONX86] = Folder(L"Program Files (x86)\\Common Files");
  specialFolders[CSIDL_LOCAL_APPDATA] = Folder(kLocalDir);
  specialFolders[CSIDL_MYMUSIC] = Folder(L"Users\\u\\Music");
  specialFolders[CSIDL_INTERNET_CACHE] =
      Folder(std::wstring(kLocalDir) + L"\\Microsoft\\Windows\\INetCache");
  specialFolders[CSIDL_COOKIES] =
      Folder(std::wstring(kLocalDir) + L"\\Microsoft\\Windows\\INetCookies");
}

FakeMachine::~FakeMachine() { RemoveTree(m_root); }

std::wstring FakeMachine::File(const std::wstring& relative, size_t size) const {
  std::wstring full = *this / relative;
  WriteFile(full, size);
  return full;
}

std::wstring FakeMachine::Folder(const std::wstring& relative) const {
  std::wstring full = *this / relative;
  CreateFolders(full);
  return full;
}

void FakeMachine::SetRegistry(HKEY root, const std::wstring& keyAndValue,
                              const std::wstring& text) {
  m_registry[{root, Lower(keyAndValue)}] = text;
}

void FakeMachine::SetSubkeys(const std::wstring& keyPath, std::vector<std::wstring> names) {
  m_subkeys[Lower(keyPath)] = std::move(names);
}

void FakeMachine::SetDrive(wchar_t letter, UINT type) {
  m_drives |= 1u << (letter - L'A');
  m_driveTypes[letter] = type;
}

bool FakeMachine::SpecialFolder(int csidl, std::wstring& path) {
  auto it = specialFolders.find(csidl);
  if (it == specialFolders.end()) return false;
  path = it->second;
  return true;
}

bool FakeMachine::Environment(const wchar_t* name, std::wstring& value) {
  auto it = environment.find(name);
  if (it == environment.end()) return false;
  value = it->second;
  return true;
}

std::wstring FakeMachine::RegistryText(HKEY root, const std::wstring& keyAndValue,
                                       const std::wstring& defaultValue) {
  auto it = m_registry.find({root, Lower(keyAndValue)});
  return it == m_registry.end() ? defaultValue : it->second;
}

std::vector<std::wstring> FakeMachine::RegistrySubkeys(const std::wstring& keyPath) {
  auto it = m_subkeys.find(Lower(keyPath));
  return it == m_subkeys.end() ? std::vector<std::wstring>() : it->second;
}

UINT FakeMachine::DriveType(const std::wstring& root) {
  auto it = root.empty() ? m_driveTypes.end() : m_driveTypes.find(root[0]);
  return it == m_driveTypes.end() ? DRIVE_NO_ROOT_DIR : it->second;
}

PlantedOutside::~PlantedOutside() {
  for (auto it = m_created.rbegin(); it != m_created.rend(); ++it) RemoveTree(*it);
}

void PlantedOutside::CreateParents(const std::wstring& path) {
  const size_t last = path.rfind(L'\\');
  for (size_t pos = 3; pos < last && (pos = path.find(L'\\', pos)) != std::wstring::npos; ++pos) {
    std::wstring folder = path.substr(0, pos);
    if (GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
    if (CreateDirectoryW(folder.c_str(), nullptr)) m_created.push_back(folder);
  }
}

std::wstring PlantedOutside::File(const std::wstring& path, size_t size) {
  if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return path;
  CreateParents(path);
  WriteFile(path, size);
  m_created.push_back(path);
  return path;
}

std::wstring PlantedOutside::Folder(const std::wstring& path) {
  if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return path;
  CreateParents(path);
  if (CreateDirectoryW(path.c_str(), nullptr)) m_created.push_back(path);
  return path;
}

}  // namespace klarex::test
