#include "controls/theme_api.h"

namespace klarex {
namespace {

struct Functions {
  decltype(&::CloseThemeData) closeThemeData = nullptr;
  decltype(&::DrawThemeBackground) drawThemeBackground = nullptr;
  decltype(&::DrawThemeParentBackground) drawThemeParentBackground = nullptr;
  decltype(&::DrawThemeText) drawThemeText = nullptr;
  decltype(&::GetThemeBackgroundContentRect) getThemeBackgroundContentRect = nullptr;
  decltype(&::IsAppThemed) isAppThemed = nullptr;
  decltype(&::IsThemeActive) isThemeActive = nullptr;
  decltype(&::OpenThemeData) openThemeData = nullptr;
};

// UI thread only, like every themed control.
HMODULE g_library = nullptr;
int g_refs = 0;
bool g_available = false;
Functions g_fn;

template <typename T>
bool Bind(T& slot, const char* name) {
  slot = reinterpret_cast<T>(reinterpret_cast<void*>(::GetProcAddress(g_library, name)));
  return slot != nullptr;
}

}  // namespace

CThemeApi::CThemeApi() {
  if (g_refs++ > 0) return;
  g_library = ::LoadLibraryW(L"UXTHEME.DLL");
  if (!g_library) return;
  bool all = Bind(g_fn.closeThemeData, "CloseThemeData");
  all = Bind(g_fn.drawThemeBackground, "DrawThemeBackground") && all;
  all = Bind(g_fn.drawThemeParentBackground, "DrawThemeParentBackground") && all;
  all = Bind(g_fn.drawThemeText, "DrawThemeText") && all;
  all = Bind(g_fn.getThemeBackgroundContentRect, "GetThemeBackgroundContentRect") && all;
  all = Bind(g_fn.isAppThemed, "IsAppThemed") && all;
  all = Bind(g_fn.isThemeActive, "IsThemeActive") && all;
  all = Bind(g_fn.openThemeData, "OpenThemeData") && all;
  if (!all) {
    ::FreeLibrary(g_library);
    g_library = nullptr;
    g_fn = Functions{};
  }
  g_available = all;
}

CThemeApi::~CThemeApi() {
  if (--g_refs > 0) return;
  if (g_library) ::FreeLibrary(g_library);
  g_library = nullptr;
  g_available = false;
  g_fn = Functions{};
}

bool CThemeApi::Available() const { return g_available; }

HTHEME CThemeApi::OpenThemeData(HWND hwnd, const wchar_t* classList) const {
  return g_available ? g_fn.openThemeData(hwnd, classList) : nullptr;
}
HRESULT CThemeApi::CloseThemeData(HTHEME theme) const {
  return g_available && theme ? g_fn.closeThemeData(theme) : E_FAIL;
}
HRESULT CThemeApi::DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rc,
                                       const RECT* clip) const {
  return g_available ? g_fn.drawThemeBackground(theme, dc, part, state, rc, clip) : E_FAIL;
}
HRESULT CThemeApi::DrawThemeParentBackground(HWND hwnd, HDC dc, const RECT* rc) const {
  return g_available ? g_fn.drawThemeParentBackground(hwnd, dc, const_cast<RECT*>(rc)) : E_FAIL;
}
HRESULT CThemeApi::DrawThemeText(HTHEME theme, HDC dc, int part, int state, const wchar_t* text,
                                 int len, DWORD flags, const RECT* rc) const {
  return g_available ? g_fn.drawThemeText(theme, dc, part, state, text, len, flags, 0, rc) : E_FAIL;
}
HRESULT CThemeApi::GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state,
                                                 const RECT* bounds, RECT* content) const {
  return g_available ? g_fn.getThemeBackgroundContentRect(theme, dc, part, state, bounds, content)
                     : E_FAIL;
}
bool CThemeApi::IsAppThemed() const { return g_available && g_fn.isAppThemed(); }
bool CThemeApi::IsThemeActive() const { return g_available && g_fn.isThemeActive(); }

}  // namespace klarex
