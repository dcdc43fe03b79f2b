#include "controls/themed_menu.h"

#include <algorithm>
#include <cwctype>
#include <map>
#include <stdexcept>

#include "framework/unexpected_error.h"

namespace klarex {
namespace {

constexpr WORD kToolbarResourceType = 241;

std::wstring Lower(std::wstring s) {
  for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
  return s;
}

std::map<HMENU, CThemedMenu*>& Registry() {
  static std::map<HMENU, CThemedMenu*> menus;
  return menus;
}

std::vector<std::unique_ptr<CMenuIconSet>>& IconSets() {
  static std::vector<std::unique_ptr<CMenuIconSet>> sets;
  return sets;
}

std::wstring KeyName(BYTE fVirt, WORD key) {
  if (!(fVirt & FVIRTKEY)) return std::wstring(1, static_cast<wchar_t>(key));
  UINT scan = ::MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
  wchar_t name[64] = {};
  if (scan && ::GetKeyNameTextW(static_cast<LONG>(scan << 16), name, 64) > 0) return name;
  return std::wstring(1, static_cast<wchar_t>(key));
}

// Pixels of a bitmap as top-down 32-bit BGRx.
std::vector<DWORD> ReadPixels(HBITMAP bmp, int& width, int& height) {
  BITMAP bm{};
  if (!::GetObjectW(bmp, sizeof(bm), &bm)) return {};
  width = bm.bmWidth;
  height = bm.bmHeight;
  BITMAPINFO bi = TopDownDib32Info(width, height);
  std::vector<DWORD> px(static_cast<size_t>(width) * height);
  WindowDc screen(nullptr);
  if (!::GetDIBits(screen, bmp, 0, height, px.data(), &bi, DIB_RGB_COLORS)) return {};
  return px;
}

COLORREF ToColor(DWORD v) { return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF); }
DWORD ToPixel(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

GdiFont MenuFont(bool bold) {
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof(ncm);
  ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
  LOGFONTW lf = ncm.lfMenuFont;
  if (bold) lf.lfWeight = FW_BOLD;
  return GdiFont(::CreateFontIndirectW(&lf));
}

}  // namespace

std::wstring AcceleratorText(HACCEL accel, WORD cmd) {
  if (!accel) return {};
  int n = ::CopyAcceleratorTableW(accel, nullptr, 0);
  if (n <= 0) return {};
  std::vector<ACCEL> entries(static_cast<size_t>(n));
  ::CopyAcceleratorTableW(accel, entries.data(), n);
  std::wstring out;
  for (const ACCEL& a : entries) {
    if (a.cmd != cmd) continue;
    if (!out.empty()) out += L", ";
    if (a.fVirt & FALT) out += L"Alt+";
    if (a.fVirt & FCONTROL) out += L"Ctrl+";
    if (a.fVirt & FSHIFT) out += L"Shift+";
    out += KeyName(a.fVirt, a.key);
  }
  return out;
}

int FindMnemonic(const std::vector<std::wstring>& displayTexts, wchar_t ch) {
  std::wstring needle = Lower(std::wstring{L'&', ch});
  for (size_t i = 0; i < displayTexts.size(); ++i) {
    if (Lower(displayTexts[i]).find(needle) != std::wstring::npos) return static_cast<int>(i);
  }
  return -1;
}

std::wstring CMenuItemRecord::DisplayText(HACCEL accel) const {
  size_t tab = m_text.find(L'\t');
  if (m_noAccelText) return m_text.substr(0, tab);
  if (tab != std::wstring::npos) return m_text;
  std::wstring keys = AcceleratorText(accel, m_id);
  return keys.empty() ? m_text : m_text + L'\t' + keys;
}

// ---------------------------------------------------------------- icon sets

CMenuIconSet::CMenuIconSet(HMODULE module, int resourceId)
    : m_module(module), m_resourceId(resourceId) {}

CMenuIconSet* CMenuIconSet::Get(HMODULE module, int resourceId) {
  for (auto& set : IconSets()) {
    if (set->m_resourceId == resourceId && set->m_module == module) return set.get();
  }
  auto set = std::make_unique<CMenuIconSet>(module, resourceId);
  if (!set->Load()) return nullptr;
  IconSets().push_back(std::move(set));
  return IconSets().back().get();
}

void CMenuIconSet::ReloadAll() {
  static DWORD last = 0;
  static bool once = false;
  DWORD now = ::GetTickCount();
  if (once && now - last < 2000) return;
  once = true;
  last = now;
  for (auto& set : IconSets()) set->Load();
}

void CMenuIconSet::ClearAll() { IconSets().clear(); }

bool CMenuIconSet::Load() {
  auto find = [this](HMODULE module) {
    return ::FindResourceW(module, MAKEINTRESOURCEW(m_resourceId),
                           MAKEINTRESOURCEW(kToolbarResourceType));
  };
  HMODULE module = m_module;
  HRSRC res = find(module);
  if (!res) {
    module = ::GetModuleHandleW(nullptr);
    res = find(module);
  }
  if (!res) return false;
  HGLOBAL global = ::LoadResource(module, res);
  auto* words = static_cast<const WORD*>(global ? ::LockResource(global) : nullptr);
  DWORD bytes = ::SizeofResource(module, res);
  if (!words || bytes < 8) return false;
  int width = words[1], height = words[2], count = words[3];
  if (bytes < static_cast<DWORD>(8 + 2 * count)) return false;
  std::vector<WORD> ids;
  for (int i = 0; i < count; ++i) {
    if (words[4 + i]) ids.push_back(words[4 + i]);
  }
  GdiBitmap strip(static_cast<HBITMAP>(::LoadImageW(module, MAKEINTRESOURCEW(m_resourceId),
                                                    IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!strip) return false;
  return LoadFromBitmap(strip.get(), width, height, ids);
}

bool CMenuIconSet::LoadFromBitmap(HBITMAP strip, int width, int height,
                                  const std::vector<WORD>& ids) {
  int w = 0, h = 0;
  std::vector<DWORD> px = ReadPixels(strip, w, h);
  if (px.empty() || width <= 0 || height <= 0) return false;
  int count = std::min<int>(static_cast<int>(ids.size()), w / width);
  COLORREF mask = ToColor(px[0]);
  COLORREF tint = DisabledTint(ColorEnv::Current());
  // One strip holding, per button, the image, its darker copy and its disabled
  // copy; mask-coloured pixels stay as they are so that all three stay transparent.
  int outW = width * count * 3;
  DibSurface out(std::max(outW, 1), height);
  if (!out) return false;
  for (int n = 0; n < count; ++n) {
    for (int y = 0; y < std::min(height, h); ++y) {
      for (int x = 0; x < width; ++x) {
        DWORD v = px[static_cast<size_t>(y) * w + n * width + x];
        COLORREF c = ToColor(v);
        bool transparent = c == mask;
        DWORD* row = out.bits() + static_cast<size_t>(y) * outW;
        row[(3 * n) * width + x] = ToPixel(c);
        row[(3 * n + 1) * width + x] = transparent ? ToPixel(mask) : ToPixel(DarkerPixel(c));
        row[(3 * n + 2) * width + x] =
            transparent ? ToPixel(mask) : ToPixel(DisabledPixel(c, tint));
      }
    }
  }
  ImageListHandle images(::ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, count * 3, 10));
  if (!images) return false;
  ::GdiFlush();
  // ImageList_AddMasked needs the bitmap unselected.
  GdiBitmap copy(static_cast<HBITMAP>(::CopyImage(out.bitmap(), IMAGE_BITMAP, 0, 0, 0)));
  if (count > 0 && (!copy || ::ImageList_AddMasked(images.get(), copy.get(), mask) < 0))
    return false;
  m_images = std::move(images);
  m_size = SIZE{width, height};
  m_ids.assign(ids.begin(), ids.begin() + count);
  return true;
}

int CMenuIconSet::ImageIndex(WORD cmd) const {
  auto it = std::find(m_ids.begin(), m_ids.end(), cmd);
  return it == m_ids.end() ? -1 : 3 * static_cast<int>(it - m_ids.begin());
}

// ---------------------------------------------------------------- XP look

SIZE CMenuLookXP::MeasureItem(const CMenuItemRecord& item, const std::wstring& text, bool menuBar,
                              bool isDefault, SIZE iconSize) {
  bool separator = (item.m_flags & MF_SEPARATOR) && item.m_text.empty();
  if (separator) return SIZE{3, 3};
  std::wstring measured = text;
  for (size_t pos = 0; (pos = measured.find(L'\t', pos)) != std::wstring::npos;)
    measured.replace(pos, 1, L"nnn");
  WindowDc screen(nullptr);
  GdiFont font = MenuFont(isDefault);
  SelectGuard sel(screen, font.get());
  SIZE extent{};
  ::GetTextExtentPoint32W(screen, measured.c_str(), static_cast<int>(measured.size()), &extent);
  int cyMenu = ::GetSystemMetrics(SM_CYMENU);
  SIZE size{};
  if (menuBar) {
    size.cx = extent.cx - (text.find(L'&') != std::wstring::npos ? 6 : 0);
    size.cy = std::max<LONG>(cyMenu, iconSize.cy + 2);
  } else {
    size.cx = ((item.m_flags & MF_POPUP) ? cyMenu : cyMenu / 2) + iconSize.cx + extent.cx + 6;
    size.cy = iconSize.cy + 8 < cyMenu ? cyMenu : iconSize.cy + 7;
    size.cy = std::max(size.cy, extent.cy);
  }
  return size;
}

namespace {

void FrameSolid(HDC dc, const RECT& rc, COLORREF c) {
  GdiPen pen(::CreatePen(PS_SOLID, 1, c));
  SelectGuard p(dc, pen.get());
  SelectGuard b(dc, ::GetStockObject(HOLLOW_BRUSH));
  ::Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
}

// A Marlett glyph centred in rc; raised over a bluish shadow when selected.
void DrawGlyph(HDC dc, const RECT& rc, wchar_t glyph, bool bold, bool grayed, bool selected,
               const ColorEnv& env) {
  RECT g = rc;
  ::InflateRect(&g, -2, -2);
  LOGFONTW lf{};
  lf.lfHeight = g.bottom - g.top;
  lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  lf.lfCharSet = SYMBOL_CHARSET;
  wcscpy(lf.lfFaceName, L"Marlett");
  GdiFont font(::CreateFontIndirectW(&lf));
  SelectGuard sel(dc, font.get());
  ::SetBkMode(dc, TRANSPARENT);
  const UINT fmt = DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX;
  if (grayed) {
    ::SetTextColor(dc, env.Sys(COLOR_GRAYTEXT));
    ::DrawTextW(dc, &glyph, 1, &g, fmt);
  } else if (selected) {
    RECT s = g;
    ::OffsetRect(&s, 1, 1);
    ::SetTextColor(dc, BluishDark(SelectionColor(env)));
    ::DrawTextW(dc, &glyph, 1, &s, fmt);
    ::OffsetRect(&s, -2, -2);
    ::SetTextColor(dc, env.Sys(COLOR_MENUTEXT));
    ::DrawTextW(dc, &glyph, 1, &s, fmt);
  } else {
    ::SetTextColor(dc, env.Sys(COLOR_MENUTEXT));
    ::DrawTextW(dc, &glyph, 1, &g, fmt);
  }
}

wchar_t SystemGlyph(WORD id) {
  switch (id & 0xFFF0) {
    case SC_MINIMIZE:
      return L'0';
    case SC_MAXIMIZE:
      return L'1';
    case SC_RESTORE:
      return L'2';
    case SC_CLOSE:
      return L'r';
    default:
      return 0;
  }
}

}  // namespace

void CMenuLookXP::DrawItem(HDC dc, const RECT& rc, const CMenuItemRecord& item,
                           const std::wstring& text, const MenuItemDrawState& state, SIZE iconSize,
                           const ColorEnv& env, COLORREF menuBrush) {
  ::SetBkMode(dc, TRANSPARENT);
  const COLORREF selection = SelectionColor(env);
  const COLORREF highlight = env.Sys(COLOR_HIGHLIGHT);

  if (state.menuBar) {
    const COLORREF barColor = MenuBarColor(env, menuBrush);
    ::FillRect(dc, &rc, CachedSolidBrush(barColor));
    if (state.selected && !state.grayed) {
      // Open: tinted like the pop-up's edge and framed on three sides, so the
      // item and its pop-up below look like one piece.
      ::FillRect(dc, &rc, CachedSolidBrush(Mix86_14(barColor, env.Sys(COLOR_WINDOW))));
      RECT open = rc;
      open.bottom += 1;
      FrameSolid(
          dc, open,
          env.highContrast ? env.Sys(COLOR_BTNTEXT) : Darken(128, MenuColor(env, menuBrush)));
    } else if (state.hot && !state.grayed) {
      ::FillRect(dc, &rc, CachedSolidBrush(selection));
      FrameSolid(dc, rc, highlight);
    }
    GdiFont font = MenuFont(state.isDefault);
    SelectGuard sel(dc, font.get());
    ::SetTextColor(dc, MenuTextColor(env, state.grayed || state.inactive));
    RECT t = rc;
    std::wstring label = text.substr(0, text.find(L'\t'));
    ::DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &t,
                DT_SINGLELINE | DT_VCENTER | DT_CENTER | (state.hidePrefix ? DT_HIDEPREFIX : 0));
    return;
  }

  const bool rtl = (item.m_flags & MFT_RIGHTORDER) != 0;
  const int columnWidth = IconColumnWidth(iconSize);
  RECT column = rc, area = rc;
  if (rtl) {
    column.left = rc.right - columnWidth;
    area.right = column.left;
  } else {
    column.right = rc.left + columnWidth;
    area.left = column.right;
  }
  const COLORREF columnColor = IconColumnColor(env, menuBrush);
  ::FillRect(dc, &column, CachedSolidBrush(columnColor));
  ::FillRect(dc, &area, CachedSolidBrush(env.Sys(COLOR_WINDOW)));

  const bool separator = (item.m_flags & MF_SEPARATOR) && item.m_text.empty();
  if (separator) {
    int y = (rc.top + rc.bottom) / 2;
    RECT line{rc.left + iconSize.cx + 15, y, rc.right - 4, y + 1};
    if (rtl) line = RECT{rc.left + 4, y, rc.right - iconSize.cx - 15, y + 1};
    ::FillRect(dc, &line, CachedSolidBrush(env.Sys(COLOR_GRAYTEXT)));
    return;
  }

  const bool selectedEnabled = state.selected && !state.grayed;
  if (selectedEnabled) {
    ::FillRect(dc, &rc, CachedSolidBrush(selection));
    FrameSolid(dc, rc, highlight);
  }

  const bool hasIcon = item.m_iconSet && item.m_iconIndex >= 0 && item.m_iconSet->Images();
  if (state.checked && hasIcon) {
    RECT box = column;
    ::InflateRect(&box, -1, -1);
    ::FillRect(dc, &box,
               CachedSolidBrush(Mix86_14(selectedEnabled ? selection : columnColor, highlight)));
    FrameSolid(dc, box, highlight);
  }
  if (hasIcon) {
    SIZE is = item.m_iconSet->ImageSize();
    int x = is.cx < iconSize.cx ? column.left + (columnWidth - is.cx) / 2 : column.left + 3;
    int y = rc.top + (rc.bottom - rc.top - is.cy) / 2;
    HIMAGELIST images = item.m_iconSet->Images();
    if (state.grayed) {
      ::ImageList_Draw(images, item.m_iconIndex + 2, dc, x, y, ILD_TRANSPARENT);
    } else if (!state.selected) {
      ::ImageList_Draw(images, item.m_iconIndex + 1, dc, x, y, ILD_TRANSPARENT);
    } else {
      DrawRaisedImage(dc, images, item.m_iconIndex, x, y, BluishDark(selection), !state.checked);
    }
  } else if (wchar_t glyph = SystemGlyph(item.m_id); glyph && !state.checked) {
    DrawGlyph(dc, column, glyph, state.isDefault, state.grayed, selectedEnabled, env);
  } else if (state.checked) {
    wchar_t mark = (item.m_flags & MFT_RADIOCHECK) ? L'h' : L'a';
    DrawGlyph(dc, column, mark, state.isDefault, state.grayed, selectedEnabled, env);
  }

  GdiFont font = MenuFont(state.isDefault);
  SelectGuard sel(dc, font.get());
  ::SetTextColor(dc, MenuTextColor(env, state.grayed));
  RECT t = area;
  t.left += rtl ? 8 : 6;
  t.right -= rtl ? 6 : 8;
  size_t firstTab = text.find(L'\t');
  size_t lastTab = text.rfind(L'\t');
  std::wstring label = text.substr(0, firstTab);
  UINT prefix = state.hidePrefix ? DT_HIDEPREFIX : 0;
  ::DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &t,
              DT_SINGLELINE | DT_VCENTER | prefix | (rtl ? DT_RIGHT | DT_RTLREADING : 0));
  if (lastTab != std::wstring::npos) {
    std::wstring keys = text.substr(lastTab + 1);
    ::DrawTextW(dc, keys.c_str(), static_cast<int>(keys.size()), &t,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (rtl ? DT_LEFT : DT_RIGHT));
  }
}

// ---------------------------------------------------------------- menus

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
  auto takeRecord = [this](ULONG_PTR data) -> std::unique_ptr<CMenuItemRecord> {
    for (auto& owned : m_records) {
      if (owned && reinterpret_cast<ULONG_PTR>(owned.get()) == data) return std::move(owned);
    }
    return nullptr;
  };
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
    const bool ownerDrawn = (mii.fType & MFT_OWNERDRAW) != 0;
    std::wstring text = buf;
    UINT flags = MF_OWNERDRAW | (mii.fType & (MFT_SEPARATOR | MFT_RADIOCHECK | MFT_RIGHTORDER |
                                              MFT_MENUBARBREAK | MFT_MENUBREAK));
    std::unique_ptr<CMenuItemRecord> record = ownerDrawn ? takeRecord(mii.dwItemData) : nullptr;
    if (mii.hSubMenu) {
      flags |= MF_POPUP;
      if (text.empty()) {
        wchar_t title[512] = {};
        ::GetMenuStringW(m_menu, pos, title, 511, MF_BYPOSITION);
        text = title;
      }
      std::unique_ptr<CThemedMenu> sub;
      for (auto& m : m_subMenus) {
        if (m && m->m_menu == mii.hSubMenu) sub = std::move(m);
      }
      if (sub) {
        sub->Sync();
      } else {
        sub = std::make_unique<CThemedMenu>();
        sub->m_accel = m_accel;
        sub->m_iconSize = m_iconSize;
        sub->m_iconSet = m_iconSet;
        sub->Load(mii.hSubMenu, true);
      }
      keptMenus.push_back(std::move(sub));
    } else if (!record && !(mii.fType & MFT_SEPARATOR)) {
      // A command re-created as a plain item (for example by a language
      // change) keeps its record.
      if (CMenuItemRecord* same = RecordForId(static_cast<WORD>(mii.wID)))
        record = takeRecord(reinterpret_cast<ULONG_PTR>(same));
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
    kept.push_back(std::move(record));
  }
  m_records = std::move(kept);
  m_subMenus = std::move(keptMenus);
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

// ---------------------------------------------------------------- pop-up windows

namespace klarex {
namespace {

constexpr UINT kMnGetHMenu = 0x01E1;
constexpr UINT kMnSystemMenuPrepare = 0x01E2;
constexpr wchar_t kOldProcProperty[] = L"OldMenuProc";
constexpr int kShadow = 4;
constexpr UINT_PTR kFadeTimer = 0x1234;

struct LibraryState {
  bool started = false;
  int platform = kWinXpOrLater;
  bool wine = false;
  HHOOK hook = nullptr;
  HMENU pendingMenu = nullptr;
  HWND pendingOwner = nullptr;
  ATOM atom = 0;
};
LibraryState g_lib;

// One pop-up menu window while it is shown.
struct CPopupRecord {
  LONG_PTR style = 0;  // styles before the XP look changed them
  LONG_PTR exStyle = 0;
  bool escapePressed = false;
  HMENU menu = nullptr;
  HWND owner = nullptr;  // the frame whose menu bar the pop-up may drop from
  SIZE systemFrame{};    // width and height the original border took
  SIZE lastSize{};       // once shown: the size the window was shown with
  // Screen content behind the shadow bands, taken just before the window shows.
  // The bitmap comes first so that it is deleted after the context it is
  // selected into (a selected bitmap cannot be deleted).
  GdiBitmap behind;
  MemoryDc behindDc;
  RECT behindRect{};
};

std::map<HWND, std::unique_ptr<CPopupRecord>>& PopupWindows() {
  static std::map<HWND, std::unique_ptr<CPopupRecord>> windows;
  return windows;
}

bool SystemDrawsShadows() {
  BOOL on = FALSE;
  return ::SystemParametersInfoW(SPI_GETDROPSHADOW, 0, &on, 0) && on;
}

bool IsMenuWindow(HWND hwnd) {
  wchar_t cls[16] = {};
  return ::GetClassNameW(hwnd, cls, 16) && wcscmp(cls, L"#32768") == 0;
}

void CaptureBehind(CPopupRecord& rec, const RECT& windowRect) {
  int w = windowRect.right - windowRect.left, h = windowRect.bottom - windowRect.top;
  if (w <= 0 || h <= 0 || SystemDrawsShadows()) return;
  WindowDc screen(nullptr);
  rec.behindDc.reset(::CreateCompatibleDC(screen));
  rec.behind.reset(::CreateCompatibleBitmap(screen, w, h));
  if (!rec.behindDc || !rec.behind) return;
  ::SelectObject(rec.behindDc.get(), rec.behind.get());
  ::BitBlt(rec.behindDc.get(), 0, 0, w, h, screen, windowRect.left, windowRect.top, SRCCOPY);
  rec.behindRect = windowRect;
}

// Darkens the screen copy behind the right and bottom bands and paints it.
void PaintShadow(HDC dc, CPopupRecord& rec, int w, int h, const ColorEnv& env) {
  if (env.LowColor()) {
    RECT right{w - 2, kShadow, w, h}, bottom{kShadow, h - 2, w, h};
    ::FillRect(dc, &right, CachedSolidBrush(env.Sys(COLOR_BTNSHADOW)));
    ::FillRect(dc, &bottom, CachedSolidBrush(env.Sys(COLOR_BTNSHADOW)));
    return;
  }
  if (!rec.behindDc || rec.behindRect.right - rec.behindRect.left != w ||
      rec.behindRect.bottom - rec.behindRect.top != h)
    return;
  static constexpr int kTarget[kShadow] = {135, 165, 195, 225};  // inner to outer
  // Along an edge the first pixels stay untouched, the next ones fade in from
  // 249 towards the band's factor; inner bands fade faster.
  auto fade = [](int target, int step, int along) {
    if (along < kShadow) return 255;
    if (along < 2 * kShadow) return std::max(target, 249 - step * (along - kShadow));
    return target;
  };
  auto shade = [&](int x, int y, int factor) {
    COLORREF c = ::GetPixel(rec.behindDc.get(), x, y);
    if (c == CLR_INVALID) return;
    if (factor < 255) c = Darken(255 - factor, c);
    ::SetPixelV(dc, x, y, c);
  };
  for (int j = 0; j < kShadow; ++j) {
    int x = w - kShadow + j;  // j = 0 is the inner column
    for (int y = 0; y < h; ++y) {
      int factor;
      if (y >= h - kShadow)
        factor = kTarget[std::max(j, y - (h - kShadow))];  // corner: lighter towards the outside
      else
        factor = fade(kTarget[j], 6 * (kShadow - j), y);
      shade(x, y, factor);
    }
  }
  for (int r = 0; r < kShadow; ++r) {
    int y = h - kShadow + r;
    for (int x = 0; x < w - kShadow; ++x) shade(x, y, fade(kTarget[r], 6 * (kShadow - r), x));
  }
}

void PaintFrame(HWND hwnd, HDC dc, CPopupRecord& rec) {
  RECT wr{};
  ::GetWindowRect(hwnd, &wr);
  int w = wr.right - wr.left, h = wr.bottom - wr.top;
  ColorEnv env = ColorEnv::Current();
  COLORREF brush = MenuBrushColor(rec.menu);
  COLORREF menuColor = MenuColor(env, brush);
  bool systemShadow = SystemDrawsShadows();
  RECT frame{0, 0, systemShadow ? w : w - kShadow, systemShadow ? h : h - kShadow};
  FrameSolid(dc, frame, env.highContrast ? env.Sys(COLOR_BTNTEXT) : Darken(128, menuColor));
  RECT inner = frame;
  ::InflateRect(&inner, -1, -1);
  FrameSolid(dc, inner, Mix86_14(env.Sys(COLOR_WINDOW), menuColor));
  RECT column{1, 1, 2, frame.bottom - 1};
  ::FillRect(dc, &column, CachedSolidBrush(IconColumnColor(env, brush)));
  if (!systemShadow) PaintShadow(dc, rec, w, h, env);

  // Join the pop-up to the menu-bar item it drops from.
  CThemedMenu* menu = CThemedMenu::FromHandle(rec.menu);
  if (menu && rec.owner) {
    HMENU bar = ::GetMenu(rec.owner);
    int count = bar ? ::GetMenuItemCount(bar) : 0;
    for (int pos = 0; pos < count; ++pos) {
      if (::GetSubMenu(bar, pos) != rec.menu) continue;
      RECT item{};
      if (!::GetMenuItemRect(rec.owner, bar, pos, &item)) break;
      if (item.bottom != wr.top && item.bottom + 1 != wr.top) break;
      int left = std::max(item.left, wr.left) - wr.left + 1;
      int right = std::min(item.right, wr.right) - wr.left - 1;
      if (right > left) {
        RECT edge{left, 0, right, 1};
        COLORREF c = env.LowColor()
                         ? env.Sys(COLOR_BTNFACE)
                         : Mix86_14(MenuBarColor(env, MenuBrushColor(bar)), env.Sys(COLOR_WINDOW));
        ::FillRect(dc, &edge, CachedSolidBrush(c));
      }
      break;
    }
  }
}

void PaintWineMargins(HWND hwnd, const CPopupRecord& rec) {
  int count = ::GetMenuItemCount(rec.menu);
  RECT first{}, last{};
  if (count <= 0 || !::GetMenuItemRect(nullptr, rec.menu, 0, &first) ||
      !::GetMenuItemRect(nullptr, rec.menu, count - 1, &last))
    return;
  ::MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&first), 2);
  ::MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&last), 2);
  RECT client{};
  ::GetClientRect(hwnd, &client);
  ColorEnv env = ColorEnv::Current();
  HBRUSH column = CachedSolidBrush(IconColumnColor(env, MenuBrushColor(rec.menu)));
  HBRUSH area = CachedSolidBrush(env.Sys(COLOR_WINDOW));
  WindowDc dc(hwnd);
  RECT left{client.left, client.top, first.left, client.bottom};
  RECT top{first.left, client.top, client.right, first.top};
  RECT bottom{first.left, last.bottom, client.right, client.bottom};
  RECT right{first.right, first.top, client.right, last.bottom};
  ::FillRect(dc, &left, column);
  ::FillRect(dc, &top, area);
  ::FillRect(dc, &bottom, area);
  ::FillRect(dc, &right, area);
}

void Unsubclass(HWND hwnd) {
  auto& windows = PopupWindows();
  auto it = windows.find(hwnd);
  if (it == windows.end()) return;
  auto old = reinterpret_cast<WNDPROC>(::GetPropW(hwnd, kOldProcProperty));
  if (old) ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
  ::RemovePropW(hwnd, kOldProcProperty);
  CPopupRecord& rec = *it->second;
  ::SetWindowLongPtrW(hwnd, GWL_STYLE, rec.style);
  ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, rec.exStyle);
  windows.erase(it);
}

LRESULT MenuWindowMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto old = reinterpret_cast<WNDPROC>(::GetPropW(hwnd, kOldProcProperty));
  auto it = PopupWindows().find(hwnd);
  if (!old) return ::DefWindowProcW(hwnd, msg, wp, lp);
  if (it == PopupWindows().end()) return ::CallWindowProcW(old, hwnd, msg, wp, lp);
  CPopupRecord& rec = *it->second;
  const bool systemShadow = SystemDrawsShadows();
  switch (msg) {
    case WM_NCCALCSIZE: {
      auto* rc = reinterpret_cast<RECT*>(lp);  // rgrc[0] is first in NCCALCSIZE_PARAMS too
      rc->left += 2;
      rc->top += 2;
      rc->right -= systemShadow ? 1 : 1 + kShadow;
      rc->bottom -= systemShadow ? 2 : 2 + kShadow;
      return 0;
    }
    case WM_WINDOWPOSCHANGING: {
      auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
      if (!(pos->flags & SWP_NOSIZE)) {
        // The menu sized the window for its own border; trade that for ours so
        // the items keep all the room they asked for.
        pos->cx += (systemShadow ? 3 : 3 + kShadow) - rec.systemFrame.cx;
        pos->cy += (systemShadow ? 4 : 4 + kShadow) - rec.systemFrame.cy;
      }
      if (pos->flags & SWP_SHOWWINDOW) {
        RECT wr{};
        ::GetWindowRect(hwnd, &wr);
        if (!(pos->flags & SWP_NOMOVE)) ::OffsetRect(&wr, pos->x - wr.left, pos->y - wr.top);
        if (!(pos->flags & SWP_NOSIZE)) {
          wr.right = wr.left + pos->cx;
          wr.bottom = wr.top + pos->cy;
        }
        CaptureBehind(rec, wr);
      }
      break;
    }
    case WM_SHOWWINDOW:
      if (wp) {
        if (!rec.behindDc) {
          RECT wr{};
          ::GetWindowRect(hwnd, &wr);
          CaptureBehind(rec, wr);
        }
        break;
      }
      Unsubclass(hwnd);
      return ::CallWindowProcW(old, hwnd, msg, wp, lp);
    case WM_NCPAINT: {
      HDC dc = ::GetWindowDC(hwnd);
      if (dc) {
        PaintFrame(hwnd, dc, rec);
        ::ReleaseDC(hwnd, dc);
      }
      return 0;
    }
    case WM_PRINT: {
      LRESULT r = ::CallWindowProcW(old, hwnd, msg, wp, lp & ~PRF_NONCLIENT);
      if (lp & PRF_NONCLIENT) PaintFrame(hwnd, reinterpret_cast<HDC>(wp), rec);
      return r;
    }
    case WM_PAINT:
      if (g_lib.wine) {
        // Wine paints its own border inside the client area, around the
        // items: paint the margins over in the item colours.
        LRESULT r = ::CallWindowProcW(old, hwnd, msg, wp, lp);
        PaintWineMargins(hwnd, rec);
        return r;
      }
      break;
    case WM_ERASEBKGND: {
      RECT rc{};
      ::GetClientRect(hwnd, &rc);
      rc.left -= 2;
      ColorEnv env = ColorEnv::Current();
      ::FillRect(reinterpret_cast<HDC>(wp), &rc,
                 CachedSolidBrush(MenuColor(env, MenuBrushColor(rec.menu))));
      return 1;
    }
    case WM_WINDOWPOSCHANGED: {
      auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
      const SIZE size{pos->cx, pos->cy};
      // Hidden, or resized while shown (the saved background no longer fits):
      // the window goes back to the system's look.
      const bool resized = rec.lastSize.cx && !(pos->flags & SWP_NOSIZE) &&
                           (size.cx != rec.lastSize.cx || size.cy != rec.lastSize.cy);
      if ((pos->flags & SWP_HIDEWINDOW) || resized) {
        Unsubclass(hwnd);
        return ::CallWindowProcW(old, hwnd, msg, wp, lp);
      }
      if (::IsWindowVisible(hwnd) && !rec.lastSize.cx) {
        RECT wr{};
        ::GetWindowRect(hwnd, &wr);
        rec.lastSize = SIZE{wr.right - wr.left, wr.bottom - wr.top};
      }
      break;
    }
    case WM_KEYDOWN:
      if (wp == VK_ESCAPE) rec.escapePressed = true;
      break;
    case WM_TIMER:
      if (wp == kFadeTimer && g_lib.platform > kNt4) {
        // A fading pop-up shows at once, fully opaque.
        ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE,
                            ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
        ::SetLayeredWindowAttributes(hwnd, 0, 255, LWA_ALPHA);
        ::KillTimer(hwnd, kFadeTimer);
        return 0;
      }
      break;
    case WM_NCDESTROY:
      Unsubclass(hwnd);
      return ::CallWindowProcW(old, hwnd, msg, wp, lp);
    default:
      break;
  }
  return ::CallWindowProcW(old, hwnd, msg, wp, lp);
}

LRESULT CALLBACK MenuWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return Guarded<LRESULT>(0, [&] { return MenuWindowMessage(hwnd, msg, wp, lp); });
}

void SubclassMenuWindow(HWND hwnd, HMENU menu) {
  auto rec = std::make_unique<CPopupRecord>();
  rec->menu = menu;
  rec->owner = g_lib.pendingOwner;
  LONG_PTR old = ::GetWindowLongPtrW(hwnd, GWLP_WNDPROC);
  ::SetPropW(hwnd, kOldProcProperty, reinterpret_cast<HANDLE>(old));
  // The XP look draws its own one-pixel frame instead of the 3-D border.
  rec->style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
  rec->exStyle = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  RECT frame{};
  ::AdjustWindowRectEx(&frame, static_cast<DWORD>(rec->style), FALSE,
                       static_cast<DWORD>(rec->exStyle));
  rec->systemFrame = SIZE{frame.right - frame.left, frame.bottom - frame.top};
  ::SetWindowLongPtrW(hwnd, GWL_STYLE, rec->style & ~WS_BORDER);
  ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, rec->exStyle & ~(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE));
  PopupWindows()[hwnd] = std::move(rec);
  ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MenuWindowProc));
}

void OnHookedMessage(const CWPSTRUCT* cwp) {
  if ((cwp->message == WM_CREATE || cwp->message == kMnSystemMenuPrepare) &&
      !PopupWindows().count(cwp->hwnd) && IsMenuWindow(cwp->hwnd)) {
    // The window's own answer first. While it is being created it cannot give
    // one yet: Wine passes the menu as the creation parameter (and announces it
    // by WM_INITMENUPOPUP only afterwards, so the pending one is the last
    // pop-up's); Windows announces it before.
    auto menu = reinterpret_cast<HMENU>(::SendMessageW(cwp->hwnd, kMnGetHMenu, 0, 0));
    if (!menu && cwp->message == WM_CREATE) {
      auto* cs = reinterpret_cast<const CREATESTRUCTW*>(cwp->lParam);
      auto created = static_cast<HMENU>(cs->lpCreateParams);
      if (created && ::IsMenu(created)) menu = created;
    }
    if (!menu) menu = g_lib.pendingMenu;
    if (menu && CThemedMenu::FromHandle(menu)) SubclassMenuWindow(cwp->hwnd, menu);
    g_lib.pendingMenu = nullptr;
  }
}

LRESULT CALLBACK CallWndHook(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION) {
    Guarded(0, [lp] {
      OnHookedMessage(reinterpret_cast<const CWPSTRUCT*>(lp));
      return 0;
    });
  }
  return ::CallNextHookEx(g_lib.hook, code, wp, lp);
}

}  // namespace

void CThemedMenuLibrary::Start() {
  if (g_lib.started) return;
  g_lib.platform = CurrentPlatformClass();
  HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  g_lib.wine = kernel && ::GetProcAddress(kernel, "wine_get_unix_file_name") != nullptr;
  g_lib.hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &CallWndHook, nullptr, ::GetCurrentThreadId());
  if (!g_lib.hook) throw std::runtime_error("cannot install the menu window hook");
  g_lib.atom = ::GlobalAddAtomW(kOldProcProperty);
  g_lib.started = true;
}

void CThemedMenuLibrary::Stop() {
  if (!g_lib.started) return;
  ::UnhookWindowsHookEx(g_lib.hook);
  for (auto it = PopupWindows().begin(); it != PopupWindows().end();) {
    HWND hwnd = (it++)->first;
    Unsubclass(hwnd);
  }
  if (g_lib.atom) ::GlobalDeleteAtom(g_lib.atom);
  CMenuIconSet::ClearAll();
  g_lib = LibraryState{};
}

bool CThemedMenuLibrary::Started() { return g_lib.started; }

bool CThemedMenuLibrary::EscapePressed(HWND popup) {
  auto it = PopupWindows().find(popup);
  return it != PopupWindows().end() && it->second->escapePressed;
}

void CThemedMenuLibrary::SetPendingMenu(HMENU menu, HWND owner) {
  g_lib.pendingMenu = menu;
  g_lib.pendingOwner = owner;
}

}  // namespace klarex
