// Visual-style functions of uxtheme.dll, bound at run time so that the
// program still runs (drawing the classic way) where the library is missing.
#pragma once
// uxtheme.h needs windows.h first.
// clang-format off
#include <windows.h>
#include <uxtheme.h>
// clang-format on

namespace klarex {

class CThemeApi {
 public:
  // Each instance loads the library (the system counts the references) and
  // binds the functions for itself.
  CThemeApi();
  ~CThemeApi();
  CThemeApi(const CThemeApi&) = delete;
  CThemeApi& operator=(const CThemeApi&) = delete;

  // True only when the library and all eight functions were found.
  bool Available() const;

  HTHEME OpenThemeData(HWND hwnd, const wchar_t* classList) const;
  HRESULT CloseThemeData(HTHEME theme) const;
  HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rc,
                              const RECT* clip) const;
  HRESULT DrawThemeParentBackground(HWND hwnd, HDC dc, const RECT* rc) const;
  HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, const wchar_t* text, int len,
                        DWORD flags, const RECT* rc) const;
  HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state,
                                        const RECT* bounds, RECT* content) const;
  bool IsAppThemed() const;
  bool IsThemeActive() const;

 private:
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

  HMODULE m_library = nullptr;  // null unless all eight functions were found
  Functions m_fn;
};

}  // namespace klarex
