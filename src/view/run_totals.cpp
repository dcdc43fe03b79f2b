#include "view/run_totals.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "framework/language.h"
#include "view/list_text.h"

namespace klarex {
namespace {

constexpr int kAttributeBits = 8;
constexpr wchar_t kSeparator[] = L" \u00B7 ";

// `text` with %1 and %2 replaced.
std::wstring Fill(std::wstring text, const std::wstring& first, const std::wstring& second = {}) {
  for (auto [mark, value] : {std::pair{L"%1", &first}, std::pair{L"%2", &second}}) {
    if (const size_t at = text.find(mark); at != std::wstring::npos) text.replace(at, 2, *value);
  }
  return text;
}

std::wstring Size(uint64_t bytes) {
  return FormatSizeText(static_cast<int64_t>(std::min<uint64_t>(bytes, INT64_MAX)));
}

}  // namespace

LPARAM RowData(DWORD attributes, uint64_t bytes) {
  // 55 bits of bytes are 32 PB: far beyond a disk, and the value stays positive.
  const uint64_t capped = std::min<uint64_t>(bytes, (uint64_t{1} << 55) - 1);
  return static_cast<LPARAM>((capped << kAttributeBits) | (attributes & 0xFF));
}

uint64_t RowBytes(LPARAM data) { return static_cast<uint64_t>(data) >> kAttributeBits; }

void ListTotals::Insert(uint64_t rowBytes, bool selected) {
  ++rows;
  bytes += rowBytes;
  if (selected) Select(rowBytes, true);
}

void ListTotals::Remove(uint64_t rowBytes, bool selected) {
  if (selected) Select(rowBytes, false);
  rows = rows > 0 ? rows - 1 : 0;
  bytes = bytes >= rowBytes ? bytes - rowBytes : 0;
}

void ListTotals::Select(uint64_t rowBytes, bool selected) {
  if (selected) {
    ++selectedRows;
    selectedBytes += rowBytes;
  } else {
    selectedRows = selectedRows > 0 ? selectedRows - 1 : 0;
    selectedBytes = selectedBytes >= rowBytes ? selectedBytes - rowBytes : 0;
  }
}

void ListTotals::SelectAll(bool selected) {
  selectedRows = selected ? rows : 0;
  selectedBytes = selected ? bytes : 0;
}

std::wstring TotalsText(const ListTotals& totals) {
  if (totals.rows <= 0) return {};
  std::wstring text = totals.rows == 1
                          ? Fill(GetLangString(L"Totals", L"1", L"1 item, %1"), Size(totals.bytes))
                          : Fill(GetLangString(L"Totals", L"2", L"%1 items, %2"),
                                 std::to_wstring(totals.rows), Size(totals.bytes));
  if (totals.selectedRows > 0) {
    text += kSeparator;
    text += Fill(GetLangString(L"Totals", L"3", L"%1 selected, %2"),
                 std::to_wstring(totals.selectedRows), Size(totals.selectedBytes));
  }
  return text;
}

void RunSummary::Add(DeleteOutcome outcome, uint64_t bytes) {
  switch (outcome) {
    case DeleteOutcome::AtRestart:
      ++atRestart;
      break;
    case DeleteOutcome::Failed:
      ++failed;
      break;
    default:
      ++gone;
      goneBytes += bytes;
      break;
  }
}

std::wstring SummaryText(const RunSummary& s) {
  std::wstring text;
  auto append = [&text](const std::wstring& part) {
    if (!text.empty()) text += kSeparator;
    text += part;
  };
  if (s.gone > 0) {
    const wchar_t* key = s.recycled ? L"5" : L"4";
    const wchar_t* english =
        s.recycled ? L"Moved %1 items to the Recycle Bin (%2)" : L"Deleted %1 items (%2)";
    append(
        Fill(GetLangString(L"Totals", key, english), std::to_wstring(s.gone), Size(s.goneBytes)));
  }
  if (s.atRestart > 0)
    append(
        Fill(GetLangString(L"Totals", L"6", L"%1 at next restart"), std::to_wstring(s.atRestart)));
  if (s.failed > 0)
    append(Fill(GetLangString(L"Totals", L"7", L"%1 could not be deleted"),
                std::to_wstring(s.failed)));
  if (text.empty()) text = GetLangString(L"Totals", L"8", L"Nothing was deleted");
  if (s.recordFailed)
    append(GetLangString(L"Totals", L"9", L"The deletion record could not be written"));
  return text;
}

}  // namespace klarex
