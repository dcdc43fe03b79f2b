#include "framework/toolbar.h"

#include <commctrl.h>

#include <cstring>

namespace klarex {

bool ParseToolbarTemplate(const void* data, size_t size, ToolbarTemplate& out) {
  if (!data || size < 4 * sizeof(WORD)) return false;
  const auto* words = static_cast<const WORD*>(data);
  if (words[0] != 1) return false;
  size_t count = words[3];
  if (size < (4 + count) * sizeof(WORD) || words[1] == 0 || words[2] == 0) return false;
  out.width = words[1];
  out.height = words[2];
  out.ids.assign(words + 4, words + 4 + count);
  return true;
}

bool LoadToolbarTemplate(HMODULE module, UINT id, ToolbarTemplate& out) {
  HRSRC res = ::FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(kToolbarResourceType));
  if (!res) return false;
  HGLOBAL block = ::LoadResource(module, res);
  return block && ParseToolbarTemplate(::LockResource(block), ::SizeofResource(module, res), out);
}

bool CToolBar::Create(HWND parent, DWORD style, UINT id) {
  HWND hwnd = ::CreateWindowExW(
      0, TOOLBARCLASSNAMEW, nullptr, style | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP, 0, 0, 0, 0,
      parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), ModuleInstance(), nullptr);
  if (!hwnd || !Subclass(hwnd)) return false;
  Send(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
  return true;
}

bool CToolBar::LoadToolBar(UINT id) {
  ToolbarTemplate parsed;
  if (!LoadToolbarTemplate(ModuleInstance(), id, parsed)) return false;
  GdiBitmap bitmap(static_cast<HBITMAP>(::LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(id),
                                                     IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!bitmap) return false;
  // The mask colour is the bitmap's top-left pixel.
  COLORREF mask = RGB(255, 0, 255);
  {
    MemoryDc dc(::CreateCompatibleDC(nullptr));
    HGDIOBJ old = ::SelectObject(dc.get(), bitmap.get());
    mask = ::GetPixel(dc.get(), 0, 0);
    ::SelectObject(dc.get(), old);
  }
  m_images.reset(::ImageList_Create(parsed.width, parsed.height, ILC_COLOR24 | ILC_MASK, 8, 4));
  if (!m_images) return false;
  ::ImageList_AddMasked(m_images.get(), bitmap.get(), mask);
  Send(TB_SETBITMAPSIZE, 0, MAKELPARAM(parsed.width, parsed.height));
  Send(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_images.get()));
  std::vector<TBBUTTON> buttons;
  int image = 0;
  for (UINT cmd : parsed.ids) {
    TBBUTTON b{};
    if (cmd == 0) {
      b.fsStyle = BTNS_SEP;
    } else {
      b.iBitmap = image++;
      b.idCommand = static_cast<int>(cmd);
      b.fsState = TBSTATE_ENABLED;
      b.fsStyle = BTNS_BUTTON;
    }
    b.iString = -1;
    buttons.push_back(b);
  }
  Send(TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  Send(TB_AUTOSIZE);
  m_template = std::move(parsed);
  return true;
}

void CToolBar::SetButtonState(UINT id, bool enabled, bool checked) {
  LRESULT state = Send(TB_GETSTATE, id);
  if (state == -1) return;
  BYTE wanted = static_cast<BYTE>(state);
  wanted = enabled ? (wanted | TBSTATE_ENABLED) : (wanted & ~TBSTATE_ENABLED);
  wanted = checked ? (wanted | TBSTATE_CHECKED) : (wanted & ~TBSTATE_CHECKED);
  if (wanted != static_cast<BYTE>(state)) Send(TB_SETSTATE, id, MAKELPARAM(wanted, 0));
}

int CToolBar::Height() const {
  RECT r = WindowRect();
  return r.bottom - r.top;
}

}  // namespace klarex
