// The Extended Catalogue option as stored between runs, and the one status
// notice that names refused definitions.
#include "frame/extended_catalogue.h"

#include <gtest/gtest.h>

#include "support/scratch_profile.h"

namespace klarex {
namespace {

TEST(ExtendedCatalogue, IsOnUntilTurnedOffAndAStrangeValueKeepsItOn) {
  test::ScratchProfile scratch;
  const CProfile& profile = scratch.Get();
  EXPECT_TRUE(ReadExtendedCatalogue(profile));
  StoreExtendedCatalogue(profile, false);
  EXPECT_FALSE(ReadExtendedCatalogue(profile));
  StoreExtendedCatalogue(profile, true);
  EXPECT_TRUE(ReadExtendedCatalogue(profile));
  // A text where a number belongs (a hand-edited registry) is no "off".
  profile.WriteString(L"Settings", L"ExtendedCatalogue", L"0");
  EXPECT_TRUE(ReadExtendedCatalogue(profile));
}

TEST(ExtendedCatalogue, NoticeNamesTheFirstRefusalAndCountsTheRest) {
  EXPECT_EQ(RefusalNotice({}), L"");

  std::vector<Refusal> refusals{{L"C:\\Users\\u\\AppData\\Roaming\\Klarex\\cleaners\\mine.ini", 12,
                                 L"Logs", Problem::DotComponent, L".."}};
  EXPECT_EQ(RefusalNotice(refusals),
            L"Definition not used: mine.ini, line 12 [Logs]: a . or .. component, which leads "
            L"out of the place (..)");

  refusals.insert(refusals.begin(),
                  {L"C:\\k\\cleaners\\big.ini", 0, L"", Problem::FileTooLarge, L""});
  refusals.push_back({L"C:\\k\\cleaners\\x.ini", 3, L"", Problem::NotKeyValue, L""});
  EXPECT_EQ(RefusalNotice(refusals),
            L"Definition not used: big.ini: the file is larger than 1 MB \x00B7 2 more");
}

}  // namespace
}  // namespace klarex
