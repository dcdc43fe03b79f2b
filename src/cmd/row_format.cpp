#include "cmd/row_format.h"

#include <cstdio>
#include <iterator>

namespace klarex::cmd {
namespace {

bool IsHigh(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

std::wstring Hex4(unsigned value) {
  wchar_t text[8];
  swprintf(text, std::size(text), L"\\u%04x", value & 0xFFFF);
  return text;
}

}  // namespace

std::string ToUtf8Bytes(std::wstring_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (IsHigh(c) && i + 1 < text.size() && IsLow(text[i + 1])) {
      AppendUtf8(out,
                 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (IsHigh(c) || IsLow(c)) {
      AppendUtf8(out, 0xFFFD);
    } else {
      AppendUtf8(out, static_cast<char32_t>(c));
    }
  }
  return out;
}

std::wstring CsvField(std::wstring_view text) {
  const bool quote = text.find_first_of(L",\"\r\n") != std::wstring_view::npos ||
                     (!text.empty() && (text.front() == L' ' || text.back() == L' '));
  if (!quote) return std::wstring(text);
  std::wstring out = L"\"";
  for (wchar_t c : text) {
    if (c == L'"') out += L'"';
    out += c;
  }
  return out + L"\"";
}

std::wstring JsonString(std::wstring_view text) {
  std::wstring out = L"\"";
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    switch (c) {
      case L'"':
        out += L"\\\"";
        continue;
      case L'\\':
        out += L"\\\\";
        continue;
      case L'\b':
        out += L"\\b";
        continue;
      case L'\f':
        out += L"\\f";
        continue;
      case L'\n':
        out += L"\\n";
        continue;
      case L'\r':
        out += L"\\r";
        continue;
      case L'\t':
        out += L"\\t";
        continue;
      default:
        break;
    }
    if (IsHigh(c) && i + 1 < text.size() && IsLow(text[i + 1])) {
      out += c;
      out += text[++i];
    } else if (c < 0x20 || c == 0x7F || IsHigh(c) || IsLow(c)) {
      out += Hex4(c);
    } else {
      out += c;
    }
  }
  return out + L"\"";
}

std::wstring IsoTime(const FILETIME& time) {
  SYSTEMTIME st;
  if (!::FileTimeToSystemTime(&time, &st)) return {};
  wchar_t text[32];
  swprintf(text, std::size(text), L"%04u-%02u-%02uT%02u:%02u:%02uZ", st.wYear, st.wMonth, st.wDay,
           st.wHour, st.wMinute, st.wSecond);
  return text;
}

std::wstring FormatRow(const Row& row, Format format) {
  const std::wstring bytes = std::to_wstring(row.bytes);
  const std::wstring modified = IsoTime(row.modified);
  switch (format) {
    case Format::Csv:
      return CsvField(row.path) + L',' + CsvField(row.type) + L',' + bytes + L',' +
             CsvField(modified);
    case Format::Json:
      return L"{\"path\":" + JsonString(row.path) + L",\"type\":" + JsonString(row.type) +
             L",\"bytes\":" + bytes + L",\"modified\":" + JsonString(modified) + L"}";
    case Format::Text:
      break;
  }
  return row.path + L'\t' + row.type + L'\t' + bytes + L'\t' + modified;
}

const wchar_t* OutcomeWord(DeleteOutcome outcome) {
  switch (outcome) {
    case DeleteOutcome::Deleted:
      return L"deleted";
    case DeleteOutcome::Recycled:
      return L"recycled";
    case DeleteOutcome::AtRestart:
      return L"at-restart";
    case DeleteOutcome::LinkRemoved:
      return L"link-removed";
    case DeleteOutcome::Missing:
      return L"missing";
    case DeleteOutcome::Failed:
      break;
  }
  return L"failed";
}

void RunTally::Add(DeleteOutcome outcome, uint64_t itemBytes) {
  ++outcomes[static_cast<int>(outcome)];
  if (outcome == DeleteOutcome::Deleted || outcome == DeleteOutcome::Recycled ||
      outcome == DeleteOutcome::AtRestart)
    bytes += itemBytes;
}

bool RunTally::Incomplete() const {
  return skipped > 0 || outcomes[static_cast<int>(DeleteOutcome::Failed)] > 0 ||
         outcomes[static_cast<int>(DeleteOutcome::AtRestart)] > 0;
}

std::wstring TallyText(const RunTally& tally) {
  std::wstring text = L"Done:";
  for (int i = 0; i < 6; ++i) {
    text += L' ' + std::to_wstring(tally.outcomes[i]) + L' ' +
            OutcomeWord(static_cast<DeleteOutcome>(i)) + L',';
  }
  return text + L' ' + std::to_wstring(tally.skipped) + L" skipped; " +
         std::to_wstring(tally.bytes) + L" bytes";
}

std::wstring CsvHeader() { return L"path,type,bytes,modified"; }

std::wstring TextTotal(std::size_t rows, uint64_t bytes) {
  return L"Total: " + std::to_wstring(rows) + (rows == 1 ? L" item, " : L" items, ") +
         std::to_wstring(bytes) + L" bytes";
}

}  // namespace klarex::cmd
