// Definition files as outside input: what is read, what is refused and why,
// broken and fuzzed files, the shipped files, and loading folders.
#include "engine/definitions.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/definitions_rules.h"
#include "support/definitions_support.h"
#include "support/temp_dir.h"
#include "sys/utf8.h"

namespace klarex {
namespace {

using test::TempDir;

DefinitionSet Parse(const std::wstring& text) {
  DefinitionSet set;
  ParseDefinitions(ToUtf8(text), L"t.ini", set);
  return set;
}

// One section; `mask` empty for none.
std::wstring Section(const std::wstring& mode, const std::wstring& place,
                     const std::wstring& action, const std::wstring& mask = {}) {
  std::wstring text = L"[s]\nprogram = P\nprocess = p.exe\nmode = " + mode + L"\nplace = " + place +
                      L"\naction = " + action + L"\n";
  if (!mask.empty()) text += L"mask = " + mask + L"\n";
  return text;
}

TEST(Definitions, ReadsEachActionWithItsFields) {
  const DefinitionSet set = Parse(
      L"; comment\n\n# another\n"
      L"[Vendor: cache]\r\n  program = Vendor App \r\nprocess=vendor.exe\nMODE = Offline\n"
      L"place = %localappdata%\\Vendor\\User Data\\*\\Cache\naction = whole\n"
      L"[Vendor: logs]\nprogram = Vendor App\nmode = standard\n"
      L"place = %PROGRAMFILES(X86)%\\Vendor\\logs\naction = files\nmask = *.log\n"
      L"[Vendor: traces]\nprogram = Vendor App\nmode = cookies\n"
      L"place = %USERPROFILE%\\AppData\\LocalLow\\Vendor\naction = tree\nmask = *.etl\n");
  ASSERT_TRUE(set.refusals.empty()) << test::Describe(set.refusals);
  ASSERT_EQ(set.places.size(), 3u);
  const Place& cache = set.places[0];
  EXPECT_EQ(cache.section, L"Vendor: cache");
  EXPECT_EQ(cache.line, 4);
  EXPECT_EQ(cache.program, (Program{L"Vendor App", L"vendor.exe"}));
  EXPECT_EQ(cache.mode, CleaningMode::Offline);
  EXPECT_EQ(cache.root, PlaceRoot::LocalAppData);
  EXPECT_EQ(cache.components, (std::vector<std::wstring>{L"Vendor", L"User Data", L"*", L"Cache"}));
  EXPECT_EQ(PlaceText(cache), L"%LOCALAPPDATA%\\Vendor\\User Data\\*\\Cache");
  EXPECT_EQ(set.places[1].action, PlaceAction::Files);
  EXPECT_EQ(set.places[1].root, PlaceRoot::ProgramFilesX86);
  EXPECT_EQ(set.places[1].program.process, L"");
  EXPECT_EQ(set.places[2].action, PlaceAction::Tree);
  EXPECT_EQ(set.places[2].mask, L"*.etl");
  EXPECT_EQ(set.Programs(),
            (std::vector<Program>{{L"Vendor App", L"vendor.exe"}, {L"Vendor App", L""}}));
}

struct Unsafe {
  const wchar_t* mode;
  const wchar_t* place;
  const wchar_t* action;
  const wchar_t* mask;
  Problem problem;
  const wchar_t* detail;     // nullptr: not checked
  bool maskAtFault = false;  // the refusal names the mask's line, not the place's
};

// What an attacker (or a slip) could write, and the reason each is refused.
const Unsafe kUnsafe[] = {
    {L"standard", L"Vendor\\Cache", L"whole", L"", Problem::RelativePath, nullptr},
    {L"standard", L"C:\\Users\\u\\AppData\\Local\\Vendor", L"whole", L"", Problem::AbsolutePath,
     nullptr},
    {L"standard", L"\\\\server\\share\\Vendor", L"whole", L"", Problem::AbsolutePath, nullptr},
    {L"standard", L"%TEMP%\\Vendor", L"whole", L"", Problem::UnknownRoot, L"%TEMP%"},
    {L"standard", L"%APPDATA", L"whole", L"", Problem::UnknownRoot, L"%APPDATA"},
    {L"standard", L"%LOCALAPPDATA%", L"files", L"*.log", Problem::RootItself, nullptr},
    {L"standard", L"%APPDATA%\\Vendor\\..\\..\\Documents", L"whole", L"", Problem::DotComponent,
     L".."},
    {L"standard", L"%APPDATA%\\Vendor\\...\\Cache", L"whole", L"", Problem::DotComponent, L"..."},
    {L"standard", L"%APPDATA%\\Vendor\\\\Cache", L"whole", L"", Problem::EmptyComponent, nullptr},
    {L"standard", L"%APPDATA%\\Vendor\\Cache\\", L"whole", L"", Problem::EmptyComponent, nullptr},
    {L"standard", L"%APPDATA%/Vendor/Cache", L"whole", L"", Problem::BadCharacter, L"/"},
    {L"standard", L"%APPDATA%\\Vendor\\Cache::$INDEX_ALLOCATION", L"whole", L"",
     Problem::BadCharacter, nullptr},
    {L"standard", L"%APPDATA%\\Vendor\\%USERPROFILE%", L"whole", L"", Problem::BadCharacter,
     nullptr},
    {L"standard", L"%APPDATA%\\Vendor\\Cache ; old", L"whole", L"", Problem::BadCharacter, nullptr},
    {L"standard", L"%APPDATA%\\Vendor\\Cache.", L"whole", L"", Problem::DotOrSpaceAtEnd, L"Cache."},
    {L"standard", L"%APPDATA%\\Vendor\\Prof*\\Cache", L"whole", L"", Problem::PartialWildcard,
     L"Prof*"},
    {L"standard", L"%APPDATA%\\*\\Cache", L"whole", L"", Problem::WildcardBelowRoot, nullptr},
    {L"standard", L"%USERPROFILE%\\AppData\\LocalLow\\*\\Cache", L"whole", L"",
     Problem::WildcardBelowRoot, nullptr},
    {L"standard", L"%APPDATA%\\V\\*\\*\\*\\Cache", L"whole", L"", Problem::TooManyWildcards,
     nullptr},
    {L"standard", L"%APPDATA%\\Vendor\\*", L"whole", L"", Problem::WildcardTakenWhole, nullptr},
    {L"standard", L"%USERPROFILE%\\Documents\\Vendor", L"whole", L"", Problem::UserFolder,
     L"Documents"},
    {L"standard", L"%USERPROFILE%\\Downloads", L"files", L"*.tmp", Problem::UserFolder,
     L"Downloads"},
    {L"standard", L"%USERPROFILE%\\.ssh", L"whole", L"", Problem::OutsideLocalLow, L".ssh"},
    {L"standard", L"%USERPROFILE%\\AppData\\LocalLow", L"whole", L"", Problem::RootItself, nullptr},
    {L"standard", L"%WINDIR%\\System32", L"files", L"*.dll", Problem::WindowsSystem, L"System32"},
    {L"standard", L"%WINDIR%\\System32\\drivers\\etc", L"whole", L"", Problem::WindowsSystem,
     nullptr},
    {L"standard", L"%PROGRAMFILES%\\Vendor", L"whole", L"", Problem::InstalledProgram, L"Vendor"},
    {L"standard", L"%PROGRAMFILES%\\WindowsApps\\x", L"whole", L"", Problem::SealedFolder, nullptr},
    {L"standard", L"%PROGRAMFILES(X86)%\\Steam\\userdata", L"whole", L"", Problem::SealedFolder,
     nullptr},
    {L"standard", L"%APPDATA%\\Microsoft\\Protect", L"whole", L"", Problem::SealedFolder,
     L"%APPDATA%\\Microsoft\\Protect"},
    {L"standard", L"%APPDATA%\\Microsoft", L"files", L"*.tmp", Problem::SealedFolder, nullptr},
    {L"offline", L"%LOCALAPPDATA%\\Microsoft\\Outlook\\Offline Address Books", L"whole", L"",
     Problem::SealedFolder, L"%LOCALAPPDATA%\\Microsoft\\Outlook"},
    {L"offline", L"%APPDATA%\\Thunderbird\\Profiles\\*\\cache2", L"whole", L"",
     Problem::SealedFolder, nullptr},
    {L"standard", L"%APPDATA%\\Code\\User\\workspaceStorage", L"whole", L"", Problem::SealedFolder,
     nullptr},
    {L"offline", L"%LOCALAPPDATA%\\Google\\Chrome", L"whole", L"", Problem::HoldsProfiles,
     L"%LOCALAPPDATA%\\Google\\Chrome\\User Data"},
    {L"offline", L"%LOCALAPPDATA%\\Programs", L"files", L"*.*", Problem::HoldsProfiles, nullptr},
    {L"offline", L"%LOCALAPPDATA%\\Yandex\\YandexBrowser\\User Data", L"whole", L"",
     Problem::ProfileTakenWhole, L"User Data"},
    {L"offline", L"%LOCALAPPDATA%\\Google\\Chrome\\User Data\\Default", L"whole", L"",
     Problem::ProfileTakenWhole, L"Default"},
    {L"offline", L"%APPDATA%\\Mozilla\\Firefox\\Profiles\\x.default", L"whole", L"",
     Problem::ProfileTakenWhole, nullptr},
    {L"offline", L"%LOCALAPPDATA%\\Vendor\\User Data", L"files", L"Def*",
     Problem::ProfileTakenWhole, L"Default", true},
    {L"offline", L"%LOCALAPPDATA%\\Google\\Chrome\\User Data\\*", L"files", L"*.*",
     Problem::EveryFileOfProfile, nullptr, true},
    {L"offline", L"%LOCALAPPDATA%\\Google\\Chrome\\User Data\\*", L"tree", L"*.ldb",
     Problem::TreeOverProfile, nullptr},
    {L"offline", L"%LOCALAPPDATA%\\Google\\Chrome\\User Data\\*\\Login Data", L"whole", L"",
     Problem::SavedData, L"Login Data"},
    {L"offline", L"%LOCALAPPDATA%\\Google\\Chrome\\User Data\\*", L"files", L"*Data",
     Problem::SavedData, L"Login Data", true},
    {L"offline", L"%APPDATA%\\Mozilla\\Firefox\\Profiles\\*", L"files", L"*.sqlite",
     Problem::SavedData, L"places.sqlite", true},
    {L"standard", L"%LOCALAPPDATA%\\Vendor", L"tree", L"Bookmarks", Problem::SavedData,
     L"Bookmarks", true},
    {L"offline", L"%LOCALAPPDATA%\\Google\\Chrome\\User Data\\*\\Network", L"whole", L"",
     Problem::CookiesInOtherMode, L"Network"},
    {L"offline", L"%APPDATA%\\Vendor\\Cache", L"files", L"Cookies*", Problem::CookiesInOtherMode,
     L"Cookies", true},
    {L"standard", L"%APPDATA%\\Vendor\\Logs", L"files", L"*.log;*.txt", Problem::BadMask, nullptr,
     true},
    {L"standard", L"%APPDATA%\\Vendor\\Logs", L"files", L"..\\*", Problem::BadMask, nullptr, true},
    {L"standard", L"%APPDATA%\\Vendor\\Logs", L"tree", L"log*", Problem::TreeMaskShape, nullptr,
     true},
    {L"standard", L"%APPDATA%\\Vendor\\Logs", L"tree", L"*a*", Problem::TreeMaskShape, nullptr,
     true},
};

TEST(Definitions, UnsafePlacesAreRefusedWithTheirReasons) {
  for (const Unsafe& row : kUnsafe) {
    SCOPED_TRACE(std::wstring(row.place) + L" " + row.action + L" " + row.mask);
    const DefinitionSet set = Parse(Section(row.mode, row.place, row.action, row.mask));
    EXPECT_TRUE(set.places.empty());
    ASSERT_EQ(set.refusals.size(), 1u) << test::Describe(set.refusals);
    const Refusal& refusal = set.refusals[0];
    EXPECT_EQ(refusal.problem, row.problem) << test::Describe(set.refusals);
    if (row.detail) {
      EXPECT_EQ(refusal.detail, row.detail);
    }
    EXPECT_EQ(refusal.file, L"t.ini");
    EXPECT_EQ(refusal.section, L"s");
    // The place is on line 5, the mask on line 7.
    EXPECT_EQ(refusal.line, row.maskAtFault ? 7 : 5) << test::Describe(set.refusals);
  }
}

struct BadText {
  const wchar_t* text;
  int line;
  Problem problem;
};

const wchar_t kGood[] =
    L"program = P\nmode = offline\nplace = %LOCALAPPDATA%\\V\\Cache\naction = whole\n";

TEST(Definitions, BadLinesAreRefusedWithTheirLinesAndTheRestIsRead) {
  const BadText rows[] = {
      {L"[s]\nprogram P\n", 2, Problem::NotKeyValue},
      {L"[s\n", 1, Problem::BadSectionHeader},
      {L"[ ]\n", 1, Problem::BadSectionHeader},
      {L"[s]\npath = %APPDATA%\\x\n", 2, Problem::UnknownKey},
      {L"[s]\nmode = offline\nMode = standard\n", 3, Problem::KeyTwice},
      {L"[s]\nprocess =\n", 2, Problem::EmptyValue},
      {L"[s]\nmode = fast\n", 2, Problem::BadMode},
      {L"[s]\naction = delete\n", 2, Problem::BadAction},
      {L"[s]\nprocess = C:\\Evil\\run.exe\n", 2, Problem::BadProcessName},
      {L"[s]\nprocess = msedge\n", 2, Problem::BadProcessName},
      {L"[s]\nprogram = A\x7F\n", 2, Problem::BadProgramName},
      {L"[s]\nprogram = P\nmode = offline\naction = whole\n", 1, Problem::MissingKey},
      {L"[s]\nprogram = P\nmode = offline\nplace = %APPDATA%\\V\\Logs\naction = files\n", 5,
       Problem::MaskMissing},
      {L"[s]\nprogram = P\nmode = offline\nplace = %APPDATA%\\V\\Logs\naction = whole\nmask = *\n",
       6, Problem::MaskWithWhole},
  };
  for (const BadText& row : rows) {
    SCOPED_TRACE(row.text);
    // A good section before and after: only the bad one goes.
    const int before = 5;
    const DefinitionSet set =
        Parse(L"[good 1]\n" + std::wstring(kGood) + row.text + L"[good 2]\n" + kGood);
    ASSERT_EQ(set.refusals.size(), 1u) << test::Describe(set.refusals);
    EXPECT_EQ(set.refusals[0].problem, row.problem) << test::Describe(set.refusals);
    EXPECT_EQ(set.refusals[0].line, row.line + before);
    ASSERT_EQ(set.places.size(), 2u);
    EXPECT_EQ(set.places.back().section, L"good 2");
  }
}

TEST(Definitions, LinesBeforeTheFirstSectionAndSectionsNamedTwice) {
  const DefinitionSet before = Parse(L"program = P\n[good]\n" + std::wstring(kGood));
  ASSERT_EQ(before.refusals.size(), 1u);
  EXPECT_EQ(before.refusals[0].problem, Problem::OutsideSection);
  EXPECT_EQ(before.refusals[0].line, 1);
  EXPECT_EQ(before.places.size(), 1u);

  const DefinitionSet set = Parse(L"[Cache]\n" + std::wstring(kGood) + L"[cache]\n" + kGood);
  ASSERT_EQ(set.places.size(), 1u);
  EXPECT_EQ(set.places[0].line, 1);
  ASSERT_EQ(set.refusals.size(), 1u);
  EXPECT_EQ(set.refusals[0].problem, Problem::SectionTwice);
  EXPECT_EQ(set.refusals[0].line, 6);
}

TEST(Definitions, EncodingsAndBrokenBytes) {
  const std::string good = ToUtf8(L"[s]\n" + std::wstring(kGood));
  auto parse = [](const std::string& bytes) {
    DefinitionSet set;
    ParseDefinitions(bytes, L"b.ini", set);
    return set;
  };
  EXPECT_EQ(parse("\xEF\xBB\xBF" + good).places.size(), 1u);
  std::string utf16 = "\xFF\xFE";
  for (char c : good) utf16 += std::string{c, '\0'};
  EXPECT_EQ(parse(utf16).places.size(), 1u);
  EXPECT_TRUE(parse("").refusals.empty());
  const std::string broken[] = {good + "\xC3\x28", good + std::string(1, '\0'), utf16 + "x",
                                std::string(kMaxDefinitionFileBytes + 1, 'x')};
  for (const std::string& bytes : broken) {
    const DefinitionSet set = parse(bytes);
    EXPECT_TRUE(set.places.empty());
    ASSERT_EQ(set.refusals.size(), 1u);
    EXPECT_EQ(set.refusals[0].line, 0);
  }
}

// Random damage to a shipped file: never a crash, and every place that
// survives still passes the rules and reads back as written.
TEST(Definitions, DamagedFilesNeverCrashNorLetAnUnsafePlaceThrough) {
  const std::string original = test::ReadBytes(test::ShippedFolder() + L"\\microsoft-edge.ini");
  ASSERT_FALSE(original.empty());
  const std::string tokens[] = {"\n[",      "]",
                                "=",        "*",
                                "\\",       "..",
                                "%",        "%APPDATA%",
                                "\\*",      "\n",
                                "\xFF",     std::string(1, '\0'),
                                "place = ", "action = tree\n",
                                ";"};
  std::mt19937 random(15);
  for (int round = 0; round < 1500; ++round) {
    std::string bytes = original;
    for (int edits = 1 + random() % 6; edits > 0; --edits) {
      const size_t at = random() % (bytes.size() + 1);
      switch (random() % 4) {
        case 0:
          bytes.insert(at, tokens[random() % std::size(tokens)]);
          break;
        case 1:
          if (at < bytes.size()) bytes[at] = static_cast<char>(random());
          break;
        case 2:
          bytes.erase(at, random() % 40);
          break;
        default:
          bytes.insert(at, bytes.substr(random() % bytes.size(), random() % 80));
          break;
      }
    }
    DefinitionSet set;
    ParseDefinitions(bytes, L"f.ini", set);
    for (const Place& place : set.places) {
      EXPECT_FALSE(CheckPlace(place).has_value()) << PlaceText(place);
      Place again;
      EXPECT_FALSE(ReadPlace(PlaceText(place), again).has_value());
      EXPECT_EQ(again.components, place.components);
    }
  }
}

TEST(Definitions, ShippedFilesAreReadWhole) {
  const DefinitionSet set = LoadDefinitions(test::ShippedFolder(), L"");
  EXPECT_TRUE(set.refusals.empty()) << test::Describe(set.refusals);
  EXPECT_GE(set.Programs().size(), 25u);
  int perMode[3] = {};
  for (const Place& place : set.places) ++perMode[static_cast<int>(place.mode)];
  EXPECT_GT(perMode[static_cast<int>(CleaningMode::Standard)], 20);
  EXPECT_GT(perMode[static_cast<int>(CleaningMode::Cookies)], 5);
  EXPECT_GT(perMode[static_cast<int>(CleaningMode::Offline)], 50);
}

TEST(Definitions, ABrokenOrUnsafeFileChangesNothingElse) {
  TempDir shipped, user;
  const std::string good = ToUtf8(L"[a]\n" + std::wstring(kGood));
  test::WriteBytes(shipped / L"b.ini", good);
  test::WriteBytes(user / L"mine.ini", ToUtf8(L"[m]\n" + std::wstring(kGood)));
  const DefinitionSet alone = LoadDefinitions(shipped.Path(), user.Path());
  ASSERT_EQ(alone.places.size(), 2u);
  EXPECT_EQ(alone.places[0].file, shipped / L"b.ini");
  EXPECT_EQ(alone.places[1].file, user / L"mine.ini");

  test::WriteBytes(shipped / L"a.ini", "\x01\x02\xFF\xFE\xFD binary");
  test::WriteBytes(shipped / L"c.ini", ToUtf8(Section(L"offline", L"%APPDATA%", L"whole")));
  test::WriteBytes(shipped / L"d.ini", std::string(kMaxDefinitionFileBytes + 1, ';'));
  test::WriteBytes(shipped / L"notes.initial", good);  // *.ini only by its 8.3 name
  shipped.File(L"folder.ini\\x.ini");
  const DefinitionSet with = LoadDefinitions(shipped.Path(), user.Path());
  ASSERT_EQ(with.places.size(), 2u) << test::Describe(with.refusals);
  EXPECT_EQ(with.places[0].file, alone.places[0].file);
  EXPECT_EQ(with.places[1].file, alone.places[1].file);
  ASSERT_EQ(with.refusals.size(), 3u) << test::Describe(with.refusals);
  EXPECT_EQ(with.refusals[0].file, shipped / L"a.ini");
  EXPECT_EQ(with.refusals[0].problem, Problem::NotText);
  EXPECT_EQ(with.refusals[1].problem, Problem::RootItself);
  EXPECT_EQ(with.refusals[2].problem, Problem::FileTooLarge);

  EXPECT_TRUE(LoadDefinitions(shipped / L"missing", L"").places.empty());
}

TEST(Definitions, EveryProblemHasItsOwnText) {
  std::vector<std::wstring> keys;
  for (int i = 0; i <= static_cast<int>(Problem::TreeMaskShape); ++i) {
    const ProblemText text = DescribeProblem(static_cast<Problem>(i));
    ASSERT_NE(text.key, nullptr);
    EXPECT_GT(std::wcslen(text.english), 10u);
    for (const std::wstring& seen : keys) EXPECT_NE(seen, text.key);
    keys.emplace_back(text.key);
  }
}

}  // namespace
}  // namespace klarex
