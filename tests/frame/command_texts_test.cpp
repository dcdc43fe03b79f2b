#include "frame/command_texts.h"

#include <gtest/gtest.h>

#include <map>

#include "../res/ids_main.h"
#include "frame/language_setup.h"
#include "frame/main_frame.h"
#include "framework/lang_file.h"
#include "support/temp_dir.h"

namespace klarex {
namespace {

using test::LanguageGuard;
using test::TempDir;

std::map<UINT, std::wstring> MenuTexts() {
  std::map<UINT, std::wstring> texts;
  for (const MenuItemText& item : TranslatedMenuItems()) texts[item.id] = item.text;
  return texts;
}

TEST(CommandTexts, WithoutLanguageTheBuiltInPromptsApply) {
  for (UINT id : {ID_DELETE, ID_RECYCLE, ID_INVERT_SELECTION, ID_APP_EXIT}) {
    EXPECT_FALSE(TranslatedStatusPrompt(id).has_value()) << id;
    EXPECT_FALSE(TranslatedMenuHover(id).has_value()) << id;
  }
}

TEST(CommandTexts, EmptyLanguageFileGivesTheTableDefaults) {
  TempDir dir;
  std::wstring path = dir / L"empty.lng";
  test::WriteUtf16File(path, L"");
  LanguageGuard lang(path);
  auto menu = MenuTexts();
  EXPECT_EQ(menu[ID_SELECT_ALL], L"Select All\tCtrl+A");
  EXPECT_EQ(menu[ID_MODE_COOKIES], L"Cookies Killer\tCtrl+K");
  EXPECT_EQ(menu[ID_MODE_OFFLINE], L"Offline Temp\tCtrl+H");
  EXPECT_EQ(menu[ID_MODE_STANDARD], L"Standard\tF5");
  EXPECT_EQ(menu[ID_RECYCLE], L"&Move &to Recycle Bin\tDel");
  EXPECT_EQ(menu[ID_LANGUAGE], L"&Language\t\tCtrl+L");
  EXPECT_EQ(menu[ID_INVERT_SELECTION], L"Invert Selection\tCtrl+I");
  EXPECT_EQ(menu[ID_EXTENDED_CATALOGUE], L"E&xtended Catalogue");
  EXPECT_EQ(menu[ID_DELETION_RECORD], L"Deletion &Record");
  EXPECT_EQ(menu[ID_KEPT_ITEMS], L"K&ept Items...");
  EXPECT_EQ(menu.size(), 19u);
  EXPECT_EQ(TranslatedMenuBarCaptions(),
            (std::vector<std::wstring>{L"&File", L"&Edit", L"&View", L"&Options", L"&Help"}));

  // Prompt cells default to the prompt, tooltip cells to the short name.
  EXPECT_EQ(TranslatedStatusPrompt(ID_DELETE), L"Delete selected object(s)");
  EXPECT_EQ(TranslatedMenuHover(ID_RECYCLE), L"Move to Recycle Bin");
  EXPECT_EQ(TranslatedMenuHover(ID_APP_EXIT), L"Quit the application");
  EXPECT_EQ(TranslatedMenuHover(ID_VIEW_TOOLBAR), L"Show or hide the toolbar");
  EXPECT_EQ(TranslatedMenuHover(ID_EXTENDED_CATALOGUE),
            L"Also list the places of today's programs named in definition files (from the next "
            L"scan on)");
  EXPECT_EQ(TranslatedToolTip(ID_DELETE), L"Permanently Delete");
  EXPECT_EQ(TranslatedToolTip(ID_MODE_OFFLINE), L"Offline Temp");
  EXPECT_EQ(TranslatedToolTip(ID_INVERT_SELECTION), L"Invert Selection");
  // Commands the file does not cover keep the framework's texts; no tooltip.
  EXPECT_FALSE(TranslatedStatusPrompt(ID_APP_EXIT).has_value());
  EXPECT_FALSE(TranslatedMenuHover(ID_FILE_OPEN).has_value());
  EXPECT_EQ(TranslatedToolTip(ID_APP_EXIT), L"");
  EXPECT_EQ(TranslatedToolTip(ID_LANGUAGE), L"");
}

TEST(CommandTexts, EntriesGoWhereTheTableSays) {
  TempDir dir;
  std::wstring path = dir / L"t.lng";
  test::WriteUtf16File(
      path,
      L"[ToolTips]\r\n1=TT1\r\n2=TT2\r\n3=TT3\r\n4=TT4\r\n7=TT7\r\n8=TT8\r\n9=TT9\r\n"
      L"[Status]\r\n1=S1\r\n2=S2\r\n3=S3\r\n4=S4\r\n5=S5\r\n6=S6\r\n7=S7\r\n10=S10\r\n"
      L"[EditMenu]\r\n0=&Modifica\r\n3=Inverti (tutto)\r\n");
  LanguageGuard lang(path);
  // Pointing at toolbar button 161 shows [ToolTips] 3 as tooltip and prompt.
  EXPECT_EQ(TranslatedToolTip(ID_SELECT_ALL), L"TT3");
  EXPECT_EQ(TranslatedStatusPrompt(ID_SELECT_ALL), L"TT3");
  EXPECT_EQ(TranslatedStatusPrompt(ID_RECYCLE), L"S2");
  EXPECT_EQ(TranslatedMenuHover(ID_RECYCLE), L"TT2");
  EXPECT_EQ(TranslatedStatusPrompt(ID_MODE_COOKIES), L"TT8");
  EXPECT_EQ(TranslatedStatusPrompt(ID_MODE_OFFLINE), L"S6");
  EXPECT_EQ(TranslatedToolTip(ID_MODE_OFFLINE), L"TT9");
  EXPECT_EQ(TranslatedToolTip(ID_MODE_STANDARD), L"TT7");
  EXPECT_EQ(TranslatedMenuHover(ID_APP_EXIT), L"S10");
  EXPECT_EQ(TranslatedMenuHover(ID_APP_ABOUT), L"S7");
  EXPECT_EQ(TranslatedMenuHover(ID_VIEW_STATUS_BAR), L"S4");
  // Invert Selection: the whole value in the menu, cut before "(" elsewhere.
  EXPECT_EQ(MenuTexts()[ID_INVERT_SELECTION], L"Inverti (tutto)\tCtrl+I");
  EXPECT_EQ(TranslatedStatusPrompt(ID_INVERT_SELECTION), L"Inverti ");
  EXPECT_EQ(TranslatedMenuHover(ID_INVERT_SELECTION), L"Inverti ");
  EXPECT_EQ(TranslatedToolTip(ID_INVERT_SELECTION), L"Inverti ");
  EXPECT_EQ(TranslatedMenuBarCaptions()[1], L"&Modifica");
}

TEST(LanguageSetup, KeyboardLayoutTable) {
  EXPECT_EQ(LanguageFileForLayout(L"00000C04"), L"\\t_chinese.lng");
  EXPECT_EQ(LanguageFileForLayout(L"00000404"), L"\\t_chinese.lng");
  EXPECT_EQ(LanguageFileForLayout(L"00001004"), L"\\t_chinese.lng");
  EXPECT_EQ(LanguageFileForLayout(L"00001404"), L"\\t_chinese.lng");
  EXPECT_EQ(LanguageFileForLayout(L"00000804"), L"\\s_chinese.lng");
  EXPECT_EQ(LanguageFileForLayout(L"00000411"), L"\\japanese.lng");
  EXPECT_EQ(LanguageFileForLayout(L"00000410"), L"\\italiano.lng");
  EXPECT_EQ(LanguageFileForLayout(L"00000810"), L"\\italiano.lng");
  // US English keeps the built-in texts; the comparison is case-sensitive.
  EXPECT_EQ(LanguageFileForLayout(L"00000409"), L"");
  EXPECT_EQ(LanguageFileForLayout(L"00000c04"), L"");
  EXPECT_EQ(LanguageFileForLayout(L"null"), L"");
  EXPECT_EQ(LanguageFileForLayout(L""), L"");
}

TEST(LanguageSetup, FolderAndCaption) {
  EXPECT_EQ(LanguageFolderOf(L"C:\\Tools\\Klarex.exe"), L"C:\\Tools\\lang");
  EXPECT_EQ(LanguageFolderOf(L"Klarex.exe"), L"lang");
  EXPECT_EQ(MainFrameCaption(L"Klarex .NET"), L"Klarex .NET (64 bit) 4.18");
}

TEST(LanguageSetup, ApplyingRetitlesTheMenuAndKeepsItsPopups) {
  TempDir dir;
  std::wstring path = dir / L"m.lng";
  test::WriteUtf16File(path, L"[FileMenu]\r\n0=&Datei\r\n4=&Beenden\r\n");
  HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
  ASSERT_NE(menu, nullptr);
  ApplyLanguageToMenu(menu, path);
  wchar_t text[128];
  GetMenuStringW(menu, 0, text, 128, MF_BYPOSITION);
  EXPECT_STREQ(text, L"&Datei");
  EXPECT_NE(GetSubMenu(menu, 0), nullptr);
  GetMenuStringW(menu, ID_APP_EXIT, text, 128, MF_BYCOMMAND);
  EXPECT_STREQ(text, L"&Beenden");
  GetMenuStringW(menu, ID_MODE_COOKIES, text, 128, MF_BYCOMMAND);
  EXPECT_STREQ(text, L"Cookies Killer\tCtrl+K");
  EXPECT_EQ(Language().Setting(), path);
  DestroyMenu(menu);
  Language().SetSetting(kDefaultLanguage);
}

}  // namespace
}  // namespace klarex
