#include "controls/theme_api.h"

namespace klarex {
namespace {

template <typename T>
bool Bind(HMODULE library, T& slot, const char* name) {
  slot = reinterpret_cast<T>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
  return slot != nullptr;
}

}  // namespace

CThemeApi::CThemeApi() {
  HMODULE library = ::LoadLibraryW(L"UXTHEME.DLL");
  if (!library) return;
  bool all = Bind(library, m_fn.closeThemeData, "CloseThemeData");
  all = Bind(library, m_fn.drawThemeBackground, "DrawThemeBackground") && all;
  all = Bind(library, m_fn.drawThemeParentBackground, "DrawThemeParentBackground") && all;
  all = Bind(library, m_fn.drawThemeText, "DrawThemeText") && all;
  all = Bind(library, m_fn.getThemeBackgroundContentRect, "GetThemeBackgroundContentRect") && all;
  all = Bind(library, m_fn.isAppThemed, "IsAppThemed") && all;
  all = Bind(library, m_fn.isThemeActive, "IsThemeActive") && all;
  all = Bind(library, m_fn.openThemeData, "OpenThemeData") && all;
  if (!all) {
    ::FreeLibrary(library);
    m_fn = Functions{};
    return;
  }
  m_library = library;
}

CThemeApi::~CThemeApi() {
  if (m_library) ::FreeLibrary(m_library);
}

bool CThemeApi::Available() const { return m_library != nullptr; }

HTHEME CThemeApi::OpenThemeData(HWND hwnd, const wchar_t* classList) const {
  return Available() ? m_fn.openThemeData(hwnd, classList) : nullptr;
}
HRESULT CThemeApi::CloseThemeData(HTHEME theme) const {
  return Available() && theme ? m_fn.closeThemeData(theme) : E_FAIL;
}
HRESULT CThemeApi::DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rc,
                                       const RECT* clip) const {
  return Available() ? m_fn.drawThemeBackground(theme, dc, part, state, rc, clip) : E_FAIL;
}
HRESULT CThemeApi::DrawThemeParentBackground(HWND hwnd, HDC dc, const RECT* rc) const {
  return Available() ? m_fn.drawThemeParentBackground(hwnd, dc, const_cast<RECT*>(rc)) : E_FAIL;
}
HRESULT CThemeApi::DrawThemeText(HTHEME theme, HDC dc, int part, int state, const wchar_t* text,
                                 int len, DWORD flags, const RECT* rc) const {
  return Available() ? m_fn.drawThemeText(theme, dc, part, state, text, len, flags, 0, rc) : E_FAIL;
}
HRESULT CThemeApi::GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state,
                                                 const RECT* bounds, RECT* content) const {
  return Available() ? m_fn.getThemeBackgroundContentRect(theme, dc, part, state, bounds, content)
                     : E_FAIL;
}
bool CThemeApi::IsAppThemed() const { return Available() && m_fn.isAppThemed(); }
bool CThemeApi::IsThemeActive() const { return Available() && m_fn.isThemeActive(); }

}  // namespace klarex
