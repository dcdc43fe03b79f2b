// The target catalogue built from made-up machines.
#include "engine/catalogue.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "support/catalogue_tables.h"
#include "support/fake_machine.h"

namespace klarex {
namespace {

using test::FakeMachine;
using test::kLocalDir;
using test::kRoamingDir;

std::vector<std::wstring> Texts(const std::vector<const wchar_t*>& list) {
  return {list.begin(), list.end()};
}

std::vector<std::wstring> Texts(
    const std::vector<std::pair<const wchar_t*, const wchar_t*>>& list) {
  std::vector<std::wstring> texts;
  for (const auto& [folder, mask] : list) texts.push_back(std::wstring(folder) + L"|" + mask);
  return texts;
}

constexpr wchar_t kEdgeStorage[] =
    L"SOFTWARE\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\CurrentVersion\\"
    L"AppContainer\\Storage\\";

TEST(Catalogue, ListsHoldTheDocumentedEntriesInOrder) {
  FakeMachine machine;
  const Catalogue catalogue = BuildCatalogue(machine);
  EXPECT_EQ(Texts(catalogue.winDirSubfolderMasks), Texts(test::kWinDirSubfolderMasks));
  EXPECT_EQ(Texts(catalogue.legacyIeFolders), Texts(test::kLegacyIeFolders));
  EXPECT_EQ(Texts(catalogue.winDirMasks), Texts(test::kWinDirMasks));
  EXPECT_EQ(Texts(catalogue.fixedDriveMasks), Texts(test::kFixedDriveMasks));
  EXPECT_EQ(Texts(catalogue.allUsersFolders), Texts(test::kAllUsersFolders));
  EXPECT_EQ(Texts(catalogue.appDataFolders), Texts(test::kAppDataFolders));
  EXPECT_EQ(Texts(catalogue.rootFiles), Texts(test::kRootFiles));
  EXPECT_EQ(Texts(catalogue.fixedDriveFolders), Texts(test::kFixedDriveFolders));
  EXPECT_EQ(Texts(catalogue.winDirFolders), Texts(test::kWinDirFolders));
  EXPECT_EQ(Texts(catalogue.fixedDriveSetupFolders), Texts(test::kFixedDriveSetupFolders));
  EXPECT_EQ(Texts(catalogue.winDirCacheFolders), Texts(test::kWinDirCacheFolders));
  EXPECT_EQ(Texts(catalogue.localAppDataFolders), Texts(test::kLocalAppDataFolders));
  EXPECT_EQ(Texts(catalogue.realPlayerFolders), Texts(test::kRealPlayerFolders));
  EXPECT_EQ(Texts(catalogue.runHistoryKeys), Texts(test::kRunHistoryKeys));
  EXPECT_EQ(Texts(catalogue.autoCompleteKeys), Texts(test::kAutoCompleteKeys));
  EXPECT_EQ(Texts(catalogue.typedUrlKeys), Texts(test::kTypedUrlKeys));
  EXPECT_EQ(Texts(catalogue.findHistoryKeys), Texts(test::kFindHistoryKeys));
  EXPECT_EQ(Texts(catalogue.recentDocKeys), Texts(test::kRecentDocKeys));

  const size_t counts[] = {catalogue.winDirSubfolderMasks.size(),
                           catalogue.legacyIeFolders.size(),
                           catalogue.winDirMasks.size(),
                           catalogue.fixedDriveMasks.size(),
                           catalogue.allUsersFolders.size(),
                           catalogue.appDataFolders.size(),
                           catalogue.rootFiles.size(),
                           catalogue.fixedDriveFolders.size(),
                           catalogue.winDirFolders.size(),
                           catalogue.fixedDriveSetupFolders.size(),
                           catalogue.winDirCacheFolders.size(),
                           catalogue.localAppDataFolders.size(),
                           catalogue.realPlayerFolders.size(),
                           catalogue.runHistoryKeys.size(),
                           catalogue.autoCompleteKeys.size(),
                           catalogue.typedUrlKeys.size(),
                           catalogue.findHistoryKeys.size(),
                           catalogue.recentDocKeys.size()};
  const size_t expected[] = {32, 5, 9, 4, 2, 6, 11, 10, 21, 2, 6, 9, 2, 3, 2, 4, 8, 17};
  EXPECT_TRUE(std::equal(std::begin(counts), std::end(counts), std::begin(expected)));
}

TEST(Catalogue, BaseFoldersComeFromTheMachine) {
  FakeMachine machine;
  machine.environment[L"ALLUSERSPROFILE"] = machine / L"ProgramData";
  machine.specialFolders.erase(CSIDL_MYMUSIC);
  const std::wstring programFiles = machine / L"Program Files";
  machine.SetRegistry(HKEY_LOCAL_MACHINE,
                      L"Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\Folders\\" +
                          programFiles + L"\\Microsoft Office\\Office\\Shortcut Bar",
                      L"X:\\Office\\Shortcut Bar");
  machine.SetRegistry(HKEY_LOCAL_MACHINE,
                      L"SOFTWARE\\Mirabilis\\ICQ\\ICQPro\\Install\\General\\InstalledDir",
                      std::wstring(300, L'i'));
  const Catalogue catalogue = BuildCatalogue(machine);

  EXPECT_EQ(catalogue.windowsDir, machine / L"Windows");
  EXPECT_EQ(catalogue.systemDrive, machine.Root().substr(0, 2));
  EXPECT_EQ(catalogue.allUsersProfileDir, machine / L"ProgramData");
  EXPECT_EQ(catalogue.appDataDir, machine / kRoamingDir);
  EXPECT_EQ(catalogue.programFilesDir, programFiles);
  EXPECT_EQ(catalogue.commonFilesX86Dir, machine / L"Program Files (x86)\\Common Files");
  EXPECT_EQ(catalogue.localAppDataDir, machine / kLocalDir);
  EXPECT_EQ(catalogue.musicDir, L"");  // unresolved stays empty
  EXPECT_EQ(catalogue.internetCacheDir,
            machine / L"Users\\u\\AppData\\Local\\Microsoft\\Windows\\INetCache");
  EXPECT_EQ(catalogue.officeShortcutBarDir, L"X:\\Office\\Shortcut Bar");
  EXPECT_EQ(catalogue.icqDir, L"");       // too long: cut, it would name another folder
  EXPECT_EQ(catalogue.netscapeDir, L"");  // "null" has no backslash
  EXPECT_EQ(catalogue.officeRootDir, L"null");
  EXPECT_EQ(catalogue.safariLocalDir,
            machine / L"Users\\u\\AppData\\Local\\Apple Computer\\Safari");
}

TEST(Catalogue, ValuesTooLongForAPathBufferStayUnresolved) {
  // Cut to 259 characters, each would name another (existing) folder.
  const std::wstring fits = L"C:\\" + std::wstring(256, L'f');  // 259 characters
  const std::wstring tooLong = fits + L"\\Office";
  FakeMachine machine;
  machine.windowsDir = fits + L"x";
  machine.specialFolders[CSIDL_APPDATA] = tooLong;
  machine.specialFolders[CSIDL_MYMUSIC] = fits;
  machine.SetRegistry(HKEY_LOCAL_MACHINE,
                      L"Software\\Microsoft\\Office\\14.0\\Common\\InstallRoot\\Path", tooLong);
  machine.SetRegistry(
      HKEY_LOCAL_MACHINE,
      L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Netscape.exe\\Path",
      tooLong + L"\\Communicator\\Program");
  const Catalogue catalogue = BuildCatalogue(machine);
  EXPECT_EQ(catalogue.windowsDir, L"");
  EXPECT_EQ(catalogue.appDataDir, L"");
  EXPECT_EQ(catalogue.officeRootDir, L"");
  EXPECT_EQ(catalogue.netscapeDir, L"");
  EXPECT_EQ(catalogue.musicDir, fits);  // 259 characters still fit
}

TEST(Catalogue, MissingValuesAndVariablesGiveNullOrEmpty) {
  FakeMachine machine;
  const Catalogue catalogue = BuildCatalogue(machine);
  EXPECT_EQ(catalogue.allUsersProfileDir, L"");
  EXPECT_EQ(catalogue.officeShortcutBarDir, L"null");
  EXPECT_EQ(catalogue.icqDir, L"null");
  EXPECT_EQ(catalogue.netscapeDir, L"");
}

TEST(Catalogue, SystemDriveIsTheDriveOfTheWindowsFolder) {
  FakeMachine machine;
  machine.windowsDir = L"D:\\WinNT";
  const Catalogue catalogue = BuildCatalogue(machine);
  EXPECT_EQ(catalogue.systemDrive, L"D:");
}

TEST(Catalogue, NetscapeFolderIsThePathCutTwiceAtItsLastBackslash) {
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"C:\\Program Files\\Netscape\\Communicator\\Program", L"C:\\Program Files\\Netscape"},
      {L"C:\\Netscape.exe", L""},
      {L"Netscape", L""},
  };
  for (const auto& [value, expected] : cases) {
    FakeMachine machine;
    machine.SetRegistry(
        HKEY_LOCAL_MACHINE,
        L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Netscape.exe\\Path", value);
    const Catalogue catalogue = BuildCatalogue(machine);
    EXPECT_EQ(catalogue.netscapeDir, expected) << value;
  }
}

TEST(Catalogue, OfficeRootOfTheFirstEnumeratedVersionOrOf14) {
  auto root = [](const wchar_t* version) {
    return L"Software\\Microsoft\\Office\\" + std::wstring(version) +
           L"\\Common\\InstallRoot\\Path";
  };
  {
    FakeMachine machine;
    machine.SetSubkeys(L"Software\\Microsoft\\Office", {L"11.0", L"12.0", L"Common"});
    machine.SetRegistry(HKEY_LOCAL_MACHINE, root(L"11.0"), L"C:\\Office11\\");
    machine.SetRegistry(HKEY_LOCAL_MACHINE, root(L"12.0"), L"C:\\Office12\\");
    machine.SetRegistry(HKEY_LOCAL_MACHINE, root(L"14.0"), L"C:\\Office14\\");
    const Catalogue catalogue = BuildCatalogue(machine);
    EXPECT_EQ(catalogue.officeRootDir, L"C:\\Office11\\");
  }
  {
    FakeMachine machine;
    machine.SetRegistry(HKEY_LOCAL_MACHINE, root(L"14.0"), L"C:\\Office14\\");
    const Catalogue catalogue = BuildCatalogue(machine);
    EXPECT_EQ(catalogue.officeRootDir, L"C:\\Office14\\");
  }
  {
    FakeMachine machine;
    machine.SetRegistry(HKEY_CURRENT_USER, root(L"14.0"), L"C:\\WrongRoot\\");
    const Catalogue catalogue = BuildCatalogue(machine);
    EXPECT_EQ(catalogue.officeRootDir, L"null");
  }
}

TEST(Catalogue, EdgePackageAndCachePathsOfEachChild) {
  FakeMachine machine;
  machine.Folder(std::wstring(kLocalDir) + L"\\Packages\\Microsoft.Bing_1");
  machine.Folder(std::wstring(kLocalDir) + L"\\Packages\\Microsoft.MicrosoftEdge_8wekyb3d8bbwe");
  machine.Folder(std::wstring(kLocalDir) + L"\\Packages\\Microsoft.MicrosoftEdge_zz");
  const std::wstring children =
      std::wstring(kEdgeStorage) + L"Microsoft.MicrosoftEdge_8wekyb3d8bbwe\\Children";
  machine.SetSubkeys(children, {L"001", L"002"});
  auto value = [&](const wchar_t* child, const wchar_t* cache) {
    return children + L"\\" + child + L"\\Internet Settings\\Cache\\Extensible Cache\\" + cache +
           L"\\CachePath";
  };
  for (const wchar_t* child : {L"001", L"002"}) {
    for (const wchar_t* cache :
         {L"DOMStore", L"MicrosoftEdge_iecompat", L"MicrosoftEdge_bingpagedata"})
      machine.SetRegistry(HKEY_CURRENT_USER, value(child, cache),
                          std::wstring(L"C:\\E\\") + child + L"\\" + cache);
  }
  machine.SetRegistry(HKEY_CURRENT_USER, value(L"002", L"MicrosoftEdge_iecompatua"),
                      L"C:\\E\\002\\ua");

  const Catalogue catalogue = BuildCatalogue(machine);
  EXPECT_EQ(catalogue.edgePackageName, L"Microsoft.MicrosoftEdge_8wekyb3d8bbwe");
  EXPECT_EQ(
      catalogue.edgePackageAcDir,
      machine / L"Users\\u\\AppData\\Local\\Packages\\Microsoft.MicrosoftEdge_8wekyb3d8bbwe\\AC");
  EXPECT_EQ(catalogue.edgeDomStorePaths,
            (std::vector<std::wstring>{L"C:\\E\\001\\DOMStore", L"C:\\E\\002\\DOMStore"}));
  EXPECT_EQ(catalogue.edgeCachePaths, (std::vector<std::wstring>{
                                          L"C:\\E\\001\\MicrosoftEdge_iecompat",
                                          L"C:\\E\\002\\MicrosoftEdge_iecompat",
                                          L"null",
                                          L"C:\\E\\002\\ua",
                                          L"C:\\E\\001\\MicrosoftEdge_bingpagedata",
                                          L"C:\\E\\002\\MicrosoftEdge_bingpagedata",
                                      }));
}

TEST(Catalogue, NoEdgePackageLeavesBothEdgeListsEmpty) {
  FakeMachine machine;
  machine.Folder(std::wstring(kLocalDir) + L"\\Packages\\Microsoft.Bing_1");
  // Children of some other package must not be read.
  machine.SetSubkeys(std::wstring(kEdgeStorage) + L"Microsoft.Bing_1\\Children", {L"001"});
  const Catalogue catalogue = BuildCatalogue(machine);
  EXPECT_EQ(catalogue.edgePackageName, L"");
  EXPECT_EQ(catalogue.edgePackageAcDir, machine / L"Users\\u\\AppData\\Local\\Packages\\AC");
  EXPECT_TRUE(catalogue.edgeDomStorePaths.empty());
  EXPECT_TRUE(catalogue.edgeCachePaths.empty());
}

TEST(Catalogue, OperaProfileWithAndWithoutItsFolder) {
  {
    FakeMachine machine;
    machine.Folder(std::wstring(kRoamingDir) + L"\\Opera\\Opera Next");
    machine.Folder(std::wstring(kRoamingDir) + L"\\Opera\\Plugins");
    const Catalogue catalogue = BuildCatalogue(machine);
    EXPECT_EQ(catalogue.operaProfileDir,
              machine / L"Users\\u\\AppData\\Roaming\\Opera\\Opera Next\\profile");
  }
  {
    FakeMachine machine;
    const Catalogue catalogue = BuildCatalogue(machine);
    EXPECT_EQ(catalogue.operaProfileDir, machine / L"Users\\u\\AppData\\Local\\Opera");
  }
}

TEST(Catalogue, AppDataFoldersPreferRoamingOnlyWhenItExists) {
  const wchar_t chrome[] = L"Google\\Chrome\\User Data\\Default";
  {
    FakeMachine machine;
    machine.Folder(std::wstring(kRoamingDir) + L"\\" + chrome);
    machine.Folder(std::wstring(kLocalDir) + L"\\" + chrome);
    const Catalogue catalogue = BuildCatalogue(machine);
    EXPECT_EQ(catalogue.chromeProfileDir, machine / kRoamingDir + L"\\" + chrome);
    EXPECT_EQ(FindAppDataFolder(catalogue, chrome, true), machine / kLocalDir + L"\\" + chrome);
  }
  {
    FakeMachine machine;  // neither exists
    const Catalogue catalogue = BuildCatalogue(machine);
    EXPECT_EQ(catalogue.chromeProfileDir, machine / kLocalDir + L"\\" + chrome);
  }
}

TEST(Catalogue, FirefoxProfileFromProfilesIni) {
  FakeMachine machine;
  const std::wstring ini =
      machine.File(std::wstring(kRoamingDir) + L"\\Mozilla\\Firefox\\profiles.ini");
  WritePrivateProfileStringW(L"General", L"StartWithLastProfile", L"1", ini.c_str());
  WritePrivateProfileStringW(L"Profile0", L"IsRelative", L"1", ini.c_str());
  WritePrivateProfileStringW(L"Profile0", L"Path", L"Profiles/x.default", ini.c_str());
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());
  machine.Folder(std::wstring(kRoamingDir) + L"\\Mozilla\\Firefox\\Profiles\\x.default");

  const Catalogue catalogue = BuildCatalogue(machine);
  EXPECT_EQ(catalogue.firefoxProfileDir,
            machine / L"Users\\u\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles\\x.default");
  EXPECT_EQ(catalogue.firefoxLocalProfileDir,
            machine / L"Users\\u\\AppData\\Local\\Mozilla\\Firefox\\Profiles\\x.default");
}

TEST(Catalogue, FirefoxProfileWithoutProfilesIniIsTheFolderItself) {
  {
    FakeMachine machine;
    machine.Folder(std::wstring(kRoamingDir) + L"\\Mozilla\\Firefox");
    const Catalogue catalogue = BuildCatalogue(machine);
    EXPECT_EQ(catalogue.firefoxProfileDir,
              machine / L"Users\\u\\AppData\\Roaming\\Mozilla\\Firefox\\.");
    EXPECT_EQ(catalogue.firefoxLocalProfileDir,
              machine / L"Users\\u\\AppData\\Local\\Mozilla\\Firefox\\.");
  }
  {
    // No roaming folder: the local one's profiles.ini is read.
    FakeMachine machine;
    const std::wstring ini =
        machine.File(std::wstring(kLocalDir) + L"\\Mozilla\\Firefox\\profiles.ini");
    WritePrivateProfileStringW(L"Profile0", L"Path", L"Profiles/y.default", ini.c_str());
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());
    const Catalogue catalogue = BuildCatalogue(machine);
    EXPECT_EQ(catalogue.firefoxProfileDir,
              machine / L"Users\\u\\AppData\\Local\\Mozilla\\Firefox\\Profiles\\y.default");
  }
}

TEST(Catalogue, FirefoxProfileOutsideTheFirefoxFolderCountsAsNotFound) {
  for (const wchar_t* path : {L"../../..", L"Profiles/../../x", L"Profiles/../..", L"..", L"...",
                              L"Profiles/.../x", L"C:/Users", L"C:x", L"/abs/x",
                              L"\\\\server\\share\\x", L"\\rooted", L"x.default:stream"}) {
    FakeMachine machine;
    const std::wstring ini =
        machine.File(std::wstring(kRoamingDir) + L"\\Mozilla\\Firefox\\profiles.ini");
    WritePrivateProfileStringW(L"Profile0", L"Path", path, ini.c_str());
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());
    const Catalogue catalogue = BuildCatalogue(machine);
    EXPECT_EQ(catalogue.firefoxProfileDir, L"") << path;
    EXPECT_EQ(catalogue.firefoxLocalProfileDir, L"") << path;
  }
}

TEST(Catalogue, FirefoxProfileWithDotsInsideNamesIsKept) {
  FakeMachine machine;
  const std::wstring ini =
      machine.File(std::wstring(kRoamingDir) + L"\\Mozilla\\Firefox\\profiles.ini");
  WritePrivateProfileStringW(L"Profile0", L"Path", L"Profiles/a..b.default", ini.c_str());
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());
  const Catalogue catalogue = BuildCatalogue(machine);
  EXPECT_EQ(catalogue.firefoxProfileDir,
            machine / L"Users\\u\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles\\a..b.default");
}

TEST(Catalogue, OldMozillaProfileEndsInTheFirstSltEntry) {
  FakeMachine machine;
  machine.Folder(std::wstring(kRoamingDir) + L"\\Mozilla\\Profiles\\default\\k2x9.slt");
  const Catalogue catalogue = BuildCatalogue(machine);
  EXPECT_EQ(catalogue.mozillaProfileDir,
            machine / L"Users\\u\\AppData\\Roaming\\Mozilla\\Profiles\\default\\k2x9.slt");
}

TEST(Catalogue, UnresolvedProfileFoldersDeriveNothing) {
  FakeMachine machine;
  machine.specialFolders.clear();
  const Catalogue catalogue = BuildCatalogue(machine);
  EXPECT_EQ(catalogue.appDataDir, L"");
  EXPECT_EQ(catalogue.edgePackageAcDir, L"");
  EXPECT_EQ(catalogue.mozillaProfileDir, L"");
  EXPECT_EQ(catalogue.operaProfileDir, L"");
  EXPECT_EQ(catalogue.chromeProfileDir, L"");
  EXPECT_EQ(catalogue.firefoxProfileDir, L"");
  EXPECT_EQ(catalogue.firefoxLocalProfileDir, L"");
  EXPECT_EQ(catalogue.safariLocalDir, L"");
}

TEST(Catalogue, BuildingLeavesTheCurrentDirectoryAlone) {
  // The wildcard folders (Edge package, old Mozilla and Opera profiles) are
  // found by full path: a current directory inside a user's profile would
  // keep that folder in use and make relative paths resolve there.
  FakeMachine machine;
  machine.Folder(std::wstring(kLocalDir) + L"\\Packages\\Microsoft.MicrosoftEdge_8wekyb3d8bbwe");
  machine.Folder(std::wstring(kRoamingDir) + L"\\Mozilla\\Profiles\\default\\k2x9.slt");
  machine.Folder(std::wstring(kRoamingDir) + L"\\Opera\\Opera Next");
  wchar_t before[MAX_PATH] = L"", after[MAX_PATH] = L"";
  GetCurrentDirectoryW(MAX_PATH, before);
  const Catalogue catalogue = BuildCatalogue(machine);
  GetCurrentDirectoryW(MAX_PATH, after);
  EXPECT_FALSE(catalogue.edgePackageName.empty());
  EXPECT_STREQ(after, before);
}

TEST(JoinPath, JoinsResolvesDotsAndRefusesUnresolvedOrOverlongPaths) {
  EXPECT_EQ(JoinPath(L"C:\\u\\Local", L"..\\LocalLow\\x"), L"C:\\u\\LocalLow\\x");
  EXPECT_EQ(JoinPath(L"C:\\", L"Boot"), L"C:\\Boot");
  EXPECT_EQ(JoinPath(L"C:\\a\\", L"b"), L"C:\\a\\b");
  EXPECT_EQ(JoinPath(L"D:", L"ProgramData\\x"), L"D:\\ProgramData\\x");
  EXPECT_EQ(JoinPath(L"", L"Temp"), L"");
  EXPECT_EQ(JoinPath(L"null", L"Temp"), L"");
  const std::wstring base = L"C:\\" + std::wstring(250, L'a');  // 253 characters
  EXPECT_EQ(JoinPath(base, L"12345").size(), 259u);
  EXPECT_EQ(JoinPath(base, L"123456"), L"");
}

}  // namespace
}  // namespace klarex
