// A made-up machine for the engine tests: its Windows folder, special folders
// and planted files live under a private root folder (removed with everything
// in it), while environment, registry and drives are plain maps.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "sys/machine.h"

namespace klarex::test {

class FakeMachine final : public IMachine {
 public:
  // Creates a unique root below `parent` (default: the temp folder) and lays
  // out Windows, Program Files and a user profile there. No environment
  // variables, registry values or drives until a test adds them.
  explicit FakeMachine(const std::wstring& parent = {});
  ~FakeMachine() override;
  FakeMachine(const FakeMachine&) = delete;
  FakeMachine& operator=(const FakeMachine&) = delete;

  const std::wstring& Root() const { return m_root; }
  std::wstring operator/(const std::wstring& relative) const { return m_root + L"\\" + relative; }
  // Plants a file of `size` bytes of 'x' or a folder (parents created) below the root.
  std::wstring File(const std::wstring& relative, size_t size = 1) const;
  std::wstring Folder(const std::wstring& relative) const;

  void SetRegistry(HKEY root, const std::wstring& keyAndValue, const std::wstring& text);
  void SetSubkeys(const std::wstring& keyPath, std::vector<std::wstring> names);
  void SetDrive(wchar_t letter, UINT type);

  std::wstring WindowsDirectory() override { return windowsDir; }
  bool SpecialFolder(int csidl, std::wstring& path) override;
  bool Environment(const wchar_t* name, std::wstring& value) override;
  std::wstring RegistryText(HKEY root, const std::wstring& keyAndValue,
                            const std::wstring& defaultValue) override;
  std::vector<std::wstring> RegistrySubkeys(const std::wstring& keyPath) override;
  DWORD LogicalDrives() override { return m_drives; }
  UINT DriveType(const std::wstring& root) override;

  std::wstring windowsDir;
  std::map<int, std::wstring> specialFolders;
  std::map<std::wstring, std::wstring> environment;

 private:
  std::wstring m_root;
  std::map<std::pair<HKEY, std::wstring>, std::wstring> m_registry;
  std::map<std::wstring, std::vector<std::wstring>> m_subkeys;
  DWORD m_drives = 0;
  std::map<wchar_t, UINT> m_driveTypes;
};

// Paths of the default layout below the root.
inline constexpr wchar_t kRoamingDir[] = L"Users\\u\\AppData\\Roaming";
inline constexpr wchar_t kLocalDir[] = L"Users\\u\\AppData\\Local";

// Creates the files and folders of a list of paths that do not exist yet and
// removes exactly those again: for places with fixed names on a real drive.
class PlantedOutside {
 public:
  PlantedOutside() = default;
  ~PlantedOutside();
  PlantedOutside(const PlantedOutside&) = delete;
  PlantedOutside& operator=(const PlantedOutside&) = delete;

  std::wstring File(const std::wstring& path, size_t size = 1);
  std::wstring Folder(const std::wstring& path);

 private:
  void CreateParents(const std::wstring& path);
  std::vector<std::wstring> m_created;  // in creation order; removed in reverse
};

// A unique name for things planted on a shared drive root.
std::wstring UniqueName(const wchar_t* stem);

}  // namespace klarex::test
