// The three cleaning modes: fixed recipes of scanner steps over the catalogue.
#include <shlobj.h>

#include "engine/klarex_doc.h"
#include "sys/queries.h"

namespace klarex {

// Runs `perDrive` on the root of every fixed drive, in letter order.
template <typename PerDrive>
void CKlarexDoc::WalkFixedDrives(PerDrive perDrive) {
  m_driveMask = m_machine.LogicalDrives();
  for (wchar_t letter = L'A'; m_driveMask != 0; m_driveMask >>= 1, ++letter) {
    if (!(m_driveMask & 1)) continue;
    m_driveRoot[0] = letter;
    if (m_machine.DriveType(m_driveRoot) == DRIVE_FIXED) perDrive(m_driveRoot);
  }
}

void CKlarexDoc::ScanStandard() {
  ScanFolderMasks(m_windowsDir, m_winDirMasks);
  ScanSubfolderMasks(m_windowsDir, m_winDirSubfolderMasks);
  ScanFolder(JoinPath(m_windowsDir, L"System32\\Msdtc"), m_allFilesMask.c_str(), L"MSDTC.LOG");
  AddPath(JoinPath(m_systemDrive, L"ProgramData\\Microsoft\\Windows Defender\\Scans"));
  AddPath(JoinPath(m_systemDrive, L"ProgramData\\Microsoft\\Windows Defender\\Support"));
  ScanFoldersWithMask(m_systemDrive, m_legacyIeFolders, L"*.bak");
  ScanFolder(JoinPath(m_appDataDir, L"Microsoft\\Internet Explorer"), L"*.bak");
  // Boot files live on C: whatever the Windows drive is.
  ScanFolderMasks(L"C:\\", m_rootFiles);
  ScanFolder(JoinPath(L"C:\\", L"Boot"), L"*.log");
  AddPaths(m_windowsDir, m_winDirFolders);
  std::wstring variable;
  if (m_machine.Environment(L"ALLUSERSPROFILE", variable)) {
    AddPaths(m_allUsersProfileDir, m_allUsersFolders);
    AddPath(JoinPath(m_windowsDir, L"Temp"));
  }
  AddPaths(m_appDataDir, m_appDataFolders);
  ScanFolder(JoinPath(m_localAppDataDir, L"Microsoft\\Windows\\Explorer"), L"thumbcache*.db");
  ScanFolder(JoinPath(m_programFilesDir, L"Directx"), m_allFilesMask.c_str());
  ScanFolder(m_officeShortcutBarDir, L"*.tmp");
  ScanFolder(JoinPath(m_icqDir, L"AteBrowser"), m_allFilesMask.c_str());
  ScanFolder(m_musicDir, L"music.*");
  ScanFolder(JoinPath(m_localAppDataDir, L"Microsoft\\CLR_v4.0"), L"*.log");
  ScanFolder(JoinPath(m_localAppDataDir, L"Microsoft\\CLR_v4.0_32"), L"*.log");
  ScanTree(JoinPath(m_localAppDataDir, L"Adobe\\Acrobat"), L"*.lst");
  ScanTree(JoinPath(m_appDataDir, L"Nero"), L"*.log");
  ScanTree(JoinPath(m_appDataDir, L"Nero"), L"LogFile.txt");
  ScanTree(JoinPath(m_windowsDir, L"Panther"), L"*.log");
  ScanTree(JoinPath(m_windowsDir, L"ServiceProfiles"), L"*.log");
  ScanTree(JoinPath(m_windowsDir, L"Microsoft.NET\\Framework"), L"*.log");
  ScanTree(JoinPath(m_windowsDir, L"Microsoft.NET\\Framework64"), L"*.log");
  if (m_machine.Environment(L"TMP", variable)) AddPath(variable);
  WalkFixedDrives([this](const std::wstring& root) {
    ScanFolderMasks(root, m_fixedDriveMasks);
    AddPaths(root, m_fixedDriveFolders);
  });
  UpdateAllViews(nullptr, 0);
}

void CKlarexDoc::ScanCookies() {
  std::wstring cookies;
  if (m_machine.SpecialFolder(CSIDL_COOKIES, cookies)) ScanFolder(cookies, L"*.txt");
  ScanFolder(JoinPath(m_netscapeDir, L"Users\\Default"), L"cookies.*");
  ScanFoldersWithMask(m_appDataDir, m_realPlayerFolders, L"cookies.*");
  AddPath(JoinPath(m_appDataDir, L"Macromedia\\Flash Player\\#SharedObjects"));
  ScanFolder(m_mozillaProfileDir, L"cookies.*");
  ScanFolder(m_firefoxProfileDir, L"cookies.*");
  ScanFolder(JoinPath(m_firefoxProfileDir, L"storage\\default"), m_allFilesMask.c_str());
  ScanFolder(m_chromeProfileDir, L"cookies.*");
  ScanFolder(JoinPath(m_chromeProfileDir, L"Default\\Local Storage"), m_allFilesMask.c_str());
  ScanFolder(m_chromeProfileDir, L"Extension Cookies");
  ScanFolder(m_chromeProfileDir, L"Last Session");
  ScanFolder(m_operaProfileDir, L"cookies4.*");
  ScanFolder(JoinPath(m_windowsDir, L"system32\\astart.bat\\Cookies"), m_allFilesMask.c_str());
  ScanFolder(JoinPath(m_appDataDir, L"Apple Computer\\Safari\\Cookies"), m_allFilesMask.c_str());
  ScanTree(m_edgePackageAcDir, L"Cookies");
  for (const std::wstring& path : std::vector<std::wstring>(m_edgeDomStorePaths)) AddPath(path);
  UpdateAllViews(nullptr, 0);
}

void CKlarexDoc::ScanOfflineTemp() {
  WalkFixedDrives([this](const std::wstring& root) {
    AddPaths(root, m_fixedDriveSetupFolders);
    AddPath(JoinPath(root, L"Inetpub\\Scripts"));
  });
  ScanFolder(JoinPath(m_programFilesDir, L"WindowsUpdate"), m_allFilesMask.c_str());
  AddPath(JoinPath(m_netscapeDir, L"Users\\Default\\Cache"));
  ScanFoldersWithMask(m_appDataDir, m_realPlayerFolders, L"urls.ini");
  AddPath(JoinPath(m_appDataDir, L"Real\\Roaming\\BitComet\\torrents"));
  AddPath(JoinPath(m_appDataDir, L"Real\\RealOne Player\\History"));
  ScanFolder(JoinPath(m_appDataDir, L"Real\\RealOne Player\\Temp"), m_allFilesMask.c_str());
  AddPath(JoinPath(m_appDataDir, L"Real\\RealPlayer\\History"));
  AddPath(JoinPath(m_appDataDir, L"Adobe\\Flash Player\\AssetCache"));
  AddPath(JoinPath(m_appDataDir, L"Macromedia\\Flash Player"));
  ScanFolder(JoinPath(m_appDataDir, L"Real\\RealPlayer\\Temp"), m_allFilesMask.c_str());
  AddPaths(m_windowsDir, m_winDirCacheFolders);
  AddPaths(m_localAppDataDir, m_localAppDataFolders);
  ScanTree(JoinPath(m_localAppDataDir, L"Adobe\\Acrobat"), L"Cache");
  ScanFolder(JoinPath(m_localAppDataDir, L"Microsoft\\Windows Mail"), L"*.jrs");
  ScanFolder(JoinPath(m_localAppDataDir, L"Microsoft\\Windows Mail"), L"*.log");
  ScanFolder(m_operaProfileDir, L"download.*");
  ScanFolder(m_chromeProfileDir, L"Safe Browsing Cookies-journal");
  AddPath(JoinPath(m_chromeProfileDir, L"Application Cache"));
  AddPath(JoinPath(m_chromeProfileDir, L"Cache"));
  AddPath(JoinPath(m_chromeProfileDir, L"GPUCache"));
  AddPath(JoinPath(m_chromeProfileDir, L"Media Cache"));
  AddPath(JoinPath(m_chromeProfileDir, L"..\\ShaderCache"));
  AddPath(JoinPath(m_chromeProfileDir, L"Sync Data Backup"));
  std::wstring jreDir = JoinPath(m_appDataDir, L"LocalLow\\Sun\\Java");
  if (!jreDir.empty()) ResolveWildcardFolder(jreDir, L"jre1.*");
  ScanFolder(jreDir, L"Java3Bill*.*");
  ScanFolder(JoinPath(m_commonFilesX86Dir, L"Windows Live\\.cache"), m_allFilesMask.c_str());
  AddPath(JoinPath(m_internetCacheDir, L"Content.IE5"));
  AddPath(JoinPath(m_localAppDataDir,
                   L"Microsoft\\Windows\\Temporary Internet Files\\Low\\Content.IE5"));
  AddPath(JoinPath(m_mozillaProfileDir, L"Cache"));
  AddPath(JoinPath(m_firefoxProfileDir, L"Cache"));
  AddPath(JoinPath(m_firefoxLocalProfileDir, L"cache2"));
  AddPath(JoinPath(m_firefoxLocalProfileDir, L"jumpListCache"));
  AddPath(JoinPath(m_firefoxLocalProfileDir, L"OfflineCache"));
  ScanFolder(JoinPath(m_firefoxProfileDir, L"minidumps"), m_allFilesMask.c_str());
  ScanFolder(m_firefoxLocalProfileDir, L"*.bak");
  ScanFolder(m_firefoxProfileDir, L"downloads.*");
  ScanFolder(JoinPath(m_safariLocalDir, L"..\\com.apple.Safari.PrivateBrowsing"), L"Cache.db");
  ScanFolder(JoinPath(m_appDataDir, L"Apple Computer\\Safari"), L"Downloads.plist");
  AddPath(JoinPath(m_operaProfileDir, L"cache4"));
  ScanFolder(m_operaProfileDir, L"download.*");
  for (const std::wstring& path : std::vector<std::wstring>(m_edgeCachePaths)) AddPath(path);
  ScanTree(m_edgePackageAcDir, L"AppCache");
  ScanTree(m_edgePackageAcDir, L"Cache");
  UpdateAllViews(nullptr, 0);
}

}  // namespace klarex
