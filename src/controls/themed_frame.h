// Glue between a frame window and its themed menus: answers the owner-draw,
// mnemonic and pop-up messages of the frame's menu bar and system menu.
// Works by subclassing, so the frame's own window procedure needs no change;
// frames that keep the plain look simply never attach one.
#pragma once
#include <windows.h>

#include "controls/themed_menu.h"

namespace klarex {

class CThemedFrame {
 public:
  CThemedFrame() = default;
  ~CThemedFrame();
  CThemedFrame(const CThemedFrame&) = delete;
  CThemedFrame& operator=(const CThemedFrame&) = delete;

  // Themes the frame's current menu bar and system menu; `accel` is the
  // frame's default accelerator table (for the accelerator texts).
  bool Attach(HWND frame, HACCEL accel);
  void Detach();
  // Item icons from toolbar resource `toolbarId` (module, else the program's).
  void LoadMenuIcons(HMODULE module, int toolbarId);

  CThemedMenu& Menu() { return m_menu; }
  CThemedMenu& SystemMenu() { return m_systemMenu; }

 private:
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                       DWORD_PTR data);
  LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  // The frame's menu bar may have been replaced (SetMenu) since the last look.
  void FollowMenuBar();
  CThemedMenu* MenuOf(HMENU menu);
  CMenuItemRecord* RecordOf(ULONG_PTR data, CThemedMenu** owner);

  HWND m_hwnd = nullptr;
  HACCEL m_accel = nullptr;
  CMenuIconSet* m_iconSet = nullptr;
  CThemedMenu m_menu;
  CThemedMenu m_systemMenu;
};

}  // namespace klarex
