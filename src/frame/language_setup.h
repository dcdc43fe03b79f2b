// Choosing and applying a language file: the default from the keyboard layout
// at first start, the language folder beside the program, and the menus.
#pragma once
#include <windows.h>

#include <string>

namespace klarex {

// The file a Preload "1" keyboard layout value selects ("\s_chinese.lng"...),
// or empty when it selects none.
std::wstring LanguageFileForLayout(const std::wstring& preloadValue);

// "<folder of the running program>\lang".
std::wstring LanguageFolderOf(const std::wstring& modulePath);
std::wstring ProgramLanguageFolder();

// Reads the keyboard layout; returns the detected language file path (the
// language folder + file name), or empty when the layout selects none.
std::wstring DetectLanguageFile(const std::wstring& languageFolder);

// Sets the language setting to `path` and replaces the menu bar's captions
// and every command's item text in `menu`.
void ApplyLanguageToMenu(HMENU menu, const std::wstring& path);

}  // namespace klarex
