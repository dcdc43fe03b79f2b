#include "frame/kept_items_dlg.h"

#include <algorithm>
#include <string>
#include <vector>

#include "../res/ids_dialogs.h"
#include "framework/gdi.h"
#include "framework/language.h"

namespace klarex {

CKeptItemsDlg::CKeptItemsDlg(HWND parent, CKeepList& keep, const wchar_t* keyPath)
    : CDialog(IDD_KEPT_ITEMS, parent), m_keep(keep), m_keyPath(keyPath) {}

BOOL CKeptItemsDlg::OnInitDialog() {
  ApplyLanguage();
  Fill();
  return TRUE;
}

void CKeptItemsDlg::ApplyLanguage() {
  SetText(GetLangString(L"KeptItems", L"1", L"Kept Items"));
  auto set = [this](int id, const wchar_t* key, const wchar_t* english) {
    ::SetDlgItemTextW(m_hwnd, id, GetLangString(L"KeptItems", key, english).c_str());
  };
  set(IDC_KEPT_REMOVE, L"3", L"&Remove");
  set(IDCANCEL, L"4", L"Close");
  // The label has no id of its own: the first static control.
  HWND label = ::FindWindowExW(m_hwnd, nullptr, L"Static", nullptr);
  if (label) {
    const std::wstring text =
        GetLangString(L"KeptItems", L"2", L"These are never listed, nor anything beneath them:");
    ::SetWindowTextW(label, text.c_str());
  }
}

void CKeptItemsDlg::Fill() {
  HWND list = ::GetDlgItem(m_hwnd, IDC_KEPT_LIST);
  ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
  int widest = 0;
  WindowDc dc(list);
  SelectGuard font(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(list, WM_GETFONT, 0, 0)));
  for (const std::wstring& path : m_keep.Paths()) {
    ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path.c_str()));
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, path.c_str(), static_cast<int>(path.size()), &extent);
    widest = std::max(widest, static_cast<int>(extent.cx));
  }
  // Long paths can be scrolled to.
  ::SendMessageW(list, LB_SETHORIZONTALEXTENT, widest + 8, 0);
  UpdateRemove();
}

void CKeptItemsDlg::UpdateRemove() {
  HWND list = ::GetDlgItem(m_hwnd, IDC_KEPT_LIST);
  ::EnableWindow(::GetDlgItem(m_hwnd, IDC_KEPT_REMOVE),
                 ::SendMessageW(list, LB_GETSELCOUNT, 0, 0) > 0);
}

void CKeptItemsDlg::OnRemove() {
  HWND list = ::GetDlgItem(m_hwnd, IDC_KEPT_LIST);
  const auto count = static_cast<int>(::SendMessageW(list, LB_GETSELCOUNT, 0, 0));
  if (count <= 0) return;
  std::vector<int> chosen(count);
  ::SendMessageW(list, LB_GETSELITEMS, count, reinterpret_cast<LPARAM>(chosen.data()));
  // The rows show Paths() in order: the chosen ones by index, read first.
  std::vector<std::wstring> gone;
  for (int index : chosen) {
    if (index >= 0 && static_cast<size_t>(index) < m_keep.Paths().size())
      gone.push_back(m_keep.Paths()[index]);
  }
  for (const std::wstring& path : gone) m_keep.Remove(path);
  SaveKeepList(m_keep, HKEY_CURRENT_USER, m_keyPath);
  Fill();
  // Remove is disabled now that nothing is chosen: the focus goes to the
  // list, so that the keys (Esc among them) still reach the dialog.
  ::SendMessageW(m_hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
}

bool CKeptItemsDlg::OnMessage(UINT msg, WPARAM wp, LPARAM, INT_PTR& result) {
  if (msg != WM_COMMAND) return false;
  switch (LOWORD(wp)) {
    case IDC_KEPT_REMOVE:
      OnRemove();
      result = TRUE;
      return true;
    case IDC_KEPT_LIST:
      if (HIWORD(wp) == LBN_SELCHANGE) UpdateRemove();
      result = TRUE;
      return true;
    case IDOK:
    case IDCANCEL:
      OnCancel();
      result = TRUE;
      return true;
  }
  return false;
}

}  // namespace klarex
