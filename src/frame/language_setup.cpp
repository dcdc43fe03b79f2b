#include "frame/language_setup.h"

#include "frame/command_texts.h"
#include "framework/language.h"
#include "sys/queries.h"

namespace klarex {

std::wstring LanguageFileForLayout(const std::wstring& preloadValue) {
  struct Row {
    const wchar_t* layout;
    const wchar_t* file;
  };
  static const Row table[] = {
      {L"00000C04", L"\\t_chinese.lng"},
      {L"00000404", L"\\t_chinese.lng"},
      {L"00001004", L"\\t_chinese.lng"},
      {L"00001404", L"\\t_chinese.lng"},
      {L"00000804", L"\\s_chinese.lng"},
      // "00000409" (US English) is not listed: it keeps the built-in English.
      {L"00000411", L"\\japanese.lng"},
      {L"00000410", L"\\italiano.lng"},
      {L"00000810", L"\\italiano.lng"},
  };
  for (const Row& row : table)
    if (preloadValue == row.layout) return row.file;
  return {};
}

std::wstring LanguageFolderOf(const std::wstring& modulePath) {
  size_t slash = modulePath.rfind(L'\\');
  return (slash == std::wstring::npos ? std::wstring() : modulePath.substr(0, slash + 1)) + L"lang";
}

std::wstring ProgramLanguageFolder() {
  wchar_t path[260] = L"";
  ::GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  return LanguageFolderOf(path);
}

std::wstring DetectLanguageFile(const std::wstring& languageFolder) {
  std::wstring layout =
      CRegTextValue(L"Keyboard Layout\\Preload\\1", L"null", false, HKEY_CURRENT_USER);
  std::wstring file = LanguageFileForLayout(layout);
  return file.empty() ? std::wstring() : languageFolder + file;
}

void ApplyLanguageToMenu(HMENU menu, const std::wstring& path) {
  Language().SetSetting(path);
  if (!menu) return;
  std::vector<std::wstring> captions = TranslatedMenuBarCaptions();
  for (size_t i = 0; i < captions.size(); ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = captions[i].data();
    ::SetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
  }
  for (MenuItemText& item : TranslatedMenuItems()) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = item.text.data();
    ::SetMenuItemInfoW(menu, item.id, FALSE, &info);
  }
}

}  // namespace klarex
