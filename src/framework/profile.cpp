#include "framework/profile.h"

#include "sys/handles.h"

namespace klarex {

CProfile::CProfile(std::wstring company, std::wstring application)
    : m_root(L"Software\\" + company + L"\\" + application) {}

std::wstring CProfile::SectionKey(const std::wstring& section) const {
  return section.empty() ? m_root : m_root + L"\\" + section;
}

int CProfile::GetInt(const std::wstring& section, const std::wstring& entry, int def) const {
  RegKey key;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, SectionKey(section).c_str(), 0, KEY_READ, key.put()) !=
      ERROR_SUCCESS)
    return def;
  DWORD type = 0, value = 0, size = sizeof(value);
  if (::RegQueryValueExW(key.get(), entry.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof(value))
    return def;
  return static_cast<int>(value);
}

std::wstring CProfile::GetString(const std::wstring& section, const std::wstring& entry,
                                 const std::wstring& def) const {
  RegKey key;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, SectionKey(section).c_str(), 0, KEY_READ, key.put()) !=
      ERROR_SUCCESS)
    return def;
  DWORD type = 0, size = 0;
  if (::RegQueryValueExW(key.get(), entry.c_str(), nullptr, &type, nullptr, &size) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return def;
  std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
  DWORD bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (::RegQueryValueExW(key.get(), entry.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(value.data()), &bytes) != ERROR_SUCCESS)
    return def;
  // A value stored without terminator comes back without one.
  value.resize(bytes / sizeof(wchar_t));
  while (!value.empty() && value.back() == L'\0') value.pop_back();
  return value;
}

bool CProfile::WriteInt(const std::wstring& section, const std::wstring& entry, int value) const {
  RegKey key;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, SectionKey(section).c_str(), 0, nullptr, 0, KEY_WRITE,
                        nullptr, key.put(), nullptr) != ERROR_SUCCESS)
    return false;
  DWORD data = static_cast<DWORD>(value);
  return ::RegSetValueExW(key.get(), entry.c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&data), sizeof(data)) == ERROR_SUCCESS;
}

bool CProfile::WriteString(const std::wstring& section, const std::wstring& entry,
                           const std::wstring& value) const {
  RegKey key;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, SectionKey(section).c_str(), 0, nullptr, 0, KEY_WRITE,
                        nullptr, key.put(), nullptr) != ERROR_SUCCESS)
    return false;
  return ::RegSetValueExW(
             key.get(), entry.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
             static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace klarex
