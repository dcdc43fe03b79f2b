// The shipped definition files' places, each planted with junk, a link to a
// canary folder inside it and a program's settings beside it; a mode's scan
// is deleted in both ways and judged by the one checker.
#include <gtest/gtest.h>
#include <windows.h>
// needs windows.h first
#include <shlobj.h>

#include "canary/canary.h"
#include "engine/definitions.h"
#include "support/definitions_support.h"
#include "support/fake_machine.h"
#include "support/folder_link.h"
#include "support/recording_sink.h"

namespace klarex::test {
namespace {

std::wstring RootOf(const FakeMachine& m, PlaceRoot root) {
  switch (root) {
    case PlaceRoot::LocalAppData:
      return m / kLocalDir;
    case PlaceRoot::AppData:
      return m / kRoamingDir;
    case PlaceRoot::ProgramData:
      return m / L"ProgramData";
    case PlaceRoot::WinDir:
      return m / L"Windows";
    case PlaceRoot::UserProfile:
      return m / L"Users\\u";
    case PlaceRoot::ProgramFiles:
      return m / L"Program Files";
    case PlaceRoot::ProgramFilesX86:
      return m / L"Program Files (x86)";
  }
  return {};
}

// A name the mask takes: "*" becomes "x", "?" becomes "a".
std::wstring Sample(const std::wstring& mask) {
  std::wstring name;
  for (wchar_t c : mask) name += c == L'*' ? L'x' : (c == L'?' ? L'a' : c);
  return name;
}

class DefinitionCanary : public ::testing::TestWithParam<std::tuple<CleaningMode, bool>> {};

TEST_P(DefinitionCanary, AModesScanDeletesNothingButItsRows) {
  const auto& [mode, permanent] = GetParam();
  CanaryTree tree;
  FakeMachine m(tree.Root());
  m.specialFolders[CSIDL_PROFILE] = m.Folder(L"Users\\u");
  m.specialFolders[CSIDL_COMMON_APPDATA] = m.Folder(L"ProgramData");
  m.specialFolders[CSIDL_PROGRAM_FILESX86] = m.Folder(L"Program Files (x86)");
  m.specialFolders[CSIDL_PERSONAL] = m.Folder(L"Users\\u\\Documents");
  const Catalogue catalogue = BuildCatalogue(m);
  const DefinitionSet set = LoadDefinitions(ShippedFolder(), L"");
  ASSERT_GT(set.places.size(), 100u);
  const std::wstring canaryFolder = tree.Folder(L"canaries");
  std::vector<std::wstring> canaries{tree.Canary(L"canaries\\c.txt"),
                                     tree.Canary(L"Users\\u\\Documents\\thesis.log")};
  int links = 0;
  for (const Place& place : set.places) {
    std::wstring path = RootOf(m, place.root);
    for (const std::wstring& name : place.components)
      path += L'\\' + (name == kAnyFolder ? std::wstring(L"p1") : name);
    const std::wstring parent = path.substr(0, path.rfind(L'\\'));
    canaries.push_back(tree.Canary(parent + L"\\settings.json"));
    std::wstring inside = path;
    if (place.action == PlaceAction::Whole &&
        place.components.back().find(L'.') != std::wstring::npos) {
      m.File(path.substr(m.Root().size() + 1));  // a file taken whole
      continue;
    }
    if (place.action == PlaceAction::Tree) inside += L"\\sub";
    m.File(inside.substr(m.Root().size() + 1) + L"\\" +
           (place.action == PlaceAction::Whole ? L"data_1" : Sample(place.mask)));
    // Every fourth place gets a link to the canaries (each costs the host a round trip).
    if (links++ % 4 == 0) {
      ASSERT_TRUE(MakeFolderLink(inside + L"\\link", canaryFolder));
    }
  }
  CollectingSink sink;
  ScanDefinitions(mode, set.places, catalogue, m, sink);
  const std::vector<std::wstring> rows = sink.Paths();
  ASSERT_FALSE(rows.empty());
  const Listing before = TakeListing(tree.Roots());
  const RunResult result = DeleteRows(rows, permanent);
  CheckCase(before, TakeListing(tree.Roots()), rows, result, canaries);
  EXPECT_FALSE(result.removed.empty());
}

std::string CaseName(const ::testing::TestParamInfo<std::tuple<CleaningMode, bool>>& info) {
  const char* const kNames[] = {"Standard", "Cookies", "Offline"};
  return std::string(kNames[static_cast<int>(std::get<0>(info.param))]) +
         (std::get<1>(info.param) ? "_Permanent" : "_RecycleBin");
}

INSTANTIATE_TEST_SUITE_P(Modes, DefinitionCanary,
                         ::testing::Combine(::testing::Values(CleaningMode::Standard,
                                                              CleaningMode::Cookies,
                                                              CleaningMode::Offline),
                                            ::testing::Bool()),
                         CaseName);

}  // namespace
}  // namespace klarex::test
