// String resources. A command's string holds a status prompt, a line break and
// a short name; these helpers take the two halves apart.
#pragma once
#include <windows.h>

#include <string>

namespace klarex {

// The whole string resource `id` of this module; empty when there is none.
std::wstring LoadResString(UINT id);

// Text before the first line break (all of it when there is none).
std::wstring PromptPart(const std::wstring& text);
// Text after the last line break (all of it when there is none).
std::wstring ShortNamePart(const std::wstring& text);

inline std::wstring CommandPrompt(UINT id) { return PromptPart(LoadResString(id)); }
inline std::wstring CommandShortName(UINT id) { return ShortNamePart(LoadResString(id)); }

}  // namespace klarex
