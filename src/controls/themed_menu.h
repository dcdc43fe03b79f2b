// Owner-drawn menus in a flat "XP" look: white item area, a tinted icon column
// holding the command's toolbar image, a framed selection box, accelerator
// texts on the right, and a self-drawn frame and shadow around pop-ups.
#pragma once
// commctrl.h needs windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <memory>
#include <string>
#include <vector>

#include "controls/colors.h"
#include "framework/gdi.h"

namespace klarex {

// The accelerator names of `cmd` in `accel`, joined by ", " ("Ctrl+A, F5"); empty if none.
std::wstring AcceleratorText(HACCEL accel, WORD cmd);
// Index of the first item whose display text contains "&" + ch (case-insensitive), or -1.
int FindMnemonic(const std::vector<std::wstring>& displayTexts, wchar_t ch);

// Toolbar images for menu items. Image n of the toolbar is stored three times:
// 3n itself (selected item), 3n+1 a darker copy (item at rest), 3n+2 a pale
// disabled copy.
class CMenuIconSet {
 public:
  CMenuIconSet(HMODULE module, int resourceId);

  // The process-wide set of a toolbar resource, loaded on first request; null
  // when the resource cannot be loaded.
  static CMenuIconSet* Get(HMODULE module, int resourceId);
  // Reloads every set (system colours changed) at most once every 2 seconds.
  static void ReloadAll();
  static void ClearAll();

  // Loads the toolbar resource (type 241) and its bitmap of the same id.
  bool Load();
  // Fills the set from a strip of button images, one per command id.
  bool LoadFromBitmap(HBITMAP strip, int width, int height, const std::vector<WORD>& ids);

  int ImageIndex(WORD cmd) const;  // 3n, or -1
  HIMAGELIST Images() const { return m_images.get(); }
  SIZE ImageSize() const { return m_size; }
  int ResourceId() const { return m_resourceId; }

 private:
  HMODULE m_module;
  int m_resourceId;
  SIZE m_size{16, 15};
  ImageListHandle m_images;
  std::vector<WORD> m_ids;
};

class CThemedMenu;

// One item of a themed menu; its address is the item data of the owner-drawn item.
class CMenuItemRecord {
 public:
  virtual ~CMenuItemRecord() = default;
  // The stored text plus, when it has no tab, "\t" and the accelerator names.
  virtual std::wstring DisplayText(HACCEL accel) const;
  virtual void SetText(const std::wstring& text) { m_text = text; }

  std::wstring m_text;
  WORD m_id = 0;
  UINT m_flags = 0;  // MF_ bits the item was created with, MF_OWNERDRAW included
  CMenuIconSet* m_iconSet = nullptr;
  int m_iconIndex = -1;
  bool m_noAccelText = false;
};

// What an item needs to be drawn, apart from its record.
struct MenuItemDrawState {
  bool menuBar = false;
  bool selected = false;
  bool grayed = false;
  bool checked = false;
  bool hot = false;
  bool inactive = false;  // window inactive (menu bar)
  bool hidePrefix = false;
  bool isDefault = false;
};

// Drawing rules of the XP look. Everything it paints follows the colour rules
// of colors.h for the environment it is given.
class CMenuLookXP {
 public:
  static SIZE MeasureItem(const CMenuItemRecord& item, const std::wstring& text, bool menuBar,
                          bool isDefault, SIZE iconSize);
  // Draws into dc at rc (the off-screen copy is made by the caller).
  static void DrawItem(HDC dc, const RECT& rc, const CMenuItemRecord& item,
                       const std::wstring& text, const MenuItemDrawState& state, SIZE iconSize,
                       const ColorEnv& env, COLORREF menuBrush);
  static int IconColumnWidth(SIZE iconSize) { return iconSize.cx + 8; }
};

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

  HMENU m_menu = nullptr;
  bool m_popup = false;
  HACCEL m_accel = nullptr;
  SIZE m_iconSize{16, 15};
  std::vector<std::unique_ptr<CMenuItemRecord>> m_records;
  std::vector<std::unique_ptr<CThemedMenu>> m_subMenus;
  CMenuIconSet* m_iconSet = nullptr;
};

// Process-wide start and stop of the themed menus: system flags, and the
// WH_CALLWNDPROC hook that gives pop-up menu windows their frame and shadow.
class CThemedMenuLibrary {
 public:
  // Throws std::runtime_error when the hook cannot be installed.
  static void Start();
  static void Stop();
  static bool Started();
  // Whether Escape was pressed in the themed pop-up menu window `popup`.
  static bool EscapePressed(HWND popup);
  // A pop-up about to open whose window should be themed (set from WM_INITMENUPOPUP).
  static void SetPendingMenu(HMENU menu, HWND owner);
};

}  // namespace klarex
