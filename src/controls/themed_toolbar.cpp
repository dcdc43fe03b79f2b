#include "controls/themed_toolbar.h"

#include <string>

#include "controls/colors.h"

namespace klarex {
namespace {

constexpr int kDropDownArrow = 13;
constexpr int kGripperSpace = 10;  // the strokes run from x = 4 to 7

ImageListHandle MaskedList(HBITMAP strip, SIZE size, COLORREF mask) {
  BITMAP bm{};
  ::GetObjectW(strip, sizeof(bm), &bm);
  int count = size.cx > 0 ? bm.bmWidth / size.cx : 0;
  ImageListHandle list(::ImageList_Create(size.cx, size.cy, ILC_COLOR24 | ILC_MASK, count, 10));
  if (list && count > 0) ::ImageList_AddMasked(list.get(), strip, mask);
  return list;
}

}  // namespace

bool CThemedToolBar::Create(HWND parent, DWORD style, UINT id) {
  if (!CToolBar::Create(parent, style, id)) return false;
  ColorEnv env = ColorEnv::Current();
  COLORSCHEME scheme{};
  scheme.dwSize = sizeof(scheme);
  scheme.clrBtnHighlight = CLR_DEFAULT;
  scheme.clrBtnShadow = BluishDark(FaceColor(env));
  Send(CCM_SETCOLORSCHEME, 0, reinterpret_cast<LPARAM>(&scheme));
  Send(TB_SETINDENT, kGripperSpace);
  return true;
}

bool CThemedToolBar::LoadImages(HMODULE module, int bitmapId) {
  auto load = [bitmapId](HMODULE m) {
    return static_cast<HBITMAP>(
        ::LoadImageW(m, MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  };
  GdiBitmap strip(load(module));
  if (!strip) strip.reset(load(::GetModuleHandleW(nullptr)));
  if (!strip) return false;  // the bar stays without images
  SIZE size{16, 16};
  if (HIMAGELIST current =
          m_hwnd ? reinterpret_cast<HIMAGELIST>(::SendMessageW(m_hwnd, TB_GETIMAGELIST, 0, 0))
                 : nullptr) {
    int cx = 0, cy = 0;
    if (::ImageList_GetIconSize(current, &cx, &cy)) size = SIZE{cx, cy};
  } else {
    BITMAP bm{};
    ::GetObjectW(strip.get(), sizeof(bm), &bm);
    size = SIZE{bm.bmHeight, bm.bmHeight};
  }
  return SetImages(strip.get(), size);
}

bool CThemedToolBar::SetImages(HBITMAP strip, SIZE imageSize) {
  COLORREF mask = m_maskColor == 0xFF000000 ? TopLeftPixel(strip) : m_maskColor;
  ImageListHandle full = MaskedList(strip, imageSize, mask);
  GdiBitmap darker(TransformedBitmap(
      strip, mask, [](COLORREF c, COLORREF) { return DarkerPixel(c); }, 0));
  GdiBitmap pale(TransformedBitmap(strip, mask, &DisabledPixel, DisabledTint(ColorEnv::Current())));
  if (!full || !darker || !pale) return false;
  m_full = std::move(full);
  m_normal = MaskedList(darker.get(), imageSize, mask);
  m_disabled = MaskedList(pale.get(), imageSize, mask);
  if (m_hwnd) {
    ::SendMessageW(m_hwnd, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_normal.get()));
    ::SendMessageW(m_hwnd, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(m_full.get()));
    ::SendMessageW(m_hwnd, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(m_disabled.get()));
    ::InvalidateRect(m_hwnd, nullptr, TRUE);
  }
  return true;
}

void CThemedToolBar::EraseBackground(HDC dc, const RECT& rc) const {
  ColorEnv env = ColorEnv::Current();
  FillSolid(dc, rc, Mix86_14(FaceColor(env), env.Sys(COLOR_WINDOW)));
}

void CThemedToolBar::DrawGripper(HDC dc, const RECT& bar, bool horizontal) const {
  ColorEnv env = ColorEnv::Current();
  GdiPen pen(::CreatePen(PS_SOLID, 1, BluishDark(FaceColor(env))));
  SelectGuard sel(dc, pen.get());
  if (horizontal) {
    for (int y = bar.top + 4; y < bar.bottom - 8; y += 2) {
      ::MoveToEx(dc, bar.left + 4, y, nullptr);
      ::LineTo(dc, bar.left + 7, y);
    }
  } else {
    for (int x = bar.left + 4; x < bar.right - 8; x += 2) {
      ::MoveToEx(dc, x, bar.top + 4, nullptr);
      ::LineTo(dc, x, bar.top + 7);
    }
  }
}

void CThemedToolBar::DrawButton(HDC dc, const RECT& rc, int command, UINT itemState) {
  ColorEnv env = ColorEnv::Current();
  const COLORREF selection = SelectionColor(env);
  TBBUTTONINFOW info{};
  info.cbSize = sizeof(info);
  info.dwMask = TBIF_IMAGE | TBIF_STYLE;
  bool known = m_hwnd && ::SendMessageW(m_hwnd, TB_GETBUTTONINFOW, static_cast<WPARAM>(command),
                                        reinterpret_cast<LPARAM>(&info)) >= 0;
  if (!known) info.iImage = -1;
  const bool dropDown = known && (info.fsStyle & (BTNS_DROPDOWN | BTNS_WHOLEDROPDOWN));

  if (itemState & CDIS_INDETERMINATE) {
    COLORREF bar = MenuBarColor(env);
    FillSolid(dc, rc, Mix86_14(bar, env.Sys(COLOR_WINDOW)));
    FrameSolid(dc, rc, env.highContrast ? env.Sys(COLOR_BTNTEXT) : Darken(128, bar));
  } else if (itemState & (CDIS_HOT | CDIS_CHECKED)) {
    FillSolid(dc, rc, selection);
    if (dropDown) {
      RECT body = rc, arrow = rc;
      body.right -= kDropDownArrow;
      arrow.left = body.right - 1;
      FrameSolid(dc, body, env.Sys(COLOR_HIGHLIGHT));
      FrameSolid(dc, arrow, env.Sys(COLOR_HIGHLIGHT));
    } else {
      FrameSolid(dc, rc, env.Sys(COLOR_HIGHLIGHT));
    }
  }

  std::wstring text;
  if (m_hwnd) {
    LRESULT len = ::SendMessageW(m_hwnd, TB_GETBUTTONTEXTW, static_cast<WPARAM>(command), 0);
    if (len > 0) {
      text.resize(static_cast<size_t>(len) + 1);
      ::SendMessageW(m_hwnd, TB_GETBUTTONTEXTW, static_cast<WPARAM>(command),
                     reinterpret_cast<LPARAM>(text.data()));
      text.resize(static_cast<size_t>(len));
    }
  }

  HIMAGELIST images = (itemState & CDIS_DISABLED) ? m_disabled.get()
                      : (itemState & CDIS_HOT)    ? m_full.get()
                                                  : m_normal.get();
  int cx = 0, cy = 0;
  if (images && info.iImage >= 0 && ::ImageList_GetIconSize(images, &cx, &cy)) {
    bool list = (::GetWindowLongPtrW(m_hwnd, GWL_STYLE) & TBSTYLE_LIST) != 0;
    int x = (rc.left + rc.right - cx) / 2 - (dropDown ? 7 : 0);
    int y = (rc.top + rc.bottom - cy) / 2;
    if (!text.empty()) {
      if (list)
        x = rc.left + 3;
      else
        y = rc.top + 4;
    }
    if ((itemState & CDIS_HOT) && !(itemState & CDIS_SELECTED))
      DrawRaisedImage(dc, images, info.iImage, x, y, BluishDark(selection));
    else
      ::ImageList_Draw(images, info.iImage, dc, x, y, ILD_TRANSPARENT);
  }
  if (!text.empty()) {
    RECT t = rc;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, env.Sys((itemState & CDIS_DISABLED) ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(m_hwnd, WM_GETFONT, 0, 0));
    SelectGuard sel(dc, font);
    bool list = (::GetWindowLongPtrW(m_hwnd, GWL_STYLE) & TBSTYLE_LIST) != 0;
    if (list)
      t.left += cx + 6;
    else
      t.top += cy + 4;
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t,
                DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  }
}

LRESULT CThemedToolBar::OnCustomDraw(NMTBCUSTOMDRAW* cd) {
  switch (cd->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT | CDRF_SKIPDEFAULT;
    case CDDS_POSTPAINT:
    case CDDS_ITEMPOSTPAINT:
      return CDRF_NOTIFYITEMDRAW | CDRF_SKIPDEFAULT;
    case CDDS_ITEMPREPAINT:
      DrawButton(cd->nmcd.hdc, cd->nmcd.rc, static_cast<int>(cd->nmcd.dwItemSpec),
                 cd->nmcd.uItemState);
      return CDRF_SKIPDEFAULT;
    default:
      return CDRF_DODEFAULT;
  }
}

void CThemedToolBar::OnNcPaint() {
  RECT wr{}, cr{};
  ::GetWindowRect(m_hwnd, &wr);
  ::GetClientRect(m_hwnd, &cr);
  ::MapWindowPoints(m_hwnd, nullptr, reinterpret_cast<POINT*>(&cr), 2);
  if (::EqualRect(&wr, &cr)) return;  // no non-client band to paint
  HDC dc = ::GetWindowDC(m_hwnd);
  if (!dc) return;
  ::OffsetRect(&cr, -wr.left, -wr.top);
  ::ExcludeClipRect(dc, cr.left, cr.top, cr.right, cr.bottom);
  RECT whole{0, 0, wr.right - wr.left, wr.bottom - wr.top};
  EraseBackground(dc, whole);
  ::ReleaseDC(m_hwnd, dc);
}

bool CThemedToolBar::OnReflectedNotify(NMHDR* header, LRESULT& result) {
  if (header->code != NM_CUSTOMDRAW) return false;
  result = OnCustomDraw(reinterpret_cast<NMTBCUSTOMDRAW*>(header));
  return true;
}

LRESULT CThemedToolBar::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT rc = ClientRect();
      EraseBackground(reinterpret_cast<HDC>(wp), rc);
      DrawGripper(reinterpret_cast<HDC>(wp), rc, !(Style() & CCS_VERT));
      return 1;
    }
    case WM_NCPAINT:
      OnNcPaint();
      return 0;
    default:
      return CToolBar::WindowProc(msg, wp, lp);
  }
}

}  // namespace klarex
