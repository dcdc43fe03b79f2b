#include "engine/deletion_record.h"

#include <algorithm>
#include <cstdio>

#include "engine/catalogue.h"
#include "sys/handles.h"
#include "sys/utf8.h"

namespace klarex {
namespace {

const char* ModeWord(RecordMode mode) {
  switch (mode) {
    case RecordMode::Standard:
      return "standard";
    case RecordMode::Cookies:
      return "cookies";
    case RecordMode::Offline:
      return "offline";
    case RecordMode::Advance:
      return "advance";
  }
  return "standard";
}

const char* OutcomeWord(RecordOutcome outcome) {
  switch (outcome) {
    case RecordOutcome::Deleted:
      return "deleted";
    case RecordOutcome::Recycled:
      return "recycled";
    case RecordOutcome::AtRestart:
      return "at-restart";
    case RecordOutcome::Failed:
      return "failed";
    case RecordOutcome::LinkRemoved:
      return "link-removed";
    case RecordOutcome::Absent:
      return "absent";
  }
  return "failed";
}

uint64_t Ticks(const FILETIME& t) {
  return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

bool ReadWhole(HANDLE file, uint64_t size, std::string& content) {
  if (size > 0x7FFFFFFFu) return false;
  content.assign(size, '\0');
  DWORD read = 0;
  if (!::ReadFile(file, content.data(), static_cast<DWORD>(size), &read, nullptr)) return false;
  content.resize(read);
  return true;
}

}  // namespace

RecordMode ToRecordMode(CleaningMode mode) {
  switch (mode) {
    case CleaningMode::Standard:
      return RecordMode::Standard;
    case CleaningMode::Cookies:
      return RecordMode::Cookies;
    case CleaningMode::Offline:
      return RecordMode::Offline;
  }
  return RecordMode::Standard;
}

RecordOutcome ToRecordOutcome(DeleteOutcome outcome) {
  switch (outcome) {
    case DeleteOutcome::Deleted:
      return RecordOutcome::Deleted;
    case DeleteOutcome::Recycled:
      return RecordOutcome::Recycled;
    case DeleteOutcome::AtRestart:
      return RecordOutcome::AtRestart;
    case DeleteOutcome::LinkRemoved:
      return RecordOutcome::LinkRemoved;
    case DeleteOutcome::Missing:
      return RecordOutcome::Absent;
    case DeleteOutcome::Failed:
      return RecordOutcome::Failed;
  }
  return RecordOutcome::Failed;
}

std::string CsvField(std::string_view text) {
  const bool quote = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                     (!text.empty() && (text.front() == ' ' || text.back() == ' '));
  if (!quote) return std::string(text);
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

std::string FormatIsoTime(const SYSTEMTIME& local, int offsetMinutes) {
  const char sign = offsetMinutes < 0 ? '-' : '+';
  const int offset = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
  char text[40];
  std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u%c%02d:%02d", local.wYear,
                local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond, sign,
                offset / 60, offset % 60);
  return text;
}

std::string FormatLocalIsoTime(const FILETIME& utc) {
  SYSTEMTIME utcTime{}, local{};
  FILETIME localTicks{};
  if (!::FileTimeToSystemTime(&utc, &utcTime) ||
      !::SystemTimeToTzSpecificLocalTime(nullptr, &utcTime, &local) ||
      !::SystemTimeToFileTime(&local, &localTicks)) {
    ::FileTimeToSystemTime(&utc, &utcTime);
    return FormatIsoTime(utcTime, 0);
  }
  // Whole seconds on both sides: the offset is what the time zone adds.
  const auto difference = static_cast<int64_t>(Ticks(localTicks) / 10000000) -
                          static_cast<int64_t>(Ticks(utc) / 10000000);
  return FormatIsoTime(local, static_cast<int>(difference / 60));
}

std::string FormatRecordLine(const RecordEntry& entry) {
  const bool recycle = entry.action == RecordAction::Recycle;
  std::string line = FormatLocalIsoTime(entry.time);
  line += ',';
  line += ModeWord(entry.mode);
  line += recycle ? ",recycle," : ",delete,";
  line += OutcomeWord(entry.outcome);
  line += ',';
  if (entry.bytes) line += std::to_string(*entry.bytes);
  line += ',';
  line += CsvField(ToUtf8(entry.path));
  line += "\r\n";
  return line;
}

std::string DropOldestHalf(std::string_view content) {
  const size_t header = content.rfind(kRecordHeader, 0) == 0 ? sizeof kRecordHeader - 1 : 0;
  const std::string_view body = content.substr(header);
  const size_t middle = body.size() / 2;
  // The first line that starts at or after the middle; quotes are followed so
  // that a line break inside a field is not taken for a line's end.
  bool quoted = false;
  size_t cut = body.size();
  for (size_t i = 0; i < body.size(); ++i) {
    if (body[i] == '"') quoted = !quoted;
    if (body[i] == '\n' && !quoted && i + 1 >= middle) {
      cut = i + 1;
      break;
    }
  }
  std::string out(kRecordHeader);
  out += body.substr(cut);
  return out;
}

std::wstring DeletionRecordPath(const std::wstring& localAppDataDir) {
  return JoinPath(localAppDataDir, L"Klarex\\deletions.csv");
}

bool CDeletionRecord::Append(const std::vector<RecordEntry>& entries) {
  if (entries.empty()) return true;
  if (m_path.empty()) return false;
  std::string lines;
  for (const RecordEntry& entry : entries) lines += FormatRecordLine(entry);

  std::lock_guard<std::mutex> hold(m_lock);
  const size_t slash = m_path.find_last_of(L'\\');
  if (slash != std::wstring::npos) ::CreateDirectoryW(m_path.substr(0, slash).c_str(), nullptr);
  FileHandle file(::CreateFileW(m_path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size)) return false;
  const auto before = static_cast<uint64_t>(size.QuadPart);
  if (before > 0 && before + lines.size() > m_limit) {
    std::string content;
    if (!ReadWhole(file.get(), before, content)) return false;
    file.reset();
    return Replace(DropOldestHalf(content + lines));
  }
  if (before == 0) lines.insert(0, kRecordHeader);
  if (::SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN) && WriteAll(file.get(), lines))
    return true;
  // A full disk: what was written of these lines goes again.
  ::SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN);
  ::SetEndOfFile(file.get());
  return false;
}

bool CDeletionRecord::Replace(const std::string& content) {
  // The new file is written beside the old one and then takes its place, so
  // the record is never seen half-written.
  const std::wstring next = m_path + L".new";
  bool written = false;
  {
    FileHandle out(::CreateFileW(next.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) return false;
    written = WriteAll(out.get(), content) && ::FlushFileBuffers(out.get());
  }
  if (written && ::MoveFileExW(next.c_str(), m_path.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  ::DeleteFileW(next.c_str());
  return false;
}

}  // namespace klarex
