#include "framework/dialog.h"

#include "framework/unexpected_error.h"
#include "framework/wnd.h"

namespace klarex {

INT_PTR CDialog::DoModal() {
  return ::DialogBoxParamW(ModuleInstance(), MAKEINTRESOURCEW(m_templateId), m_parent,
                           &CDialog::StaticProc, reinterpret_cast<LPARAM>(this));
}

bool CDialog::OnMessage(UINT msg, WPARAM wp, LPARAM, INT_PTR& result) {
  if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
    if (LOWORD(wp) == IDOK) {
      OnOK();
      result = TRUE;
      return true;
    }
    if (LOWORD(wp) == IDCANCEL) {
      OnCancel();
      result = TRUE;
      return true;
    }
  }
  return false;
}

INT_PTR CALLBACK CDialog::StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  CDialog* self = nullptr;
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<CDialog*>(lp);
    ::SetWindowLongPtrW(hwnd, DWLP_USER, lp);
    self->m_hwnd = hwnd;
  } else {
    self = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  if (!self) return FALSE;
  INT_PTR result = Guarded<INT_PTR>(FALSE, [&]() -> INT_PTR {
    if (msg == WM_INITDIALOG) return self->OnInitDialog();
    INT_PTR answer = FALSE;
    return self->OnMessage(msg, wp, lp, answer) ? answer : FALSE;
  });
  if (msg == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    self->m_hwnd = nullptr;
  }
  return result;
}

}  // namespace klarex
