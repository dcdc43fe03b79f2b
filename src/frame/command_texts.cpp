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

// Where a translated command keeps its status prompt, menu hover text and
// tooltip (a null section: the command has no such entry).
struct CommandEntries {
  UINT id;
  Entry status, hover, tooltip;
};
constexpr Entry kNone{nullptr, nullptr};
constexpr CommandEntries kCommandEntries[] = {
    {ID_DELETE, {L"Status", L"1"}, {L"Status", L"1"}, {L"ToolTips", L"1"}},
    {ID_RECYCLE, {L"Status", L"2"}, {L"ToolTips", L"2"}, {L"ToolTips", L"2"}},
    {ID_APP_EXIT, kNone, {L"Status", L"10"}, kNone},
    {ID_SELECT_ALL, {L"ToolTips", L"3"}, {L"ToolTips", L"3"}, {L"ToolTips", L"3"}},
    {ID_UNSELECT_ALL, {L"ToolTips", L"4"}, {L"ToolTips", L"4"}, {L"ToolTips", L"4"}},
    {ID_VIEW_TOOLBAR, kNone, {L"Status", L"3"}, kNone},
    {ID_VIEW_STATUS_BAR, kNone, {L"Status", L"4"}, kNone},
    {ID_MODE_COOKIES, {L"ToolTips", L"8"}, {L"ToolTips", L"8"}, {L"ToolTips", L"8"}},
    {ID_MODE_OFFLINE, {L"Status", L"6"}, {L"Status", L"6"}, {L"ToolTips", L"9"}},
    {ID_MODE_STANDARD, {L"Status", L"5"}, {L"Status", L"5"}, {L"ToolTips", L"7"}},
    {ID_EXTENDED_CATALOGUE, {L"Status", L"18"}, {L"Status", L"18"}, kNone},
    {ID_APP_ABOUT, kNone, {L"Status", L"7"}, kNone},
};

std::optional<Entry> Lookup(UINT id, Entry CommandEntries::*column) {
  for (const CommandEntries& row : kCommandEntries)
    if (row.id == id && (row.*column).section) return row.*column;
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
  return PromptCell(id, Lookup(id, &CommandEntries::status));
}

std::optional<std::wstring> TranslatedMenuHover(UINT id) {
  return PromptCell(id, Lookup(id, &CommandEntries::hover));
}

std::wstring TranslatedToolTip(UINT id) {
  if (id == ID_INVERT_SELECTION) return InvertSelectionText();
  std::optional<Entry> entry = Lookup(id, &CommandEntries::tooltip);
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
      {ID_DELETION_RECORD, L"FileMenu", L"5", L"Deletion &Record", L""},
      {ID_SELECT_ALL, L"EditMenu", L"1", nullptr, L"\tCtrl+A"},
      {ID_UNSELECT_ALL, L"EditMenu", L"2", nullptr, L"\tCtrl+U"},
      {ID_INVERT_SELECTION, L"EditMenu", L"3", nullptr, L"\tCtrl+I"},
      {ID_VIEW_TOOLBAR, L"ViewMenu", L"1", L"&Toolbar", L""},
      {ID_VIEW_STATUS_BAR, L"ViewMenu", L"2", L"&Status Bar", L""},
      {ID_LANGUAGE, L"ViewMenu", L"3", L"&Language", L"\t\tCtrl+L"},
      {ID_MODE_COOKIES, L"OptionsMenu", L"1", nullptr, L"\tCtrl+K"},
      {ID_MODE_OFFLINE, L"OptionsMenu", L"2", nullptr, L"\tCtrl+H"},
      {ID_MODE_STANDARD, L"OptionsMenu", L"3", nullptr, L"\tF5"},
      {ID_EXTENDED_CATALOGUE, L"OptionsMenu", L"4", L"E&xtended Catalogue", L""},
      {ID_KEPT_ITEMS, L"OptionsMenu", L"5", L"K&ept Items...", L""},
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
