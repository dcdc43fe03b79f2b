// Options > Kept Items: the kept paths, Remove for the chosen ones, Close.
// A removal is saved at once; the path is listed again from the next scan on.
#pragma once
#include <windows.h>

#include "engine/keep_list.h"
#include "framework/dialog.h"

namespace klarex {

class CKeptItemsDlg : public CDialog {
 public:
  // A removal is saved under `keyPath` of HKEY_CURRENT_USER.
  CKeptItemsDlg(HWND parent, CKeepList& keep, const wchar_t* keyPath = kKeepKeyPath);

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

 private:
  void ApplyLanguage();
  void Fill();
  void OnRemove();
  void UpdateRemove();

  CKeepList& m_keep;
  const wchar_t* m_keyPath;
};

}  // namespace klarex
