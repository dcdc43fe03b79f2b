// The running-program guard's decisions: which folders belong to which
// browser, which running programs a run's paths or categories reach.
#include "engine/running_browsers.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include "support/fake_machine.h"
#include "sys/processes.h"

namespace klarex {
namespace {

const WatchedProgram& Named(const std::vector<WatchedProgram>& programs, const wchar_t* name) {
  for (const WatchedProgram& p : programs) {
    if (p.name == name) return p;
  }
  static const WatchedProgram none;
  return none;
}

Catalogue SomeCatalogue() {
  Catalogue c;
  c.appDataDir = L"C:\\users\\u\\AppData\\Roaming";
  c.localAppDataDir = L"C:\\users\\u\\AppData\\Local";
  c.firefoxProfileDir = c.appDataDir + L"\\Mozilla\\Firefox\\Profiles\\abc.default";
  c.firefoxLocalProfileDir = c.localAppDataDir + L"\\Mozilla\\Firefox\\Profiles\\abc.default";
  c.chromeProfileDir = c.localAppDataDir + L"\\Google\\Chrome\\User Data\\Default";
  c.operaProfileDir = L"null";
  c.internetCacheDir = c.localAppDataDir + L"\\Microsoft\\Windows\\INetCache";
  return c;
}

TEST(RunningBrowsers, FoldersMapToTheirBrowser) {
  test::FakeMachine machine;
  machine.specialFolders[CSIDL_COOKIES] =
      L"C:\\users\\u\\AppData\\Roaming\\Microsoft\\Windows\\Cookies";
  const auto browsers = BuiltInBrowsers(SomeCatalogue(), machine);
  ASSERT_EQ(browsers.size(), 6u);
  const auto& firefox = Named(browsers, L"Mozilla Firefox");
  EXPECT_TRUE(TouchesProgram(
      firefox,
      L"C:\\users\\u\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles\\abc.default\\cookies.sqlite"));
  EXPECT_TRUE(TouchesProgram(
      firefox, L"c:\\USERS\\u\\appdata\\local\\Mozilla\\Firefox\\Profiles\\ABC.default\\cache2"));
  EXPECT_FALSE(TouchesProgram(
      firefox, L"C:\\users\\u\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles\\abc.default2\\x"));
  // Chrome's every profile, not only Default.
  EXPECT_TRUE(TouchesProgram(
      Named(browsers, L"Google Chrome"),
      L"C:\\users\\u\\AppData\\Local\\Google\\Chrome\\User Data\\Profile 1\\Cookies"));
  EXPECT_TRUE(
      TouchesProgram(Named(browsers, L"Internet Explorer"),
                     L"C:\\users\\u\\AppData\\Roaming\\Microsoft\\Windows\\Cookies\\a.txt"));
  // An unresolved folder ("null") claims nothing.
  EXPECT_FALSE(TouchesProgram(Named(browsers, L"Opera"), L"null\\x"));
  EXPECT_FALSE(
      TouchesProgram(Named(browsers, L"Safari"), L"C:\\users\\u\\AppData\\Local\\Temp\\x"));
}

TEST(RunningBrowsers, OnlyRunningOwnersAreNamed) {
  test::FakeMachine machine;
  const auto browsers = BuiltInBrowsers(SomeCatalogue(), machine);
  const std::vector<std::wstring> paths = {
      L"C:\\users\\u\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles\\abc.default\\cookies.sqlite",
      L"C:\\users\\u\\AppData\\Local\\Temp\\x.tmp"};
  EXPECT_TRUE(RunningOwners(browsers, {L"explorer.exe", L"chrome.exe"}, paths).empty());
  const auto owners = RunningOwners(browsers, {L"FIREFOX.EXE", L"chrome.exe"}, paths);
  ASSERT_EQ(owners.size(), 1u);
  EXPECT_EQ(browsers[owners[0]].name, L"Mozilla Firefox");
  EXPECT_EQ(ProgramNames(browsers, owners), L"Mozilla Firefox");
  // Either of Edge's two processes counts.
  EXPECT_TRUE(IsRunning(Named(browsers, L"Microsoft Edge"), {L"MicrosoftEdge.exe"}));
}

TEST(RunningBrowsers, CategoriesReachTheirBrowsers) {
  test::FakeMachine machine;
  const auto browsers = BuiltInBrowsers(SomeCatalogue(), machine);
  const std::vector<std::wstring> running = {L"firefox.exe", L"iexplore.exe", L"chrome.exe"};
  // Run, find and recent-document histories reach no browser.
  EXPECT_TRUE(
      RunningReachedBrowsers(browsers, running, {false, false, true, true, false, true}).empty());
  EXPECT_EQ(
      ProgramNames(browsers, RunningReachedBrowsers(browsers, running,
                                                    {true, false, false, false, false, false})),
      L"Mozilla Firefox, Internet Explorer");
  EXPECT_EQ(
      ProgramNames(browsers, RunningReachedBrowsers(browsers, running,
                                                    {false, true, false, false, false, false})),
      L"Internet Explorer");
  EXPECT_EQ(CategoryBrowsers(99), 0u);
}

TEST(RunningBrowsers, DefinitionProgramsOwnTheirPlacesUpToTheFirstWildcard) {
  test::FakeMachine machine;
  Place cache;
  cache.program = {L"Discord", L"Discord.exe"};
  cache.root = PlaceRoot::AppData;
  cache.components = {L"discord", L"Cache"};
  Place profiles = cache;
  profiles.components = {L"discord", kAnyFolder, L"GPUCache"};
  Place silent = cache;
  silent.program = {L"Quiet", L""};  // no process: nothing to guard
  Place root = cache;
  root.program = {L"Greedy", L"greedy.exe"};
  root.components = {kAnyFolder, L"x"};  // would be the root itself
  const auto programs =
      DefinitionPrograms({cache, profiles, silent, root}, SomeCatalogue(), machine);
  ASSERT_EQ(programs.size(), 1u);
  EXPECT_EQ(programs[0].processes, std::vector<std::wstring>{L"Discord.exe"});
  EXPECT_TRUE(
      TouchesProgram(programs[0], L"C:\\users\\u\\AppData\\Roaming\\discord\\Code Cache\\a"));
  EXPECT_TRUE(IsRunning(programs[0], {L"discord.exe"}));
}

TEST(RunningBrowsers, SnapshotListsThisProcess) {
  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::wstring name = ::wcsrchr(self, L'\\') + 1;
  const auto running = RunningProcessNames();
  EXPECT_TRUE(IsRunning({L"me", {name}, {}, 0}, running)) << name;
}

}  // namespace
}  // namespace klarex
