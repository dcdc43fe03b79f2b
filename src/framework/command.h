// Command routing: menus, accelerators and toolbar buttons produce command ids;
// the frame offers each to the view, itself and the application in turn.
#pragma once
#include <windows.h>

namespace klarex {

struct CommandState {
  bool enabled = true;
  bool checked = false;
};

class CCmdTarget {
 public:
  virtual ~CCmdTarget() = default;
  // True when the command was carried out here.
  virtual bool OnCommand(UINT /*id*/) { return false; }
};

// Pushes command states to the items of a pop-up menu (not to its sub-menus'
// items, which get their own WM_INITMENUPOPUP). `state(id, out)` returns false
// for ids nobody claims; those items are disabled.
template <typename StateFn>
void UpdateMenuItems(HMENU menu, StateFn state) {
  int count = ::GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_SUBMENU;
    if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    if ((info.fType & MFT_SEPARATOR) || info.hSubMenu) continue;
    CommandState s;
    bool claimed = state(info.wID, s);
    ::EnableMenuItem(menu, static_cast<UINT>(i),
                     MF_BYPOSITION | (claimed && s.enabled ? MF_ENABLED : MF_GRAYED));
    ::CheckMenuItem(menu, static_cast<UINT>(i),
                    MF_BYPOSITION | (s.checked ? MF_CHECKED : MF_UNCHECKED));
  }
}

}  // namespace klarex
