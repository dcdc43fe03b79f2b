// Reading one definition file's text: sections of key = value lines, each
// section one place. The text comes from outside the program: every line that
// is not understood, and every section that breaks a safety rule, becomes a
// refusal with the file, the line and the reason; nothing else is affected.
#include <windows.h>

#include <array>
#include <optional>
#include <string_view>

#include "engine/definitions.h"
#include "engine/definitions_rules.h"

namespace klarex {

namespace {

constexpr size_t kMaxSectionChars = 100;
constexpr size_t kMaxProgramChars = 100;
constexpr size_t kMaxProcessChars = 64;
constexpr size_t kMaxDetailChars = 100;

enum Key { kProgram, kProcess, kMode, kPlace, kAction, kMask, kKeyCount };
constexpr std::array<const wchar_t*, kKeyCount> kKeyNames = {L"program", L"process", L"mode",
                                                             L"place",   L"action",  L"mask"};

// UTF-16LE with a byte-order mark, or UTF-8 (a mark is skipped); false for
// anything else, or text holding a NUL.
bool Decode(std::string_view bytes, std::wstring& text) {
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
    bytes.remove_prefix(2);
    if (bytes.size() % 2) return false;
    text.resize(bytes.size() / 2);
    for (size_t i = 0; i < text.size(); ++i)
      text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  } else {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    if (bytes.empty()) return true;
    const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                         static_cast<int>(bytes.size()), nullptr, 0);
    if (size <= 0) return false;
    text.resize(size);
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                        text.data(), size);
  }
  return text.find(L'\0') == std::wstring::npos;
}

std::wstring Trimmed(const std::wstring& text) {
  const size_t first = text.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return {};
  return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

bool HasControl(const std::wstring& text) {
  for (wchar_t c : text)
    if (c < 0x20 || c == 0x7F) return true;
  return false;
}

bool IsProcessName(const std::wstring& name) {
  constexpr size_t kExeChars = 4;
  if (name.size() <= kExeChars || name.size() > kMaxProcessChars || HasControl(name)) return false;
  if (name.find_first_of(L"\\/:*?\"<>|") != std::wstring::npos) return false;
  return SameText(name.substr(name.size() - kExeChars), L".exe");
}

struct Field {
  std::wstring value;
  int line = 0;  // 0: not given
};

struct Section {
  std::wstring name;
  int line = 0;
  bool bad = false;  // a line of it was refused, or its header
  std::array<Field, kKeyCount> fields;
};

class Parser {
 public:
  Parser(const std::wstring& file, DefinitionSet& out) : m_file(file), m_out(out) {}

  void Line(int number, std::wstring text) {
    if (!text.empty() && text.back() == L'\r') text.pop_back();
    text = Trimmed(text);
    if (text.empty() || text[0] == L';' || text[0] == L'#') return;
    if (text[0] == L'[') {
      Finish();
      Header(number, text);
    } else if (!m_open) {
      Refuse(number, {}, Problem::OutsideSection, {});
    } else {
      KeyValue(number, text);
    }
  }

  // Turns the open section, if any, into a place or a refusal.
  void Finish() {
    if (m_open && !m_section.bad) Build();
    m_open = false;
  }

 private:
  // The detail is cut to a length a status line can show.
  void Refuse(int line, const std::wstring& section, Problem problem, const std::wstring& detail) {
    m_out.refusals.push_back({m_file, line, section, problem, detail.substr(0, kMaxDetailChars)});
  }

  void Header(int number, const std::wstring& text) {
    m_section = Section{};
    m_section.line = number;
    m_open = true;
    const std::wstring name = text.back() == L']' ? Trimmed(text.substr(1, text.size() - 2)) : L"";
    if (name.empty() || name.size() > kMaxSectionChars || HasControl(name)) {
      m_section.bad = true;
      Refuse(number, {}, Problem::BadSectionHeader, text);
      return;
    }
    m_section.name = name;
    for (const std::wstring& seen : m_names) {
      if (!SameText(seen, name)) continue;
      m_section.bad = true;
      Refuse(number, name, Problem::SectionTwice, name);
      return;
    }
    m_names.push_back(name);
  }

  void KeyValue(int number, const std::wstring& text) {
    const size_t equals = text.find(L'=');
    if (equals == std::wstring::npos) return Bad(number, Problem::NotKeyValue, {});
    const std::wstring key = Trimmed(text.substr(0, equals));
    const std::wstring value = Trimmed(text.substr(equals + 1));
    size_t k = 0;
    while (k < kKeyCount && !SameText(key, kKeyNames[k])) ++k;
    if (k == kKeyCount) return Bad(number, Problem::UnknownKey, key);
    if (m_section.fields[k].line) return Bad(number, Problem::KeyTwice, key);
    m_section.fields[k] = {value, number};
    if (value.empty()) return Bad(number, Problem::EmptyValue, key);
    if (k == kProgram && (value.size() > kMaxProgramChars || HasControl(value)))
      return Bad(number, Problem::BadProgramName, {});
    if (k == kProcess && !IsProcessName(value)) return Bad(number, Problem::BadProcessName, value);
    if (k == kMode && !ReadMode(value)) return Bad(number, Problem::BadMode, value);
    if (k == kAction && !ReadAction(value)) return Bad(number, Problem::BadAction, value);
  }

  void Bad(int number, Problem problem, const std::wstring& detail) {
    m_section.bad = true;
    Refuse(number, m_section.name, problem, detail);
  }

  static std::optional<CleaningMode> ReadMode(const std::wstring& text) {
    if (SameText(text, L"standard")) return CleaningMode::Standard;
    if (SameText(text, L"cookies")) return CleaningMode::Cookies;
    if (SameText(text, L"offline")) return CleaningMode::Offline;
    return std::nullopt;
  }

  static std::optional<PlaceAction> ReadAction(const std::wstring& text) {
    if (SameText(text, L"whole")) return PlaceAction::Whole;
    if (SameText(text, L"files")) return PlaceAction::Files;
    if (SameText(text, L"tree")) return PlaceAction::Tree;
    return std::nullopt;
  }

  void Build() {
    const auto& f = m_section.fields;
    std::wstring missing;
    for (Key k : {kProgram, kMode, kPlace, kAction})
      if (!f[k].line) missing += (missing.empty() ? L"" : L", ") + std::wstring(kKeyNames[k]);
    if (!missing.empty())
      return Refuse(m_section.line, m_section.name, Problem::MissingKey, missing);
    Place place;
    place.file = m_file;
    place.section = m_section.name;
    place.line = m_section.line;
    place.program = {f[kProgram].value, f[kProcess].value};
    place.mode = *ReadMode(f[kMode].value);
    place.action = *ReadAction(f[kAction].value);
    place.mask = f[kMask].value;
    if (place.action == PlaceAction::Whole && f[kMask].line)
      return Refuse(f[kMask].line, m_section.name, Problem::MaskWithWhole, {});
    if (place.action != PlaceAction::Whole && !f[kMask].line)
      return Refuse(f[kAction].line, m_section.name, Problem::MaskMissing, {});
    std::optional<Finding> finding = ReadPlace(f[kPlace].value, place);
    if (!finding) finding = CheckPlace(place);
    if (finding)
      return Refuse(finding->inMask ? f[kMask].line : f[kPlace].line, m_section.name,
                    finding->problem, finding->detail);
    m_out.places.push_back(std::move(place));
  }

  const std::wstring& m_file;
  DefinitionSet& m_out;
  std::vector<std::wstring> m_names;  // of this file's sections
  Section m_section;
  bool m_open = false;
};

}  // namespace

void ParseDefinitions(std::string_view bytes, const std::wstring& fileName, DefinitionSet& out) {
  if (bytes.size() > kMaxDefinitionFileBytes) {
    out.refusals.push_back({fileName, 0, {}, Problem::FileTooLarge, {}});
    return;
  }
  std::wstring text;
  if (!Decode(bytes, text)) {
    out.refusals.push_back({fileName, 0, {}, Problem::NotText, {}});
    return;
  }
  Parser parser(fileName, out);
  int number = 1;
  for (size_t start = 0; start <= text.size(); ++number) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    parser.Line(number, text.substr(start, end - start));
    start = end + 1;
  }
  parser.Finish();
}

}  // namespace klarex
