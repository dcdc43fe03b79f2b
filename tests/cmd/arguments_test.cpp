// The console program's command line: what each verb accepts, and a reason for
// everything it does not.
#include "cmd/arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace klarex::cmd {
namespace {

ParsedArguments Parse(std::vector<std::wstring> words) { return ParseArguments(words); }

TEST(Arguments, ListCleanAndPrivacyTakeTheirModesCategoriesAndOptions) {
  ParsedArguments p = Parse({L"list", L"cookies", L"--format", L"csv"});
  ASSERT_EQ(p.error, L"");
  EXPECT_EQ(p.arguments.verb, Verb::List);
  EXPECT_EQ(p.arguments.mode, CleaningMode::Cookies);
  EXPECT_EQ(p.arguments.format, Format::Csv);

  p = Parse({L"list", L"--format=json", L"Offline"});  // option first, mode in any case
  ASSERT_EQ(p.error, L"");
  EXPECT_EQ(p.arguments.mode, CleaningMode::Offline);
  EXPECT_EQ(p.arguments.format, Format::Json);
  EXPECT_EQ(Parse({L"list", L"standard"}).arguments.format, Format::Text);

  p = Parse({L"clean", L"standard", L"--recycle", L"--yes"});
  ASSERT_EQ(p.error, L"");
  EXPECT_EQ(p.arguments.verb, Verb::Clean);
  EXPECT_TRUE(p.arguments.recycle && p.arguments.yes);
  EXPECT_FALSE(p.arguments.dryRun);

  // Categories in any order, repeated or not: the run's order is fixed.
  p = Parse({L"privacy", L"recent", L"run", L"URL", L"recent", L"--dry-run"});
  ASSERT_EQ(p.error, L"");
  EXPECT_EQ(p.arguments.verb, Verb::Privacy);
  EXPECT_EQ(p.arguments.categories, (CategoryFlags{1, 0, 1, 0, 0, 1}));
  EXPECT_TRUE(p.arguments.dryRun);
  EXPECT_EQ(Parse({L"privacy", L"autocomplete", L"find", L"typed"}).arguments.categories,
            (CategoryFlags{0, 1, 0, 1, 1, 0}));

  EXPECT_EQ(Parse({L"--help"}).arguments.verb, Verb::Help);
  EXPECT_EQ(Parse({L"/?"}).arguments.verb, Verb::Help);
  EXPECT_EQ(Parse({L"--version"}).arguments.verb, Verb::Version);
}

TEST(Arguments, EveryUsageErrorHasAReasonNamingWhatWasWrong) {
  struct Case {
    std::vector<std::wstring> words;
    const wchar_t* reason;
  };
  const Case cases[] = {
      {{}, L"no command"},
      {{L"purge", L"standard"}, L"unknown command 'purge'"},
      {{L"list"}, L"needs a mode"},
      {{L"clean", L"--yes"}, L"needs a mode"},
      {{L"list", L"temp"}, L"unknown mode 'temp'"},
      {{L"list", L"standard", L"cookies"}, L"more than one mode"},
      {{L"list", L"standard", L"--yes"}, L"unknown option '--yes'"},
      {{L"clean", L"standard", L"--format", L"csv"}, L"unknown option '--format'"},
      {{L"clean", L"standard", L"--force"}, L"unknown option '--force'"},
      {{L"privacy", L"recent", L"--recycle"}, L"unknown option '--recycle'"},
      {{L"list", L"standard", L"--format"}, L"--format needs"},
      {{L"list", L"standard", L"--format", L"xml"}, L"unknown format 'xml'"},
      {{L"list", L"standard", L"--format=csv", L"--format=json"}, L"twice"},
      {{L"clean", L"standard", L"--yes=no"}, L"takes no value"},
      {{L"privacy"}, L"needs a category"},
      {{L"privacy", L"--yes"}, L"needs a category"},
      {{L"privacy", L"cookies"}, L"unknown privacy category 'cookies'"},
      {{L"--help", L"list"}, L"--help takes nothing"},
      {{L"--version", L"x"}, L"--version takes nothing"},
  };
  for (const Case& c : cases) {
    const ParsedArguments p = ParseArguments(c.words);
    SCOPED_TRACE(testing::PrintToString(c.words.empty() ? std::wstring() : c.words.back()));
    EXPECT_NE(p.error.find(c.reason), std::wstring::npos) << "reason: " << p.error.c_str();
    EXPECT_EQ(p.error.find(L'\n'), std::wstring::npos) << "a reason is one line";
  }
}

}  // namespace
}  // namespace klarex::cmd
