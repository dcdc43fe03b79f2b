// Definition places on a made-up machine: every shipped place planted there
// is found in its mode and no decoy beside it is; a `*` stands for real
// folders by their long names; links, the user's folders wherever they lie,
// sealed folders and guarded names below a place stay out of the list.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "engine/definitions.h"
#include "engine/mode_scans.h"
#include "support/definitions_support.h"
#include "support/fake_machine.h"
#include "support/folder_link.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"
#include "sys/paths.h"
#include "sys/utf8.h"

namespace klarex {
namespace {

using test::CollectingSink;
using Paths = std::vector<std::wstring>;

constexpr wchar_t kProfile[] = L"Profile 1";  // what a `*` is planted as

Paths Sorted(Paths paths) {
  std::sort(paths.begin(), paths.end());
  return paths;
}

bool IsAtOrAbove(const std::wstring& a, const std::wstring& b) {
  return _wcsnicmp(a.c_str(), b.c_str(), a.size()) == 0 &&
         (a.size() == b.size() || (b.size() > a.size() && b[a.size()] == L'\\'));
}

// A file name that the mask takes: "*" becomes "x", "?" becomes "a".
std::wstring Sample(const std::wstring& mask) {
  std::wstring name;
  for (wchar_t c : mask)
    name += c == L'*' ? std::wstring(L"x") : std::wstring(1, c == L'?' ? L'a' : c);
  return name;
}

std::vector<Place> Places(const std::wstring& text) {
  DefinitionSet set;
  ParseDefinitions(ToUtf8(text), L"t.ini", set);
  EXPECT_TRUE(set.refusals.empty()) << test::Describe(set.refusals);
  return set.places;
}

class DefinitionMachine : public ::testing::Test {
 protected:
  DefinitionMachine() {
    machine.specialFolders[CSIDL_PROFILE] = machine.Folder(L"Users\\u");
    machine.specialFolders[CSIDL_COMMON_APPDATA] = machine.Folder(L"ProgramData");
    machine.specialFolders[CSIDL_PROGRAM_FILESX86] = machine.Folder(L"Program Files (x86)");
    machine.specialFolders[CSIDL_PERSONAL] = machine.Folder(L"Users\\u\\Documents");
    machine.specialFolders[CSIDL_DESKTOPDIRECTORY] = machine.Folder(L"Users\\u\\Desktop");
    catalogue = BuildCatalogue(machine);
    local = machine / test::kLocalDir;
  }

  std::wstring RootOf(PlaceRoot root) const {
    switch (root) {
      case PlaceRoot::LocalAppData:
        return machine / test::kLocalDir;
      case PlaceRoot::AppData:
        return machine / test::kRoamingDir;
      case PlaceRoot::ProgramData:
        return machine / L"ProgramData";
      case PlaceRoot::WinDir:
        return machine / L"Windows";
      case PlaceRoot::UserProfile:
        return machine / L"Users\\u";
      case PlaceRoot::ProgramFiles:
        return machine / L"Program Files";
      case PlaceRoot::ProgramFilesX86:
        return machine / L"Program Files (x86)";
    }
    return {};
  }

  Paths Scan(CleaningMode mode, const std::vector<Place>& places) {
    CollectingSink sink;
    ScanDefinitions(mode, places, catalogue, machine, sink);
    EXPECT_EQ(sink.ends, 0);  // the mode scan ends the scan, after its own steps
    return sink.Paths();
  }

  // Plants what the place should find (into `expected`) and, beside it, a
  // profile's and a program's own files (into `decoys`).
  void Plant(const Place& place, Paths& expected, Paths& decoys) {
    std::wstring path = RootOf(place.root);
    for (const std::wstring& name : place.components)
      path += L'\\' + (name == kAnyFolder ? kProfile : name);
    const std::wstring parent = path.substr(0, path.rfind(L'\\'));
    for (const wchar_t* decoy : {L"Preferences", L"Local State", L"settings.json", L"Login Data",
                                 L"places.sqlite", L"Cookies"}) {
      if (place.mode == CleaningMode::Cookies && std::wstring(decoy) == L"Cookies") continue;
      decoys.push_back(planted.File(parent + L'\\' + decoy));
    }
    std::wstring inside = path;
    if (place.action == PlaceAction::Whole) {
      if (place.components.back().find(L'.') != std::wstring::npos)
        planted.File(path);
      else
        planted.File(path + L"\\data_1");
    } else {
      if (place.action == PlaceAction::Tree) inside += L"\\sub";
      planted.File(inside + L'\\' + Sample(place.mask));
      path = inside + L'\\' + Sample(place.mask);
      if (!MatchesMask(L"keep.cfg", place.mask.c_str()))
        decoys.push_back(planted.File(inside + L"\\keep.cfg"));
    }
    expected.push_back(path);
  }

  test::FakeMachine machine;
  test::PlantedOutside planted;
  Catalogue catalogue;
  std::wstring local;
};

TEST_F(DefinitionMachine, EveryShippedPlaceIsFoundInItsModeAndNoDecoyIs) {
  const DefinitionSet set = LoadDefinitions(test::ShippedFolder(), L"");
  ASSERT_TRUE(set.refusals.empty()) << test::Describe(set.refusals);
  ASSERT_GE(set.places.size(), 100u);
  std::map<CleaningMode, Paths> expected;
  Paths decoys;
  for (const Place& place : set.places) Plant(place, expected[place.mode], decoys);
  for (CleaningMode mode : {CleaningMode::Standard, CleaningMode::Cookies, CleaningMode::Offline}) {
    SCOPED_TRACE(static_cast<int>(mode));
    const Paths found = Scan(mode, set.places);
    EXPECT_EQ(Sorted(found), Sorted(expected[mode]));
    for (const std::wstring& path : found)
      for (const std::wstring& decoy : decoys)
        EXPECT_FALSE(IsAtOrAbove(path, decoy)) << ToUtf8(path) << " holds " << ToUtf8(decoy);
    // The built-in recipe lists none of them: a place is never listed twice.
    test::CollectingSink builtIn;
    ScanMode(mode, catalogue, machine, builtIn);
    for (const std::wstring& path : builtIn.Paths())
      for (const std::wstring& mine : expected[mode])
        EXPECT_FALSE(IsAtOrAbove(path, mine) || IsAtOrAbove(mine, path))
            << ToUtf8(path) << " is also the built-in catalogue's";
  }
}

TEST_F(DefinitionMachine, AStarStandsForRealFoldersByTheirLongNames) {
  const std::wstring vendor = local + L"\\Vendor";
  for (const wchar_t* folder : {L"B", L"a", L"Preferences", L"Long Folder Name"})
    planted.File(vendor + L'\\' + folder + L"\\Cache\\data_1");
  planted.File(vendor + L"\\C");  // a file, not a folder
  // A folder named "D." would be read as "D" by the scanner's steps.
  ASSERT_TRUE(CreateDirectoryW(ExactPath(vendor + L"\\D.").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(ExactPath(vendor + L"\\D.\\Cache").c_str(), nullptr));
  test::TempDir outside;
  outside.File(L"Cache\\keep.dat");
  ASSERT_TRUE(test::MakeFolderLink(vendor + L"\\Link", outside.Path()));

  const std::vector<Place> any = Places(
      L"[any]\nprogram = V\nmode = offline\nplace = %LOCALAPPDATA%\\Vendor\\*\\Cache\naction = "
      L"whole\n"
      L"[link]\nprogram = V\nmode = offline\nplace = %LOCALAPPDATA%\\Vendor\\Link\\Cache\naction = "
      L"whole\n");
  EXPECT_EQ(Scan(CleaningMode::Offline, any), (Paths{vendor + L"\\a\\Cache", vendor + L"\\B\\Cache",
                                                     vendor + L"\\Long Folder Name\\Cache"}));
  RemoveDirectoryW(ExactPath(vendor + L"\\D.\\Cache").c_str());
  RemoveDirectoryW(ExactPath(vendor + L"\\D.").c_str());
  EXPECT_TRUE(test::RemoveLink(vendor + L"\\Link"));

  // A fixed name is an entry's long name, never its 8.3 one.
  wchar_t shortPath[MAX_PATH];
  const DWORD length =
      GetShortPathNameW((vendor + L"\\Long Folder Name").c_str(), shortPath, MAX_PATH);
  const std::wstring shortFolder(shortPath, length);
  const std::wstring shortName = shortFolder.substr(shortFolder.rfind(L'\\') + 1);
  if (length == 0 || shortName == L"Long Folder Name") GTEST_SKIP() << "no 8.3 names here";
  const std::vector<Place> byShortName =
      Places(L"[short]\nprogram = V\nmode = offline\nplace = %LOCALAPPDATA%\\Vendor\\" + shortName +
             L"\\Cache\naction = whole\n");
  EXPECT_TRUE(Scan(CleaningMode::Offline, byShortName).empty()) << ToUtf8(shortName);
}

TEST_F(DefinitionMachine, UsersFoldersAndSealedFoldersStayOutWhereverTheyLie) {
  // Folder redirection put Documents inside one program's folder and
  // Pictures below another's cache.
  machine.specialFolders[CSIDL_PERSONAL] = planted.Folder(local + L"\\First\\Documents");
  machine.specialFolders[CSIDL_MYPICTURES] = planted.Folder(local + L"\\Second\\Cache\\Pictures");
  planted.File(local + L"\\First\\Documents\\Cache\\thesis.docx");
  planted.File(local + L"\\Third\\Cache\\data_1");
  const std::wstring packages = local + L"\\Packages\\";
  planted.File(packages + L"Microsoft.MicrosoftStickyNotes_8wekyb3d8bbwe\\AC\\INetCache\\x");
  planted.File(packages + L"Vendor.App_1234\\AC\\INetCache\\x");
  const std::vector<Place> places = Places(
      L"[1]\nprogram = V\nmode = offline\nplace = %LOCALAPPDATA%\\First\\Documents\\Cache\naction "
      L"= whole\n"
      L"[2]\nprogram = V\nmode = offline\nplace = %LOCALAPPDATA%\\Second\\Cache\naction = whole\n"
      L"[3]\nprogram = V\nmode = offline\nplace = %LOCALAPPDATA%\\Third\\Cache\naction = whole\n"
      L"[4]\nprogram = V\nmode = offline\nplace = %LOCALAPPDATA%\\Packages\\*\\AC\\INetCache\n"
      L"action = whole\n");
  EXPECT_EQ(Scan(CleaningMode::Offline, places),
            (Paths{local + L"\\Third\\Cache", packages + L"Vendor.App_1234\\AC\\INetCache"}));
}

TEST_F(DefinitionMachine, WhatAStepFindsBelowAGuardedNameStaysOut) {
  const std::wstring logs = local + L"\\Vendor\\Logs";
  for (const wchar_t* file : {L"a.log", L"Sub\\d.log", L"Default\\b.log", L"Local Storage\\c.log",
                              L"Sub\\Login Data\\e.log"})
    planted.File(logs + L'\\' + file);
  const std::vector<Place> tree = Places(
      L"[t]\nprogram = V\nmode = standard\nplace = %LOCALAPPDATA%\\Vendor\\Logs\naction = tree\n"
      L"mask = *.log\n");
  EXPECT_EQ(Sorted(Scan(CleaningMode::Standard, tree)),
            Sorted({logs + L"\\a.log", logs + L"\\Sub\\d.log"}));
  EXPECT_TRUE(Scan(CleaningMode::Offline, tree).empty());  // another mode's place
}

}  // namespace
}  // namespace klarex
