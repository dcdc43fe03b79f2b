// RAII owners for GDI and USER drawing objects, plus scoped selection and DC
// state. Non-copyable, movable; `get()` borrows, `release()` gives ownership up.
#pragma once
// commctrl.h needs windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <utility>

#include "sys/handles.h"

namespace klarex {

// Brushes, pens, fonts, bitmaps and regions all go through DeleteObject.
template <typename T>
struct GdiObjectTraits {
  using handle_type = T;
  static handle_type invalid() { return nullptr; }
  static bool valid(handle_type h) { return h != nullptr; }
  static void close(handle_type h) { ::DeleteObject(h); }
};
struct MemoryDcTraits {  // CreateCompatibleDC / CreateDC
  using handle_type = HDC;
  static handle_type invalid() { return nullptr; }
  static bool valid(handle_type h) { return h != nullptr; }
  static void close(handle_type h) { ::DeleteDC(h); }
};
struct IconTraits {  // CreateIconIndirect, ImageList_GetIcon, LoadImage without LR_SHARED
  using handle_type = HICON;
  static handle_type invalid() { return nullptr; }
  static bool valid(handle_type h) { return h != nullptr; }
  static void close(handle_type h) { ::DestroyIcon(h); }
};
struct CursorTraits {  // CreateCursor, LoadImage(IMAGE_CURSOR) without LR_SHARED
  using handle_type = HCURSOR;
  static handle_type invalid() { return nullptr; }
  static bool valid(handle_type h) { return h != nullptr; }
  static void close(handle_type h) { ::DestroyCursor(h); }
};
struct ImageListTraits {
  using handle_type = HIMAGELIST;
  static handle_type invalid() { return nullptr; }
  static bool valid(handle_type h) { return h != nullptr; }
  static void close(handle_type h) { ::ImageList_Destroy(h); }
};
struct MenuTraits {  // only for menus not attached to a window
  using handle_type = HMENU;
  static handle_type invalid() { return nullptr; }
  static bool valid(handle_type h) { return h != nullptr; }
  static void close(handle_type h) { ::DestroyMenu(h); }
};

using GdiBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using GdiPen = UniqueHandle<GdiObjectTraits<HPEN>>;
using GdiFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using GdiBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using GdiRegion = UniqueHandle<GdiObjectTraits<HRGN>>;
using MemoryDc = UniqueHandle<MemoryDcTraits>;
using IconHandle = UniqueHandle<IconTraits>;
using CursorHandle = UniqueHandle<CursorTraits>;
using ImageListHandle = UniqueHandle<ImageListTraits>;
using MenuHandle = UniqueHandle<MenuTraits>;

// GetDC/ReleaseDC pair. hwnd may be null for the screen DC.
class WindowDc {
 public:
  explicit WindowDc(HWND hwnd) : m_hwnd(hwnd), m_dc(::GetDC(hwnd)) {}
  ~WindowDc() {
    if (m_dc) ::ReleaseDC(m_hwnd, m_dc);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return m_dc; }
  operator HDC() const { return m_dc; }  // NOLINT: passes straight into GDI calls

 private:
  HWND m_hwnd;
  HDC m_dc;
};

// BeginPaint/EndPaint pair for WM_PAINT.
class PaintDc {
 public:
  explicit PaintDc(HWND hwnd) : m_hwnd(hwnd) { m_dc = ::BeginPaint(hwnd, &m_ps); }
  ~PaintDc() { ::EndPaint(m_hwnd, &m_ps); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC get() const { return m_dc; }
  operator HDC() const { return m_dc; }  // NOLINT: passes straight into GDI calls
  const PAINTSTRUCT& ps() const { return m_ps; }

 private:
  HWND m_hwnd;
  PAINTSTRUCT m_ps{};
  HDC m_dc = nullptr;
};

// Selects an object into a DC and puts the previous one back on scope exit.
// The selected object must outlive this guard.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ obj) : m_dc(dc), m_old(obj ? ::SelectObject(dc, obj) : nullptr) {}
  ~SelectGuard() {
    if (m_old) ::SelectObject(m_dc, m_old);
  }
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;

 private:
  HDC m_dc;
  HGDIOBJ m_old;
};

// SaveDC/RestoreDC: colours, modes, clip region, selected objects.
class DcStateGuard {
 public:
  explicit DcStateGuard(HDC dc) : m_dc(dc), m_state(::SaveDC(dc)) {}
  ~DcStateGuard() {
    if (m_state) ::RestoreDC(m_dc, m_state);
  }
  DcStateGuard(const DcStateGuard&) = delete;
  DcStateGuard& operator=(const DcStateGuard&) = delete;

 private:
  HDC m_dc;
  int m_state;
};

// Header of a 32-bit top-down DIB (rows from the top, BGRA pixels).
inline BITMAPINFO TopDownDib32Info(int width, int height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  return bi;
}

// A memory DC with a 32-bit top-down DIB section selected into it; `bits()`
// gives direct pixel access (BGRA order, row by row). Used for off-screen
// drawing and by tests that read back pixels.
class DibSurface {
 public:
  DibSurface(int width, int height) : m_width(width), m_height(height) {
    BITMAPINFO bi = TopDownDib32Info(width, height);
    void* bits = nullptr;
    m_bitmap.reset(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    m_bits = static_cast<DWORD*>(bits);
    m_dc.reset(::CreateCompatibleDC(nullptr));
    if (m_dc && m_bitmap) m_old = ::SelectObject(m_dc.get(), m_bitmap.get());
  }
  ~DibSurface() {
    if (m_old) ::SelectObject(m_dc.get(), m_old);
  }
  DibSurface(const DibSurface&) = delete;
  DibSurface& operator=(const DibSurface&) = delete;

  explicit operator bool() const { return m_bits != nullptr && m_dc; }
  HDC dc() const { return m_dc.get(); }
  HBITMAP bitmap() const { return m_bitmap.get(); }
  int width() const { return m_width; }
  int height() const { return m_height; }
  DWORD* bits() const { return m_bits; }
  // The pixel as a COLORREF (alpha dropped). Flushes pending GDI drawing first.
  COLORREF Pixel(int x, int y) const {
    ::GdiFlush();
    DWORD v = m_bits[static_cast<size_t>(y) * m_width + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }

 private:
  int m_width;
  int m_height;
  GdiBitmap m_bitmap;
  MemoryDc m_dc;
  DWORD* m_bits = nullptr;
  HGDIOBJ m_old = nullptr;
};

}  // namespace klarex
