// The safety rules of definition files. A place may only reach what costs its
// user nothing but time: the rules keep it away from roots and the folders
// above them, the user's own folders, Windows' system files, installed
// programs, keys, mail and settings, browser profiles and their data, and
// (outside the cookies mode) cookies and site storage.
#include "engine/definitions_rules.h"

#include <windows.h>

#include <cwchar>

#include "sys/paths.h"

namespace klarex {

namespace {

using Components = std::vector<std::wstring>;

constexpr size_t kMaxNameChars = 255;

struct RootName {
  PlaceRoot root;
  const wchar_t* text;
};
constexpr RootName kRoots[] = {
    {PlaceRoot::LocalAppData, L"%LOCALAPPDATA%"},
    {PlaceRoot::AppData, L"%APPDATA%"},
    {PlaceRoot::ProgramData, L"%PROGRAMDATA%"},
    {PlaceRoot::WinDir, L"%WINDIR%"},
    {PlaceRoot::UserProfile, L"%USERPROFILE%"},
    {PlaceRoot::ProgramFiles, L"%PROGRAMFILES%"},
    {PlaceRoot::ProgramFilesX86, L"%PROGRAMFILES(X86)%"},
};

// The user's own folders in the profile: named only to say why a place below
// %USERPROFILE% is refused (nothing but AppData\LocalLow is open there).
constexpr const wchar_t* kUserFolders[] = {L"Desktop",  L"Documents", L"My Documents", L"Downloads",
                                           L"Pictures", L"Music",     L"Videos",       L"Favorites",
                                           L"Contacts", L"Links",     L"Saved Games",  L"Searches",
                                           L"OneDrive", L"3D Objects"};

// Below %WINDIR% only these folders, which hold nothing but logs, dumps,
// temporary files and the delivery cache.
constexpr const wchar_t* kOpenWindowsFolders[] = {
    L"Logs",
    L"Temp",
    L"Debug",
    L"Minidump",
    L"LiveKernelReports",
    L"Panther",
    L"System32\\LogFiles",
    L"ServiceProfiles\\NetworkService\\AppData\\Local\\Microsoft\\Windows\\DeliveryOptimization",
};

// What browsers and mail programs keep of their user: passwords, bookmarks,
// history, settings, sessions, extensions, mail and address books.
constexpr const wchar_t* kSavedData[] = {L"Login Data",
                                         L"Login Data For Account",
                                         L"Web Data",
                                         L"Bookmarks",
                                         L"Bookmarks.bak",
                                         L"History",
                                         L"Preferences",
                                         L"Secure Preferences",
                                         L"Local State",
                                         L"Sessions",
                                         L"Current Session",
                                         L"Current Tabs",
                                         L"Last Session",
                                         L"Last Tabs",
                                         L"Extensions",
                                         L"Local Extension Settings",
                                         L"Sync Extension Settings",
                                         L"Managed Extension Settings",
                                         L"Extension State",
                                         L"Sync Data",
                                         L"Top Sites",
                                         L"Shortcuts",
                                         L"Favicons",
                                         L"Affiliation Database",
                                         L"places.sqlite",
                                         L"logins.json",
                                         L"logins-backup.json",
                                         L"key4.db",
                                         L"key3.db",
                                         L"cert9.db",
                                         L"cert8.db",
                                         L"signons.sqlite",
                                         L"prefs.js",
                                         L"user.js",
                                         L"sessionstore.jsonlz4",
                                         L"sessionstore-backups",
                                         L"formhistory.sqlite",
                                         L"favicons.sqlite",
                                         L"permissions.sqlite",
                                         L"bookmarkbackups",
                                         L"extensions.json",
                                         L"browser-extension-data",
                                         L"profiles.ini",
                                         L"installs.ini",
                                         L"Mail",
                                         L"ImapMail",
                                         L"abook.sqlite",
                                         L"settings.json"};

// Profile folders of Chromium and Mozilla programs and WebView2, and the
// folders that hold them; "Profile 1", "Profile 2"... match kNumberedProfile.
constexpr const wchar_t* kProfileNames[] = {L"User Data",      L"Default",  L"Guest Profile",
                                            L"System Profile", L"Profiles", L"EBWebView"};
constexpr wchar_t kNumberedProfile[] = L"Profile *";
constexpr wchar_t kNumberedProfileSample[] = L"Profile 1";

// Cookies and site storage: the cookies mode's, never the other modes'.
constexpr const wchar_t* kSiteStorage[] = {L"Cookies",
                                           L"Cookies-journal",
                                           L"Extension Cookies",
                                           L"cookies.sqlite",
                                           L"cookies.sqlite-wal",
                                           L"Local Storage",
                                           L"Session Storage",
                                           L"IndexedDB",
                                           L"INetCookies",
                                           L"Network",
                                           L"storage",
                                           L"webappsstore.sqlite"};

template <size_t N>
bool IsOneOf(const std::wstring& name, const wchar_t* const (&list)[N]) {
  for (const wchar_t* entry : list)
    if (SameText(name, entry)) return true;
  return false;
}

Components Split(const std::wstring& path) {
  Components parts;
  size_t start = 0;
  for (size_t end; (end = path.find(L'\\', start)) != std::wstring::npos; start = end + 1)
    parts.push_back(path.substr(start, end - start));
  parts.push_back(path.substr(start));
  return parts;
}

// `head` is `whole` or a folder above it, name by name.
bool StartsWith(const Components& whole, const Components& head) {
  if (head.size() > whole.size()) return false;
  for (size_t i = 0; i < head.size(); ++i)
    if (!SameText(whole[i], head[i])) return false;
  return true;
}

bool IsProfileName(const std::wstring& name) {
  return IsOneOf(name, kProfileNames) || MatchesMask(name.c_str(), kNumberedProfile);
}

// The last component is a profile folder, or the folder of profiles.
bool IsProfileLevel(const Components& c) {
  const std::wstring& last = c.back();
  return last == kAnyFolder || IsProfileName(last) ||
         (c.size() >= 2 && SameText(c[c.size() - 2], L"Profiles"));
}

bool HasWildcard(const std::wstring& mask) {
  return mask.find_first_of(L"*?") != std::wstring::npos;
}

// "*", "*.*", "?*"...: a mask that takes every name, or nearly.
bool TakesEveryName(const std::wstring& mask) {
  return mask.find(L'*') != std::wstring::npos &&
         mask.find_first_not_of(L"*?.") == std::wstring::npos;
}

bool MaskTakes(const std::wstring& mask, const wchar_t* name) {
  return HasWildcard(mask) ? MatchesMask(name, mask.c_str()) : SameText(mask, name);
}

std::wstring RootedText(PlaceRoot root, const wchar_t* path) {
  return std::wstring(RootText(root)) + L'\\' + path;
}

std::optional<Finding> CheckComponent(const std::wstring& name) {
  if (name.empty()) return Finding{Problem::EmptyComponent, {}};
  if (name == kAnyFolder) return std::nullopt;
  if (name.find_first_not_of(L'.') == std::wstring::npos)
    return Finding{Problem::DotComponent, name};
  for (wchar_t c : name)
    if (c < 0x20 || std::wcschr(L"/:;<>\"|%", c)) return Finding{Problem::BadCharacter, name};
  if (HasWildcard(name)) return Finding{Problem::PartialWildcard, name};
  if (name.back() == L'.' || name.back() == L' ') return Finding{Problem::DotOrSpaceAtEnd, name};
  if (name.size() > kMaxNameChars) return Finding{Problem::NameTooLong, {}};
  return std::nullopt;
}

// How many leading components are the root's own: %USERPROFILE% opens only
// AppData\LocalLow.
size_t RootComponents(PlaceRoot root) { return root == PlaceRoot::UserProfile ? 2 : 0; }

std::optional<Finding> CheckRootRules(const Place& p) {
  const Components& c = p.components;
  switch (p.root) {
    case PlaceRoot::UserProfile:
      if (IsOneOf(c[0], kUserFolders)) return Finding{Problem::UserFolder, c[0]};
      if (c.size() < 2 || !SameText(c[0], L"AppData") || !SameText(c[1], L"LocalLow"))
        return Finding{Problem::OutsideLocalLow, c[0]};
      if (c.size() == 2) return Finding{Problem::RootItself, {}};
      break;
    case PlaceRoot::WinDir: {
      bool open = false;
      for (const wchar_t* folder : kOpenWindowsFolders) open = open || StartsWith(c, Split(folder));
      if (!open) return Finding{Problem::WindowsSystem, c[0]};
      break;
    }
    case PlaceRoot::ProgramFiles:
    case PlaceRoot::ProgramFilesX86:
      if (c.size() < 2) return Finding{Problem::InstalledProgram, c[0]};
      break;
    default:
      break;
  }
  return std::nullopt;
}

std::optional<Finding> CheckWildcards(const Place& p) {
  const Components& c = p.components;
  if (c[RootComponents(p.root)] == kAnyFolder) return Finding{Problem::WildcardBelowRoot, {}};
  size_t count = 0;
  for (const std::wstring& name : c) count += name == kAnyFolder;
  if (count > 2) return Finding{Problem::TooManyWildcards, {}};
  if (c.back() == kAnyFolder && p.action == PlaceAction::Whole)
    return Finding{Problem::WildcardTakenWhole, {}};
  return std::nullopt;
}

std::optional<Finding> CheckProtectedFolders(const Place& p) {
  for (const RootedFolder& folder : ProtectedFolders()) {
    if (folder.root != p.root) continue;
    const Components protectedPath = Split(folder.path);
    if (StartsWith(protectedPath, p.components))
      return Finding{folder.sealed ? Problem::SealedFolder : Problem::HoldsProfiles,
                     RootedText(folder.root, folder.path)};
    if (folder.sealed && StartsWith(p.components, protectedPath))
      return Finding{Problem::SealedFolder, RootedText(folder.root, folder.path)};
  }
  return std::nullopt;
}

std::optional<Finding> CheckNames(const Place& p) {
  for (const std::wstring& name : p.components) {
    if (IsOneOf(name, kSavedData)) return Finding{Problem::SavedData, name};
    if (p.mode != CleaningMode::Cookies && IsOneOf(name, kSiteStorage))
      return Finding{Problem::CookiesInOtherMode, name};
  }
  if (IsProfileLevel(p.components)) {
    if (p.action == PlaceAction::Whole)
      return Finding{Problem::ProfileTakenWhole, p.components.back()};
    if (p.action == PlaceAction::Tree)
      return Finding{Problem::TreeOverProfile, p.components.back()};
  }
  return std::nullopt;
}

std::optional<Finding> CheckMaskSpelling(const std::wstring& mask, PlaceAction action) {
  if (mask.size() > kMaxNameChars) return Finding{Problem::NameTooLong, {}, true};
  for (wchar_t c : mask)
    if (c < 0x20 || std::wcschr(L"\\/:;\"<>|", c)) return Finding{Problem::BadMask, mask, true};
  if (mask.front() == L' ' || mask.back() == L' ' || mask.back() == L'.')
    return Finding{Problem::BadMask, mask, true};
  // A tree mask is matched against whole paths, where a * in its middle or a
  // ? could stand for a backslash: only "*.*", a name, or * and a name's end.
  const bool treeShaped =
      mask == L"*.*" || !HasWildcard(mask) || (mask[0] == L'*' && !HasWildcard(mask.substr(1)));
  if (action == PlaceAction::Tree && !treeShaped)
    return Finding{Problem::TreeMaskShape, mask, true};
  return std::nullopt;
}

// A mask that is not about every name must not pick a guarded name.
std::optional<Finding> CheckMaskNames(const std::wstring& mask, CleaningMode mode) {
  for (const wchar_t* name : kSavedData)
    if (MaskTakes(mask, name)) return Finding{Problem::SavedData, name, true};
  for (const wchar_t* name : kProfileNames)
    if (MaskTakes(mask, name)) return Finding{Problem::ProfileTakenWhole, name, true};
  if (MaskTakes(mask, kNumberedProfileSample))
    return Finding{Problem::ProfileTakenWhole, kNumberedProfileSample, true};
  if (mode != CleaningMode::Cookies)
    for (const wchar_t* name : kSiteStorage)
      if (MaskTakes(mask, name)) return Finding{Problem::CookiesInOtherMode, name, true};
  return std::nullopt;
}

std::optional<Finding> CheckMask(const Place& p) {
  if (p.action == PlaceAction::Whole) return std::nullopt;
  if (auto finding = CheckMaskSpelling(p.mask, p.action)) return finding;
  if (TakesEveryName(p.mask)) {
    if (IsProfileLevel(p.components)) return Finding{Problem::EveryFileOfProfile, p.mask, true};
    return std::nullopt;
  }
  return CheckMaskNames(p.mask, p.mode);
}

}  // namespace

bool SameText(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

const wchar_t* RootText(PlaceRoot root) {
  for (const RootName& entry : kRoots)
    if (entry.root == root) return entry.text;
  return L"";
}

const std::vector<RootedFolder>& ProtectedFolders() {
  using R = PlaceRoot;
  static const std::vector<RootedFolder> folders = {
      // Keys, credentials, certificates: losing them loses every saved secret.
      {R::AppData, L"Microsoft\\Protect", true},
      {R::AppData, L"Microsoft\\Credentials", true},
      {R::AppData, L"Microsoft\\Crypto", true},
      {R::AppData, L"Microsoft\\SystemCertificates", true},
      {R::AppData, L"Microsoft\\Vault", true},
      {R::LocalAppData, L"Microsoft\\Credentials", true},
      {R::LocalAppData, L"Microsoft\\Vault", true},
      {R::ProgramData, L"Microsoft\\Crypto", true},
      // Mail, notes, signatures, templates, menus and settings the user made.
      {R::AppData, L"Microsoft\\Outlook", true},
      {R::LocalAppData, L"Microsoft\\Outlook", true},
      {R::AppData, L"Thunderbird", true},
      {R::AppData, L"Microsoft\\Sticky Notes", true},
      {R::LocalAppData, L"Packages\\Microsoft.MicrosoftStickyNotes_8wekyb3d8bbwe", true},
      {R::LocalAppData, L"Microsoft\\OneNote", true},
      {R::LocalAppData, L"Microsoft\\Office", true},
      {R::LocalAppData, L"Microsoft\\OneDrive\\settings", true},
      {R::AppData, L"Microsoft\\Signatures", true},
      {R::AppData, L"Microsoft\\Templates", true},
      {R::AppData, L"Microsoft\\Windows\\Start Menu", true},
      {R::AppData, L"Microsoft\\Windows\\SendTo", true},
      {R::AppData, L"Microsoft\\Windows\\Libraries", true},
      {R::ProgramData, L"Microsoft\\Windows\\Start Menu", true},
      {R::AppData, L"Code\\User", true},
      // Windows' own databases, installers and virtual machines.
      {R::ProgramData, L"Microsoft\\Windows Defender", true},
      {R::ProgramData, L"Microsoft\\Windows\\AppRepository", true},
      {R::ProgramData, L"Microsoft\\Windows\\Hyper-V", true},
      {R::ProgramData, L"Package Cache", true},
      {R::ProgramFiles, L"WindowsApps", true},
      {R::ProgramFiles, L"Common Files", true},
      {R::ProgramFilesX86, L"Common Files", true},
      {R::ProgramFilesX86, L"Steam\\userdata", true},
      // Folders of browser profiles and of many programs' data.
      {R::LocalAppData, L"Google\\Chrome\\User Data", false},
      {R::LocalAppData, L"Microsoft\\Edge\\User Data", false},
      {R::LocalAppData, L"BraveSoftware\\Brave-Browser\\User Data", false},
      {R::LocalAppData, L"Vivaldi\\User Data", false},
      {R::LocalAppData, L"Chromium\\User Data", false},
      {R::LocalAppData, L"Mozilla\\Firefox\\Profiles", false},
      {R::LocalAppData, L"Thunderbird\\Profiles", false},
      {R::AppData, L"Mozilla\\Firefox\\Profiles", false},
      {R::AppData, L"Opera Software", false},
      {R::LocalAppData, L"Packages", false},
      {R::LocalAppData, L"Programs", false},
      {R::LocalAppData, L"Microsoft\\Windows", false},
      {R::AppData, L"Microsoft\\Windows", false},
      {R::ProgramData, L"Microsoft\\Windows", false},
      {R::ProgramFilesX86, L"Steam\\steamapps", false},
  };
  return folders;
}

bool IsGuardedName(const std::wstring& name, CleaningMode mode, bool profilesAllowed) {
  return IsOneOf(name, kSavedData) || (!profilesAllowed && IsProfileName(name)) ||
         (mode != CleaningMode::Cookies && IsOneOf(name, kSiteStorage));
}

std::optional<Finding> ReadPlace(const std::wstring& text, Place& place) {
  if (text.find(L'/') != std::wstring::npos) return Finding{Problem::BadCharacter, L"/"};
  if (text.empty() || text[0] != L'%') {
    const bool absolute = text[0] == L'\\' || (text.size() >= 2 && text[1] == L':');
    return Finding{absolute ? Problem::AbsolutePath : Problem::RelativePath, text};
  }
  const size_t close = text.find(L'%', 1);
  const std::wstring root = text.substr(0, close == std::wstring::npos ? text.size() : close + 1);
  const RootName* known = nullptr;
  for (const RootName& entry : kRoots)
    if (SameText(root, entry.text)) known = &entry;
  const std::wstring rest = text.substr(root.size());
  if (!known || (!rest.empty() && rest[0] != L'\\'))
    return Finding{Problem::UnknownRoot, root + rest.substr(0, rest.find(L'\\'))};
  place.root = known->root;
  place.components.clear();
  if (rest.empty()) return Finding{Problem::RootItself, {}};
  place.components = Split(rest.substr(1));
  return std::nullopt;
}

std::optional<Finding> CheckPlace(const Place& place) {
  if (place.components.empty()) return Finding{Problem::RootItself, {}};
  for (const std::wstring& name : place.components)
    if (auto finding = CheckComponent(name)) return finding;
  for (auto check : {CheckRootRules, CheckWildcards, CheckProtectedFolders, CheckNames, CheckMask})
    if (auto finding = check(place)) return finding;
  return std::nullopt;
}

}  // namespace klarex
