#include "controls/themed_button.h"

#include <string>

#include "framework/unexpected_error.h"

namespace klarex {
namespace {

constexpr int kPushButtonPart = 1;  // BP_PUSHBUTTON and TP_BUTTON alike
enum ThemeState { kNormal = 1, kHot = 2, kPressed = 3, kDisabled = 4, kDefaulted = 5 };

SIZE IconSize(HICON icon) {
  ICONINFO ii{};
  if (!icon || !::GetIconInfo(icon, &ii)) return SIZE{};
  GdiBitmap color(ii.hbmColor), mask(ii.hbmMask);
  BITMAP bm{};
  ::GetObjectW(color ? color.get() : mask.get(), sizeof(bm), &bm);
  return SIZE{bm.bmWidth, color ? bm.bmHeight : bm.bmHeight / 2};
}

void FrameColor(HDC dc, RECT rc, COLORREF topLeft, COLORREF bottomRight) {
  GdiPen light(::CreatePen(PS_SOLID, 1, topLeft)), dark(::CreatePen(PS_SOLID, 1, bottomRight));
  {
    SelectGuard sel(dc, light.get());
    ::MoveToEx(dc, rc.left, rc.bottom - 1, nullptr);
    ::LineTo(dc, rc.left, rc.top);
    ::LineTo(dc, rc.right - 1, rc.top);
  }
  SelectGuard sel(dc, dark.get());
  ::LineTo(dc, rc.right - 1, rc.bottom - 1);
  ::LineTo(dc, rc.left - 1, rc.bottom - 1);
}

}  // namespace

HICON MakeDisabledIcon(HICON icon) {
  ICONINFO ii{};
  if (!icon || !::GetIconInfo(icon, &ii)) return nullptr;
  GdiBitmap color(ii.hbmColor), mask(ii.hbmMask);
  if (!color) return nullptr;
  BITMAP bm{};
  ::GetObjectW(color.get(), sizeof(bm), &bm);
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
  } bi{};
  bi.header.biSize = sizeof(bi.header);
  bi.header.biWidth = bm.bmWidth;
  bi.header.biHeight = bm.bmHeight;
  bi.header.biPlanes = 1;
  bi.header.biBitCount = 8;
  bi.header.biCompression = BI_RGB;
  bi.header.biClrUsed = 256;
  for (int i = 0; i < 256; ++i) {
    auto level = static_cast<BYTE>(255 - i);
    bi.colors[i] = RGBQUAD{level, level, level, 0};
  }
  void* bits = nullptr;
  GdiBitmap grey(::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS,
                                    &bits, nullptr, 0));
  MemoryDc src(::CreateCompatibleDC(nullptr)), dst(::CreateCompatibleDC(nullptr));
  if (!grey || !src || !dst) return nullptr;
  {
    SelectGuard s(src.get(), color.get());
    SelectGuard d(dst.get(), grey.get());
    ::BitBlt(dst.get(), 0, 0, bm.bmWidth, bm.bmHeight, src.get(), 0, 0, SRCCOPY);
  }
  ICONINFO out{};
  out.fIcon = TRUE;
  out.hbmColor = grey.get();
  out.hbmMask = mask.get();
  return ::CreateIconIndirect(&out);
}

// ---------------------------------------------------------------- COwnerDrawButton

COwnerDrawButton::~COwnerDrawButton() { Detach(); }

bool COwnerDrawButton::Attach(HWND button) {
  Detach();
  if (!::IsWindow(button)) return false;
  m_hwnd = button;
  m_parent = ::GetParent(button);
  LONG_PTR style = ::GetWindowLongPtrW(button, GWL_STYLE);
  m_type = static_cast<UINT>(style & BS_TYPEMASK);
  m_canBeDefault = m_type == BS_DEFPUSHBUTTON || m_type == BS_PUSHBUTTON;
  m_isDefault = m_type == BS_DEFPUSHBUTTON;
  ::SetWindowSubclass(button, &ButtonProc, reinterpret_cast<UINT_PTR>(this),
                      reinterpret_cast<DWORD_PTR>(this));
  if (m_parent) {
    ::SetWindowSubclass(m_parent, &ParentProc, reinterpret_cast<UINT_PTR>(this),
                        reinterpret_cast<DWORD_PTR>(this));
  }
  ::SetWindowLongPtrW(button, GWL_STYLE,
                      (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
  ::SetWindowPos(button, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::InvalidateRect(button, nullptr, TRUE);
  return true;
}

void COwnerDrawButton::Detach() {
  if (!m_hwnd) return;
  ::RemoveWindowSubclass(m_hwnd, &ButtonProc, reinterpret_cast<UINT_PTR>(this));
  if (m_parent) ::RemoveWindowSubclass(m_parent, &ParentProc, reinterpret_cast<UINT_PTR>(this));
  m_hwnd = m_parent = nullptr;
}

void COwnerDrawButton::DrawItem(const DRAWITEMSTRUCT*) {}

LRESULT COwnerDrawButton::Default(UINT msg, WPARAM wp, LPARAM lp) {
  return ::DefSubclassProc(m_hwnd, msg, wp, lp);
}

LRESULT COwnerDrawButton::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_GETDLGCODE: {
      if (m_type == BS_GROUPBOX) return DLGC_STATIC;
      LRESULT code = Default(msg, wp, lp) & ~(DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
      if (m_type == BS_RADIOBUTTON || m_type == BS_AUTORADIOBUTTON) code |= DLGC_RADIOBUTTON;
      if (m_canBeDefault) code |= m_isDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
      return code;
    }
    case BM_SETSTYLE: {
      UINT type = static_cast<UINT>(wp & BS_TYPEMASK);
      if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
        bool was = m_isDefault;
        m_isDefault = type == BS_DEFPUSHBUTTON;
        if (was != m_isDefault) ::InvalidateRect(m_hwnd, nullptr, FALSE);
      }
      return Default(msg, (wp & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW, lp);
    }
    default:
      return Default(msg, wp, lp);
  }
}

LRESULT CALLBACK COwnerDrawButton::ButtonProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                              DWORD_PTR data) {
  auto* self = reinterpret_cast<COwnerDrawButton*>(data);
  if (msg == WM_NCDESTROY) {
    LRESULT r = ::DefSubclassProc(hwnd, msg, wp, lp);
    self->Detach();
    return r;
  }
  // Nothing may cross the window procedure.
  return Guarded<LRESULT>(0, [&] { return self->WindowProc(msg, wp, lp); });
}

LRESULT CALLBACK COwnerDrawButton::ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                              DWORD_PTR data) {
  auto* self = reinterpret_cast<COwnerDrawButton*>(data);
  if (msg == WM_DRAWITEM) {
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
    if (dis->CtlType == ODT_BUTTON && dis->hwndItem == self->m_hwnd) {
      return Guarded<LRESULT>(TRUE, [&] {
        self->DrawItem(dis);
        return TRUE;
      });
    }
  } else if (msg == WM_NCDESTROY) {
    ::RemoveWindowSubclass(hwnd, &ParentProc, reinterpret_cast<UINT_PTR>(self));
    self->m_parent = nullptr;
  }
  return ::DefSubclassProc(hwnd, msg, wp, lp);
}

// ---------------------------------------------------------------- CThemedButton

CThemedButton::~CThemedButton() {
  CloseTheme();
  Detach();
}

void CThemedButton::CloseTheme() {
  if (m_theme) m_api.CloseThemeData(m_theme);
  m_theme = nullptr;
  m_redrawTheme = true;
}

void CThemedButton::SetIcon(HICON icon, IconPosition position) {
  m_icon.reset(icon);
  m_disabledIcon.reset(MakeDisabledIcon(icon));
  m_iconSize = IconSize(icon);
  m_iconPosition = position;
  if (m_hwnd) {
    ::InvalidateRect(m_hwnd, nullptr, TRUE);
    if (HWND parent = ::GetParent(m_hwnd)) {
      RECT rc{};
      ::GetWindowRect(m_hwnd, &rc);
      ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
      ::InvalidateRect(parent, &rc, TRUE);
    }
  }
}

void CThemedButton::SetToggleState(bool on) {
  m_toggleState = on;
  if (m_hwnd) ::InvalidateRect(m_hwnd, nullptr, FALSE);
}

void CThemedButton::SetToolbarLook(bool on) {
  m_toolbarLook = on;
  CloseTheme();
  if (m_hwnd) ::InvalidateRect(m_hwnd, nullptr, TRUE);
}

void CThemedButton::SetColors(COLORREF background, COLORREF text) {
  m_background = background;
  m_textColor = text;
  if (m_hwnd) ::InvalidateRect(m_hwnd, nullptr, FALSE);
}

bool CThemedButton::PointerInside() const {
  POINT pt{};
  ::GetCursorPos(&pt);
  RECT rc{};
  ::GetWindowRect(m_hwnd, &rc);
  return ::PtInRect(&rc, pt) != FALSE;
}

void CThemedButton::SimulateButton(UINT msg) {
  RECT rc{};
  ::GetClientRect(m_hwnd, &rc);
  LPARAM centre = MAKELPARAM((rc.right - rc.left) / 2, (rc.bottom - rc.top) / 2);
  WindowProc(msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, centre);
}

LRESULT CThemedButton::OnGetDlgCode(WPARAM wp, LPARAM lp) {
  // Tab and Escape stay with the dialog; every other key comes here, so
  // that Enter presses this button rather than the default one.
  auto* m = reinterpret_cast<const MSG*>(lp);
  LRESULT code = COwnerDrawButton::WindowProc(WM_GETDLGCODE, wp, lp);
  if (m && m->message == WM_KEYDOWN && (m->wParam == VK_TAB || m->wParam == VK_ESCAPE)) return code;
  return code | DLGC_WANTALLKEYS;
}

bool CThemedButton::OnLeftButtonUp(LPARAM lp) {
  bool wasDown = m_leftDown;
  m_leftDown = false;
  if (m_doubleClickPending) {
    m_doubleClickPending = false;
    Default(BM_SETSTATE, FALSE, 0);
    ::SendMessageW(::GetParent(m_hwnd), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(m_hwnd), BN_CLICKED),
                   reinterpret_cast<LPARAM>(m_hwnd));
    return true;
  }
  if (m_toggleMode && wasDown) {
    RECT rc{};
    ::GetClientRect(m_hwnd, &rc);
    POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    if (!::PtInRect(&rc, pt)) m_toggleState = !m_toggleState;  // released outside: undo
    ::InvalidateRect(m_hwnd, nullptr, FALSE);
  }
  return false;
}

void CThemedButton::OnMouseMove() {
  if (!m_hot) {
    m_hot = true;
    ::InvalidateRect(m_hwnd, nullptr, FALSE);
    TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, m_hwnd, 0};
    ::TrackMouseEvent(&tme);
  } else if (m_toggleMode && m_leftDown) {
    ::InvalidateRect(m_hwnd, nullptr, FALSE);
  }
}

void CThemedButton::OnMouseLeave() {
  if (!m_hot) return;
  m_hot = false;
  ::InvalidateRect(m_hwnd, nullptr, FALSE);
  if (HWND parent = ::GetParent(m_hwnd)) {
    RECT rc{};
    ::GetWindowRect(m_hwnd, &rc);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
    ::InvalidateRect(parent, &rc, TRUE);
  }
}

LRESULT CThemedButton::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_GETDLGCODE:
      return OnGetDlgCode(wp, lp);
    case WM_KEYDOWN:
      if (wp == VK_SPACE || wp == VK_RETURN) {
        if (!(lp & 0x40000000)) SimulateButton(WM_LBUTTONDOWN);
        return 0;
      }
      break;
    case WM_KEYUP:
      if (wp == VK_SPACE || wp == VK_RETURN) {
        if (m_leftDown) SimulateButton(WM_LBUTTONUP);
        return 0;
      }
      break;
    case WM_CHAR:
      if (wp == L' ' || wp == L'\r') return 0;
      break;
    case WM_LBUTTONDOWN:
      m_leftDown = true;
      if (m_toggleMode) {
        m_toggleState = !m_toggleState;
        ::InvalidateRect(m_hwnd, nullptr, FALSE);
      }
      break;
    case WM_LBUTTONUP:
      if (OnLeftButtonUp(lp)) return 0;
      break;
    case WM_LBUTTONDBLCLK:
      if (m_toggleMode) {
        Default(BM_SETSTATE, m_toggleState, 0);
      } else {
        // The second click of a double-click is a click of its own.
        Default(BM_SETSTATE, TRUE, 0);
        m_doubleClickPending = true;
        m_leftDown = true;
      }
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove();
      break;
    case WM_MOUSELEAVE:
      OnMouseLeave();
      break;
    case WM_THEMECHANGED:
      CloseTheme();
      break;
    default:
      break;
  }
  return COwnerDrawButton::WindowProc(msg, wp, lp);
}

CThemedButton::Look CThemedButton::LookOf(const DRAWITEMSTRUCT* dis) {
  if (m_redrawTheme) {
    if (m_theme) m_api.CloseThemeData(m_theme);
    m_theme = m_api.OpenThemeData(m_hwnd, m_toolbarLook ? L"Toolbar" : L"Button");
    m_redrawTheme = false;
  }
  Look look;
  look.disabled = (dis->itemState & ODS_DISABLED) != 0;
  look.focused = (dis->itemState & ODS_FOCUS) != 0;
  // A toggle takes Enter and Space itself, so its focus always shows; other
  // buttons follow the window's keyboard cues, and their flat look shows none.
  look.focusRect =
      look.focused && (m_toggleMode || (!(dis->itemState & ODS_NOFOCUSRECT) && !m_toolbarLook));
  look.pressed = (dis->itemState & ODS_SELECTED) != 0;
  if (m_toggleMode) {
    look.pressed = m_toggleState;
    if (m_leftDown && !PointerInside()) look.pressed = !look.pressed;
  }
  look.themed =
      m_theme && m_api.IsAppThemed() && m_background == kNoColor && m_textColor == kNoColor;
  return look;
}

void CThemedButton::DrawBackground(HDC dc, const RECT& rc, const Look& look) {
  if (look.themed) {
    m_api.DrawThemeParentBackground(m_hwnd, dc, &rc);
    // In the "Toolbar" class state 5 means checked: a focused toggle that is off
    // must not look as if it were on.
    const bool showDefault = (look.focused || m_isDefault) && !m_toolbarLook;
    int state = look.disabled  ? kDisabled
                : look.pressed ? kPressed
                : m_hot        ? kHot
                : showDefault  ? kDefaulted
                               : kNormal;
    m_api.DrawThemeBackground(m_theme, dc, kPushButtonPart, state, &rc, nullptr);
    return;
  }
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  FillSolid(dc, rc, face);
  RECT body = rc;
  ::InflateRect(&body, -1, -1);
  if (!m_toolbarLook || m_background != kNoColor)
    FillSolid(dc, body, m_background == kNoColor ? face : m_background);
  if (m_toolbarLook && m_hot) FrameColor(dc, rc, RGB(255, 255, 255), RGB(132, 150, 173));
  RECT edge = rc;
  if ((look.focused || m_isDefault) && !(m_toggleMode && look.pressed)) {
    ::FrameRect(dc, &edge, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    ::InflateRect(&edge, -1, -1);
  }
  if (look.pressed)
    ::DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
  else if (!m_toolbarLook)
    ::DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT);
}

RECT CThemedButton::DrawIcon(HDC dc, const RECT& rc, bool withText, const Look& look) {
  RECT textArea = rc;
  if (!m_icon) return textArea;
  int w = rc.right - rc.left, h = rc.bottom - rc.top;
  int iw = m_iconSize.cx, ih = m_iconSize.cy;
  int x, y = rc.top + (h - ih) / 2;
  if (!withText) {
    x = rc.left + (w - iw) / 2;
  } else if (m_iconPosition == kIconRight) {
    x = rc.right - iw / 2 - iw;
    textArea.right = rc.right - 2 * iw;
  } else {
    x = rc.left + iw / 2;
    textArea.left = rc.left + 2 * iw;
  }
  if (look.pressed && !look.themed) ++x, ++y;
  if (look.disabled && m_disabledIcon) {
    ::DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(m_disabledIcon.get()), 0, x, y, iw,
                 ih, DST_ICON | DSS_NORMAL);
  } else {
    ::DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(m_icon.get()), 0, x, y, iw, ih,
                 DST_ICON | (look.disabled ? DSS_DISABLED : DSS_NORMAL));
  }
  return textArea;
}

void CThemedButton::DrawLabel(HDC dc, const RECT& area, const std::wstring& text,
                              const Look& look) {
  const bool multiline = (::GetWindowLongPtrW(m_hwnd, GWL_STYLE) & BS_MULTILINE) != 0;
  UINT flags = multiline ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER;
  if (!m_icon) flags |= DT_CENTER;
  RECT measured = area;
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured, flags | DT_CALCRECT);
  RECT t = area;
  if (multiline) {  // DT_VCENTER only centres single lines
    int th = measured.bottom - measured.top;
    t.top = area.top + (area.bottom - area.top - th) / 2;
    t.bottom = t.top + th;
  }
  if (look.pressed && !look.themed) ::OffsetRect(&t, 1, 1);
  if (look.themed) {
    m_api.DrawThemeText(m_theme, dc, kPushButtonPart, look.disabled ? kDisabled : kNormal,
                        text.c_str(), static_cast<int>(text.size()), flags, &t);
  } else if (look.disabled) {
    RECT etched = t;
    ::OffsetRect(&etched, 1, 1);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &etched, flags);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNSHADOW));
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t, flags);
  } else {
    ::SetTextColor(dc, m_textColor == kNoColor ? ::GetSysColor(COLOR_BTNTEXT) : m_textColor);
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t, flags);
  }
}

void CThemedButton::DrawItem(const DRAWITEMSTRUCT* dis) {
  const Look look = LookOf(dis);
  RECT rc = dis->rcItem;
  int w = rc.right - rc.left, h = rc.bottom - rc.top;
  if (w <= 0 || h <= 0) return;
  MemoryDc mem(::CreateCompatibleDC(dis->hDC));
  GdiBitmap bmp(::CreateCompatibleBitmap(dis->hDC, w, h));
  if (!mem || !bmp) return;
  SelectGuard selBmp(mem.get(), bmp.get());
  HDC dc = mem.get();
  ::SetViewportOrgEx(dc, -rc.left, -rc.top, nullptr);

  ::SetBkMode(dc, TRANSPARENT);
  HWND parent = ::GetParent(m_hwnd);
  SelectGuard selFont(
      dc, parent ? reinterpret_cast<HFONT>(::SendMessageW(parent, WM_GETFONT, 0, 0)) : nullptr);
  DrawBackground(dc, rc, look);

  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(m_hwnd)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(::GetWindowTextW(m_hwnd, text.data(), static_cast<int>(text.size()))));
  RECT textArea = DrawIcon(dc, rc, !text.empty(), look);
  if (!text.empty()) DrawLabel(dc, textArea, text, look);

  if (look.focusRect) {
    RECT f = rc;
    ::InflateRect(&f, -3, -3);
    ::DrawFocusRect(dc, &f);
  }
  ::SetViewportOrgEx(dc, 0, 0, nullptr);
  ::BitBlt(dis->hDC, rc.left, rc.top, w, h, dc, 0, 0, SRCCOPY);
}

}  // namespace klarex
