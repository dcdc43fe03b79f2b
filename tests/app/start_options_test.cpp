// The program's command line as wWinMain hands it over (arguments only).
#include "app/start_options.h"

#include <gtest/gtest.h>

namespace klarex {
namespace {

TEST(StartOptions, TheExitSwitchIsTheOnlyOptionAndOtherArgumentsAreIgnored) {
  EXPECT_EQ(ParseStartOptions(nullptr), StartOptions{});
  EXPECT_EQ(ParseStartOptions(L""), StartOptions{});
  EXPECT_TRUE(ParseStartOptions(L"--exit-after-first-fill").exitAfterFirstFill);
  EXPECT_TRUE(ParseStartOptions(L"C:\\some file.txt --exit-after-first-fill").exitAfterFirstFill);
  EXPECT_TRUE(ParseStartOptions(L"\"--exit-after-first-fill\"").exitAfterFirstFill);
  EXPECT_FALSE(ParseStartOptions(L"--exit-after-first-fill=0").exitAfterFirstFill);
  EXPECT_FALSE(ParseStartOptions(L"\"C:\\--exit-after-first-fill\"").exitAfterFirstFill);
  EXPECT_FALSE(ParseStartOptions(L"-EXIT").exitAfterFirstFill);
}

}  // namespace
}  // namespace klarex
