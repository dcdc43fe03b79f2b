#include "sys/paths.h"

#include <gtest/gtest.h>

namespace klarex {
namespace {

TEST(ExactPath, PrefixesCanonicalDriveAndUncPathsAndRefusesOthers) {
  EXPECT_EQ(ExactPath(L"C:\\dir\\keep."), L"\\\\?\\C:\\dir\\keep.");
  EXPECT_EQ(ExactPath(L"C:\\dir\\space "), L"\\\\?\\C:\\dir\\space ");
  EXPECT_EQ(ExactPath(L"C:\\dir\\"), L"\\\\?\\C:\\dir");
  EXPECT_EQ(ExactPath(L"C:\\"), L"\\\\?\\C:\\");
  EXPECT_EQ(ExactPath(L"\\\\server\\share\\x"), L"\\\\?\\UNC\\server\\share\\x");
  EXPECT_EQ(ExactPath(L"\\\\?\\C:\\already"), L"\\\\?\\C:\\already");
  // "\\?\" would take these literally, naming something else than Win32 does.
  for (const wchar_t* path : {L"", L"dir\\x", L"C:dir", L"C:/dir", L"C:\\a\\..\\b", L"C:\\a\\.\\b",
                              L"C:\\a\\\\b", L"\\\\server", L"\\\\.\\C:", L"\\rooted"})
    EXPECT_EQ(ExactPath(path), L"") << path;
  EXPECT_EQ(DisplayPath(L"\\\\?\\C:\\dir\\keep."), L"C:\\dir\\keep.");
  EXPECT_EQ(DisplayPath(L"\\\\?\\UNC\\server\\share\\x"), L"\\\\server\\share\\x");
}

TEST(IsPlainWin32Path, OnlyPathsWin32TakesAsTheyStand) {
  EXPECT_TRUE(IsPlainWin32Path(L"C:\\dir\\file.txt"));
  EXPECT_TRUE(IsPlainWin32Path(L"C:\\dir\\...name"));
  for (const wchar_t* path : {L"C:\\dir\\keep.", L"C:\\dir\\space ", L"C:\\dir.\\inner.txt",
                              L"C:\\sp \\inner.txt", L"\\\\server\\share\\x", L"relative"})
    EXPECT_FALSE(IsPlainWin32Path(path)) << path;
  EXPECT_TRUE(IsPlainWin32Path(L"C:\\" + std::wstring(255, L'a')));
  EXPECT_FALSE(IsPlainWin32Path(L"C:\\" + std::wstring(257, L'a')));
}

TEST(MatchesMask, LongNamesOnlyWithTheSearchsExtensionRule) {
  // Names whose short (8.3) names a directory search would match.
  EXPECT_FALSE(MatchesMask(L"thesis.logbook", L"*.log"));
  EXPECT_FALSE(MatchesMask(L"thesis.logbook", L"*.log.*"));
  EXPECT_FALSE(MatchesMask(L"budget.tmpl", L"*.tmp"));
  EXPECT_FALSE(MatchesMask(L"photos.bakery", L"*.bak"));
  EXPECT_FALSE(MatchesMask(L"archive.chkpt", L"*.chk"));
  EXPECT_FALSE(MatchesMask(L"a.logx", L"*.log"));
  EXPECT_TRUE(MatchesMask(L"Setup.LOG", L"*.log"));
  EXPECT_TRUE(MatchesMask(L"a.b.log", L"*.log"));
  EXPECT_TRUE(MatchesMask(L"trace.log.001", L"*.log.*"));
  EXPECT_TRUE(MatchesMask(L"x.log", L"*.log.*"));
  // A trailing ".*" also takes a name without extension, as the search does.
  EXPECT_TRUE(MatchesMask(L"Cookies", L"cookies.*"));
  EXPECT_TRUE(MatchesMask(L"cookies.sqlite-wal", L"cookies.*"));
  EXPECT_FALSE(MatchesMask(L"cookiesx", L"cookies.*"));
  EXPECT_TRUE(MatchesMask(L"drv01", L"drv*.*"));
  EXPECT_TRUE(MatchesMask(L"thumbcache_32.db", L"thumbcache*.db"));
  EXPECT_FALSE(MatchesMask(L"iconcache_32.db", L"thumbcache*.db"));
  EXPECT_TRUE(MatchesMask(L"f1.tmp", L"f?.tmp"));
  EXPECT_FALSE(MatchesMask(L"f12.tmp", L"f?.tmp"));
  // "*" and "*.*" take everything; plain names match whole.
  EXPECT_TRUE(MatchesMask(L"noextension", L"*.*"));
  EXPECT_TRUE(MatchesMask(L".", L"*"));
  EXPECT_TRUE(MatchesMask(L"Last Session", L"Last Session"));
  EXPECT_FALSE(MatchesMask(L"Last Session.bak", L"Last Session"));
  EXPECT_FALSE(MatchesMask(nullptr, L"*"));
}

}  // namespace
}  // namespace klarex
