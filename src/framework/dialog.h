// Modal dialogs from a template; `this` is bound at WM_INITDIALOG and
// DialogProc dispatches to virtual handlers. No exception leaves it.
#pragma once
#include <windows.h>

#include "framework/window.h"

namespace klarex {

class CDialog : public CWindow {
 public:
  explicit CDialog(UINT templateId, HWND parent = nullptr)
      : m_templateId(templateId), m_parent(parent) {}
  virtual ~CDialog() = default;
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  // Runs the dialog modally; returns the code given to EndDialog, or -1.
  INT_PTR DoModal();
  void EndDialog(INT_PTR result) { ::EndDialog(m_hwnd, result); }

 protected:
  // TRUE lets the system set the focus to the first control.
  virtual BOOL OnInitDialog() { return TRUE; }
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  // Returns true when the message was handled (result in `result`).
  virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result);

 private:
  static INT_PTR CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  UINT m_templateId;
  HWND m_parent;
};

}  // namespace klarex
