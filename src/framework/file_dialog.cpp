#include "framework/file_dialog.h"

#include <commdlg.h>

#include <vector>

namespace klarex {

std::wstring ToFilterBuffer(const std::wstring& filter) {
  std::wstring buffer = filter;
  for (wchar_t& c : buffer)
    if (c == L'|') c = L'\0';
  buffer.push_back(L'\0');
  return buffer;
}

std::wstring ShowOpenFileDialog(const OpenFileRequest& request) {
  std::wstring filter = ToFilterBuffer(request.filter);
  std::vector<wchar_t> file(MAX_PATH * 4, L'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = request.owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
  ofn.lpstrInitialDir = request.initialFolder.empty() ? nullptr : request.initialFolder.c_str();
  ofn.Flags =
      OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_NOCHANGEDIR;
  if (!::GetOpenFileNameW(&ofn)) return {};
  return file.data();
}

}  // namespace klarex
