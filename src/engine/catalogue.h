// The target catalogue: where junk and traces live on this machine. A value,
// built once by BuildCatalogue from the machine interface: base folders,
// browser folders derived from them by probing, and the fixed ordered lists
// the mode recipes and privacy scans walk. It opens no database, changes no
// process state and holds no window.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "sys/machine.h"

namespace klarex {

using NameList = std::vector<const wchar_t*>;
using FolderMaskList = std::vector<std::pair<const wchar_t*, const wchar_t*>>;

inline constexpr wchar_t kAllFilesMask[] = L"*.*";

struct Catalogue {
  // --- Base folders (empty, or "null" for a registry value that is missing,
  // when unresolved; never longer than 259 characters) ------------------------
  std::wstring windowsDir;
  std::wstring systemDrive;  // "C:", the drive of the Windows folder
  std::wstring allUsersProfileDir;
  std::wstring appDataDir;
  std::wstring programFilesDir;
  std::wstring commonFilesX86Dir;
  std::wstring localAppDataDir;
  std::wstring musicDir;
  std::wstring internetCacheDir;
  std::wstring officeShortcutBarDir;
  std::wstring icqDir;
  std::wstring netscapeDir;
  std::wstring officeRootDir;

  // --- Browser folders derived from the base folders ------------------------
  std::wstring edgePackageName;
  std::wstring edgePackageAcDir;
  std::vector<std::wstring> edgeDomStorePaths;
  std::vector<std::wstring> edgeCachePaths;
  std::wstring mozillaProfileDir;
  std::wstring operaProfileDir;
  std::wstring chromeProfileDir;
  std::wstring firefoxProfileDir;
  std::wstring firefoxLocalProfileDir;
  std::wstring safariLocalDir;

  // --- Fixed lists, in the order the scans walk them --------------------------
  FolderMaskList winDirSubfolderMasks;
  NameList legacyIeFolders;
  NameList winDirMasks;
  NameList fixedDriveMasks;
  NameList allUsersFolders;
  NameList appDataFolders;
  NameList rootFiles;
  NameList fixedDriveFolders;
  NameList winDirFolders;
  NameList fixedDriveSetupFolders;
  NameList winDirCacheFolders;
  NameList localAppDataFolders;
  NameList realPlayerFolders;
  // Registry histories under HKEY_CURRENT_USER, cleared by the privacy categories.
  NameList runHistoryKeys;
  NameList autoCompleteKeys;
  NameList typedUrlKeys;
  NameList findHistoryKeys;
  NameList recentDocKeys;
};

// Reads the machine's folders, registry values and profile files and derives
// the whole catalogue from them.
Catalogue BuildCatalogue(IMachine& machine);

// The fixed lists (catalogue_lists.cpp), a part of BuildCatalogue.
void FillFixedLists(Catalogue& catalogue);

// The roaming application-data folder `name` when it exists (unless
// `localOnly`), else the local one.
std::wstring FindAppDataFolder(const Catalogue& catalogue, const wchar_t* name, bool localOnly);

// join(a, b): PathCombineW; empty when `a` is unresolved (empty or "null") or the
// result would not fit 259 characters.
std::wstring JoinPath(const std::wstring& a, const std::wstring& b);

}  // namespace klarex
