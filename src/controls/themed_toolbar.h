// The main toolbar in the flat look of the themed menus: a tinted bar, a
// dotted gripper, hot and checked buttons boxed in the selection colour, icons
// that rise over a soft shadow when hot, and pale disabled icons. The parent
// frame's NM_CUSTOMDRAW comes back here by the framework's reflection.
#pragma once
// commctrl.h needs windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "framework/gdi.h"
#include "framework/toolbar.h"

namespace klarex {

class CThemedToolBar : public CToolBar {
 public:
  CThemedToolBar() = default;

  // The framework's creation, then the flat colour scheme and room for the
  // gripper at the leading edge.
  bool Create(HWND parent, DWORD style, UINT id);

  // Loads the button images from bitmap resource `id` (module, else the program's).
  bool LoadImages(HMODULE module, int bitmapId);
  // Builds the three image lists from a strip bitmap at the toolbar's image size.
  bool SetImages(HBITMAP strip, SIZE imageSize);

  HIMAGELIST FullColorImages() const { return m_full.get(); }
  HIMAGELIST NormalImages() const { return m_normal.get(); }
  HIMAGELIST DisabledImages() const { return m_disabled.get(); }

  // NM_CUSTOMDRAW of the toolbar: the result for the draw stage.
  LRESULT OnCustomDraw(NMTBCUSTOMDRAW* cd);
  bool OnReflectedNotify(NMHDR* header, LRESULT& result) override;
  // Draws one button's background, image and text for the given state bits.
  void DrawButton(HDC dc, const RECT& rc, int command, UINT itemState);
  void EraseBackground(HDC dc, const RECT& rc) const;
  void DrawGripper(HDC dc, const RECT& bar, bool horizontal) const;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void OnNcPaint();

  ImageListHandle m_full;
  ImageListHandle m_normal;
  ImageListHandle m_disabled;
  COLORREF m_maskColor = 0xFF000000;  // top-left pixel of the bitmap
};

}  // namespace klarex
