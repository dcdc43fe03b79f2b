// The lines the console program prints for listed rows, and the encoding of
// what goes to a file or pipe. Pure functions: no console, no file system.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "cmd/arguments.h"
#include "sys/operations.h"

namespace klarex::cmd {

// One row of a mode's list, as the window shows it (sizes in bytes here).
struct Row {
  std::wstring path;
  std::wstring type;
  uint64_t bytes = 0;
  FILETIME modified{};
};

// UTF-8 of UTF-16 text; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8Bytes(std::wstring_view text);

// A CSV field: quoted (inner quotes doubled) when it holds a comma, a quote,
// a line break or a blank at either end; as it stands otherwise.
std::wstring CsvField(std::wstring_view text);

// A JSON string with its quotes. Control characters, quotes and backslashes
// are escaped; an unpaired surrogate is kept as a \u escape, so any Windows
// name survives a round trip.
std::wstring JsonString(std::wstring_view text);

// UTC as ISO 8601, "2026-12-08T12:58:47Z"; empty when the time cannot be converted.
std::wstring IsoTime(const FILETIME& time);

// The line of a row in a format, without its line break.
std::wstring FormatRow(const Row& row, Format format);
// What precedes and follows the rows: the CSV header; the text total.
std::wstring CsvHeader();
std::wstring TextTotal(std::size_t rows, uint64_t bytes);

// The word a clean's line gives an outcome: "deleted", "recycled",
// "at-restart", "link-removed", "missing", "failed".
const wchar_t* OutcomeWord(DeleteOutcome outcome);

// What a deleting run did, for its closing line and its exit code.
struct RunTally {
  int outcomes[6] = {};  // by DeleteOutcome
  int skipped = 0;       // left alone (a running browser holds them)
  uint64_t bytes = 0;    // of the items that are gone or go at restart
  void Add(DeleteOutcome outcome, uint64_t itemBytes);
  // Something failed, waits for the next restart, or was skipped.
  bool Incomplete() const;
};
// "Done: 3 deleted, 0 recycled, ..., 0 skipped; 1234 bytes".
std::wstring TallyText(const RunTally& tally);

}  // namespace klarex::cmd
