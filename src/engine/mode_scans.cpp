// The three cleaning modes: fixed recipes of scanner steps over the catalogue.
#include "engine/mode_scans.h"

#include <shlobj.h>

#include "engine/scanner.h"
#include "sys/queries.h"

namespace klarex {

namespace {

// Runs `perDrive` on the root of every fixed drive, in letter order.
template <typename PerDrive>
void WalkFixedDrives(IMachine& machine, PerDrive perDrive) {
  std::wstring root = L"?:\\";
  DWORD drives = machine.LogicalDrives();
  for (wchar_t letter = L'A'; drives != 0; drives >>= 1, ++letter) {
    if (!(drives & 1)) continue;
    root[0] = letter;
    if (machine.DriveType(root) == DRIVE_FIXED) perDrive(root);
  }
}

}  // namespace

void ScanStandard(const Catalogue& c, IMachine& machine, IFoundItemSink& out) {
  ScanFolderMasks(out, c.windowsDir, c.winDirMasks);
  ScanSubfolderMasks(out, c.windowsDir, c.winDirSubfolderMasks);
  ScanFolder(out, JoinPath(c.windowsDir, L"System32\\Msdtc"), kAllFilesMask, L"MSDTC.LOG");
  AddPath(out, JoinPath(c.systemDrive, L"ProgramData\\Microsoft\\Windows Defender\\Scans"));
  AddPath(out, JoinPath(c.systemDrive, L"ProgramData\\Microsoft\\Windows Defender\\Support"));
  ScanFoldersWithMask(out, c.systemDrive, c.legacyIeFolders, L"*.bak");
  ScanFolder(out, JoinPath(c.appDataDir, L"Microsoft\\Internet Explorer"), L"*.bak");
  // Boot files live on C: whatever the Windows drive is.
  ScanFolderMasks(out, L"C:\\", c.rootFiles);
  ScanFolder(out, JoinPath(L"C:\\", L"Boot"), L"*.log");
  AddPaths(out, c.windowsDir, c.winDirFolders);
  std::wstring variable;
  if (machine.Environment(L"ALLUSERSPROFILE", variable)) {
    AddPaths(out, c.allUsersProfileDir, c.allUsersFolders);
    AddPath(out, JoinPath(c.windowsDir, L"Temp"));
  }
  AddPaths(out, c.appDataDir, c.appDataFolders);
  ScanFolder(out, JoinPath(c.localAppDataDir, L"Microsoft\\Windows\\Explorer"), L"thumbcache*.db");
  ScanFolder(out, JoinPath(c.programFilesDir, L"Directx"), kAllFilesMask);
  ScanFolder(out, c.officeShortcutBarDir, L"*.tmp");
  ScanFolder(out, JoinPath(c.icqDir, L"AteBrowser"), kAllFilesMask);
  ScanFolder(out, c.musicDir, L"music.*");
  ScanFolder(out, JoinPath(c.localAppDataDir, L"Microsoft\\CLR_v4.0"), L"*.log");
  ScanFolder(out, JoinPath(c.localAppDataDir, L"Microsoft\\CLR_v4.0_32"), L"*.log");
  ScanTree(out, JoinPath(c.localAppDataDir, L"Adobe\\Acrobat"), L"*.lst");
  ScanTree(out, JoinPath(c.appDataDir, L"Nero"), L"*.log");
  ScanTree(out, JoinPath(c.appDataDir, L"Nero"), L"LogFile.txt");
  ScanTree(out, JoinPath(c.windowsDir, L"Panther"), L"*.log");
  ScanTree(out, JoinPath(c.windowsDir, L"ServiceProfiles"), L"*.log");
  ScanTree(out, JoinPath(c.windowsDir, L"Microsoft.NET\\Framework"), L"*.log");
  ScanTree(out, JoinPath(c.windowsDir, L"Microsoft.NET\\Framework64"), L"*.log");
  if (machine.Environment(L"TMP", variable)) AddPath(out, variable);
  WalkFixedDrives(machine, [&](const std::wstring& root) {
    ScanFolderMasks(out, root, c.fixedDriveMasks);
    AddPaths(out, root, c.fixedDriveFolders);
  });
}

void ScanCookies(const Catalogue& c, IMachine& machine, IFoundItemSink& out) {
  std::wstring cookies;
  if (machine.SpecialFolder(CSIDL_COOKIES, cookies)) ScanFolder(out, cookies, L"*.txt");
  ScanFolder(out, JoinPath(c.netscapeDir, L"Users\\Default"), L"cookies.*");
  ScanFoldersWithMask(out, c.appDataDir, c.realPlayerFolders, L"cookies.*");
  AddPath(out, JoinPath(c.appDataDir, L"Macromedia\\Flash Player\\#SharedObjects"));
  ScanFolder(out, c.mozillaProfileDir, L"cookies.*");
  ScanFolder(out, c.firefoxProfileDir, L"cookies.*");
  ScanFolder(out, JoinPath(c.firefoxProfileDir, L"storage\\default"), kAllFilesMask);
  ScanFolder(out, c.chromeProfileDir, L"cookies.*");
  ScanFolder(out, JoinPath(c.chromeProfileDir, L"Default\\Local Storage"), kAllFilesMask);
  ScanFolder(out, c.chromeProfileDir, L"Extension Cookies");
  ScanFolder(out, c.chromeProfileDir, L"Last Session");
  ScanFolder(out, c.operaProfileDir, L"cookies4.*");
  ScanFolder(out, JoinPath(c.windowsDir, L"system32\\astart.bat\\Cookies"), kAllFilesMask);
  ScanFolder(out, JoinPath(c.appDataDir, L"Apple Computer\\Safari\\Cookies"), kAllFilesMask);
  ScanTree(out, c.edgePackageAcDir, L"Cookies");
  for (const std::wstring& path : c.edgeDomStorePaths) AddPath(out, path);
}

void ScanOfflineTemp(const Catalogue& c, IMachine& machine, IFoundItemSink& out) {
  WalkFixedDrives(machine, [&](const std::wstring& root) {
    AddPaths(out, root, c.fixedDriveSetupFolders);
    AddPath(out, JoinPath(root, L"Inetpub\\Scripts"));
  });
  ScanFolder(out, JoinPath(c.programFilesDir, L"WindowsUpdate"), kAllFilesMask);
  AddPath(out, JoinPath(c.netscapeDir, L"Users\\Default\\Cache"));
  ScanFoldersWithMask(out, c.appDataDir, c.realPlayerFolders, L"urls.ini");
  AddPath(out, JoinPath(c.appDataDir, L"Real\\Roaming\\BitComet\\torrents"));
  AddPath(out, JoinPath(c.appDataDir, L"Real\\RealOne Player\\History"));
  ScanFolder(out, JoinPath(c.appDataDir, L"Real\\RealOne Player\\Temp"), kAllFilesMask);
  AddPath(out, JoinPath(c.appDataDir, L"Real\\RealPlayer\\History"));
  AddPath(out, JoinPath(c.appDataDir, L"Adobe\\Flash Player\\AssetCache"));
  AddPath(out, JoinPath(c.appDataDir, L"Macromedia\\Flash Player"));
  ScanFolder(out, JoinPath(c.appDataDir, L"Real\\RealPlayer\\Temp"), kAllFilesMask);
  AddPaths(out, c.windowsDir, c.winDirCacheFolders);
  AddPaths(out, c.localAppDataDir, c.localAppDataFolders);
  ScanTree(out, JoinPath(c.localAppDataDir, L"Adobe\\Acrobat"), L"Cache");
  ScanFolder(out, JoinPath(c.localAppDataDir, L"Microsoft\\Windows Mail"), L"*.jrs");
  ScanFolder(out, JoinPath(c.localAppDataDir, L"Microsoft\\Windows Mail"), L"*.log");
  ScanFolder(out, c.operaProfileDir, L"download.*");
  ScanFolder(out, c.chromeProfileDir, L"Safe Browsing Cookies-journal");
  AddPath(out, JoinPath(c.chromeProfileDir, L"Application Cache"));
  AddPath(out, JoinPath(c.chromeProfileDir, L"Cache"));
  AddPath(out, JoinPath(c.chromeProfileDir, L"GPUCache"));
  AddPath(out, JoinPath(c.chromeProfileDir, L"Media Cache"));
  AddPath(out, JoinPath(c.chromeProfileDir, L"..\\ShaderCache"));
  AddPath(out, JoinPath(c.chromeProfileDir, L"Sync Data Backup"));
  std::wstring jreDir = JoinPath(c.appDataDir, L"LocalLow\\Sun\\Java");
  if (!jreDir.empty()) ResolveWildcardFolder(jreDir, L"jre1.*");
  ScanFolder(out, jreDir, L"Java3Bill*.*");
  ScanFolder(out, JoinPath(c.commonFilesX86Dir, L"Windows Live\\.cache"), kAllFilesMask);
  AddPath(out, JoinPath(c.internetCacheDir, L"Content.IE5"));
  AddPath(out, JoinPath(c.localAppDataDir,
                        L"Microsoft\\Windows\\Temporary Internet Files\\Low\\Content.IE5"));
  AddPath(out, JoinPath(c.mozillaProfileDir, L"Cache"));
  AddPath(out, JoinPath(c.firefoxProfileDir, L"Cache"));
  AddPath(out, JoinPath(c.firefoxLocalProfileDir, L"cache2"));
  AddPath(out, JoinPath(c.firefoxLocalProfileDir, L"jumpListCache"));
  AddPath(out, JoinPath(c.firefoxLocalProfileDir, L"OfflineCache"));
  ScanFolder(out, JoinPath(c.firefoxProfileDir, L"minidumps"), kAllFilesMask);
  ScanFolder(out, c.firefoxLocalProfileDir, L"*.bak");
  ScanFolder(out, c.firefoxProfileDir, L"downloads.*");
  ScanFolder(out, JoinPath(c.safariLocalDir, L"..\\com.apple.Safari.PrivateBrowsing"), L"Cache.db");
  ScanFolder(out, JoinPath(c.appDataDir, L"Apple Computer\\Safari"), L"Downloads.plist");
  AddPath(out, JoinPath(c.operaProfileDir, L"cache4"));
  ScanFolder(out, c.operaProfileDir, L"download.*");
  for (const std::wstring& path : c.edgeCachePaths) AddPath(out, path);
  ScanTree(out, c.edgePackageAcDir, L"AppCache");
  ScanTree(out, c.edgePackageAcDir, L"Cache");
}

void ScanMode(CleaningMode mode, const Catalogue& catalogue, IMachine& machine,
              IFoundItemSink& sink, const std::vector<Place>& extended) {
  switch (mode) {
    case CleaningMode::Standard:
      ScanStandard(catalogue, machine, sink);
      break;
    case CleaningMode::Cookies:
      ScanCookies(catalogue, machine, sink);
      break;
    case CleaningMode::Offline:
      ScanOfflineTemp(catalogue, machine, sink);
      break;
  }
  ScanDefinitions(mode, extended, catalogue, machine, sink);
  sink.EndOfScan();
}

}  // namespace klarex
