// Checks the language files shipped in lang\ beside the program: every entry the program
// reads is there, the encoding is the one the profile functions read for any script, and
// the mnemonics work in the menus and the Advance dialog.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cwctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/definitions.h"
#include "framework/unexpected_error.h"

namespace {

struct Section {
  const wchar_t* name;
  std::vector<const wchar_t*> keys;
};

// The texts of refused definition files: one per problem, and the notice's words.
std::vector<const wchar_t*> DefinitionKeys() {
  std::vector<const wchar_t*> keys{L"Refused", L"Line", L"More"};
  for (int i = 0; i <= static_cast<int>(klarex::Problem::TreeMaskShape); ++i)
    keys.push_back(klarex::DescribeProblem(static_cast<klarex::Problem>(i)).key);
  return keys;
}

// Every entry the program reads from a language file. Status 12 (the home page address)
// is left out on purpose: the built-in address must stay in force.
const std::vector<Section>& Entries() {
  static const std::vector<Section> entries = {
      {L"Header", {L"Culture"}},
      {L"FileMenu", {L"0", L"1", L"2", L"3", L"4", L"5"}},
      {L"EditMenu", {L"0", L"1", L"2", L"3"}},
      {L"ViewMenu", {L"0", L"1", L"2", L"3"}},
      {L"OptionsMenu", {L"0", L"1", L"2", L"3", L"4", L"5"}},
      {L"HelpMenu", {L"0", L"1", L"2", L"3"}},
      {L"Status",
       {L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9", L"10", L"11", L"13", L"15", L"16",
        L"17", L"18"}},
      {L"ToolTips", {L"1", L"2", L"3", L"4", L"7", L"8", L"9"}},
      {L"Title", {L"4", L"5"}},
      {L"Labels", {L"1", L"2", L"3", L"4", L"5", L"6"}},
      {L"Buttons", {L"2", L"3"}},
      {L"Columns", {L"1", L"2", L"3", L"4"}},
      {L"Definitions", DefinitionKeys()},
      {L"Totals", {L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9"}},
      {L"Running", {L"1", L"2"}},
      {L"Keep", {L"1"}},
      {L"KeptItems", {L"1", L"2", L"3", L"4"}},
      {L"Record", {L"1"}},
  };
  return entries;
}

const wchar_t* const kMenus[] = {L"FileMenu", L"EditMenu", L"ViewMenu", L"OptionsMenu",
                                 L"HelpMenu"};
const wchar_t kMissing[] = L"\x1(missing)";

std::wstring LangFolder() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, n);
  // Started by its Unix path (the build tree lies on no drive of the test prefix), the
  // program's name comes back from Wine as unix\... without its \\?\ prefix.
  if (folder.rfind(L"unix\\", 0) == 0) folder = L"\\\\?\\" + folder;
  return folder.substr(0, folder.rfind(L'\\') + 1) + L"lang\\";
}

std::wstring Read(const std::wstring& file, const wchar_t* section, const wchar_t* key) {
  wchar_t buf[300];
  GetPrivateProfileStringW(section, key, kMissing, buf, 300, file.c_str());
  return buf;
}

// Names listed by the profile functions as a double-NUL-terminated block.
std::vector<std::wstring> List(const std::wstring& file, const wchar_t* section) {
  std::vector<wchar_t> buf(8192);
  DWORD n = section ? GetPrivateProfileStringW(section, nullptr, L"", buf.data(),
                                               static_cast<DWORD>(buf.size()), file.c_str())
                    : GetPrivateProfileSectionNamesW(buf.data(), static_cast<DWORD>(buf.size()),
                                                     file.c_str());
  std::vector<std::wstring> names;
  for (DWORD i = 0; i < n;) {
    std::wstring name(buf.data() + i);
    if (name.empty()) break;
    names.push_back(name);
    i += static_cast<DWORD>(name.size()) + 1;
  }
  return names;
}

std::string Bytes(const std::wstring& file) {
  std::string data;
  if (FILE* f = _wfopen(file.c_str(), L"rb")) {
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) data.append(chunk, n);
    fclose(f);
  }
  return data;
}

std::wstring Lower(std::wstring s) {
  for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
  return s;
}

// Mnemonic characters of a display text ("&&" is a literal ampersand). An "&" at the end
// of the text yields L'\0', which no test accepts.
std::vector<wchar_t> Mnemonics(const std::wstring& text) {
  std::vector<wchar_t> found;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'&') continue;
    if (i + 1 < text.size() && text[i + 1] == L'&') {
      ++i;
      continue;
    }
    found.push_back(i + 1 < text.size() ? text[i + 1] : L'\0');
  }
  return found;
}

bool IsAsciiAlnum(wchar_t c) {
  return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

class LangFile : public ::testing::TestWithParam<const wchar_t*> {
 protected:
  std::wstring Path() const { return LangFolder() + GetParam(); }
  std::wstring Get(const wchar_t* section, const wchar_t* key) const {
    return Read(Path(), section, key);
  }
};

TEST_P(LangFile, IsUtf16WithByteOrderMarkAndCrLfLines) {
  std::string data = Bytes(Path());
  ASSERT_GE(data.size(), 4u) << "missing or empty";
  EXPECT_EQ(data.substr(0, 2), std::string("\xFF\xFE"));
  ASSERT_EQ(data.size() % 2, 0u);
  std::wstring text(reinterpret_cast<const wchar_t*>(data.data() + 2), (data.size() - 2) / 2);
  size_t lines = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'\n') continue;
    ++lines;
    EXPECT_TRUE(i > 0 && text[i - 1] == L'\r') << "bare LF at character " << i;
  }
  EXPECT_GT(lines, 50u);
  EXPECT_EQ(text.back(), L'\n');
}

TEST_P(LangFile, HasEveryEntryNonEmptyAndNoOthers) {
  for (const auto& section : Entries()) {
    for (const wchar_t* key : section.keys) {
      std::wstring value = Get(section.name, key);
      EXPECT_NE(value, kMissing) << "[" << section.name << "] " << key << " missing";
      EXPECT_FALSE(value.empty()) << "[" << section.name << "] " << key << " empty";
    }
  }
  // Nothing misspelt or stray: the profile functions list exactly the known names.
  std::set<std::wstring> known_sections;
  for (const auto& section : Entries()) known_sections.insert(Lower(section.name));
  for (const auto& name : List(Path(), nullptr)) {
    EXPECT_TRUE(known_sections.count(Lower(name))) << "unknown section [" << name << "]";
  }
  for (const auto& section : Entries()) {
    std::set<std::wstring> keys(section.keys.begin(), section.keys.end());
    for (const auto& key : List(Path(), section.name)) {
      EXPECT_TRUE(keys.count(Lower(key)) || keys.count(key))
          << "unknown key [" << section.name << "] " << key;
    }
  }
  // The home page address must keep its built-in default.
  EXPECT_EQ(Get(L"Status", L"12"), kMissing);
}

TEST_P(LangFile, RefusedDefinitionTextsKeepTheirNumber) {
  for (const wchar_t* key : {L"Line", L"More"})
    EXPECT_NE(Get(L"Definitions", key).find(L"%d"), std::wstring::npos) << key;
}

TEST_P(LangFile, CultureNamesTheLanguage) {
  std::wstring culture = Get(L"Header", L"Culture");
  size_t comment = culture.find(L" //");
  std::wstring shown = culture.substr(0, comment);
  EXPECT_FALSE(shown.empty());
  if (comment != std::wstring::npos) {
    EXPECT_GT(culture.size(), comment + 3) << "empty comment after //";
  }
}

TEST_P(LangFile, MenuAndDialogTextsHaveOneTypableMnemonic) {
  auto check = [&](const wchar_t* section, const wchar_t* key) {
    std::wstring value = Get(section, key);
    auto m = Mnemonics(value);
    ASSERT_EQ(m.size(), 1u) << "[" << section << "] " << key << " = " << value;
    EXPECT_TRUE(IsAsciiAlnum(m[0])) << "[" << section << "] " << key << " = " << value;
  };
  for (const wchar_t* menu : kMenus) {
    for (const wchar_t* key : {L"0", L"1", L"2", L"3", L"4"}) {
      if (Get(menu, key) == kMissing) continue;
      // Invert Selection doubles as status prompt and tooltip, cut before "(": only a
      // mnemonic inside the cut-off part stays out of those.
      if (std::wstring(menu) == L"EditMenu" && std::wstring(key) == L"3") continue;
      check(menu, key);
    }
  }
  for (const wchar_t* key : {L"1", L"2", L"3", L"4", L"5", L"6"}) check(L"Labels", key);
  for (const wchar_t* key : {L"2", L"3"}) check(L"Buttons", key);

  std::wstring invert = Get(L"EditMenu", L"3");
  EXPECT_LE(Mnemonics(invert).size(), 1u) << invert;
  EXPECT_TRUE(Mnemonics(invert.substr(0, invert.find(L'('))).empty())
      << "the status bar would show the '&' of " << invert;
}

TEST_P(LangFile, MenuTextsCarryNoAcceleratorHints) {
  for (const wchar_t* menu : kMenus) {
    for (const wchar_t* key : {L"0", L"1", L"2", L"3", L"4"}) {
      std::wstring value = Get(menu, key);
      EXPECT_EQ(value.find(L'\t'), std::wstring::npos) << value;
      EXPECT_EQ(Lower(value).find(L"ctrl+"), std::wstring::npos) << value;
      EXPECT_EQ(value.find(L"F5"), std::wstring::npos) << value;
    }
  }
}

TEST_P(LangFile, PlainTextsHaveNoStrayAmpersand) {
  // Status prompts, tooltips, captions and column titles are shown as they are.
  for (const wchar_t* section : {L"Status", L"ToolTips", L"Title", L"Columns", L"Header"}) {
    for (const auto& entry : Entries()) {
      if (std::wstring(entry.name) != section) continue;
      for (const wchar_t* key : entry.keys) {
        EXPECT_TRUE(Mnemonics(Get(section, key)).empty())
            << "[" << section << "] " << key << " = " << Get(section, key);
      }
    }
  }
}

TEST_P(LangFile, MnemonicsAreUniqueWithinEachMenuAndTheAdvanceDialog) {
  auto unique = [&](const std::vector<std::pair<const wchar_t*, const wchar_t*>>& items,
                    const wchar_t* where) {
    std::map<wchar_t, std::wstring> seen;
    for (const auto& [section, key] : items) {
      std::wstring value = Get(section, key);
      for (wchar_t m : Mnemonics(value)) {
        wchar_t c = static_cast<wchar_t>(std::towlower(m));
        EXPECT_FALSE(seen.count(c))
            << where << ": '" << std::wstring(1, m) << "' in " << value << " and " << seen[c];
        seen[c] = value;
      }
    }
  };
  unique({{L"FileMenu", L"0"},
          {L"EditMenu", L"0"},
          {L"ViewMenu", L"0"},
          {L"OptionsMenu", L"0"},
          {L"HelpMenu", L"0"}},
         L"menu bar");
  for (const wchar_t* menu : kMenus) {
    unique({{menu, L"1"}, {menu, L"2"}, {menu, L"3"}, {menu, L"4"}}, menu);
  }
  unique({{L"Labels", L"1"},
          {L"Labels", L"2"},
          {L"Labels", L"3"},
          {L"Labels", L"4"},
          {L"Labels", L"5"},
          {L"Labels", L"6"},
          {L"Buttons", L"2"},
          {L"Buttons", L"3"}},
         L"Advance dialog");
}

TEST_P(LangFile, DeletingPrefixKeepsItsTrailingBlank) {
  // The path follows the prefix directly; unquoted, the profile functions would trim it.
  std::wstring prefix = Get(L"Status", L"11");
  ASSERT_FALSE(prefix.empty());
  EXPECT_EQ(prefix.back(), L' ') << "[" << prefix << "]";
  EXPECT_NE(prefix.front(), L'"');
}

INSTANTIATE_TEST_SUITE_P(Shipped, LangFile,
                         ::testing::Values(L"english.lng", L"italiano.lng", L"japanese.lng",
                                           L"s_chinese.lng", L"t_chinese.lng"),
                         [](const auto& p) {
                           std::wstring name = p.param;
                           return std::string(name.begin(), name.begin() + name.find(L'.'));
                         });

TEST(LangFiles, TranslationsAreNotCopiesOfTheEnglishFile) {
  const std::wstring english = LangFolder() + L"english.lng";
  for (const wchar_t* file :
       {L"italiano.lng", L"japanese.lng", L"s_chinese.lng", L"t_chinese.lng"}) {
    int same = 0, total = 0;
    for (const auto& section : Entries()) {
      for (const wchar_t* key : section.keys) {
        ++total;
        same += Read(LangFolder() + file, section.name, key) == Read(english, section.name, key);
      }
    }
    // A few words are the same in both languages ("Standard", "&File").
    EXPECT_LT(same * 10, total) << file << ": " << same << " of " << total << " untranslated";
  }
}

// The built-in texts as the program's resources hold them.
std::wstring ResourceString(UINT id) {
  const wchar_t* text = nullptr;
  int n = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
  return n > 0 ? std::wstring(text, n) : std::wstring();
}
std::wstring Prompt(UINT id) {
  std::wstring s = ResourceString(id);
  return s.substr(0, s.find(L'\n'));
}
std::wstring ShortName(UINT id) {
  std::wstring s = ResourceString(id);
  size_t nl = s.rfind(L'\n');
  return nl == std::wstring::npos ? s : s.substr(nl + 1);
}
std::wstring MenuText(HMENU menu, UINT item, UINT flags) {
  wchar_t buf[300] = L"";
  ::GetMenuStringW(menu, item, buf, 300, flags);
  std::wstring s = buf;
  return s.substr(0, s.find(L'\t'));  // the accelerator hint is the program's to append
}
std::wstring ItemText(HWND dialog, int id) {
  wchar_t buf[300] = L"";
  ::GetDlgItemTextW(dialog, id, buf, 300);
  return buf;
}
INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Switching back to English must look exactly like running without a language file.
TEST(LangFiles, EnglishFileMatchesTheBuiltInTexts) {
  const std::wstring english = LangFolder() + L"english.lng";
  auto en = [&](const wchar_t* section, const wchar_t* key) { return Read(english, section, key); };
  EXPECT_EQ(en(L"Header", L"Culture"), L"English");

  HMENU menu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(127));
  ASSERT_NE(menu, nullptr);
  for (UINT pos = 0; pos < 5; ++pos) {
    EXPECT_EQ(en(kMenus[pos], L"0"), MenuText(menu, pos, MF_BYPOSITION)) << kMenus[pos];
  }
  const std::pair<UINT, std::pair<const wchar_t*, const wchar_t*>> items[] = {
      {57601, {L"FileMenu", L"1"}},  {157, {L"FileMenu", L"2"}},    {158, {L"FileMenu", L"3"}},
      {57665, {L"FileMenu", L"4"}},  {161, {L"EditMenu", L"1"}},    {162, {L"EditMenu", L"2"}},
      {59392, {L"ViewMenu", L"1"}},  {59393, {L"ViewMenu", L"2"}},  {171, {L"ViewMenu", L"3"}},
      {181, {L"OptionsMenu", L"1"}}, {182, {L"OptionsMenu", L"2"}}, {183, {L"OptionsMenu", L"3"}},
      {191, {L"HelpMenu", L"1"}},    {192, {L"HelpMenu", L"2"}},    {57664, {L"HelpMenu", L"3"}},
  };
  for (const auto& [id, entry] : items) {
    EXPECT_EQ(en(entry.first, entry.second), MenuText(menu, id, MF_BYCOMMAND))
        << "[" << entry.first << "] " << entry.second;
  }
  // Invert Selection doubles as a status prompt, so the file gives it without its "&".
  std::wstring invert = MenuText(menu, 163, MF_BYCOMMAND);
  invert.erase(invert.find(L'&'), 1);
  EXPECT_EQ(en(L"EditMenu", L"3"), invert);
  ::DestroyMenu(menu);

  const std::pair<std::pair<const wchar_t*, const wchar_t*>, std::wstring> strings[] = {
      {{L"Status", L"1"}, Prompt(157)},
      {{L"Status", L"2"}, Prompt(158)},
      {{L"Status", L"3"}, Prompt(59392)},
      {{L"Status", L"4"}, Prompt(59393)},
      {{L"Status", L"5"}, Prompt(183)},
      {{L"Status", L"6"}, Prompt(182)},
      {{L"Status", L"7"}, Prompt(57664)},
      {{L"Status", L"8"}, Prompt(57345)},
      {{L"Status", L"9"}, ShortName(57345)},
      {{L"Status", L"10"}, Prompt(57665)},
      {{L"Status", L"11"}, ResourceString(124)},
      {{L"Status", L"13"}, Prompt(57345)},
      {{L"Status", L"15"}, Prompt(61450)},
      {{L"Status", L"16"}, ShortName(61450)},
      {{L"Status", L"17"}, klarex::UnexpectedErrorText(L"")},
      {{L"ToolTips", L"1"}, ShortName(157)},
      {{L"ToolTips", L"2"}, ShortName(158)},
      {{L"ToolTips", L"3"}, ShortName(161)},
      {{L"ToolTips", L"4"}, ShortName(162)},
      {{L"ToolTips", L"7"}, ShortName(183)},
      {{L"ToolTips", L"8"}, ShortName(181)},
      {{L"ToolTips", L"9"}, ShortName(182)},
      {{L"Columns", L"1"}, Prompt(196)},
      {{L"Columns", L"2"}, Prompt(197)},
      {{L"Columns", L"3"}, Prompt(198)},
      {{L"Columns", L"4"}, Prompt(199)},
  };
  for (const auto& [entry, text] : strings) {
    EXPECT_FALSE(text.empty()) << "no string for [" << entry.first << "] " << entry.second;
    EXPECT_EQ(en(entry.first, entry.second), text) << "[" << entry.first << "] " << entry.second;
  }

  // The Advance dialog and the About box as their templates show them.
  HWND advance = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(142), nullptr,
                                      &QuietDialog, 0);
  ASSERT_NE(advance, nullptr);
  for (int i = 0; i < 6; ++i) {
    std::wstring key = std::to_wstring(i + 1);
    EXPECT_EQ(en(L"Labels", key.c_str()), ItemText(advance, 201 + i)) << "Labels " << key;
  }
  EXPECT_EQ(en(L"Buttons", L"2"), ItemText(advance, 208));
  EXPECT_EQ(en(L"Buttons", L"3"), ItemText(advance, 8));
  wchar_t caption[300] = L"";
  ::GetWindowTextW(advance, caption, 300);
  EXPECT_EQ(L"Klarex .NET [" + en(L"Title", L"4") + L"]", caption);
  ::DestroyWindow(advance);

  HWND about = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(100), nullptr,
                                    &QuietDialog, 0);
  ASSERT_NE(about, nullptr);
  ::GetWindowTextW(about, caption, 300);
  EXPECT_EQ(en(L"Title", L"5"), caption);
  ::DestroyWindow(about);
}

}  // namespace
