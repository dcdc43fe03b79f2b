// The catalogue lists as the program's documentation gives them, written out
// again for the tests (independently of src/engine/klarex_doc.cpp).
#pragma once
#include <utility>
#include <vector>

namespace klarex::test {

using Names = std::vector<const wchar_t*>;
using Pairs = std::vector<std::pair<const wchar_t*, const wchar_t*>>;

inline const Pairs kWinDirSubfolderMasks = {
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

inline const Names kLegacyIeFolders = {
    L"Documents and Settings\\Default User\\Application Data\\Microsoft\\Internet Explorer",
    L"Documents and Settings\\Local Settings\\Application Data\\Microsoft\\Internet Explorer",
    L"Documents and Settings\\NetworkService\\Application Data\\Microsoft\\Internet Explorer",
    L"Documents and Settings\\Local Settings\\Local Settings\\Application Data\\Microsoft\\Windows",
    L"Documents and Settings\\NetworkService\\Local Settings\\Application Data\\Microsoft\\Windows",
};

inline const Names kWinDirMasks = {L"*.bak", L"*.bmp", L"*.DMP",     L"*.log",    L"*.old",
                                   L"*.tmp", L"*.txt", L"progman.*", L"winfile.*"};
inline const Names kFixedDriveMasks = {L"*.chk", L"*.bak", L"*.log", L"*.tmp"};
inline const Names kAllUsersFolders = {L"Documents and Settings\\Dr Watson",
                                       L"Application Data\\Microsoft\\Dr Watson"};
inline const Names kAppDataFolders = {
    L"Apple\\Installer Cache",
    L"Microsoft\\Web service\\Cache",
    L"Microsoft\\Welcome",
    L"Local\\CrashDumps",
    L"LocalLow\\Sun\\Java\\Deployment\\cache",
    L"Roaming\\Mozilla\\Firefox\\Crash Reports\\pending",
};
inline const Names kRootFiles = {L"arcldr.exe",  L"arcsetup.exe", L"classes.1st", L"detlog.txt",
                                 L"frunlog.txt", L"netlog.txt",   L"*.old",       L"setuplog.txt",
                                 L"suhdlog.dat", L"system.1st",   L"videorom.bin"};
inline const Names kFixedDriveFolders = {L"Found.000", L"Found.001", L"Found.002", L"Found.003",
                                         L"Found.004", L"Found.005", L"Found.006", L"Found.007",
                                         L"Found.008", L"Found.009"};
inline const Names kWinDirFolders = {
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
inline const Names kFixedDriveSetupFolders = {L"msdownld.tmp", L"Wininst0.400"};
inline const Names kWinDirCacheFolders = {
    L"Application Compatibility Scripts", L"Downloaded Installations",
    L"IIS Temporary Compressed Files",    L"Offline Web Pages",
    L"Windows Update Setup Files",        L"WinSxS\\InstallTemp",
};
inline const Names kLocalAppDataFolders = {
    L"Application Data\\Apps",
    L"Application Data\\Microsoft\\Feeds Cache",
    L"Application Data\\Microsoft\\VisualStudio\\8.0\\ProjectAssemblies",
    L"Application Data\\Microsoft\\WebsiteCache",
    L"Microsoft\\Terminal Server Client\\Cache",
    L"Microsoft\\Windows\\INetCache\\Virtualized",
    L"Microsoft\\Windows\\WER\\ReportArchive",
    L"Packages\\Microsoft.MicrosoftEdge_"
    L"8wekyb3d8bbwe\\AC\\MicrosoftEdge\\User\\Default\\DownloadHistory",
    L"..\\LocalLow\\Microsoft\\CryptnetUrlCache",
};
inline const Names kRealPlayerFolders = {L"Real\\RealOne Player", L"Real\\RealPlayer"};

#define KLAREX_EDGE_STORAGE                                                                        \
  L"SOFTWARE\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\CurrentVersion\\AppContainer" \
  L"\\Storage\\microsoft.microsoftedge_8wekyb3d8bbwe\\MicrosoftEdge\\"
#define KLAREX_EXPLORER_BARS                           \
  L"Software\\Microsoft\\Internet Explorer\\Explorer " \
  L"Bars\\{C4EE31F3-4768-11D2-BE5C-00A0C9A83DA1}\\"
#define KLAREX_REALPLAYER_PREFS L"Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\"

inline const Names kRunHistoryKeys = {
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU",
    L"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache",
    L"Software\\WinRAR\\DialogEditHistory",
};
inline const Names kAutoCompleteKeys = {
    L"Software\\Microsoft\\Internet Explorer\\IntelliForms",
    KLAREX_EDGE_STORAGE L"IntelliForms\\FormData",
};
inline const Names kTypedUrlKeys = {
    L"Software\\Microsoft\\Internet Explorer\\TypedURLs",
    KLAREX_EDGE_STORAGE L"TypedURLs",
    KLAREX_EDGE_STORAGE L"TypedURLsTime",
    KLAREX_EDGE_STORAGE L"TypedURLsVisitCount",
};
inline const Names kFindHistoryKeys = {
    KLAREX_EXPLORER_BARS L"ContainingTextMRU",
    KLAREX_EXPLORER_BARS L"FilesNamedMRU",
    KLAREX_EXPLORER_BARS L"ComputerNameMRU",
    L"Software\\Microsoft\\Internet Explorer\\Search\\SearchAssistant",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Doc Find Spec MRU",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FindComputerMRU",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\WordWheelQuery",
    L"Software\\Google\\NavClient\\1.1\\History",
};
inline const Names kRecentDocKeys = {
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU",
    L"Software\\Microsoft\\Directdraw\\MostRecentApplication",
    L"Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List",
    KLAREX_REALPLAYER_PREFS L"MostRecentClips1",
    KLAREX_REALPLAYER_PREFS L"MostRecentClips2",
    KLAREX_REALPLAYER_PREFS L"MostRecentClips3",
    KLAREX_REALPLAYER_PREFS L"MostRecentClips4",
    L"Software\\Macromedia\\Flash 7\\LastOpenDocs",
    L"Software\\Macromedia\\Flash 7\\Recent File List",
    L"Software\\Microsoft\\FrontPage\\Explorer\\FrontPage Explorer\\Recent Page List",
    L"Software\\Microsoft\\MSPaper 11.0\\Recent File List",
    L"Software\\Microsoft\\Office\\11.0\\PowerPoint\\Recent File List",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Wordpad\\Recent File List",
    L"Software\\WinRAR\\ArcHistory",
    L"Software\\Adobe\\Acrobat Reader\\9.0\\AVGeneral\\cRecentFiles",
};

#undef KLAREX_EDGE_STORAGE
#undef KLAREX_EXPLORER_BARS
#undef KLAREX_REALPLAYER_PREFS

}  // namespace klarex::test
