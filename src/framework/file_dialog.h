// The common file-open dialog.
#pragma once
#include <windows.h>

#include <string>

namespace klarex {

struct OpenFileRequest {
  HWND owner = nullptr;
  std::wstring filter;  // pairs separated by '|', as in "*.lng (Files) |*.lng||"
  std::wstring title;
  std::wstring initialFolder;  // empty: the dialog's own default
};

// The chosen existing file's full path, or empty when cancelled. The
// read-only box is hidden.
std::wstring ShowOpenFileDialog(const OpenFileRequest& request);

// "a|b||" → "a\0b\0\0" as GetOpenFileNameW expects.
std::wstring ToFilterBuffer(const std::wstring& filter);

}  // namespace klarex
