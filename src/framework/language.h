// The language setting: "Default" (built-in texts) or the path of a .lng file
// whose entries replace them. Every user-visible text is read through
// GetLangString with its English default; nothing is cached. Any thread may read.
#pragma once
#include <mutex>
#include <string>

#include "sys/queries.h"

namespace klarex {

inline constexpr wchar_t kDefaultLanguage[] = L"Default";

class CLanguage {
 public:
  CLanguage() = default;

  // The setting as stored: "Default" or a file path.
  std::wstring Setting() const;
  // Makes `setting` current and points the reader at it.
  void SetSetting(const std::wstring& setting);
  // Active unless the setting is exactly "Default" (case-sensitive).
  bool IsActive() const;
  // The file's entry, or `def` when there is no active file, no entry or an empty one.
  std::wstring Get(const wchar_t* section, const wchar_t* key, const wchar_t* def) const;

 private:
  mutable std::mutex m_lock;
  std::wstring m_setting = kDefaultLanguage;
  CIniReader m_reader;
};

// The process's one language setting.
CLanguage& Language();
std::wstring GetLangString(const wchar_t* section, const wchar_t* key, const wchar_t* def);
inline std::wstring GetLangString(const wchar_t* section, const wchar_t* key,
                                  const std::wstring& def) {
  return GetLangString(section, key, def.c_str());
}
bool IsLanguageActive();

// The Windows user name: the profile section that holds the language setting
// (value "src"). Empty when it cannot be read.
std::wstring CurrentUserName();
inline constexpr wchar_t kLanguageEntry[] = L"src";

// Text before the first "(" (all of it when there is none).
std::wstring CutBeforeParenthesis(const std::wstring& text);
// A [Header] Culture value without its " //" comment; the blank before "//" stays.
std::wstring CutCultureComment(const std::wstring& text);

}  // namespace klarex
