// Owner-drawn menus in a flat "XP" look. A CThemedMenu takes a menu and its
// sub-menus, gives every item a record (menu_item.h), measures and draws the
// items through the look (menu_look.h) with the toolbar's images
// (menu_icons.h); the pop-up windows get their frame and shadow from the
// pop-up skin (menu_popup.h).
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/menu_icons.h"
#include "controls/menu_item.h"

namespace klarex {

class CThemedMenu {
 public:
  CThemedMenu();
  virtual ~CThemedMenu();
  CThemedMenu(const CThemedMenu&) = delete;
  CThemedMenu& operator=(const CThemedMenu&) = delete;

  // Takes `menu` (not owned), themes its sub-menus too and synchronises.
  void Load(HMENU menu, bool popup = false);
  // Puts the plain items back and forgets the menu.
  void Detach();
  // Turns every item into an owner-drawn one with a record; drops stale records.
  void Sync();
  // Takes texts set on owner-drawn items since (a language change) into their
  // records, without touching the menu.
  void RefreshTexts();

  HMENU Handle() const { return m_menu; }
  bool IsPopup() const { return m_popup; }
  void SetAccelerators(HACCEL accel);  // this menu and its sub-menus
  void AttachIconSet(CMenuIconSet* set);
  SIZE IconSize() const { return m_iconSize; }

  virtual void MeasureItem(MEASUREITEMSTRUCT* mis);
  virtual void DrawItem(const DRAWITEMSTRUCT* dis);

  // The record with this item data in this menu or its sub-menus, else null.
  CMenuItemRecord* FindRecord(ULONG_PTR itemData) const;
  // This menu or a sub-menu with this handle, else null.
  CThemedMenu* FindMenu(HMENU menu);
  // Answer to WM_MENUCHAR: MAKELRESULT(position, MNC_EXECUTE), or 0.
  LRESULT OnMenuChar(wchar_t ch);
  // Display texts of the items in position order.
  std::vector<std::wstring> DisplayTexts() const;

  // The themed menu of a menu handle, or null: menus of any other origin are
  // left to Windows.
  static CThemedMenu* FromHandle(HMENU menu);

 private:
  CThemedMenu* OwnerOf(const CMenuItemRecord* record);
  CMenuItemRecord* RecordForId(WORD id) const;
  // Sync's steps: the record of the item at `pos`, taken from the old records
  // when it has one, brought up to date and made the item's data.
  std::unique_ptr<CMenuItemRecord> SyncItem(int pos, const MENUITEMINFOW& mii, const wchar_t* text);
  std::unique_ptr<CMenuItemRecord> TakeRecord(ULONG_PTR itemData);
  // The themed sub-menu of `sub`, taken from the old ones and synchronised, or new.
  std::unique_ptr<CThemedMenu> TakeSubMenu(HMENU sub);

  HMENU m_menu = nullptr;
  bool m_popup = false;
  HACCEL m_accel = nullptr;
  SIZE m_iconSize{16, 15};
  std::vector<std::unique_ptr<CMenuItemRecord>> m_records;
  std::vector<std::unique_ptr<CThemedMenu>> m_subMenus;
  CMenuIconSet* m_iconSet = nullptr;
};

}  // namespace klarex
