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
  // Each instance holds one reference on the process-wide loaded library.
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
};

}  // namespace klarex
