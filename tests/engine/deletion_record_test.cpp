// The deletion record: its CSV lines, its times, its rotation, and what a
// record that cannot be written leaves behind.
#include "engine/deletion_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/temp_dir.h"

namespace klarex {
namespace {

std::string ReadFile(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int Lines(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

RecordEntry Entry(const std::wstring& path, RecordOutcome outcome = RecordOutcome::Deleted) {
  RecordEntry e;
  ::GetSystemTimeAsFileTime(&e.time);
  e.mode = RecordMode::Standard;
  e.outcome = outcome;
  e.bytes = 1234;
  e.path = path;
  return e;
}

TEST(DeletionRecord, CsvQuotingAsRequired) {
  EXPECT_EQ(CsvField("C:\\Temp\\a.log"), "C:\\Temp\\a.log");
  EXPECT_EQ(CsvField("C:\\a,b.log"), "\"C:\\a,b.log\"");
  EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(CsvField("two\nlines"), "\"two\nlines\"");
  EXPECT_EQ(CsvField(" lead"), "\" lead\"");
  EXPECT_EQ(CsvField(""), "");
}

TEST(DeletionRecord, IsoTimeWithOffset) {
  SYSTEMTIME t{2026, 3, 0, 1, 4, 5, 9, 0};
  EXPECT_EQ(FormatIsoTime(t, 60), "2026-03-01T04:05:09+01:00");
  EXPECT_EQ(FormatIsoTime(t, -330), "2026-03-01T04:05:09-05:30");
  EXPECT_EQ(FormatIsoTime(t, 0), "2026-03-01T04:05:09+00:00");
}

TEST(DeletionRecord, LineColumnsAndWords) {
  RecordEntry e = Entry(L"C:\\Temp\\na\u00efve, \u6f22.txt", RecordOutcome::AtRestart);
  e.mode = RecordMode::Cookies;
  e.action = RecordAction::Recycle;
  const std::string line = FormatRecordLine(e);
  const size_t firstComma = line.find(',');
  EXPECT_EQ(line.substr(firstComma),
            ",cookies,recycle,at-restart,1234,\"C:\\Temp\\na\xC3\xAFve, \xE6\xBC\xA2.txt\"\r\n");
  EXPECT_EQ(line.size() > 25 && line[4] == '-' && line[10] == 'T', true) << line;

  RecordEntry key =
      Entry(L"Software\\Microsoft\\Internet Explorer\\TypedURLs", RecordOutcome::Absent);
  key.mode = RecordMode::Advance;
  key.bytes.reset();
  const std::string keyLine = FormatRecordLine(key);
  EXPECT_NE(keyLine.find(",advance,delete,absent,,Software\\"), std::string::npos) << keyLine;

  EXPECT_EQ(ToRecordOutcome(DeleteOutcome::LinkRemoved), RecordOutcome::LinkRemoved);
  EXPECT_EQ(ToRecordOutcome(DeleteOutcome::Missing), RecordOutcome::Absent);
  EXPECT_EQ(ToRecordMode(CleaningMode::Offline), RecordMode::Offline);
}

TEST(DeletionRecord, DroppingTheOldestHalfKeepsWholeLines) {
  std::string content = kRecordHeader;
  for (int i = 0; i < 10; ++i) content += "line" + std::to_string(i) + "\r\n";
  content.insert(content.find("line6"), "\"quoted\nbreak\",");
  const std::string kept = DropOldestHalf(content);
  EXPECT_EQ(kept.rfind(kRecordHeader, 0), 0u);
  EXPECT_EQ(kept.find("line0"), std::string::npos);
  EXPECT_NE(kept.find("line9\r\n"), std::string::npos);
  // Every kept line is whole: it follows the header or a line's end.
  const size_t first = sizeof kRecordHeader - 1;
  EXPECT_TRUE(kept.compare(first, 4, "line") == 0 || kept[first] == '"') << kept;
  EXPECT_EQ(DropOldestHalf(kRecordHeader), kRecordHeader);
}

TEST(DeletionRecord, AppendsWithOneHeaderAndRotatesPastTheLimit) {
  test::TempDir dir;
  const std::wstring path = dir / L"Klarex\\deletions.csv";  // the folder is made
  CDeletionRecord record(path, 4000);
  ASSERT_TRUE(record.Append({Entry(L"C:\\a"), Entry(L"C:\\b")}));
  ASSERT_TRUE(record.Append({Entry(L"C:\\c")}));
  std::string text = ReadFile(path);
  EXPECT_EQ(text.rfind(kRecordHeader, 0), 0u);
  EXPECT_EQ(text.find("time,", 1), std::string::npos);
  EXPECT_EQ(Lines(text), 4);

  for (int i = 0; i < 100; ++i) ASSERT_TRUE(record.Append({Entry(L"C:\\n" + std::to_wstring(i))}));
  text = ReadFile(path);
  EXPECT_LE(text.size(), 4000u);
  EXPECT_EQ(text.rfind(kRecordHeader, 0), 0u);
  EXPECT_NE(text.find("C:\\n99\r\n"), std::string::npos);
  EXPECT_EQ(text.find("C:\\a\r\n"), std::string::npos);
  EXPECT_FALSE(Exists((path + L".new").c_str()));
  EXPECT_TRUE(record.Append({}));
}

TEST(DeletionRecord, AFailedWriteSaysSoAndChangesNothing) {
  test::TempDir dir;
  // The record's place is taken by a folder: it cannot be opened as a file.
  const std::wstring blocked = dir.Folder(L"Klarex\\deletions.csv");
  CDeletionRecord record(blocked);
  EXPECT_FALSE(record.Append({Entry(L"C:\\a")}));
  EXPECT_FALSE(CDeletionRecord(L"").Append({Entry(L"C:\\a")}));

  // Held open without sharing by another program: the append fails, the file stays.
  const std::wstring path = dir / L"held.csv";
  CDeletionRecord held(path, 100);
  ASSERT_TRUE(held.Append({Entry(L"C:\\first")}));
  const std::string before = ReadFile(path);
  {
    HANDLE lock = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(held.Append({Entry(L"C:\\second")}));
    ::CloseHandle(lock);
  }
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_FALSE(Exists((path + L".new").c_str()));
}

}  // namespace
}  // namespace klarex
