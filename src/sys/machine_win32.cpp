#include <shlobj.h>

#include "sys/machine.h"
#include "sys/queries.h"

namespace klarex {

std::wstring Win32Machine::WindowsDirectory() {
  wchar_t buffer[MAX_PATH];
  const UINT length = GetWindowsDirectoryW(buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return std::wstring(buffer, length);
}

bool Win32Machine::SpecialFolder(int csidl, std::wstring& path) {
  wchar_t buffer[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathW(nullptr, buffer, csidl, FALSE)) return false;
  path = buffer;
  return true;
}

bool Win32Machine::Environment(const wchar_t* name, std::wstring& value) {
  DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
  if (needed == 0) return false;
  std::wstring buffer(needed, L'\0');
  const DWORD length = GetEnvironmentVariableW(name, buffer.data(), needed);
  if (length == 0 || length >= needed) return false;
  buffer.resize(length);
  value = std::move(buffer);
  return true;
}

std::wstring Win32Machine::RegistryText(HKEY root, const std::wstring& keyAndValue,
                                        const std::wstring& defaultValue) {
  return CRegTextValue(keyAndValue, defaultValue, false, root);
}

std::vector<std::wstring> Win32Machine::RegistrySubkeys(const std::wstring& keyPath) {
  std::vector<std::wstring> names;
  CRegSubkeys(keyPath).List(names);
  return names;
}

DWORD Win32Machine::LogicalDrives() { return GetLogicalDrives(); }

UINT Win32Machine::DriveType(const std::wstring& root) { return GetDriveTypeW(root.c_str()); }

}  // namespace klarex
