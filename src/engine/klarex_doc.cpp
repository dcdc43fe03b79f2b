// The document's constructor builds the target catalogue: base folders from the
// machine, derived browser folders found by probing, and the fixed lists.
#include "engine/klarex_doc.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>

#include "sys/queries.h"

namespace klarex {

std::wstring g_folderTypeName;

namespace {

// Registry texts and special folders are copied into MAX_PATH buffers.
constexpr size_t kMaxPathChars = MAX_PATH - 1;

constexpr wchar_t kEdgeStorageKey[] =
    L"SOFTWARE\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\CurrentVersion\\"
    L"AppContainer\\Storage\\";

bool IsUnresolved(const std::wstring& folder) { return folder.empty() || folder == L"null"; }

// "%s\%s" of a base folder and a name; an unresolved base stays unresolved
// (empty) instead of turning into a path relative to the current drive.
std::wstring Under(const std::wstring& base, const wchar_t* name) {
  if (IsUnresolved(base)) return {};
  return base + L'\\' + name;
}

// A value too long for a path buffer stays unresolved: cut, it would name
// another folder.
std::wstring Fitting(std::wstring text) {
  if (text.size() > kMaxPathChars) text.clear();
  return text;
}

// The profile path of profiles.ini as a suffix of the Firefox folder
// ("\Profiles\x.default"); empty when it would lead out of that folder: a
// ".." (or "...") component, or a rooted, drive, UNC or stream path.
std::wstring ProfileSuffix(std::wstring path) {
  std::replace(path.begin(), path.end(), L'/', L'\\');
  if (path.empty() || path[0] == L'\\' || path.find(L':') != std::wstring::npos) return {};
  for (size_t start = 0; start < path.size();) {
    size_t end = path.find(L'\\', start);
    if (end == std::wstring::npos) end = path.size();
    if (end - start >= 2 && path.find_first_not_of(L'.', start) >= end) return {};
    start = end + 1;
  }
  return L"\\" + path;
}

// Keeps what stands before the last backslash; no backslash gives empty.
std::wstring CutAtLastBackslash(const std::wstring& text) {
  const size_t pos = text.rfind(L'\\');
  return pos == std::wstring::npos ? std::wstring() : text.substr(0, pos);
}

bool Exists(const std::wstring& path) { return !path.empty() && PathFileExistsW(path.c_str()); }

}  // namespace

std::wstring JoinPath(const std::wstring& a, const std::wstring& b) {
  if (IsUnresolved(a)) return {};
  wchar_t joined[MAX_PATH];
  if (!PathCombineW(joined, a.c_str(), b.c_str())) return {};
  const size_t length = wcslen(joined);
  if (length == 0 || length > kMaxPathChars) return {};
  return std::wstring(joined, length);
}

CKlarexDoc::CKlarexDoc(IMachine& machine) : m_machine(machine) {
  m_allFilesMask = L"*.*";
  m_driveRoot = L"?:\\";

  m_windowsDir = Fitting(m_machine.WindowsDirectory());
  m_systemDrive = m_windowsDir.substr(0, m_driveRoot.size() - 1);

  g_folderTypeName = GetFileTypeName(m_windowsDir.c_str());
  if (!m_machine.Environment(L"ALLUSERSPROFILE", m_allUsersProfileDir))
    m_allUsersProfileDir.clear();

  const std::pair<int, std::wstring*> specialFolders[] = {
      {CSIDL_APPDATA, &m_appDataDir},
      {CSIDL_PROGRAM_FILES, &m_programFilesDir},
      {CSIDL_PROGRAM_FILES_COMMONX86, &m_commonFilesX86Dir},
      {CSIDL_LOCAL_APPDATA, &m_localAppDataDir},
      {CSIDL_MYMUSIC, &m_musicDir},
      {CSIDL_INTERNET_CACHE, &m_internetCacheDir},
  };
  for (const auto& [csidl, member] : specialFolders) {
    std::wstring path;
    *member = m_machine.SpecialFolder(csidl, path) ? Fitting(path) : std::wstring();
  }

  m_officeShortcutBarDir = Fitting(
      m_machine.RegistryText(HKEY_LOCAL_MACHINE,
                             L"Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\Folders\\" +
                                 m_programFilesDir + L"\\Microsoft Office\\Office\\Shortcut Bar",
                             L"null"));
  m_icqDir = Fitting(m_machine.RegistryText(
      HKEY_LOCAL_MACHINE, L"SOFTWARE\\Mirabilis\\ICQ\\ICQPro\\Install\\General\\InstalledDir",
      L"null"));
  m_netscapeDir = Fitting(CutAtLastBackslash(CutAtLastBackslash(m_machine.RegistryText(
      HKEY_LOCAL_MACHINE,
      L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Netscape.exe\\Path", L"null"))));
  FindOfficeRoot();

  m_edgePackageAcDir = Under(m_localAppDataDir, L"Packages");
  if (!m_edgePackageAcDir.empty()) {
    m_edgePackageName = ResolveWildcardFolder(m_edgePackageAcDir, L"Microsoft.MicrosoftEdge*.*");
    m_edgePackageAcDir += L"\\AC";
  }
  FindEdgeCachePaths(L"Extensible Cache\\DOMStore", m_edgeDomStorePaths);
  FindEdgeCachePaths(L"Extensible Cache\\MicrosoftEdge_iecompat", m_edgeCachePaths);
  FindEdgeCachePaths(L"Extensible Cache\\MicrosoftEdge_iecompatua", m_edgeCachePaths);
  FindEdgeCachePaths(L"Extensible Cache\\MicrosoftEdge_bingpagedata", m_edgeCachePaths);

  FillLists();

  m_mozillaProfileDir = Under(m_appDataDir, L"Mozilla\\Profiles\\default");
  if (!m_mozillaProfileDir.empty()) ResolveWildcardFolder(m_mozillaProfileDir, L"*.slt");

  m_operaProfileDir = FindAppDataFolder(L"Opera", false);
  if (Exists(m_operaProfileDir)) {
    ResolveWildcardFolder(m_operaProfileDir, L"Opera*.*");
    m_operaProfileDir += L"\\profile";
  }

  m_chromeProfileDir = FindAppDataFolder(L"Google\\Chrome\\User Data\\Default", false);

  m_firefoxProfileDir = FindFirefoxProfile(false);
  if (Exists(m_firefoxProfileDir)) OpenFirefoxHistory();
  m_firefoxLocalProfileDir = FindFirefoxProfile(true);

  m_safariLocalDir = Under(m_localAppDataDir, L"Apple Computer\\Safari");
}

CKlarexDoc::~CKlarexDoc() {
  if (!m_historyDb.IsOpen()) return;
  try {
    m_historyDb.CloseDatabase();
  } catch (const CSqliteError&) {
    // Program exit: nothing left to report to.
  }
}

std::wstring CKlarexDoc::FindAppDataFolder(const wchar_t* name, bool localOnly) const {
  if (!localOnly) {
    std::wstring roaming = Under(m_appDataDir, name);
    if (Exists(roaming)) return roaming;
  }
  return Under(m_localAppDataDir, name);
}

std::wstring CKlarexDoc::FindFirefoxProfile(bool local) const {
  std::wstring base = FindAppDataFolder(L"Mozilla\\Firefox", false);
  if (base.empty()) return {};
  std::wstring suffix;
  {
    CIniReader profiles(base + L"\\profiles.ini");
    suffix = ProfileSuffix(profiles.GetString(L"Profile0", L"Path", L"."));
  }
  if (suffix.empty()) return {};  // the profile counts as not found
  if (local) base = FindAppDataFolder(L"Mozilla\\Firefox", true);
  return base + suffix;
}

void CKlarexDoc::FindOfficeRoot() {
  const std::vector<std::wstring> versions =
      m_machine.RegistrySubkeys(L"Software\\Microsoft\\Office");
  const std::wstring version = versions.empty() ? L"14.0" : versions.front();
  m_officeRootDir = Fitting(m_machine.RegistryText(
      HKEY_LOCAL_MACHINE,
      L"Software\\Microsoft\\Office\\" + version + L"\\Common\\InstallRoot\\Path", L"null"));
}

void CKlarexDoc::FindEdgeCachePaths(const wchar_t* cacheName, std::vector<std::wstring>& out) {
  const std::wstring storageKey = kEdgeStorageKey + m_edgePackageName + L"\\Children";
  for (const std::wstring& child : m_machine.RegistrySubkeys(storageKey)) {
    out.push_back(m_machine.RegistryText(
        HKEY_CURRENT_USER,
        storageKey + L'\\' + child + L"\\Internet Settings\\Cache\\" + cacheName + L"\\CachePath",
        L"null"));
  }
}

void CKlarexDoc::FillLists() {
  m_winDirSubfolderMasks = {
      {L"Inf", L"*.bak"},
      {L"Debug", L"*.log"},
      {L"Debug\\UserMode", L"*.*"},
      {L"Debug\\WIA", L"*.*"},
      {L"LiveKernelReports", L"*.*"},
      {L"ModemLogs", L"*.*"},
      {L"Log", L"*.*"},
      {L"Minidump", L"*.dmp"},
      {L"Security", L"*.chk"},
      {L"Security", L"*.log"},
      {L"Sysbckup", L"*.cpl"},
      {L"Sysbckup", L"*.dll"},
      {L"Sysbckup", L"*.drv"},
      {L"Sysbckup", L"*.sys"},
      {L"Sysbckup", L"*.vxd"},
      {L"Command", L"drv*.*"},
      {L"SoftwareDistribution", L"*.log"},
      {L"System32", L"*.bak"},
      {L"System32", L"*.tmp"},
      {L"System32\\Catroot2", L"*.chk"},
      {L"System32\\Catroot2", L"*.log"},
      {L"System32\\dtclog", L"*.*"},
      {L"System32\\logfiles", L"*.*"},
      {L"System32\\Macromed\\Flash", L"*.log"},
      {L"System32\\Msdtc\\Trace", L"*.log.*"},
      {L"System32\\Ntmsdata", L"*.bak"},
      {L"System32\\Config", L"*.bak"},
      {L"Pchealth\\ErrorRep", L"*.*"},
      {L"Pchealth\\HelpCtr\\Logs", L"*.*"},
      {L"Pchealth\\HelpCtr\\OfflineCache", L"*.*"},
      {L"Pchealth\\HelpCtr\\Temp", L"*.*"},
      {L"tracing\\wzcmon", L"*.*"},
  };
  m_legacyIeFolders = {
      L"Documents and Settings\\Default User\\Application Data\\Microsoft\\Internet Explorer",
      L"Documents and Settings\\Local Settings\\Application Data\\Microsoft\\Internet Explorer",
      L"Documents and Settings\\NetworkService\\Application Data\\Microsoft\\Internet Explorer",
      L"Documents and Settings\\Local Settings\\Local Settings\\Application "
      L"Data\\Microsoft\\Windows",
      L"Documents and Settings\\NetworkService\\Local Settings\\Application "
      L"Data\\Microsoft\\Windows",
  };
  m_winDirMasks = {L"*.bak", L"*.bmp", L"*.DMP",     L"*.log",    L"*.old",
                   L"*.tmp", L"*.txt", L"progman.*", L"winfile.*"};
  m_fixedDriveMasks = {L"*.chk", L"*.bak", L"*.log", L"*.tmp"};
  m_allUsersFolders = {L"Documents and Settings\\Dr Watson",
                       L"Application Data\\Microsoft\\Dr Watson"};
  m_appDataFolders = {
      L"Apple\\Installer Cache",
      L"Microsoft\\Web service\\Cache",
      L"Microsoft\\Welcome",
      L"Local\\CrashDumps",
      L"LocalLow\\Sun\\Java\\Deployment\\cache",
      L"Roaming\\Mozilla\\Firefox\\Crash Reports\\pending",
  };
  m_rootFiles = {L"arcldr.exe",  L"arcsetup.exe", L"classes.1st", L"detlog.txt",
                 L"frunlog.txt", L"netlog.txt",   L"*.old",       L"setuplog.txt",
                 L"suhdlog.dat", L"system.1st",   L"videorom.bin"};
  m_fixedDriveFolders = {L"Found.000", L"Found.001", L"Found.002", L"Found.003", L"Found.004",
                         L"Found.005", L"Found.006", L"Found.007", L"Found.008", L"Found.009"};
  m_winDirFolders = {
      L"Applog",
      L"msapps",
      L"Logs",
      L"Options",
      L"Repair",
      L"ServicePackFiles",
      L"SoftwareDistribution\\DataStore\\Logs",
      L"SoftwareDistribution\\Download",
      L"System32\\AdCache",
      L"System32\\cache",
      L"System32\\wbem\\Logs",
      L"Prefetch",
      L"Security\\Logs",
      L"Pchealth\\Helpctr\\Config\\Cache",
      L"Printhood",
      L"Amcdl",
      L"Connection Wizard",
      L"Csc",
      L"system32\\cache632",
      L"Driver Cache",
      L"System\\Wbem\\Logs",
  };
  m_fixedDriveSetupFolders = {L"msdownld.tmp", L"Wininst0.400"};
  m_winDirCacheFolders = {
      L"Application Compatibility Scripts", L"Downloaded Installations",
      L"IIS Temporary Compressed Files",    L"Offline Web Pages",
      L"Windows Update Setup Files",        L"WinSxS\\InstallTemp",
  };
  m_localAppDataFolders = {
      L"Application Data\\Apps",
      L"Application Data\\Microsoft\\Feeds Cache",
      L"Application Data\\Microsoft\\VisualStudio\\8.0\\ProjectAssemblies",
      L"Application Data\\Microsoft\\WebsiteCache",
      L"Microsoft\\Terminal Server Client\\Cache",
      L"Microsoft\\Windows\\INetCache\\Virtualized",
      L"Microsoft\\Windows\\WER\\ReportArchive",
      L"Packages\\Microsoft.MicrosoftEdge_8wekyb3d8bbwe\\AC\\MicrosoftEdge\\User\\Default\\"
      L"DownloadHistory",
      L"..\\LocalLow\\Microsoft\\CryptnetUrlCache",
  };
  m_realPlayerFolders = {L"Real\\RealOne Player", L"Real\\RealPlayer"};

  m_runHistoryKeys = {
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU",
      L"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache",
      L"Software\\WinRAR\\DialogEditHistory",
  };
  m_autoCompleteKeys = {
      L"Software\\Microsoft\\Internet Explorer\\IntelliForms",
      L"SOFTWARE\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\CurrentVersion\\"
      L"AppContainer\\Storage\\microsoft.microsoftedge_8wekyb3d8bbwe\\MicrosoftEdge\\"
      L"IntelliForms\\FormData",
  };
  m_typedUrlKeys = {
      L"Software\\Microsoft\\Internet Explorer\\TypedURLs",
      L"SOFTWARE\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\CurrentVersion\\"
      L"AppContainer\\Storage\\microsoft.microsoftedge_8wekyb3d8bbwe\\MicrosoftEdge\\TypedURLs",
      L"SOFTWARE\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\CurrentVersion\\"
      L"AppContainer\\Storage\\microsoft.microsoftedge_8wekyb3d8bbwe\\MicrosoftEdge\\"
      L"TypedURLsTime",
      L"SOFTWARE\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\CurrentVersion\\"
      L"AppContainer\\Storage\\microsoft.microsoftedge_8wekyb3d8bbwe\\MicrosoftEdge\\"
      L"TypedURLsVisitCount",
  };
  m_findHistoryKeys = {
      L"Software\\Microsoft\\Internet Explorer\\Explorer Bars\\"
      L"{C4EE31F3-4768-11D2-BE5C-00A0C9A83DA1}\\ContainingTextMRU",
      L"Software\\Microsoft\\Internet Explorer\\Explorer Bars\\"
      L"{C4EE31F3-4768-11D2-BE5C-00A0C9A83DA1}\\FilesNamedMRU",
      L"Software\\Microsoft\\Internet Explorer\\Explorer Bars\\"
      L"{C4EE31F3-4768-11D2-BE5C-00A0C9A83DA1}\\ComputerNameMRU",
      L"Software\\Microsoft\\Internet Explorer\\Search\\SearchAssistant",
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Doc Find Spec MRU",
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FindComputerMRU",
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\WordWheelQuery",
      L"Software\\Google\\NavClient\\1.1\\History",
  };
  m_recentDocKeys = {
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs",
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU",
      L"Software\\Microsoft\\Directdraw\\MostRecentApplication",
      L"Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList",
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List",
      L"Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\MostRecentClips1",
      L"Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\MostRecentClips2",
      L"Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\MostRecentClips3",
      L"Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\MostRecentClips4",
      L"Software\\Macromedia\\Flash 7\\LastOpenDocs",
      L"Software\\Macromedia\\Flash 7\\Recent File List",
      L"Software\\Microsoft\\FrontPage\\Explorer\\FrontPage Explorer\\Recent Page List",
      L"Software\\Microsoft\\MSPaper 11.0\\Recent File List",
      L"Software\\Microsoft\\Office\\11.0\\PowerPoint\\Recent File List",
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Wordpad\\Recent File List",
      L"Software\\WinRAR\\ArcHistory",
      L"Software\\Adobe\\Acrobat Reader\\9.0\\AVGeneral\\cRecentFiles",
  };
}

}  // namespace klarex
