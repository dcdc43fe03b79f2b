#include "controls/menu_icons.h"

#include <algorithm>

#include "controls/colors.h"
#include "framework/toolbar.h"

namespace klarex {
namespace {

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

}  // namespace

CMenuIconSet::CMenuIconSet(HMODULE module, int resourceId)
    : m_module(module), m_resourceId(resourceId) {}

void CMenuIconSet::Reload() {
  DWORD now = ::GetTickCount();
  if (m_reloaded && now - m_reloadedAt < 2000) return;
  m_reloaded = true;
  m_reloadedAt = now;
  Load();
}

bool CMenuIconSet::Load() {
  // A null module is the program, for the bitmap too (LoadImage would take
  // null for the system's own images).
  HMODULE module = m_module ? m_module : ::GetModuleHandleW(nullptr);
  ToolbarTemplate toolbar;
  if (!LoadToolbarTemplate(module, static_cast<UINT>(m_resourceId), toolbar)) {
    module = ::GetModuleHandleW(nullptr);
    if (!LoadToolbarTemplate(module, static_cast<UINT>(m_resourceId), toolbar)) return false;
  }
  std::vector<WORD> ids;
  for (UINT id : toolbar.ids) {
    if (id) ids.push_back(static_cast<WORD>(id));
  }
  GdiBitmap strip(static_cast<HBITMAP>(::LoadImageW(module, MAKEINTRESOURCEW(m_resourceId),
                                                    IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!strip) return false;
  return LoadFromBitmap(strip.get(), toolbar.width, toolbar.height, ids);
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

}  // namespace klarex
