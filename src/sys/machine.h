// The machine-dependent sources of the target catalogue and the fixed-drive
// walks: the Windows folder, shell special folders, environment variables,
// registry values and the drives. The program uses Win32Machine; tests describe
// a made-up machine with their own implementation.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace klarex {

class IMachine {
 public:
  virtual ~IMachine() = default;
  // GetWindowsDirectoryW.
  virtual std::wstring WindowsDirectory() = 0;
  // SHGetSpecialFolderPathW without creating the folder; false if unresolved.
  virtual bool SpecialFolder(int csidl, std::wstring& path) = 0;
  // False if the variable is not set.
  virtual bool Environment(const wchar_t* name, std::wstring& value) = 0;
  // A registry string value (CRegTextValue rules: "key\value name", "null"-style default).
  virtual std::wstring RegistryText(HKEY root, const std::wstring& keyAndValue,
                                    const std::wstring& defaultValue) = 0;
  // Sub-key names of a key under HKEY_CURRENT_USER, in enumeration order.
  virtual std::vector<std::wstring> RegistrySubkeys(const std::wstring& keyPath) = 0;
  // GetLogicalDrives / GetDriveTypeW.
  virtual DWORD LogicalDrives() = 0;
  virtual UINT DriveType(const std::wstring& root) = 0;
};

class Win32Machine final : public IMachine {
 public:
  std::wstring WindowsDirectory() override;
  bool SpecialFolder(int csidl, std::wstring& path) override;
  bool Environment(const wchar_t* name, std::wstring& value) override;
  std::wstring RegistryText(HKEY root, const std::wstring& keyAndValue,
                            const std::wstring& defaultValue) override;
  std::vector<std::wstring> RegistrySubkeys(const std::wstring& keyPath) override;
  DWORD LogicalDrives() override;
  UINT DriveType(const std::wstring& root) override;
};

}  // namespace klarex
