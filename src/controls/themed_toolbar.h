// The main toolbar in the flat look of the themed menus: a tinted bar, a
// dotted gripper, hot and checked buttons boxed in the selection colour, icons
// that rise over a soft shadow when hot, and pale disabled icons. Attaches to
// an existing toolbar control; the parent's NM_CUSTOMDRAW is caught by
// subclassing the parent too.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "framework/gdi.h"

namespace klarex {

class CThemedToolBar {
 public:
  CThemedToolBar() = default;
  ~CThemedToolBar();
  CThemedToolBar(const CThemedToolBar&) = delete;
  CThemedToolBar& operator=(const CThemedToolBar&) = delete;

  // Takes over the drawing of `toolbar` and sets its colour scheme.
  bool Attach(HWND toolbar);
  void Detach();
  HWND Handle() const { return m_hwnd; }

  // Loads the button images from bitmap resource `id` (module, else the program's).
  bool LoadImages(HMODULE module, int bitmapId);
  // Builds the three image lists from a strip bitmap at the toolbar's image size.
  bool SetImages(HBITMAP strip, SIZE imageSize);
  // Draws the dotted gripper when the bar has a non-client band for it.
  void SetGripper(bool on) { m_gripper = on; }

  HIMAGELIST FullColorImages() const { return m_full.get(); }
  HIMAGELIST NormalImages() const { return m_normal.get(); }
  HIMAGELIST DisabledImages() const { return m_disabled.get(); }

  // NM_CUSTOMDRAW of the toolbar: the result for the draw stage.
  LRESULT OnCustomDraw(NMTBCUSTOMDRAW* cd);
  // Draws one button's background, image and text for the given state bits.
  void DrawButton(HDC dc, const RECT& rc, int command, UINT itemState);
  void EraseBackground(HDC dc, const RECT& rc) const;
  void DrawGripper(HDC dc, const RECT& bar, bool horizontal) const;

 private:
  static LRESULT CALLBACK ToolbarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                      DWORD_PTR data);
  static LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                     DWORD_PTR data);
  void OnNcPaint();

  HWND m_hwnd = nullptr;
  HWND m_parent = nullptr;
  ImageListHandle m_full;
  ImageListHandle m_normal;
  ImageListHandle m_disabled;
  COLORREF m_maskColor = 0xFF000000;  // top-left pixel of the bitmap
  bool m_gripper = false;
};

}  // namespace klarex
