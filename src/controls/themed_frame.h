// Glue between a frame window and its themed menus: answers the owner-draw,
// mnemonic and pop-up messages of the frame's menu bar and system menu.
// Any window can be themed by subclassing (Attach), so its own window
// procedure needs no change; a frame of this framework routes its messages
// through instead (CThemedFrame). Frames that keep the plain look simply never
// attach one.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>

#include "controls/menu_icons.h"
#include "controls/themed_menu.h"
#include "framework/gdi.h"

namespace klarex {

class CThemedFrameWnd {
 public:
  CThemedFrameWnd() = default;
  ~CThemedFrameWnd();
  CThemedFrameWnd(const CThemedFrameWnd&) = delete;
  CThemedFrameWnd& operator=(const CThemedFrameWnd&) = delete;

  // The frame's own handling of a message, after the themed menus' look.
  using NextProc = std::function<LRESULT(UINT, WPARAM, LPARAM)>;

  // Themes the frame's current menu bar and system menu by subclassing it;
  // `accel` is the frame's default accelerator table (for the accelerator texts).
  bool Attach(HWND frame, HACCEL accel);
  // The same for a frame whose window procedure hands every message to Route.
  // Under Wine a subclass costs window-property look-ups, round trips to the
  // window server, on every message the frame gets (every notification of its
  // list); routing costs nothing.
  bool AttachRouted(HWND frame, HACCEL accel);
  LRESULT Route(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, const NextProc& next);
  void Detach();
  // Item icons from toolbar resource `toolbarId` (module, else the program's).
  void LoadMenuIcons(HMODULE module, int toolbarId);

  CThemedMenu& Menu() { return m_menu; }
  CThemedMenu& SystemMenu() { return m_systemMenu; }

 private:
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                       DWORD_PTR data);
  bool Theme(HWND frame, HACCEL accel);
  LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, const NextProc& next);
  // The frame's menu bar may have been replaced (SetMenu) since the last look.
  void FollowMenuBar();
  CThemedMenu* MenuOf(HMENU menu);
  CMenuItemRecord* RecordOf(ULONG_PTR data, CThemedMenu** owner);
  // System colours changed: the icons and the menu bar's background follow.
  void OnSysColorChange();
  // Takes the bar brush back from the menu bar before the brush or the bar goes.
  void ReleaseBarBrush();

  HWND m_hwnd = nullptr;
  bool m_subclassed = false;
  HACCEL m_accel = nullptr;
  std::unique_ptr<CMenuIconSet> m_iconSet;
  GdiBrush m_barBrush;  // the menu bar's background once system colours changed
  CThemedMenu m_menu;
  CThemedMenu m_systemMenu;
};

// Starts the pop-up skin of the themed menus once per process (stopped at
// exit); false when its hook could not be installed.
bool StartThemedMenus();

// A frame window base with themed menus: `TBase` is the framework's frame.
// The derived frame calls ThemeMenus from its OnCreate.
template <class TBase>
class CThemedFrame : public TBase {
 public:
  CThemedMenu& ThemedMenu() { return m_themed.Menu(); }
  CThemedMenu& ThemedSystemMenu() { return m_themed.SystemMenu(); }

 protected:
  // Owner-draws the menu bar and system menu with the item icons of toolbar
  // `resourceId` and the accelerator texts of the accelerator table of that id.
  // Without the pop-up hook the menus are still themed, only their windows keep
  // the system frame.
  void ThemeMenus(UINT resourceId) {
    StartThemedMenus();
    HINSTANCE module = ::GetModuleHandleW(nullptr);
    m_themed.AttachRouted(this->Handle(),
                          ::LoadAcceleratorsW(module, MAKEINTRESOURCEW(resourceId)));
    m_themed.LoadMenuIcons(module, static_cast<int>(resourceId));
  }

  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    return m_themed.Route(this->Handle(), msg, wp, lp, [this](UINT m, WPARAM w, LPARAM l) {
      return TBase::WindowProc(m, w, l);
    });
  }

 private:
  CThemedFrameWnd m_themed;
};

}  // namespace klarex
