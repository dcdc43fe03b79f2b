#include "framework/resources.h"

#include "framework/wnd.h"

namespace klarex {

std::wstring LoadResString(UINT id) {
  const wchar_t* text = nullptr;
  // With a zero buffer size LoadStringW hands out a pointer into the resource.
  int n = ::LoadStringW(ModuleInstance(), id, reinterpret_cast<wchar_t*>(&text), 0);
  if (n <= 0 || !text) return {};
  return std::wstring(text, static_cast<size_t>(n));
}

std::wstring PromptPart(const std::wstring& text) { return text.substr(0, text.find(L'\n')); }

std::wstring ShortNamePart(const std::wstring& text) {
  size_t pos = text.rfind(L'\n');
  return pos == std::wstring::npos ? text : text.substr(pos + 1);
}

}  // namespace klarex
