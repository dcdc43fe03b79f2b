// The Windows shell's own context menu for items of one folder, and the result
// list's context menu built on it.
#pragma once
#include <windows.h>
// needs windows.h first
#include <shlobj.h>

#include <string>
#include <utility>
#include <vector>

#include "sys/com_ptr.h"

namespace klarex {

// Shell objects for one context menu. The items must lie in one folder: the
// parent folder is the first item's and each item is held relative to it.
class CShellItemMenu {
 public:
  CShellItemMenu() = default;
  virtual ~CShellItemMenu();
  CShellItemMenu(const CShellItemMenu&) = delete;
  CShellItemMenu& operator=(const CShellItemMenu&) = delete;

  // One item, from its absolute identifier list. False if it cannot be bound.
  bool SetObjects(PCIDLIST_ABSOLUTE item);
  // Several items by path. False if the first cannot be found; items that
  // cannot be found are left out.
  bool SetObjects(const std::vector<std::wstring>& paths);

  // Tracks the shell's menu at `point` (screen) for `window`, with the
  // program's own `commands` (id and text) after a separator at its end; a
  // chosen shell command is carried out here and gives 0, anything else its
  // identifier.
  UINT ShowContextMenu(HWND window, POINT point,
                       const std::vector<std::pair<UINT, std::wstring>>& commands = {});

  int ItemCount() const { return static_cast<int>(m_items.size()); }
  // The pop-up of the last ShowContextMenu (owned).
  HMENU Menu() const { return m_menu; }

 private:
  // Lets go of the folder and the items.
  void Clear();

  HMENU m_menu = nullptr;
  ComPtr<IShellFolder> m_folder;
  std::vector<PITEMID_CHILD> m_items;
};

// True when every path has the same parent folder as the first (case-insensitive).
bool PathsShareOneFolder(const std::vector<std::wstring>& paths);

// The menu offered for rows in several folders: the program's own Move to
// Recycle Bin, Delete, Select All, Unselect All, Invert Selection and Keep,
// with the texts of the same commands in `mainMenu` where it has them.
HMENU CreateMultiFolderMenu(HMENU mainMenu);

// The result list's context menu at the cursor. Nothing while `busy`; with no
// row selected the main menu's Edit pop-up; for rows of one folder the shell's
// menu; for rows of several folders CreateMultiFolderMenu. The program's own
// commands reach `list` as WM_COMMAND.
void ShowListContextMenu(HWND list, HMENU mainMenu, bool busy);

// "Keep (never list again)", translated when a language file is active.
std::wstring KeepCommandText();

}  // namespace klarex
