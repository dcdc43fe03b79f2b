// Language files written by tests, and a guard that restores "Default".
#pragma once
#include <windows.h>

#include <string>

#include "framework/language.h"

namespace klarex::test {

// Writes `text` as UTF-16LE with a byte-order mark.
inline void WriteUtf16File(const std::wstring& path, const std::wstring& text) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  const wchar_t bom = 0xFEFF;
  WriteFile(h, &bom, sizeof(bom), &written, nullptr);
  WriteFile(h, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
  CloseHandle(h);
}

inline void WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
}

// Makes `path` the language for the guard's lifetime.
class LanguageGuard {
 public:
  explicit LanguageGuard(const std::wstring& path) { Language().SetSetting(path); }
  ~LanguageGuard() { Language().SetSetting(kDefaultLanguage); }
  LanguageGuard(const LanguageGuard&) = delete;
  LanguageGuard& operator=(const LanguageGuard&) = delete;
};

}  // namespace klarex::test
