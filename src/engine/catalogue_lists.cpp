// The fixed lists of the target catalogue, in the order the scans walk them.
#include "engine/catalogue.h"

namespace klarex {

namespace {

// Below the Windows folder.
void FillWindowsFolderLists(Catalogue& c) {
  c.winDirSubfolderMasks = {
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
  c.winDirMasks = {L"*.bak", L"*.bmp", L"*.DMP",     L"*.log",    L"*.old",
                   L"*.tmp", L"*.txt", L"progman.*", L"winfile.*"};
  c.winDirFolders = {
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
  c.winDirCacheFolders = {
      L"Application Compatibility Scripts", L"Downloaded Installations",
      L"IIS Temporary Compressed Files",    L"Offline Web Pages",
      L"Windows Update Setup Files",        L"WinSxS\\InstallTemp",
  };
}

// On the drives and in the profile folders.
void FillDriveAndProfileLists(Catalogue& c) {
  c.legacyIeFolders = {
      L"Documents and Settings\\Default User\\Application Data\\Microsoft\\Internet Explorer",
      L"Documents and Settings\\Local Settings\\Application Data\\Microsoft\\Internet Explorer",
      L"Documents and Settings\\NetworkService\\Application Data\\Microsoft\\Internet Explorer",
      L"Documents and Settings\\Local Settings\\Local Settings\\Application "
      L"Data\\Microsoft\\Windows",
      L"Documents and Settings\\NetworkService\\Local Settings\\Application "
      L"Data\\Microsoft\\Windows",
  };
  c.fixedDriveMasks = {L"*.chk", L"*.bak", L"*.log", L"*.tmp"};
  c.allUsersFolders = {L"Documents and Settings\\Dr Watson",
                       L"Application Data\\Microsoft\\Dr Watson"};
  c.appDataFolders = {
      L"Apple\\Installer Cache",
      L"Microsoft\\Web service\\Cache",
      L"Microsoft\\Welcome",
      L"Local\\CrashDumps",
      L"LocalLow\\Sun\\Java\\Deployment\\cache",
      L"Roaming\\Mozilla\\Firefox\\Crash Reports\\pending",
  };
  c.rootFiles = {L"arcldr.exe",  L"arcsetup.exe", L"classes.1st", L"detlog.txt",
                 L"frunlog.txt", L"netlog.txt",   L"*.old",       L"setuplog.txt",
                 L"suhdlog.dat", L"system.1st",   L"videorom.bin"};
  c.fixedDriveFolders = {L"Found.000", L"Found.001", L"Found.002", L"Found.003", L"Found.004",
                         L"Found.005", L"Found.006", L"Found.007", L"Found.008", L"Found.009"};
  c.fixedDriveSetupFolders = {L"msdownld.tmp", L"Wininst0.400"};
  c.localAppDataFolders = {
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
  c.realPlayerFolders = {L"Real\\RealOne Player", L"Real\\RealPlayer"};
}

// Registry histories of the privacy categories.
void FillRegistryKeyLists(Catalogue& c) {
  c.runHistoryKeys = {
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU",
      L"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache",
      L"Software\\WinRAR\\DialogEditHistory",
  };
  c.autoCompleteKeys = {
      L"Software\\Microsoft\\Internet Explorer\\IntelliForms",
      L"SOFTWARE\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\CurrentVersion\\"
      L"AppContainer\\Storage\\microsoft.microsoftedge_8wekyb3d8bbwe\\MicrosoftEdge\\"
      L"IntelliForms\\FormData",
  };
  c.typedUrlKeys = {
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
  c.findHistoryKeys = {
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
  c.recentDocKeys = {
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

}  // namespace

void FillFixedLists(Catalogue& catalogue) {
  FillWindowsFolderLists(catalogue);
  FillDriveAndProfileLists(catalogue);
  FillRegistryKeyLists(catalogue);
}

}  // namespace klarex
