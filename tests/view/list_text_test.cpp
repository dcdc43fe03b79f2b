#include "view/list_text.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "framework/lang_file.h"
#include "support/temp_dir.h"

namespace klarex {
namespace {

TEST(SizeText, EdgeValues) {
  EXPECT_EQ(FormatSizeText(0), L"0 KB");
  EXPECT_EQ(FormatSizeText(-5), L"0 KB");  // a negative folder sum
  EXPECT_EQ(FormatSizeText(1), L"1 KB");
  EXPECT_EQ(FormatSizeText(1023), L"1 KB");
  EXPECT_EQ(FormatSizeText(1024), L"1 KB");
  EXPECT_EQ(FormatSizeText(2047), L"1 KB");
  EXPECT_EQ(FormatSizeText(2048), L"2 KB");
  EXPECT_EQ(FormatSizeText(1048575), L"1023 KB");
  EXPECT_EQ(FormatSizeText(1048576), L"1 MB");
  EXPECT_EQ(FormatSizeText(3500000), L"3 MB");
  EXPECT_EQ(FormatSizeText(int64_t{1} << 42), L"4194304 MB");
}

FILETIME FromUtc(WORD year, WORD month, WORD day, WORD hour, WORD minute) {
  SYSTEMTIME st{};
  st.wYear = year;
  st.wMonth = month;
  st.wDay = day;
  st.wHour = hour;
  st.wMinute = minute;
  FILETIME ft{};
  SystemTimeToFileTime(&st, &ft);
  return ft;
}

// The expected text, computed without the runtime library's calendar.
std::wstring LocalText(const FILETIME& utc) {
  FILETIME local;
  SYSTEMTIME st;
  FileTimeToLocalFileTime(&utc, &local);
  FileTimeToSystemTime(&local, &st);
  wchar_t text[64];
  swprintf(text, 64, L"%02u/%02u/%04u %02u:%02u", st.wMonth, st.wDay, st.wYear, st.wHour,
           st.wMinute);
  return text;
}

TEST(DateText, LocalTimeInMonthDayYearOrder) {
  FILETIME ft = FromUtc(2024, 7, 9, 13, 5);
  EXPECT_EQ(FormatDateText(ft), LocalText(ft));
  ft = FromUtc(2001, 12, 31, 23, 59);
  EXPECT_EQ(FormatDateText(ft), LocalText(ft));
}

TEST(DateText, UnrepresentableTimesGiveTheEpochOrAnEmptyCell) {
  // A local year before 1900 shows the runtime library's time 0.
  EXPECT_EQ(FormatDateText(FromUtc(1700, 3, 1, 0, 0)), LocalText(FromUtc(1970, 1, 1, 0, 0)));
  // Beyond what the runtime library can hold: empty, and no crash.
  EXPECT_EQ(FormatDateText(FromUtc(9000, 1, 1, 0, 0)), L"");
  FILETIME invalid{0xFFFFFFFF, 0xFFFFFFFF};
  EXPECT_EQ(FormatDateText(invalid), L"");
}

TEST(RowRules, IconIndex) {
  EXPECT_EQ(RowImageIndex(true, true), 0);
  EXPECT_EQ(RowImageIndex(false, true), 1);
  EXPECT_EQ(RowImageIndex(true, false), 2);
  EXPECT_EQ(RowImageIndex(false, false), 3);
}

TEST(ColumnFit, FirstColumnTakesTheRestButNeverLessThanNothing) {
  EXPECT_EQ(FirstColumnWidth(800, 117, 97, 125), 461);
  EXPECT_EQ(FirstColumnWidth(300, 117, 97, 125), 0);
}

TEST(SelectionStatus, CountsAndTranslations) {
  EXPECT_EQ(SelectionStatusText(3, 120), L"3 / 120 selected");
  EXPECT_EQ(SelectionStatusText(0, 120), L"Ready");
  test::TempDir dir;
  std::wstring path = dir / L"s.lng";
  test::WriteUtf16File(path, L"[Status]\r\n9=scelti\r\n13=Pronto\r\n");
  {
    test::LanguageGuard lang(path);
    EXPECT_EQ(SelectionStatusText(3, 120), L"3 / 120 scelti");
    EXPECT_EQ(SelectionStatusText(0, 5), L"Pronto");
  }
  test::LanguageGuard empty(dir / L"none.lng");
  EXPECT_EQ(SelectionStatusText(1, 1), L"1 / 1 selected");
  EXPECT_EQ(SelectionStatusText(0, 1), L"Ready");
}

}  // namespace
}  // namespace klarex
