// Building the target catalogue: base folders from the machine, then browser
// folders derived from them by probing the file system, then the fixed lists.
#include "engine/catalogue.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>

#include "sys/queries.h"

namespace klarex {

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

std::wstring FindFirefoxProfile(const Catalogue& c, bool local) {
  std::wstring base = FindAppDataFolder(c, L"Mozilla\\Firefox", false);
  if (base.empty()) return {};
  std::wstring suffix;
  {
    CIniReader profiles(base + L"\\profiles.ini");
    suffix = ProfileSuffix(profiles.GetString(L"Profile0", L"Path", L"."));
  }
  if (suffix.empty()) return {};  // the profile counts as not found
  if (local) base = FindAppDataFolder(c, L"Mozilla\\Firefox", true);
  return base + suffix;
}

std::wstring FindOfficeRoot(IMachine& machine) {
  const std::vector<std::wstring> versions =
      machine.RegistrySubkeys(L"Software\\Microsoft\\Office");
  const std::wstring version = versions.empty() ? L"14.0" : versions.front();
  return Fitting(machine.RegistryText(
      HKEY_LOCAL_MACHINE,
      L"Software\\Microsoft\\Office\\" + version + L"\\Common\\InstallRoot\\Path", L"null"));
}

void FindEdgeCachePaths(IMachine& machine, const std::wstring& packageName,
                        const wchar_t* cacheName, std::vector<std::wstring>& out) {
  const std::wstring storageKey = kEdgeStorageKey + packageName + L"\\Children";
  for (const std::wstring& child : machine.RegistrySubkeys(storageKey)) {
    out.push_back(machine.RegistryText(
        HKEY_CURRENT_USER,
        storageKey + L'\\' + child + L"\\Internet Settings\\Cache\\" + cacheName + L"\\CachePath",
        L"null"));
  }
}

void FindBaseFolders(Catalogue& c, IMachine& machine) {
  c.windowsDir = Fitting(machine.WindowsDirectory());
  c.systemDrive = c.windowsDir.substr(0, 2);
  if (!machine.Environment(L"ALLUSERSPROFILE", c.allUsersProfileDir)) c.allUsersProfileDir.clear();

  const std::pair<int, std::wstring*> specialFolders[] = {
      {CSIDL_APPDATA, &c.appDataDir},
      {CSIDL_PROGRAM_FILES, &c.programFilesDir},
      {CSIDL_PROGRAM_FILES_COMMONX86, &c.commonFilesX86Dir},
      {CSIDL_LOCAL_APPDATA, &c.localAppDataDir},
      {CSIDL_MYMUSIC, &c.musicDir},
      {CSIDL_INTERNET_CACHE, &c.internetCacheDir},
  };
  for (const auto& [csidl, member] : specialFolders) {
    std::wstring path;
    *member = machine.SpecialFolder(csidl, path) ? Fitting(path) : std::wstring();
  }

  c.officeShortcutBarDir = Fitting(
      machine.RegistryText(HKEY_LOCAL_MACHINE,
                           L"Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\Folders\\" +
                               c.programFilesDir + L"\\Microsoft Office\\Office\\Shortcut Bar",
                           L"null"));
  c.icqDir = Fitting(machine.RegistryText(
      HKEY_LOCAL_MACHINE, L"SOFTWARE\\Mirabilis\\ICQ\\ICQPro\\Install\\General\\InstalledDir",
      L"null"));
  c.netscapeDir = Fitting(CutAtLastBackslash(CutAtLastBackslash(machine.RegistryText(
      HKEY_LOCAL_MACHINE,
      L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Netscape.exe\\Path", L"null"))));
  c.officeRootDir = FindOfficeRoot(machine);
}

void FindBrowserFolders(Catalogue& c, IMachine& machine) {
  c.edgePackageAcDir = Under(c.localAppDataDir, L"Packages");
  if (!c.edgePackageAcDir.empty()) {
    c.edgePackageName = ResolveWildcardFolder(c.edgePackageAcDir, L"Microsoft.MicrosoftEdge*.*");
    c.edgePackageAcDir += L"\\AC";
  }
  FindEdgeCachePaths(machine, c.edgePackageName, L"Extensible Cache\\DOMStore",
                     c.edgeDomStorePaths);
  for (const wchar_t* cache :
       {L"Extensible Cache\\MicrosoftEdge_iecompat", L"Extensible Cache\\MicrosoftEdge_iecompatua",
        L"Extensible Cache\\MicrosoftEdge_bingpagedata"})
    FindEdgeCachePaths(machine, c.edgePackageName, cache, c.edgeCachePaths);

  c.mozillaProfileDir = Under(c.appDataDir, L"Mozilla\\Profiles\\default");
  if (!c.mozillaProfileDir.empty()) ResolveWildcardFolder(c.mozillaProfileDir, L"*.slt");

  c.operaProfileDir = FindAppDataFolder(c, L"Opera", false);
  if (Exists(c.operaProfileDir)) {
    ResolveWildcardFolder(c.operaProfileDir, L"Opera*.*");
    c.operaProfileDir += L"\\profile";
  }

  c.chromeProfileDir = FindAppDataFolder(c, L"Google\\Chrome\\User Data\\Default", false);
  c.firefoxProfileDir = FindFirefoxProfile(c, false);
  c.firefoxLocalProfileDir = FindFirefoxProfile(c, true);
  c.safariLocalDir = Under(c.localAppDataDir, L"Apple Computer\\Safari");
}

}  // namespace

std::wstring JoinPath(const std::wstring& a, const std::wstring& b) {
  if (IsUnresolved(a)) return {};
  wchar_t joined[MAX_PATH];
  if (!PathCombineW(joined, a.c_str(), b.c_str())) return {};
  const size_t length = wcslen(joined);
  if (length == 0 || length > kMaxPathChars) return {};
  return std::wstring(joined, length);
}

std::wstring FindAppDataFolder(const Catalogue& catalogue, const wchar_t* name, bool localOnly) {
  if (!localOnly) {
    std::wstring roaming = Under(catalogue.appDataDir, name);
    if (Exists(roaming)) return roaming;
  }
  return Under(catalogue.localAppDataDir, name);
}

Catalogue BuildCatalogue(IMachine& machine) {
  Catalogue catalogue;
  FindBaseFolders(catalogue, machine);
  FindBrowserFolders(catalogue, machine);
  FillFixedLists(catalogue);
  return catalogue;
}

}  // namespace klarex
