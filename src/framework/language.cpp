#include "framework/language.h"

#include <windows.h>

namespace klarex {

std::wstring CLanguage::Setting() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_setting;
}

void CLanguage::SetSetting(const std::wstring& setting) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_setting = setting;
  m_reader.SetPath(setting);
}

bool CLanguage::IsActive() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_setting != kDefaultLanguage;
}

std::wstring CLanguage::Get(const wchar_t* section, const wchar_t* key, const wchar_t* def) const {
  std::lock_guard<std::mutex> guard(m_lock);
  if (m_setting == kDefaultLanguage) return def;
  return m_reader.GetString(section, key, def);
}

CLanguage& Language() {
  // process-wide: every text of every layer, on any thread, is read through it
  static CLanguage language;
  return language;
}

std::wstring GetLangString(const wchar_t* section, const wchar_t* key, const wchar_t* def) {
  return Language().Get(section, key, def);
}

bool IsLanguageActive() { return Language().IsActive(); }

std::wstring CurrentUserName() {
  wchar_t name[260] = L"";
  DWORD size = static_cast<DWORD>(std::size(name));
  if (!::GetUserNameW(name, &size)) return {};
  return name;
}

std::wstring CutBeforeParenthesis(const std::wstring& text) {
  return text.substr(0, text.find(L'('));
}

std::wstring CutCultureComment(const std::wstring& text) {
  size_t pos = text.find(L" //");
  return pos == std::wstring::npos ? text : text.substr(0, pos + 1);
}

}  // namespace klarex
