#include "controls/menu_item.h"

#include <cwctype>

namespace klarex {
namespace {

std::wstring Lower(std::wstring s) {
  for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
  return s;
}

std::wstring KeyName(BYTE fVirt, WORD key) {
  if (!(fVirt & FVIRTKEY)) return std::wstring(1, static_cast<wchar_t>(key));
  UINT scan = ::MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
  wchar_t name[64] = {};
  if (scan && ::GetKeyNameTextW(static_cast<LONG>(scan << 16), name, 64) > 0) return name;
  return std::wstring(1, static_cast<wchar_t>(key));
}

}  // namespace

std::wstring AcceleratorText(HACCEL accel, WORD cmd) {
  if (!accel) return {};
  int n = ::CopyAcceleratorTableW(accel, nullptr, 0);
  if (n <= 0) return {};
  std::vector<ACCEL> entries(static_cast<size_t>(n));
  ::CopyAcceleratorTableW(accel, entries.data(), n);
  std::wstring out;
  for (const ACCEL& a : entries) {
    if (a.cmd != cmd) continue;
    if (!out.empty()) out += L", ";
    if (a.fVirt & FALT) out += L"Alt+";
    if (a.fVirt & FCONTROL) out += L"Ctrl+";
    if (a.fVirt & FSHIFT) out += L"Shift+";
    out += KeyName(a.fVirt, a.key);
  }
  return out;
}

int FindMnemonic(const std::vector<std::wstring>& displayTexts, wchar_t ch) {
  std::wstring needle = Lower(std::wstring{L'&', ch});
  for (size_t i = 0; i < displayTexts.size(); ++i) {
    if (Lower(displayTexts[i]).find(needle) != std::wstring::npos) return static_cast<int>(i);
  }
  return -1;
}

std::wstring CMenuItemRecord::DisplayText(HACCEL accel) const {
  size_t tab = m_text.find(L'\t');
  if (m_noAccelText) return m_text.substr(0, tab);
  if (tab != std::wstring::npos) return m_text;
  std::wstring keys = AcceleratorText(accel, m_id);
  return keys.empty() ? m_text : m_text + L'\t' + keys;
}

}  // namespace klarex
