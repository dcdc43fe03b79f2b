// One item of a themed menu and the texts it shows: its label, the names of
// the accelerators of its command, and the mnemonic look-up over a menu.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace klarex {

class CMenuIconSet;

// The accelerator names of `cmd` in `accel`, joined by ", " ("Ctrl+A, F5"); empty if none.
std::wstring AcceleratorText(HACCEL accel, WORD cmd);
// Index of the first item whose display text contains "&" + ch (case-insensitive), or -1.
int FindMnemonic(const std::vector<std::wstring>& displayTexts, wchar_t ch);

// One item of a themed menu; its address is the item data of the owner-drawn item.
class CMenuItemRecord {
 public:
  virtual ~CMenuItemRecord() = default;
  // The stored text plus, when it has no tab, "\t" and the accelerator names.
  virtual std::wstring DisplayText(HACCEL accel) const;
  virtual void SetText(const std::wstring& text) { m_text = text; }

  std::wstring m_text;
  WORD m_id = 0;
  UINT m_flags = 0;  // MF_ bits the item was created with, MF_OWNERDRAW included
  CMenuIconSet* m_iconSet = nullptr;
  int m_iconIndex = -1;
  bool m_noAccelText = false;
};

}  // namespace klarex
