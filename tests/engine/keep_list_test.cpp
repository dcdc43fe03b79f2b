// The keep list: matching by whole components, the filtering sink, and the
// registry key with values a user or another program may have put there.
#include "engine/keep_list.h"

#include <gtest/gtest.h>

#include "support/recording_sink.h"
#include "sys/handles.h"

namespace klarex {
namespace {

constexpr wchar_t kTestKey[] = L"Software\\Klarex Tests\\Keep";

FoundItem Item(const wchar_t* path) {
  FoundItem item{};
  wcscpy_s(item.cFileName, path);
  return item;
}

TEST(KeepList, NormalisedFormsAndRefusedPaths) {
  EXPECT_EQ(NormaliseKeptPath(L"c:/Temp/a\\"), L"C:\\TEMP\\A");
  EXPECT_EQ(NormaliseKeptPath(L"\\\\?\\C:\\Temp"), L"C:\\TEMP");
  EXPECT_EQ(NormaliseKeptPath(L"\\\\?\\UNC\\srv\\share\\x"), L"\\\\SRV\\SHARE\\X");
  EXPECT_EQ(NormaliseKeptPath(L"C:\\"), L"C:");
  for (const wchar_t* bad : {L"", L"Temp\\a", L"C:", L"C:rel", L"\\single", L"C:\\a*b", L"1:\\x"})
    EXPECT_EQ(NormaliseKeptPath(bad), L"") << bad;
  EXPECT_EQ(NormaliseKeptPath(L"C:\\" + std::wstring(300, L'a')), L"");
}

TEST(KeepList, WholeComponentsWithoutRegardToCase) {
  CKeepList keep;
  EXPECT_TRUE(keep.Add(L"C:\\Temp\\a"));
  EXPECT_FALSE(keep.Add(L"c:\\TEMP\\A\\"));  // the same path once
  EXPECT_FALSE(keep.Add(L"relative"));
  EXPECT_TRUE(keep.IsKept(L"C:\\Temp\\a"));
  EXPECT_TRUE(keep.IsKept(L"c:\\temp\\A\\b.log"));
  EXPECT_TRUE(keep.IsKept(L"C:\\Temp\\a\\deep\\er\\c.tmp"));
  EXPECT_FALSE(keep.IsKept(L"C:\\Temp\\ab.log"));
  EXPECT_FALSE(keep.IsKept(L"C:\\Temp"));
  EXPECT_FALSE(keep.IsKept(L"D:\\Temp\\a"));
  EXPECT_EQ(keep.Paths(), std::vector<std::wstring>{L"C:\\Temp\\a"});

  EXPECT_TRUE(keep.Remove(L"C:\\TEMP\\A"));
  EXPECT_FALSE(keep.Remove(L"C:\\Temp\\a"));
  EXPECT_FALSE(keep.IsKept(L"C:\\Temp\\a\\b.log"));
  EXPECT_TRUE(keep.Empty());
}

TEST(KeepList, FilterSinkHidesKeptItemsAndPassesTheEnd) {
  CKeepList keep;
  keep.Add(L"C:\\users\\u\\Temp\\keep");
  test::CollectingSink out;
  CKeepFilterSink filter(keep, out);
  filter.Add(Item(L"C:\\users\\u\\Temp\\keep"));
  filter.Add(Item(L"C:\\users\\u\\Temp\\KEEP\\x.tmp"));
  filter.Add(Item(L"C:\\users\\u\\Temp\\keeper.tmp"));
  filter.EndOfScan();
  EXPECT_EQ(out.Paths(), std::vector<std::wstring>{L"C:\\users\\u\\Temp\\keeper.tmp"});
  EXPECT_EQ(out.ends, 1);
}

class KeepRegistry : public ::testing::Test {
 protected:
  void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey); }
  void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey); }
  void Put(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
    RegKey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                key.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), bytes),
              ERROR_SUCCESS);
  }
  void PutText(const wchar_t* name, const std::wstring& text) {
    Put(name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
};

TEST_F(KeepRegistry, MissingKeyIsEmptyAndSaveLoadRoundTrips) {
  EXPECT_TRUE(LoadKeepList(HKEY_CURRENT_USER, kTestKey).Empty());
  CKeepList keep;
  keep.Add(L"C:\\Temp\\a");
  keep.Add(L"C:\\users\\u\\AppData\\Local\\Ünïcode 漢字");
  ASSERT_TRUE(SaveKeepList(keep, HKEY_CURRENT_USER, kTestKey));
  EXPECT_EQ(LoadKeepList(HKEY_CURRENT_USER, kTestKey).Paths(), keep.Paths());

  // A removal is saved as such: the old values do not come back.
  keep.Remove(L"C:\\Temp\\a");
  ASSERT_TRUE(SaveKeepList(keep, HKEY_CURRENT_USER, kTestKey));
  EXPECT_EQ(LoadKeepList(HKEY_CURRENT_USER, kTestKey).Paths(), keep.Paths());
}

TEST_F(KeepRegistry, StrangeValuesArePassedOver) {
  PutText(L"any name", L"C:\\Good\\one");
  const DWORD number = 7;
  Put(L"dword", REG_DWORD, &number, sizeof number);
  Put(L"expand", REG_EXPAND_SZ, L"%TEMP%\\x", 18);
  PutText(L"empty", L"");
  PutText(L"relative", L"not\\a\\path");
  PutText(L"overlong", L"C:\\" + std::wstring(5000, L'x'));
  Put(L"binary", REG_BINARY, "\x01\x02\x03", 3);
  Put(L"odd", REG_SZ, "C\0:", 3);  // an odd byte count, no terminator
  Put(L"unterminated", REG_SZ, L"C:\\Second", 9 * sizeof(wchar_t));
  PutText(L"", L"C:\\Default\\value");
  const CKeepList keep = LoadKeepList(HKEY_CURRENT_USER, kTestKey);
  EXPECT_TRUE(keep.IsKept(L"C:\\Good\\one\\x.log"));
  EXPECT_TRUE(keep.IsKept(L"C:\\Second"));
  EXPECT_TRUE(keep.IsKept(L"C:\\Default\\value"));
  EXPECT_EQ(keep.Paths().size(), 3u);
}

}  // namespace
}  // namespace klarex
