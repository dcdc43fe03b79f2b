#include "framework/language.h"

#include <gtest/gtest.h>

#include "framework/lang_file.h"
#include "support/temp_dir.h"

namespace klarex {
namespace {

using test::LanguageGuard;
using test::TempDir;

TEST(Language, DefaultSettingIsInactiveAndGivesDefaults) {
  EXPECT_EQ(Language().Setting(), L"Default");
  EXPECT_FALSE(IsLanguageActive());
  EXPECT_EQ(GetLangString(L"Status", L"13", L"Ready"), L"Ready");
}

TEST(Language, ActivityIsAnExactCaseSensitiveComparison) {
  {
    LanguageGuard lang(L"default");  // differs only in case: a file path that does not exist
    EXPECT_TRUE(IsLanguageActive());
    EXPECT_EQ(GetLangString(L"Columns", L"1", L"File Name"), L"File Name");
  }
  EXPECT_FALSE(IsLanguageActive());
}

TEST(Language, ReadsUtf16AndAnsiFilesWithQuotesAndEmptyValues) {
  TempDir dir;
  std::wstring utf16 = dir / L"u.lng";
  test::WriteUtf16File(utf16,
                       L"[Columns]\r\n1=Nom de fichier\r\n2 = \"Typ\u00e9\" \r\n3=\r\n"
                       L"[header]\r\nCulture=\u65e5\u672c\u8a9e // Japanese\r\n");
  {
    LanguageGuard lang(utf16);
    EXPECT_EQ(GetLangString(L"Columns", L"1", L"File Name"), L"Nom de fichier");
    EXPECT_EQ(GetLangString(L"columns", L"2", L"Type"), L"Typ\u00e9");  // quotes and blanks gone
    EXPECT_EQ(GetLangString(L"Columns", L"3", L"Size"), L"Size");       // empty value: default
    EXPECT_EQ(GetLangString(L"Columns", L"4", L"Date Modified"), L"Date Modified");
    EXPECT_EQ(GetLangString(L"Header", L"Culture", L"English"), L"\u65e5\u672c\u8a9e // Japanese");
  }
  std::wstring ansi = dir / L"a.lng";
  test::WriteBytes(ansi, "[Status]\r\n13=Pronto\r\n");
  LanguageGuard lang(ansi);
  EXPECT_EQ(GetLangString(L"Status", L"13", L"Ready"), L"Pronto");
}

TEST(Language, LongValuesAreCutTo299Characters) {
  TempDir dir;
  std::wstring path = dir / L"long.lng";
  test::WriteUtf16File(path, L"[Status]\r\n13=" + std::wstring(10000, L'x') + L"\r\n");
  LanguageGuard lang(path);
  EXPECT_EQ(GetLangString(L"Status", L"13", L"Ready"), std::wstring(299, L'x'));
}

TEST(Language, BadFilesGiveDefaults) {
  TempDir dir;
  LanguageGuard missing(dir / L"missing.lng");
  EXPECT_EQ(GetLangString(L"Status", L"13", L"Ready"), L"Ready");

  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage.push_back(static_cast<char>((i * 7919) % 256));
  test::WriteBytes(dir / L"garbage.lng", garbage);
  Language().SetSetting(dir / L"garbage.lng");
  std::wstring text = GetLangString(L"Status", L"13", L"Ready");
  EXPECT_LE(text.size(), 299u);

  // A UTF-16 file cut in the middle of a character.
  std::string truncated =
      "\xff\xfe[\0S\0t\0a\0t\0u\0s\0]\0\r\0\n\0"
      "1\0003\0=\0O\0k\0";
  truncated.append("\x41", 1);
  test::WriteBytes(dir / L"cut.lng", truncated);
  Language().SetSetting(dir / L"cut.lng");
  text = GetLangString(L"Status", L"13", L"Ready");
  EXPECT_TRUE(text == L"Ok" || text == L"Ready") << "got a mangled text";
}

TEST(Language, CutRules) {
  EXPECT_EQ(CutBeforeParenthesis(L"Invert (all rows)"), L"Invert ");
  EXPECT_EQ(CutBeforeParenthesis(L"Invert Selection"), L"Invert Selection");
  EXPECT_EQ(CutBeforeParenthesis(L"(x)"), L"");
  EXPECT_EQ(CutCultureComment(L"Italiano // Italian"), L"Italiano ");
  EXPECT_EQ(CutCultureComment(L"English"), L"English");
  EXPECT_EQ(CutCultureComment(L"a//b"), L"a//b");  // only " //" starts a comment
  EXPECT_EQ(CutCultureComment(L" // only"), L" ");
}

}  // namespace
}  // namespace klarex
