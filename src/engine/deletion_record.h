// The deletion record: one CSV line per item the program deleted, recycled,
// scheduled for removal at restart or failed to delete, and per registry
// history key the Advance dialog cleaned, appended to
// %LOCALAPPDATA%\Klarex\deletions.csv (UTF-8, header
// "time,mode,action,outcome,bytes,path"). Past its limit the oldest half goes
// in one rewrite; the file is never left half-written.
#pragma once
#include <windows.h>

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/cleaning_mode.h"
#include "sys/operations.h"

namespace klarex {

enum class RecordMode { Standard, Cookies, Offline, Advance };
enum class RecordAction { Delete, Recycle };
enum class RecordOutcome { Deleted, Recycled, AtRestart, Failed, LinkRemoved, Absent };

RecordMode ToRecordMode(CleaningMode mode);
// Missing (gone before anything was done) is "absent".
RecordOutcome ToRecordOutcome(DeleteOutcome outcome);

struct RecordEntry {
  FILETIME time{};  // UTC; written as local time with its offset
  RecordMode mode = RecordMode::Standard;
  RecordAction action = RecordAction::Delete;
  RecordOutcome outcome = RecordOutcome::Deleted;
  std::optional<uint64_t> bytes;  // none: the column stays empty
  std::wstring path;
};

inline constexpr char kRecordHeader[] = "time,mode,action,outcome,bytes,path\r\n";
inline constexpr uint64_t kRecordLimitBytes = 5u << 20;

// A field as CSV requires: quoted (quotes doubled) when it holds a comma, a
// quote, a line break or a blank at either end.
std::string CsvField(std::string_view text);
// "2026-03-01T14:05:09+01:00" from a local time and its offset east of UTC.
std::string FormatIsoTime(const SYSTEMTIME& local, int offsetMinutes);
// A UTC time in this machine's local time, with its offset.
std::string FormatLocalIsoTime(const FILETIME& utc);
// One line, ending in CRLF.
std::string FormatRecordLine(const RecordEntry& entry);
// The header, then the newer half (by bytes) of the lines after it; a line
// split by a quoted line break stays whole.
std::string DropOldestHalf(std::string_view content);

// %LOCALAPPDATA%\Klarex\deletions.csv; empty when the folder is unresolved.
std::wstring DeletionRecordPath(const std::wstring& localAppDataDir);

// Appends entries to the record file. Any thread; one append at a time.
class CDeletionRecord {
 public:
  explicit CDeletionRecord(std::wstring path, uint64_t limitBytes = kRecordLimitBytes)
      : m_path(std::move(path)), m_limit(limitBytes) {}
  CDeletionRecord(const CDeletionRecord&) = delete;
  CDeletionRecord& operator=(const CDeletionRecord&) = delete;

  // Creates the folder and the file (with its header) when missing. False when
  // the lines could not be written; the file is then as it was.
  bool Append(const std::vector<RecordEntry>& entries);
  const std::wstring& Path() const { return m_path; }

 private:
  // Writes `content` beside the record, then puts it in the record's place.
  bool Replace(const std::string& content);

  std::mutex m_lock;
  const std::wstring m_path;
  const uint64_t m_limit;
};

}  // namespace klarex
