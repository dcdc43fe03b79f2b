#include "app/test_hooks.h"

namespace klarex {

void AfterFirstFill(HWND mainWindow) {
  wchar_t value[8] = L"";
  if (::GetEnvironmentVariableW(L"KLAREX_EXIT_AFTER_FIRST_FILL", value, 8) && value[0] == L'1')
    ::PostMessageW(mainWindow, WM_CLOSE, 0, 0);
}

}  // namespace klarex
