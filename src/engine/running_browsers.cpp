#include "engine/running_browsers.h"

#include <shlobj.h>

#include <algorithm>
#include <array>

#include "engine/keep_list.h"

namespace klarex {
namespace {

void AddFolder(std::vector<std::wstring>& folders, const std::wstring& folder) {
  if (!folder.empty() && folder != L"null") folders.push_back(folder);
}

std::wstring Special(IMachine& machine, int csidl) {
  std::wstring path;
  return machine.SpecialFolder(csidl, path) ? path : std::wstring();
}

std::wstring Parent(const std::wstring& path) {
  const size_t slash = path.find_last_of(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring RootFolder(PlaceRoot root, const Catalogue& c, IMachine& machine) {
  switch (root) {
    case PlaceRoot::LocalAppData:
      return c.localAppDataDir;
    case PlaceRoot::AppData:
      return c.appDataDir;
    case PlaceRoot::ProgramData:
      return Special(machine, CSIDL_COMMON_APPDATA);
    case PlaceRoot::WinDir:
      return c.windowsDir;
    case PlaceRoot::UserProfile:
      return Special(machine, CSIDL_PROFILE);
    case PlaceRoot::ProgramFiles:
      return c.programFilesDir;
    case PlaceRoot::ProgramFilesX86:
      return Special(machine, CSIDL_PROGRAM_FILESX86);
  }
  return {};
}

bool SameName(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

std::vector<WatchedProgram> BuiltInBrowsers(const Catalogue& c, IMachine& machine) {
  WatchedProgram firefox{L"Mozilla Firefox", {L"firefox.exe"}, {}, kBrowserFirefox};
  AddFolder(firefox.folders, c.firefoxProfileDir);
  AddFolder(firefox.folders, c.firefoxLocalProfileDir);

  // Every profile of "User Data", not only the Default one the catalogue names.
  WatchedProgram chrome{L"Google Chrome", {L"chrome.exe"}, {}, kBrowserChrome};
  AddFolder(chrome.folders, Parent(c.chromeProfileDir));
  AddFolder(chrome.folders, JoinPath(c.appDataDir, L"Google\\Chrome"));

  WatchedProgram edge{L"Microsoft Edge", {L"msedge.exe", L"MicrosoftEdge.exe"}, {}, kBrowserEdge};
  AddFolder(edge.folders, JoinPath(c.localAppDataDir, L"Microsoft\\Edge"));
  if (!c.edgePackageName.empty()) AddFolder(edge.folders, c.edgePackageAcDir);
  for (const std::wstring& path : c.edgeDomStorePaths) AddFolder(edge.folders, path);
  for (const std::wstring& path : c.edgeCachePaths) AddFolder(edge.folders, path);

  WatchedProgram opera{L"Opera", {L"opera.exe"}, {}, kBrowserOpera};
  AddFolder(opera.folders, c.operaProfileDir);
  AddFolder(opera.folders, JoinPath(c.appDataDir, L"Opera Software"));
  AddFolder(opera.folders, JoinPath(c.localAppDataDir, L"Opera Software"));

  WatchedProgram ie{L"Internet Explorer", {L"iexplore.exe"}, {}, kBrowserInternetExplorer};
  AddFolder(ie.folders, c.internetCacheDir);
  AddFolder(ie.folders, Special(machine, CSIDL_INTERNET_CACHE));
  AddFolder(ie.folders, Special(machine, CSIDL_COOKIES));
  AddFolder(ie.folders, Special(machine, CSIDL_HISTORY));

  WatchedProgram safari{L"Safari", {L"Safari.exe"}, {}, kBrowserSafari};
  AddFolder(safari.folders, c.safariLocalDir);
  AddFolder(safari.folders, JoinPath(c.appDataDir, L"Apple Computer\\Safari"));

  return {firefox, chrome, edge, opera, ie, safari};
}

std::vector<WatchedProgram> DefinitionPrograms(const std::vector<Place>& places,
                                               const Catalogue& catalogue, IMachine& machine) {
  std::vector<WatchedProgram> programs;
  for (const Place& place : places) {
    if (place.program.process.empty()) continue;
    std::wstring folder = RootFolder(place.root, catalogue, machine);
    for (const std::wstring& name : place.components) {
      if (name == kAnyFolder) break;
      folder = JoinPath(folder, name);
    }
    // A place that is the root itself would claim everything beneath it.
    if (folder.empty() || folder == RootFolder(place.root, catalogue, machine)) continue;
    auto same = std::find_if(programs.begin(), programs.end(),
                             [&](const WatchedProgram& p) { return p.name == place.program.name; });
    if (same == programs.end())
      same = programs.insert(programs.end(), {place.program.name, {}, {}, 0});
    if (std::none_of(same->processes.begin(), same->processes.end(),
                     [&](const std::wstring& p) { return SameName(p, place.program.process); }))
      same->processes.push_back(place.program.process);
    same->folders.push_back(folder);
  }
  return programs;
}

bool IsUnderFolder(const std::wstring& path, const std::wstring& folder) {
  const std::wstring p = NormaliseKeptPath(path);
  const std::wstring f = NormaliseKeptPath(folder);
  if (p.empty() || f.empty() || p.size() < f.size() || p.compare(0, f.size(), f) != 0) return false;
  return p.size() == f.size() || p[f.size()] == L'\\';
}

bool TouchesProgram(const WatchedProgram& program, const std::wstring& path) {
  return std::any_of(program.folders.begin(), program.folders.end(),
                     [&](const std::wstring& folder) { return IsUnderFolder(path, folder); });
}

bool IsRunning(const WatchedProgram& program, const std::vector<std::wstring>& running) {
  for (const std::wstring& process : program.processes) {
    for (const std::wstring& name : running) {
      if (SameName(process, name)) return true;
    }
  }
  return false;
}

std::vector<size_t> RunningOwners(const std::vector<WatchedProgram>& programs,
                                  const std::vector<std::wstring>& running,
                                  const std::vector<std::wstring>& paths) {
  std::vector<size_t> owners;
  for (size_t i = 0; i < programs.size(); ++i) {
    if (!IsRunning(programs[i], running)) continue;
    if (std::any_of(paths.begin(), paths.end(),
                    [&](const std::wstring& path) { return TouchesProgram(programs[i], path); }))
      owners.push_back(i);
  }
  return owners;
}

// What each Advance category changes itself, besides the files it lists (a
// listed file is guarded when it is deleted from the list):
//
//   category                step that acts at once                          browser
//   URL history             URL history store, WinINet URL cache            Internet Explorer, Edge
//                           history in Firefox's places.sqlite              Firefox
//   AutoComplete passwords  IntelliForms keys (IE's, and Edge's container)  Internet Explorer, Edge
//   Run history             Explorer's RunMRU key                           -
//   Find history            Explorer's search keys                          -
//   Typed URL               TypedURLs keys (IE's, and Edge's container)     Internet Explorer, Edge
//                           input history in Firefox's places.sqlite        Firefox
//   Recent documents        Explorer's RecentDocs keys                      -
unsigned CategoryBrowsers(size_t category) {
  constexpr unsigned kIeEdge = kBrowserInternetExplorer | kBrowserEdge;
  constexpr std::array<unsigned, 6> kReach = {kIeEdge | kBrowserFirefox, kIeEdge, 0, 0,
                                              kIeEdge | kBrowserFirefox, 0};
  return category < kReach.size() ? kReach[category] : 0;
}

std::vector<size_t> RunningReachedBrowsers(const std::vector<WatchedProgram>& programs,
                                           const std::vector<std::wstring>& running,
                                           const std::vector<bool>& categoriesOn) {
  unsigned reached = 0;
  for (size_t i = 0; i < categoriesOn.size(); ++i) {
    if (categoriesOn[i]) reached |= CategoryBrowsers(i);
  }
  std::vector<size_t> result;
  for (size_t i = 0; i < programs.size(); ++i) {
    if ((programs[i].browser & reached) && IsRunning(programs[i], running)) result.push_back(i);
  }
  return result;
}

std::wstring ProgramNames(const std::vector<WatchedProgram>& programs,
                          const std::vector<size_t>& indices) {
  std::wstring names;
  for (size_t i : indices) {
    if (i >= programs.size()) continue;
    if (!names.empty()) names += L", ";
    names += programs[i].name;
  }
  return names;
}

}  // namespace klarex
