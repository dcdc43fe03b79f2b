#include "frame/command_texts.h"

#include "../res/ids_main.h"
#include "framework/language.h"
#include "framework/resources.h"

namespace klarex {

namespace {

struct Entry {
  const wchar_t* section;
  const wchar_t* key;
};

// Invert Selection's entries are its menu text, cut before "(", with its
// whole string as default.
std::wstring InvertSelectionText() {
  return CutBeforeParenthesis(GetLangString(L"EditMenu", L"3", LoadResString(ID_INVERT_SELECTION)));
}

std::optional<Entry> StatusEntry(UINT id) {
  switch (id) {
    case ID_DELETE:
      return Entry{L"Status", L"1"};
    case ID_RECYCLE:
      return Entry{L"Status", L"2"};
    case ID_SELECT_ALL:
      return Entry{L"ToolTips", L"3"};
    case ID_UNSELECT_ALL:
      return Entry{L"ToolTips", L"4"};
    case ID_MODE_COOKIES:
      return Entry{L"ToolTips", L"8"};
    case ID_MODE_OFFLINE:
      return Entry{L"Status", L"6"};
    case ID_MODE_STANDARD:
      return Entry{L"Status", L"5"};
  }
  return std::nullopt;
}

std::optional<Entry> MenuHoverEntry(UINT id) {
  switch (id) {
    case ID_DELETE:
      return Entry{L"Status", L"1"};
    case ID_RECYCLE:
      return Entry{L"ToolTips", L"2"};
    case ID_APP_EXIT:
      return Entry{L"Status", L"10"};
    case ID_SELECT_ALL:
      return Entry{L"ToolTips", L"3"};
    case ID_UNSELECT_ALL:
      return Entry{L"ToolTips", L"4"};
    case ID_VIEW_TOOLBAR:
      return Entry{L"Status", L"3"};
    case ID_VIEW_STATUS_BAR:
      return Entry{L"Status", L"4"};
    case ID_MODE_COOKIES:
      return Entry{L"ToolTips", L"8"};
    case ID_MODE_OFFLINE:
      return Entry{L"Status", L"6"};
    case ID_MODE_STANDARD:
      return Entry{L"Status", L"5"};
    case ID_APP_ABOUT:
      return Entry{L"Status", L"7"};
  }
  return std::nullopt;
}

std::optional<Entry> ToolTipEntry(UINT id) {
  switch (id) {
    case ID_DELETE:
      return Entry{L"ToolTips", L"1"};
    case ID_RECYCLE:
      return Entry{L"ToolTips", L"2"};
    case ID_SELECT_ALL:
      return Entry{L"ToolTips", L"3"};
    case ID_UNSELECT_ALL:
      return Entry{L"ToolTips", L"4"};
    case ID_MODE_COOKIES:
      return Entry{L"ToolTips", L"8"};
    case ID_MODE_OFFLINE:
      return Entry{L"ToolTips", L"9"};
    case ID_MODE_STANDARD:
      return Entry{L"ToolTips", L"7"};
  }
  return std::nullopt;
}

// A prompt-type cell: the entry, defaulting to the command's prompt.
std::optional<std::wstring> PromptCell(UINT id, std::optional<Entry> entry) {
  if (!IsLanguageActive()) return std::nullopt;
  if (id == ID_INVERT_SELECTION) return InvertSelectionText();
  if (!entry) return std::nullopt;
  return GetLangString(entry->section, entry->key, CommandPrompt(id));
}

}  // namespace

std::optional<std::wstring> TranslatedStatusPrompt(UINT id) {
  return PromptCell(id, StatusEntry(id));
}

std::optional<std::wstring> TranslatedMenuHover(UINT id) {
  return PromptCell(id, MenuHoverEntry(id));
}

std::wstring TranslatedToolTip(UINT id) {
  if (id == ID_INVERT_SELECTION) return InvertSelectionText();
  std::optional<Entry> entry = ToolTipEntry(id);
  if (!entry) return {};
  return GetLangString(entry->section, entry->key, CommandShortName(id));
}

std::vector<std::wstring> TranslatedMenuBarCaptions() {
  std::vector<std::wstring> captions;
  for (const wchar_t* name : {L"File", L"Edit", L"View", L"Options", L"Help"}) {
    std::wstring section = std::wstring(name) + L"Menu";
    captions.push_back(GetLangString(section.c_str(), L"0", std::wstring(L"&") + name));
  }
  return captions;
}

std::vector<MenuItemText> TranslatedMenuItems() {
  struct Row {
    UINT id;
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* def;  // null: the command's short name
    const wchar_t* suffix;
  };
  static const Row rows[] = {
      {ID_FILE_OPEN, L"FileMenu", L"1", L"&Open", L""},
      {ID_DELETE, L"FileMenu", L"2", L"&Delete", L"\tShift+Del"},
      {ID_RECYCLE, L"FileMenu", L"3", L"&Move &to Recycle Bin", L"\tDel"},
      {ID_APP_EXIT, L"FileMenu", L"4", L"E&xit", L""},
      {ID_SELECT_ALL, L"EditMenu", L"1", nullptr, L"\tCtrl+A"},
      {ID_UNSELECT_ALL, L"EditMenu", L"2", nullptr, L"\tCtrl+U"},
      {ID_INVERT_SELECTION, L"EditMenu", L"3", nullptr, L"\tCtrl+I"},
      {ID_VIEW_TOOLBAR, L"ViewMenu", L"1", L"&Toolbar", L""},
      {ID_VIEW_STATUS_BAR, L"ViewMenu", L"2", L"&Status Bar", L""},
      {ID_LANGUAGE, L"ViewMenu", L"3", L"&Language", L"\t\tCtrl+L"},
      {ID_MODE_COOKIES, L"OptionsMenu", L"1", nullptr, L"\tCtrl+K"},
      {ID_MODE_OFFLINE, L"OptionsMenu", L"2", nullptr, L"\tCtrl+H"},
      {ID_MODE_STANDARD, L"OptionsMenu", L"3", nullptr, L"\tF5"},
      {ID_HELP_ONLINE, L"HelpMenu", L"1", L"&Online Help", L""},
      {ID_HELP_UPDATE, L"HelpMenu", L"2", L"&Update", L""},
      {ID_APP_ABOUT, L"HelpMenu", L"3", L"&About Klarex .NET...", L""},
  };
  std::vector<MenuItemText> items;
  for (const Row& row : rows) {
    std::wstring def = row.def ? row.def : CommandShortName(row.id);
    items.push_back({row.id, GetLangString(row.section, row.key, def) + row.suffix});
  }
  return items;
}

}  // namespace klarex
