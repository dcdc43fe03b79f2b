#include "controls/themed_frame.h"

#include <commctrl.h>

#include <exception>

#include "controls/colors.h"
#include "controls/menu_popup.h"
#include "framework/unexpected_error.h"

namespace klarex {

bool StartThemedMenus() {
  try {
    CThemedMenuLibrary::Start();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

CThemedFrameWnd::~CThemedFrameWnd() { Detach(); }

bool CThemedFrameWnd::Attach(HWND frame, HACCEL accel) {
  Detach();
  if (!::IsWindow(frame)) return false;
  if (!::SetWindowSubclass(frame, &SubclassProc, reinterpret_cast<UINT_PTR>(this),
                           reinterpret_cast<DWORD_PTR>(this)))
    return false;
  m_subclassed = true;
  return Theme(frame, accel);
}

bool CThemedFrameWnd::AttachRouted(HWND frame, HACCEL accel) {
  Detach();
  return ::IsWindow(frame) && Theme(frame, accel);
}

bool CThemedFrameWnd::Theme(HWND frame, HACCEL accel) {
  m_hwnd = frame;
  m_accel = accel;
  m_systemMenu.Load(::GetSystemMenu(frame, FALSE), true);
  m_systemMenu.SetAccelerators(accel);
  FollowMenuBar();
  ::DrawMenuBar(frame);
  return true;
}

void CThemedFrameWnd::Detach() {
  if (!m_hwnd) return;
  if (m_subclassed) ::RemoveWindowSubclass(m_hwnd, &SubclassProc, reinterpret_cast<UINT_PTR>(this));
  m_subclassed = false;
  ReleaseBarBrush();
  m_menu.Detach();
  m_systemMenu.Detach();
  if (::IsWindow(m_hwnd)) ::DrawMenuBar(m_hwnd);
  m_hwnd = nullptr;
}

void CThemedFrameWnd::LoadMenuIcons(HMODULE module, int toolbarId) {
  auto set = std::make_unique<CMenuIconSet>(module, toolbarId);
  if (!set->Load()) set.reset();
  m_menu.AttachIconSet(set.get());
  m_iconSet = std::move(set);
  if (m_hwnd) ::DrawMenuBar(m_hwnd);
}

void CThemedFrameWnd::OnSysColorChange() {
  if (m_iconSet) m_iconSet->Reload();
  if (!m_menu.Handle()) return;
  GdiBrush brush(::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE)));
  MENUINFO mi{};
  mi.cbSize = sizeof(mi);
  mi.fMask = MIM_BACKGROUND;
  mi.hbrBack = brush.get();
  ::SetMenuInfo(m_menu.Handle(), &mi);
  m_barBrush = std::move(brush);
  ::DrawMenuBar(m_hwnd);
}

void CThemedFrameWnd::ReleaseBarBrush() {
  if (!m_barBrush) return;
  MENUINFO mi{};
  mi.cbSize = sizeof(mi);
  mi.fMask = MIM_BACKGROUND;
  if (::IsMenu(m_menu.Handle()) && ::GetMenuInfo(m_menu.Handle(), &mi) &&
      mi.hbrBack == m_barBrush.get()) {
    mi.hbrBack = nullptr;
    ::SetMenuInfo(m_menu.Handle(), &mi);
  }
  m_barBrush.reset();
}

void CThemedFrameWnd::FollowMenuBar() {
  // A hidden menu bar (SetMenu with none) keeps its themed menu for its return.
  HMENU bar = ::GetMenu(m_hwnd);
  if (!bar || bar == m_menu.Handle()) return;
  ReleaseBarBrush();
  m_menu.Load(bar, false);
  m_menu.SetAccelerators(m_accel);
  m_menu.AttachIconSet(m_iconSet.get());
}

CThemedMenu* CThemedFrameWnd::MenuOf(HMENU menu) {
  if (!menu) return nullptr;
  if (auto* m = m_systemMenu.FindMenu(menu)) return m;
  return m_menu.FindMenu(menu);
}

CMenuItemRecord* CThemedFrameWnd::RecordOf(ULONG_PTR data, CThemedMenu** owner) {
  for (CThemedMenu* m : {&m_systemMenu, &m_menu}) {
    if (auto* r = m->FindRecord(data)) {
      *owner = m;
      return r;
    }
  }
  return nullptr;
}

LRESULT CALLBACK CThemedFrameWnd::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                               DWORD_PTR data) {
  const NextProc next = [hwnd](UINT m, WPARAM w, LPARAM l) {
    return ::DefSubclassProc(hwnd, m, w, l);
  };
  return Guarded<LRESULT>(0, [&] {
    return reinterpret_cast<CThemedFrameWnd*>(data)->OnMessage(hwnd, msg, wp, lp, next);
  });
}

LRESULT CThemedFrameWnd::Route(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, const NextProc& next) {
  // Before AttachRouted and after Detach the frame has the plain look.
  if (!m_hwnd || hwnd != m_hwnd) return next(msg, wp, lp);
  return OnMessage(hwnd, msg, wp, lp, next);
}

LRESULT CThemedFrameWnd::OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp,
                                   const NextProc& next) {
  switch (msg) {
    case WM_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      CThemedMenu* owner = nullptr;
      if (wp == 0 && mis->CtlType == ODT_MENU && RecordOf(mis->itemData, &owner)) {
        owner->MeasureItem(mis);
        return TRUE;
      }
      break;
    }
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      if (wp == 0 && dis->CtlType == ODT_MENU) {
        if (CThemedMenu* m = MenuOf(reinterpret_cast<HMENU>(dis->hwndItem))) {
          m->DrawItem(dis);
          return TRUE;
        }
      }
      break;
    }
    case WM_MENUCHAR:
      if (CThemedMenu* m = MenuOf(reinterpret_cast<HMENU>(lp))) {
        if (LRESULT r = m->OnMenuChar(static_cast<wchar_t>(LOWORD(wp)))) return r;
      }
      break;
    case WM_ENTERMENULOOP:
      FollowMenuBar();
      break;
    case WM_INITMENUPOPUP: {
      // The frame's own handler first: it may enable, check or rename items.
      LRESULT r = next(msg, wp, lp);
      FollowMenuBar();
      auto popup = reinterpret_cast<HMENU>(wp);
      if (HIWORD(lp) && popup == ::GetSystemMenu(hwnd, FALSE) && popup != m_systemMenu.Handle())
        m_systemMenu.Load(popup, true);
      if (CThemedMenu* m = MenuOf(popup)) {
        m->Sync();
        CThemedMenuLibrary::SetPendingMenu(popup, hwnd);
      }
      return r;
    }
    case WM_SYSCOLORCHANGE: {
      LRESULT r = next(msg, wp, lp);
      OnSysColorChange();
      return r;
    }
    case WM_NCDESTROY: {
      LRESULT r = next(msg, wp, lp);
      Detach();
      return r;
    }
    default:
      break;
  }
  return next(msg, wp, lp);
}

}  // namespace klarex
