// Settings of a test's own under HKEY_CURRENT_USER\Software\KlarexTest,
// removed again afterwards, so that no test reads or writes the program's.
#pragma once
#include <windows.h>

#include <string>

#include "framework/profile.h"

namespace klarex::test {

class ScratchProfile {
 public:
  ScratchProfile()
      : m_profile(L"KlarexTest", L"profile-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                     std::to_wstring(::GetTickCount64())) {}
  ~ScratchProfile() { ::RegDeleteTreeW(HKEY_CURRENT_USER, m_profile.RootKey().c_str()); }
  ScratchProfile(const ScratchProfile&) = delete;
  ScratchProfile& operator=(const ScratchProfile&) = delete;

  const CProfile& Get() const { return m_profile; }

 private:
  CProfile m_profile;
};

}  // namespace klarex::test
