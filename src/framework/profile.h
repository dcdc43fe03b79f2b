// Settings under HKEY_CURRENT_USER\Software\<company>\<application>, one
// registry key per section, in the manner of the classic profile functions.
#pragma once
#include <windows.h>

#include <string>

namespace klarex {

class CProfile {
 public:
  CProfile() = default;
  CProfile(std::wstring company, std::wstring application);

  int GetInt(const std::wstring& section, const std::wstring& entry, int def) const;
  std::wstring GetString(const std::wstring& section, const std::wstring& entry,
                         const std::wstring& def) const;
  bool WriteInt(const std::wstring& section, const std::wstring& entry, int value) const;
  bool WriteString(const std::wstring& section, const std::wstring& entry,
                   const std::wstring& value) const;

  // "Software\<company>\<application>", relative to HKEY_CURRENT_USER.
  const std::wstring& RootKey() const { return m_root; }

 private:
  std::wstring SectionKey(const std::wstring& section) const;
  std::wstring m_root;
};

}  // namespace klarex
