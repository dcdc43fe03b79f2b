// Which text a command shows where, with and without a language file: the
// status prompt, the text while its menu item is highlighted, its toolbar
// tooltip, and its menu item. Built-in texts come from the string table.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace klarex {

// The translated status prompt of `id`, or nothing when the built-in prompt
// applies (no language file, or a command the language file does not cover).
std::optional<std::wstring> TranslatedStatusPrompt(UINT id);
// The same for the text shown while the menu item is highlighted.
std::optional<std::wstring> TranslatedMenuHover(UINT id);
// The tooltip while a language file is active ("" for ids without one).
std::wstring TranslatedToolTip(UINT id);

struct MenuItemText {
  UINT id;
  std::wstring text;  // entry (or default) followed by the accelerator hint
};
// Menu-bar captions for positions 0-4.
std::vector<std::wstring> TranslatedMenuBarCaptions();
// Every command's menu text, in menu order.
std::vector<MenuItemText> TranslatedMenuItems();

}  // namespace klarex
