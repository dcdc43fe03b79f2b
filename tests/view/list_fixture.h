// A report-style list view in a top-level window, shaped like the result list
// (File Name, Type, Size, Date Modified), for the view tests.
#pragma once
#include <windows.h>
// needs windows.h first
#include <commctrl.h>

#include <string>
#include <vector>

namespace klarex::test {

class ListWindow {
 public:
  // A top-level list, or a child of `parent` (which then gets its notifications).
  explicit ListWindow(HWND parent = nullptr) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    const DWORD style = (parent ? WS_CHILD : WS_OVERLAPPEDWINDOW) | LVS_REPORT | WS_VISIBLE;
    m_list = ::CreateWindowExW(0, WC_LISTVIEWW, L"", style, 0, 0, 600, 400, parent, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
    const wchar_t* titles[] = {L"File Name", L"Type", L"Size", L"Date Modified"};
    for (int i = 0; i < 4; ++i) {
      LVCOLUMNW column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
      column.pszText = const_cast<wchar_t*>(titles[i]);
      column.cx = 120;
      column.iSubItem = i;
      ::SendMessageW(m_list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    // Painting every row change costs milliseconds under Wine; the tests read texts only.
    ::SendMessageW(m_list, WM_SETREDRAW, FALSE, 0);
  }
  ~ListWindow() {
    if (::IsWindow(m_list)) ::DestroyWindow(m_list);
  }
  ListWindow(const ListWindow&) = delete;
  ListWindow& operator=(const ListWindow&) = delete;

  HWND Handle() const { return m_list; }

  // Appends a row; returns its index.
  int Add(const std::wstring& name, const std::wstring& type = L"Text Document",
          const std::wstring& size = L"1 KB", const std::wstring& date = L"", LPARAM data = 0,
          int image = 1) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    item.iImage = image;
    item.iItem = Count();
    item.pszText = const_cast<wchar_t*>(name.c_str());
    item.lParam = data;
    int row = static_cast<int>(
        ::SendMessageW(m_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    const std::wstring* texts[] = {&type, &size, &date};
    for (int i = 0; i < 3; ++i) {
      LVITEMW sub{};
      sub.iSubItem = i + 1;
      sub.pszText = const_cast<wchar_t*>(texts[i]->c_str());
      ::SendMessageW(m_list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&sub));
    }
    return row;
  }

  int Count() const { return static_cast<int>(::SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0)); }

  std::wstring Text(int row, int column) const {
    wchar_t buffer[1024] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = 1024;
    ::SendMessageW(m_list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return buffer;
  }

  std::vector<std::wstring> Column(int column) const {
    std::vector<std::wstring> texts;
    for (int i = 0; i < Count(); ++i) texts.push_back(Text(i, column));
    return texts;
  }

  LPARAM Data(int row) const {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    ::SendMessageW(m_list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.lParam;
  }

  void Select(int row, bool on = true) const {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = on ? LVIS_SELECTED : 0;
    ::SendMessageW(m_list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&item));
  }

  int HeaderFormat(int column) const {
    HWND header = reinterpret_cast<HWND>(::SendMessageW(m_list, LVM_GETHEADER, 0, 0));
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    ::SendMessageW(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item));
    return item.fmt;
  }

 private:
  HWND m_list = nullptr;
};

// Dispatches whatever is queued for this thread.
inline void PumpMessages() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

}  // namespace klarex::test
