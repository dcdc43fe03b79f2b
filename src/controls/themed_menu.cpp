#include "controls/themed_menu.h"

#include <map>

#include "controls/colors.h"
#include "controls/menu_look.h"
#include "framework/gdi.h"

namespace klarex {
namespace {

std::map<HMENU, CThemedMenu*>& Registry() {
  // process-wide: the pop-up hook finds the themed menu of a pop-up window by its handle
  static std::map<HMENU, CThemedMenu*> menus;
  return menus;
}

}  // namespace

CThemedMenu::CThemedMenu() = default;

CThemedMenu::~CThemedMenu() { Detach(); }

CThemedMenu* CThemedMenu::FromHandle(HMENU menu) {
  auto it = Registry().find(menu);
  return it == Registry().end() ? nullptr : it->second;
}

void CThemedMenu::Load(HMENU menu, bool popup) {
  Detach();
  if (!menu || !::IsMenu(menu)) return;
  m_menu = menu;
  m_popup = popup;
  Registry()[menu] = this;
  Sync();
}

void CThemedMenu::Detach() {
  if (!m_menu) return;
  // The window may outlive this object: give the items their plain form back
  // so that Windows never follows item data into freed records.
  if (::IsMenu(m_menu)) {
    int count = ::GetMenuItemCount(m_menu);
    for (int pos = 0; pos < count; ++pos) {
      MENUITEMINFOW mii{};
      mii.cbSize = sizeof(mii);
      mii.fMask = MIIM_FTYPE | MIIM_DATA;
      if (!::GetMenuItemInfoW(m_menu, pos, TRUE, &mii) || !(mii.fType & MFT_OWNERDRAW)) continue;
      auto* record = FindRecord(mii.dwItemData);
      if (!record) continue;
      mii.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_STRING;
      mii.fType &= ~MFT_OWNERDRAW;
      mii.dwItemData = 0;
      mii.dwTypeData = record->m_text.data();
      ::SetMenuItemInfoW(m_menu, pos, TRUE, &mii);
    }
  }
  m_subMenus.clear();
  m_records.clear();
  auto it = Registry().find(m_menu);
  if (it != Registry().end() && it->second == this) Registry().erase(it);
  m_menu = nullptr;
}

CMenuItemRecord* CThemedMenu::RecordForId(WORD id) const {
  for (auto& r : m_records) {
    if (r && r->m_id == id && !(r->m_flags & (MF_POPUP | MF_SEPARATOR | MF_BITMAP))) return r.get();
  }
  return nullptr;
}

void CThemedMenu::Sync() {
  if (!m_menu || !::IsMenu(m_menu)) return;
  // Records and sub-menus still in use move from the old lists to the new ones;
  // whatever is left behind belongs to items that are gone.
  std::vector<std::unique_ptr<CMenuItemRecord>> kept;
  std::vector<std::unique_ptr<CThemedMenu>> keptMenus;
  int count = ::GetMenuItemCount(m_menu);
  for (int pos = 0; pos < count; ++pos) {
    wchar_t buf[512] = {};
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA | MIIM_STRING;
    mii.dwTypeData = buf;
    mii.cch = 511;
    if (!::GetMenuItemInfoW(m_menu, pos, TRUE, &mii)) continue;
    if (mii.fType & MFT_BITMAP) {
      auto r = std::make_unique<CMenuItemRecord>();
      r->m_id = static_cast<WORD>(mii.wID);
      r->m_flags = MF_BITMAP;
      kept.push_back(std::move(r));
      continue;
    }
    if (mii.hSubMenu) keptMenus.push_back(TakeSubMenu(mii.hSubMenu));
    kept.push_back(SyncItem(pos, mii, buf));
  }
  m_records = std::move(kept);
  m_subMenus = std::move(keptMenus);
}

std::unique_ptr<CMenuItemRecord> CThemedMenu::TakeRecord(ULONG_PTR itemData) {
  for (auto& owned : m_records) {
    if (owned && reinterpret_cast<ULONG_PTR>(owned.get()) == itemData) return std::move(owned);
  }
  return nullptr;
}

std::unique_ptr<CThemedMenu> CThemedMenu::TakeSubMenu(HMENU handle) {
  std::unique_ptr<CThemedMenu> sub;
  for (auto& m : m_subMenus) {
    if (m && m->m_menu == handle) sub = std::move(m);
  }
  if (sub) {
    sub->Sync();
    return sub;
  }
  sub = std::make_unique<CThemedMenu>();
  sub->m_accel = m_accel;
  sub->m_iconSize = m_iconSize;
  sub->m_iconSet = m_iconSet;
  sub->Load(handle, true);
  return sub;
}

std::unique_ptr<CMenuItemRecord> CThemedMenu::SyncItem(int pos, const MENUITEMINFOW& mii,
                                                       const wchar_t* itemText) {
  const bool ownerDrawn = (mii.fType & MFT_OWNERDRAW) != 0;
  std::wstring text = itemText;
  UINT flags = MF_OWNERDRAW | (mii.fType & (MFT_SEPARATOR | MFT_RADIOCHECK | MFT_RIGHTORDER |
                                            MFT_MENUBARBREAK | MFT_MENUBREAK));
  std::unique_ptr<CMenuItemRecord> record = ownerDrawn ? TakeRecord(mii.dwItemData) : nullptr;
  if (mii.hSubMenu) {
    flags |= MF_POPUP;
    if (text.empty()) {
      wchar_t title[512] = {};
      ::GetMenuStringW(m_menu, pos, title, 511, MF_BYPOSITION);
      text = title;
    }
  } else if (!record && !(mii.fType & MFT_SEPARATOR)) {
    // A command re-created as a plain item (for example by a language
    // change) keeps its record.
    if (CMenuItemRecord* same = RecordForId(static_cast<WORD>(mii.wID)))
      record = TakeRecord(reinterpret_cast<ULONG_PTR>(same));
  }
  if (!record) record = std::make_unique<CMenuItemRecord>();
  if (!text.empty() || !ownerDrawn) record->SetText(text);
  record->m_id = static_cast<WORD>(mii.wID);
  record->m_flags = flags;
  bool command = !(flags & (MF_POPUP | MF_SEPARATOR));
  record->m_iconSet = command ? m_iconSet : nullptr;
  record->m_iconIndex = command && m_iconSet ? m_iconSet->ImageIndex(record->m_id) : -1;
  auto data = reinterpret_cast<ULONG_PTR>(record.get());
  if (!ownerDrawn || mii.dwItemData != data) {
    MENUITEMINFOW set{};
    set.cbSize = sizeof(set);
    set.fMask = MIIM_FTYPE | MIIM_DATA;
    set.fType = mii.fType | MFT_OWNERDRAW;
    set.dwItemData = data;
    ::SetMenuItemInfoW(m_menu, pos, TRUE, &set);
  }
  return record;
}

void CThemedMenu::RefreshTexts() {
  if (!m_menu) return;
  int count = ::GetMenuItemCount(m_menu);
  for (int pos = 0; pos < count; ++pos) {
    wchar_t buf[512] = {};
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_STRING;
    mii.dwTypeData = buf;
    mii.cch = 511;
    if (!::GetMenuItemInfoW(m_menu, pos, TRUE, &mii) || !(mii.fType & MFT_OWNERDRAW) || !buf[0])
      continue;
    for (auto& r : m_records) {
      if (reinterpret_cast<ULONG_PTR>(r.get()) == mii.dwItemData && r->m_text != buf)
        r->SetText(buf);
    }
  }
}

void CThemedMenu::SetAccelerators(HACCEL accel) {
  m_accel = accel;
  for (auto& sub : m_subMenus) sub->SetAccelerators(accel);
}

void CThemedMenu::AttachIconSet(CMenuIconSet* set) {
  m_iconSet = set;
  if (set) m_iconSize = set->ImageSize();
  for (auto& r : m_records) {
    if (r->m_flags & (MF_POPUP | MF_SEPARATOR | MF_BITMAP)) continue;
    r->m_iconSet = set;
    r->m_iconIndex = set ? set->ImageIndex(r->m_id) : -1;
  }
  for (auto& sub : m_subMenus) sub->AttachIconSet(set);
}

CMenuItemRecord* CThemedMenu::FindRecord(ULONG_PTR itemData) const {
  if (!itemData) return nullptr;
  for (auto& r : m_records) {
    if (reinterpret_cast<ULONG_PTR>(r.get()) == itemData) return r.get();
  }
  for (auto& sub : m_subMenus) {
    if (auto* r = sub->FindRecord(itemData)) return r;
  }
  return nullptr;
}

CThemedMenu* CThemedMenu::FindMenu(HMENU menu) {
  if (m_menu == menu) return this;
  for (auto& sub : m_subMenus) {
    if (auto* m = sub->FindMenu(menu)) return m;
  }
  return nullptr;
}

CThemedMenu* CThemedMenu::OwnerOf(const CMenuItemRecord* record) {
  for (auto& r : m_records) {
    if (r.get() == record) return this;
  }
  for (auto& sub : m_subMenus) {
    if (auto* m = sub->OwnerOf(record)) return m;
  }
  return nullptr;
}

void CThemedMenu::MeasureItem(MEASUREITEMSTRUCT* mis) {
  auto* record = FindRecord(mis->itemData);
  CThemedMenu* owner = record ? OwnerOf(record) : nullptr;
  if (!owner) return;
  owner->RefreshTexts();
  bool isDefault = ::GetMenuDefaultItem(owner->m_menu, FALSE, 0) == record->m_id;
  SIZE s = CMenuLookXP::MeasureItem(*record, record->DisplayText(owner->m_accel), !owner->m_popup,
                                    isDefault, owner->m_iconSize);
  mis->itemWidth = static_cast<UINT>(s.cx);
  mis->itemHeight = static_cast<UINT>(s.cy);
}

void CThemedMenu::DrawItem(const DRAWITEMSTRUCT* dis) {
  if (dis->CtlType != ODT_MENU) return;
  auto* record = FindRecord(dis->itemData);
  CThemedMenu* owner = record ? OwnerOf(record) : nullptr;
  if (!owner) return;
  const RECT& rc = dis->rcItem;
  int w = rc.right - rc.left, h = rc.bottom - rc.top;
  if (w <= 0 || h <= 0) return;
  MenuItemDrawState state;
  state.menuBar = !owner->m_popup;
  state.selected = (dis->itemState & ODS_SELECTED) != 0;
  state.grayed = (dis->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
  state.checked = (dis->itemState & ODS_CHECKED) != 0;
  state.hot = (dis->itemState & ODS_HOTLIGHT) != 0;
  state.inactive = (dis->itemState & ODS_INACTIVE) != 0;
  state.isDefault = (dis->itemState & ODS_DEFAULT) != 0;
  BOOL cues = FALSE;
  if (CurrentPlatformClass() > kNt4) ::SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cues, 0);
  state.hidePrefix = (dis->itemState & ODS_NOACCEL) && !cues;
  // Off-screen copy of the item rectangle, blitted in one step against flicker.
  MemoryDc mem(::CreateCompatibleDC(dis->hDC));
  GdiBitmap bmp(::CreateCompatibleBitmap(dis->hDC, w, h));
  if (!mem || !bmp) return;
  {
    SelectGuard sel(mem.get(), bmp.get());
    RECT local{0, 0, w, h};
    CMenuLookXP::DrawItem(mem.get(), local, *record, record->DisplayText(owner->m_accel), state,
                          owner->m_iconSize, ColorEnv::Current(), MenuBrushColor(owner->m_menu));
    ::BitBlt(dis->hDC, rc.left, rc.top, w, h, mem.get(), 0, 0, SRCCOPY);
  }
}

std::vector<std::wstring> CThemedMenu::DisplayTexts() const {
  std::vector<std::wstring> texts;
  if (!m_menu) return texts;
  int count = ::GetMenuItemCount(m_menu);
  for (int pos = 0; pos < count; ++pos) {
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_DATA | MIIM_FTYPE;
    ::GetMenuItemInfoW(m_menu, pos, TRUE, &mii);
    auto* record = (mii.fType & MFT_OWNERDRAW) ? FindRecord(mii.dwItemData) : nullptr;
    texts.push_back(record ? record->DisplayText(m_accel) : std::wstring());
  }
  return texts;
}

LRESULT CThemedMenu::OnMenuChar(wchar_t ch) {
  if (!m_menu) return 0;
  if (::GetMenuItemCount(m_menu) != static_cast<int>(m_records.size())) Sync();
  int pos = FindMnemonic(DisplayTexts(), ch);
  return pos < 0 ? 0 : MAKELRESULT(pos, MNC_EXECUTE);
}

}  // namespace klarex
