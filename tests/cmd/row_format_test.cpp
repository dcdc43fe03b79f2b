// The lines KlarexCmd prints: UTF-8 of any Windows name, CSV quoting, JSON
// escaping, ISO times, and the closing line of a deleting run.
#include "cmd/row_format.h"

#include <gtest/gtest.h>

#include <string>

namespace klarex::cmd {
namespace {

FILETIME Utc(WORD y, WORD mo, WORD d, WORD h, WORD mi, WORD s) {
  SYSTEMTIME st{y, mo, 0, d, h, mi, s, 0};
  FILETIME ft{};
  SystemTimeToFileTime(&st, &ft);
  return ft;
}

TEST(RowFormat, Utf8KeepsEveryPlaneAndMarksOnlyUnpairedSurrogates) {
  EXPECT_EQ(ToUtf8Bytes(L"C:\\a.log"), "C:\\a.log");
  EXPECT_EQ(ToUtf8Bytes(L"\u00e9\u65e5"), "\xc3\xa9\xe6\x97\xa5");
  EXPECT_EQ(ToUtf8Bytes(L"\U0001F600"), "\xf0\x9f\x98\x80");  // a surrogate pair: one character
  EXPECT_EQ(ToUtf8Bytes(std::wstring(L"a\xD800") + L"b"),
            "a\xef\xbf\xbd"
            "b");
  EXPECT_EQ(ToUtf8Bytes(std::wstring(L"\xDC00\xD800")), "\xef\xbf\xbd\xef\xbf\xbd");
  EXPECT_EQ(ToUtf8Bytes(std::wstring(1, L'\xD83D')), "\xef\xbf\xbd");  // a pair cut at the end
  // No length limit: a 32,767-character path comes out whole.
  const std::wstring longPath = L"\\\\?\\C:\\" + std::wstring(32760, L'\u00e9');
  EXPECT_EQ(ToUtf8Bytes(longPath).size(), 7 + 2 * 32760u);
}

TEST(RowFormat, CsvQuotesOnlyWhatNeedsIt) {
  EXPECT_EQ(CsvField(L"C:\\Temp\\a.log"), L"C:\\Temp\\a.log");
  EXPECT_EQ(CsvField(L"C:\\a,b.txt"), L"\"C:\\a,b.txt\"");
  EXPECT_EQ(CsvField(L"say \"hi\".txt"), L"\"say \"\"hi\"\".txt\"");
  EXPECT_EQ(CsvField(L"\""), L"\"\"\"\"");
  EXPECT_EQ(CsvField(L"two\r\nlines"), L"\"two\r\nlines\"");
  EXPECT_EQ(CsvField(L" padded "), L"\" padded \"");
  EXPECT_EQ(CsvField(L""), L"");
}

TEST(RowFormat, JsonEscapesControlsQuotesAndLoneSurrogates) {
  EXPECT_EQ(JsonString(L"C:\\a \"b\".txt"), L"\"C:\\\\a \\\"b\\\".txt\"");
  EXPECT_EQ(JsonString(L"\t\n\r\b\f"), L"\"\\t\\n\\r\\b\\f\"");
  EXPECT_EQ(JsonString(std::wstring(L"\x01\x1f\x7f", 3)), L"\"\\u0001\\u001f\\u007f\"");
  EXPECT_EQ(JsonString(L"\u65e5\U0001F600"), L"\"\u65e5\U0001F600\"");  // kept as they are
  EXPECT_EQ(JsonString(std::wstring(L"a\xDC00"
                                    L"b")),
            L"\"a\\udc00b\"");
  EXPECT_EQ(JsonString(std::wstring(1, L'\xD83D')), L"\"\\ud83d\"");
  EXPECT_EQ(JsonString(L""), L"\"\"");
}

TEST(RowFormat, RowsInTheThreeFormats) {
  Row row{L"C:\\Temp\\a,\"b\".log", L"Text Document", 1234567890123ull, Utc(2026, 12, 8, 7, 5, 9)};
  EXPECT_EQ(IsoTime(row.modified), L"2026-12-08T07:05:09Z");
  EXPECT_EQ(FormatRow(row, Format::Text),
            L"C:\\Temp\\a,\"b\".log\tText Document\t1234567890123\t2026-12-08T07:05:09Z");
  EXPECT_EQ(FormatRow(row, Format::Csv),
            L"\"C:\\Temp\\a,\"\"b\"\".log\",Text Document,1234567890123,2026-12-08T07:05:09Z");
  EXPECT_EQ(FormatRow(row, Format::Json),
            L"{\"path\":\"C:\\\\Temp\\\\a,\\\"b\\\".log\",\"type\":\"Text Document\","
            L"\"bytes\":1234567890123,\"modified\":\"2026-12-08T07:05:09Z\"}");
  EXPECT_EQ(CsvHeader(), L"path,type,bytes,modified");
  EXPECT_EQ(TextTotal(1, 0), L"Total: 1 item, 0 bytes");
  EXPECT_EQ(TextTotal(3, 4096), L"Total: 3 items, 4096 bytes");
  FILETIME beyond{0xFFFFFFFF, 0xFFFFFFFF};
  EXPECT_EQ(IsoTime(beyond), L"");
}

TEST(RowFormat, TallyCountsOutcomesAndKnowsAnIncompleteRun) {
  RunTally tally;
  EXPECT_FALSE(tally.Incomplete());
  tally.Add(DeleteOutcome::Deleted, 10);
  tally.Add(DeleteOutcome::Recycled, 20);
  tally.Add(DeleteOutcome::Missing, 1000);      // was gone already: frees nothing
  tally.Add(DeleteOutcome::LinkRemoved, 1000);  // its target stays
  EXPECT_FALSE(tally.Incomplete());
  EXPECT_EQ(TallyText(tally),
            L"Done: 1 deleted, 1 recycled, 0 at-restart, 1 link-removed, 1 missing, 0 failed, "
            L"0 skipped; 30 bytes");
  for (DeleteOutcome left : {DeleteOutcome::Failed, DeleteOutcome::AtRestart}) {
    RunTally one;
    one.Add(left, 5);
    EXPECT_TRUE(one.Incomplete()) << OutcomeWord(left);
  }
  RunTally skipped;
  skipped.skipped = 1;
  EXPECT_TRUE(skipped.Incomplete());
}

}  // namespace
}  // namespace klarex::cmd
