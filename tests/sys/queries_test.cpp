#include "sys/queries.h"

#include <gtest/gtest.h>
#include <shlwapi.h>
#include <winioctl.h>

#include <string>
#include <thread>
#include <vector>

#include "support/folder_link.h"
#include "support/temp_dir.h"
#include "sys/machine.h"

namespace klarex {
namespace {

using test::TempDir;

// A private key under HKCU\Software\KlarexTest, removed with its tree afterwards.
class TestKey {
 public:
  TestKey() {
    m_path = L"Software\\KlarexTest\\q" + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(GetTickCount64());
    RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    m_key.put(), nullptr);
  }
  ~TestKey() {
    m_key.reset();
    SHDeleteKeyW(HKEY_CURRENT_USER, m_path.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\KlarexTest");  // only once empty
  }
  const std::wstring& Path() const { return m_path; }
  HKEY Get() const { return m_key.get(); }

  void SetRaw(const std::wstring& subkey, const wchar_t* name, DWORD type, const void* data,
              DWORD bytes) const {
    RegKey key;
    ASSERT_EQ(RegCreateKeyExW(m_key.get(), subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              key.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), bytes),
              ERROR_SUCCESS);
  }
  void Set(const std::wstring& subkey, const wchar_t* name, const std::wstring& text) const {
    SetRaw(subkey, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * 2));
  }

 private:
  std::wstring m_path;
  RegKey m_key;
};

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  ASSERT_TRUE(file);
  DWORD written = 0;
  WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string Utf16File(const std::wstring& text) {
  std::string bytes = "\xFF\xFE";
  bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
  return bytes;
}

// --- GetFileTypeName ----------------------------------------------------------

TEST(GetFileTypeName, FallsBackToTheUpperCasedExtensionWhenTheShellHasNoName) {
  TempDir dir;
  // Missing paths: the shell gives no type name.
  EXPECT_EQ(GetFileTypeName((dir / L"setup.log").c_str()), L".LOG FILE");
  EXPECT_EQ(GetFileTypeName((dir / L"Report.TxT2").c_str()), L".TXT2 FILE");
  EXPECT_EQ(GetFileTypeName((dir / L"noextension").c_str()), L" FILE");
}

TEST(CachedFileTypeName, AsksOncePerExtensionWhateverItsCaseButFoldersEveryTime) {
  TempDir dir;
  // The first file of an extension names the type of every later one: this
  // missing one gets the fallback, which the shell would not give notes.TXT.
  EXPECT_EQ(CachedFileTypeName((dir / L"missing.txt").c_str(), false), L".TXT FILE");
  const std::wstring text = dir.File(L"notes.TXT");
  EXPECT_NE(GetFileTypeName(text.c_str()), L".TXT FILE");
  EXPECT_EQ(CachedFileTypeName(text.c_str(), false), L".TXT FILE");
  std::wstring other;
  std::thread([&] { other = CachedFileTypeName((dir / L"b.Txt").c_str(), false); }).join();
  EXPECT_EQ(other, L".TXT FILE");
  // Names without an extension share one entry; folders are not cached.
  EXPECT_EQ(CachedFileTypeName((dir / L"noextension").c_str(), false), L" FILE");
  wchar_t windows[MAX_PATH];
  GetWindowsDirectoryW(windows, MAX_PATH);
  EXPECT_EQ(CachedFileTypeName(windows, true), L"Folder");
}

TEST(GetFileTypeName, CutsAnOverlongFallbackTo259Characters) {
  std::wstring path = L"C:\\missing." + std::wstring(400, L'a');
  const std::wstring name = GetFileTypeName(path.c_str());
  ASSERT_EQ(name.size(), 259u);
  EXPECT_EQ(name.substr(0, 4), L".AAA");
}

TEST(GetFileTypeName, UsesTheShellsNameOnAnyThread) {
  TempDir dir;
  const std::wstring text = dir.File(L"notes.txt");
  wchar_t windows[MAX_PATH];
  GetWindowsDirectoryW(windows, MAX_PATH);
  EXPECT_EQ(GetFileTypeName(windows), L"Folder");
  // The privacy worker fills rows too.
  std::wstring other;
  std::thread([&] { other = GetFileTypeName((dir / L"setup.log").c_str()); }).join();
  EXPECT_EQ(other, L".LOG FILE");
  // The shell's own name ("Text Document", or "txt file" in a fresh Wine prefix).
  const std::wstring name = GetFileTypeName(text.c_str());
  EXPECT_NE(name, L"");
  EXPECT_NE(name, L".TXT FILE");
  EXPECT_NE(name, L"Folder");
}

// --- QueryFileSize / GetFolderSize ---------------------------------------------

TEST(QueryFileSize, MissingArgumentsOrFileGiveFalse) {
  TempDir dir;
  uint64_t size = 77;
  EXPECT_FALSE(QueryFileSize(nullptr, &size));
  EXPECT_EQ(size, 77u);  // untouched
  EXPECT_FALSE(QueryFileSize((dir / L"a").c_str(), nullptr));
  EXPECT_FALSE(QueryFileSize((dir / L"missing.bin").c_str(), &size));
  EXPECT_EQ(size, 0u);
  EXPECT_TRUE(QueryFileSize(dir.File(L"five.bin", 5).c_str(), &size));
  EXPECT_EQ(size, 5u);
}

TEST(QueryFileSize, ReadsTheFull64BitSizeAbove4GiB) {
  TempDir dir;
  const std::wstring path = dir / L"big.bin";
  const uint64_t expected = (5ull << 30) + 123;
  {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file);
    DWORD bytes = 0;
    DeviceIoControl(file.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &bytes, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(expected);
    ASSERT_TRUE(SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file.get()));
  }
  uint64_t size = 0;
  EXPECT_TRUE(QueryFileSize(path.c_str(), &size));
  EXPECT_EQ(size, expected);
}

TEST(GetFolderSize, SumsNestedFilesOntoTheAccumulator) {
  TempDir dir;
  dir.File(L"top\\a.bin", 10);
  dir.File(L"top\\sub\\b.bin", 200);
  dir.File(L"top\\sub\\deeper\\c.bin", 3000);
  dir.File(L"top\\sub\\empty.bin", 0);
  dir.Folder(L"top\\emptyfolder");
  uint64_t total = 5;
  EXPECT_TRUE(GetFolderSize((dir / L"top").c_str(), &total));
  EXPECT_EQ(total, 5u + 10 + 200 + 3000);
}

TEST(GetFolderSize, MissingOrOverlongFolderAddsNothing) {
  TempDir dir;
  uint64_t total = 9;
  EXPECT_FALSE(GetFolderSize((dir / L"missing").c_str(), &total));
  const std::wstring longPath = dir.Path() + L"\\" + std::wstring(2100, L'x');
  EXPECT_FALSE(GetFolderSize(longPath.c_str(), &total));
  EXPECT_EQ(total, 9u);
}

TEST(GetFolderSize, NeverFollowsALinkedFolder) {
  TempDir dir;
  dir.File(L"tree\\own.bin", 7);
  dir.File(L"outside\\big.bin", 100000);
  const std::wstring link = dir / L"tree\\link";
  ASSERT_TRUE(test::MakeFolderLink(link, dir / L"outside"));
  uint64_t total = 0;
  GetFolderSize((dir / L"tree").c_str(), &total);
  EXPECT_EQ(total, 7u);
  // Nor when the link itself is asked for.
  total = 0;
  EXPECT_FALSE(GetFolderSize(link.c_str(), &total));
  EXPECT_EQ(total, 0u);
  EXPECT_TRUE(test::RemoveLink(link));
}

// --- ResolveWildcardFolder ------------------------------------------------------

class ResolveWildcardFolderTest : public testing::Test {
 protected:
  void SetUp() override { GetCurrentDirectoryW(MAX_PATH, m_saved); }
  // Run from a host folder outside the prefix, the saved directory cannot be set
  // again; any other folder releases the temporary one so it can be removed.
  void TearDown() override {
    if (!SetCurrentDirectoryW(m_saved)) {
      wchar_t windows[MAX_PATH];
      GetWindowsDirectoryW(windows, MAX_PATH);
      SetCurrentDirectoryW(windows);
    }
  }
  TempDir m_dir;
  wchar_t m_saved[MAX_PATH] = {};
};

TEST_F(ResolveWildcardFolderTest, SkipsDotEntriesAndAppendsTheFirstMatch) {
  m_dir.Folder(L"jre1.8.0_301");
  std::wstring folder = m_dir.Path();
  const std::wstring name = ResolveWildcardFolder(folder, L"*.*");
  EXPECT_EQ(name, L"jre1.8.0_301");
  EXPECT_EQ(folder, m_dir / L"jre1.8.0_301");
  // Searched by full path: the current directory is not touched.
  wchar_t current[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, current);
  EXPECT_STREQ(current, m_saved);
}

TEST_F(ResolveWildcardFolderTest, MatchesARelativePatternInsideTheFolder) {
  m_dir.Folder(L"Opera Software");
  m_dir.File(L"readme.txt");
  std::wstring folder = m_dir.Path() + L"\\";
  EXPECT_EQ(ResolveWildcardFolder(folder, L"Opera*.*"), L"Opera Software");
  EXPECT_EQ(folder, m_dir / L"Opera Software");
}

TEST_F(ResolveWildcardFolderTest, OnlyTheLongNameCounts) {
  // "jre1.logbook" has a short name (JRE1~XYZ.LOG) that "*.log" would find.
  m_dir.Folder(L"jre1.logbook");
  m_dir.Folder(L"z.log");
  std::wstring folder = m_dir.Path();
  EXPECT_EQ(ResolveWildcardFolder(folder, L"*.log"), L"z.log");
  EXPECT_EQ(folder, m_dir / L"z.log");
}

TEST(GetFolderSize, MeasuresTheFolderOfItsExactName) {
  TempDir dir;
  dir.File(L"dir\\other.bin", 1000);
  CreateDirectoryW((L"\\\\?\\" + dir / L"dir.").c_str(), nullptr);
  HANDLE file = CreateFileW((L"\\\\?\\" + dir / L"dir.\\own.bin").c_str(), GENERIC_WRITE, 0,
                            nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, "12345", 5, &written, nullptr);
  CloseHandle(file);
  uint64_t total = 0;
  EXPECT_TRUE(GetFolderSize((dir / L"dir.").c_str(), &total));
  EXPECT_EQ(total, 5u);
}

TEST_F(ResolveWildcardFolderTest, NothingMatchingLeavesTheFolderUnchanged) {
  std::wstring folder = m_dir.Path();
  EXPECT_EQ(ResolveWildcardFolder(folder, L"jre1.*"), L"");
  EXPECT_EQ(ResolveWildcardFolder(folder, L"*.*"), L"");  // only "." and ".."
  EXPECT_EQ(folder, m_dir.Path());
  std::wstring missing = m_dir / L"missing";
  m_dir.Folder(L"elsewhere\\jre1.7");
  SetCurrentDirectoryW((m_dir / L"elsewhere").c_str());
  // The pattern must not be matched in whatever directory happens to be current.
  EXPECT_EQ(ResolveWildcardFolder(missing, L"jre1.*"), L"");
  EXPECT_EQ(missing, m_dir / L"missing");
}

// --- CRegTextValue --------------------------------------------------------------

TEST(CRegTextValue, SplitsKeyPathAndValueName) {
  struct Case {
    const wchar_t* text;
    const wchar_t* key;
    const wchar_t* value;
  } cases[] = {
      {L"Keyboard Layout\\Preload\\1", L"Keyboard Layout\\Preload", L"1"},
      {L"Software\\Vendor\\", L"Software\\Vendor", L""},  // the key's default value
      {L"Name", L"", L"Name"},                            // a value of the root key
      {L"\\\\Software\\X\\Path", L"Software\\X", L"Path"},
      {L"Software\\\\\\Path", L"Software", L"Path"},
      {L"", L"", L""},
  };
  for (const Case& c : cases) {
    CRegTextValue value(c.text, L"null", false, HKEY_CURRENT_USER);
    EXPECT_EQ(value.KeyPath(), c.key) << c.text;
    EXPECT_EQ(value.ValueName(), c.value) << c.text;
  }
}

TEST(CRegTextValue, ReadsNamedDefaultAndRootValues) {
  TestKey key;
  key.Set(L"Keyboard Layout\\Preload", L"1", L"00000409");
  key.Set(L"Vendor", nullptr, L"default text");
  key.Set(L"", L"AtRoot", L"root text");

  CRegTextValue named(key.Path() + L"\\Keyboard Layout\\Preload\\1", L"null", false,
                      HKEY_CURRENT_USER);
  EXPECT_EQ(static_cast<std::wstring>(named), L"00000409");
  EXPECT_TRUE(named.Exists());

  CRegTextValue unnamed(L"\\" + key.Path() + L"\\Vendor\\", L"null", false, HKEY_CURRENT_USER);
  EXPECT_EQ(static_cast<std::wstring>(unnamed), L"default text");

  CRegTextValue atRoot(L"AtRoot", L"null", false, key.Get());
  EXPECT_EQ(static_cast<std::wstring>(atRoot), L"root text");
}

TEST(CRegTextValue, MissingKeyOrValueGivesTheDefault) {
  TestKey key;
  key.Set(L"Present", L"Other", L"x");
  key.Set(L"NoDefault", L"Some", L"y");  // the key's unnamed value is unset

  CRegTextValue noKey(key.Path() + L"\\Absent\\Value", L"null", false, HKEY_CURRENT_USER);
  EXPECT_EQ(static_cast<std::wstring>(noKey), L"null");
  EXPECT_FALSE(noKey.Exists());
  EXPECT_EQ(noKey.LastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(noKey.ErrorText().empty());

  CRegTextValue noValue(key.Path() + L"\\Present\\Value", L"null", false, HKEY_CURRENT_USER);
  EXPECT_EQ(static_cast<std::wstring>(noValue), L"null");
  EXPECT_FALSE(noValue.Exists());
  EXPECT_EQ(noValue.LastError(), ERROR_FILE_NOT_FOUND);  // not the closing's success

  CRegTextValue noDefault(key.Path() + L"\\NoDefault\\", L"null", false, HKEY_CURRENT_USER);
  EXPECT_EQ(static_cast<std::wstring>(noDefault), L"null");
}

TEST(CRegTextValue, TakesTextUpToTheFirstNulWhateverTheType) {
  TestKey key;
  const wchar_t unterminated[] = {L'a', L'b', L'c'};
  key.SetRaw(L"K", L"Raw", REG_SZ, unterminated, sizeof(unterminated));
  const wchar_t multi[] = L"first\0second\0";
  key.SetRaw(L"K", L"Multi", REG_MULTI_SZ, multi, sizeof(multi));
  const std::wstring expand = L"%TEMP%\\x";
  key.SetRaw(L"K", L"Expand", REG_EXPAND_SZ, expand.c_str(),
             static_cast<DWORD>((expand.size() + 1) * 2));
  key.SetRaw(L"K", L"Empty", REG_SZ, L"", 0);

  auto read = [&](const wchar_t* name) {
    return static_cast<std::wstring>(
        CRegTextValue(key.Path() + L"\\K\\" + name, L"null", false, HKEY_CURRENT_USER));
  };
  EXPECT_EQ(read(L"Raw"), L"abc");
  EXPECT_EQ(read(L"Multi"), L"first");
  EXPECT_EQ(read(L"Expand"), L"%TEMP%\\x");
  EXPECT_EQ(read(L"Empty"), L"");
}

TEST(CRegTextValue, ReReadsOnlyWhenForced) {
  TestKey key;
  key.Set(L"K", L"V", L"one");
  CRegTextValue once(key.Path() + L"\\K\\V", L"null", false, HKEY_CURRENT_USER);
  CRegTextValue always(key.Path() + L"\\K\\V", L"null", true, HKEY_CURRENT_USER);
  EXPECT_EQ(static_cast<std::wstring>(once), L"one");
  EXPECT_EQ(static_cast<std::wstring>(always), L"one");
  key.Set(L"K", L"V", L"two");
  EXPECT_EQ(static_cast<std::wstring>(once), L"one");
  EXPECT_EQ(static_cast<std::wstring>(always), L"two");
}

// --- CRegSubkeys ------------------------------------------------------------------

TEST(CRegSubkeys, ListsSubkeysInEnumerationOrder) {
  TestKey key;
  for (const wchar_t* name : {L"12.0", L"11.0", L"Common"}) key.Set(name, L"v", L"x");

  std::vector<std::wstring> expected;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = ARRAYSIZE(name);
    if (RegEnumKeyExW(key.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr)) break;
    expected.emplace_back(name);
  }
  ASSERT_EQ(expected.size(), 3u);

  std::vector<std::wstring> names = {L"stale"};
  CRegSubkeys lister(L"\\\\" + key.Path());
  EXPECT_TRUE(lister.List(names));
  EXPECT_EQ(names, expected);
}

TEST(CRegSubkeys, MissingKeyOrNoSubkeysGivesAnEmptyList) {
  TestKey key;
  std::vector<std::wstring> names = {L"stale"};
  EXPECT_FALSE(CRegSubkeys(key.Path() + L"\\Absent").List(names));
  EXPECT_TRUE(names.empty());
  names = {L"stale"};
  EXPECT_FALSE(CRegSubkeys(key.Path()).List(names));
  EXPECT_TRUE(names.empty());
}

// --- CIniReader -----------------------------------------------------------------------

TEST(CIniReader, ReadsUtf16AndAnsiFiles) {
  TempDir dir;
  const std::wstring unicode = dir / L"lang.lng";
  WriteBytes(unicode,
             Utf16File(L"[Menu]\r\nFile=&Datei \u00e4\u4e2d\r\nQuoted=\"  padded  \"\r\n"));
  const std::wstring ansi = dir / L"profiles.ini";
  WriteBytes(ansi, "[Profile0]\r\nPath = Profiles/abc.default \r\nEmpty=\r\n");

  CIniReader unicodeReader(unicode);
  EXPECT_EQ(unicodeReader.GetString(L"Menu", L"File", L"File"), L"&Datei \u00e4\u4e2d");
  EXPECT_EQ(unicodeReader.GetString(L"menu", L"quoted", L"-"), L"  padded  ");
  CIniReader ansiReader(ansi);
  EXPECT_EQ(ansiReader.GetString(L"Profile0", L"Path", L"-"), L"Profiles/abc.default");
}

TEST(CIniReader, EmptyOrMissingEntriesGiveTheDefault) {
  TempDir dir;
  const std::wstring path = dir / L"a.ini";
  WriteBytes(path, "[S]\r\nEmpty=\r\nQuotedEmpty=\"\"\r\n");
  CIniReader reader(path);
  EXPECT_EQ(reader.GetString(L"S", L"Empty", L"dflt"), L"dflt");
  EXPECT_EQ(reader.GetString(L"S", L"QuotedEmpty", L"dflt"), L"dflt");
  EXPECT_EQ(reader.GetString(L"S", L"Absent", L"dflt"), L"dflt");
  EXPECT_EQ(reader.GetString(L"Other", L"Empty", L"dflt"), L"dflt");
  EXPECT_EQ(CIniReader(dir / L"missing.ini").GetString(L"S", L"K", L"dflt"), L"dflt");
}

TEST(CIniReader, EmptyPathNeverTouchesAFile) {
  // With no path the system would fall back to win.ini; nothing may be read from it.
  CIniReader reader;
  EXPECT_EQ(reader.GetString(L"windows", L"device", L"dflt"), L"dflt");
  reader.SetPath(L"");
  EXPECT_EQ(reader.GetString(L"fonts", L"x", L"dflt"), L"dflt");
}

TEST(CIniReader, CutsLongValuesTo299Characters) {
  TempDir dir;
  const std::wstring path = dir / L"long.ini";
  std::string value;
  for (int i = 0; i < 350; ++i) value += static_cast<char>('a' + i % 26);
  WriteBytes(path, "[S]\r\nLong=" + value + "\r\n");
  const std::wstring read = CIniReader(path).GetString(L"S", L"Long", L"");
  EXPECT_EQ(read, std::wstring(value.begin(), value.begin() + 299));
}

// --- Win32Machine -------------------------------------------------------------------------

TEST(Win32Machine, ReadsEnvironmentAndRegistryThroughTheQueries) {
  Win32Machine machine;
  const std::wstring longValue(1000, L'v');
  SetEnvironmentVariableW(L"KLAREX_TEST_VAR", longValue.c_str());
  std::wstring value = L"unchanged";
  EXPECT_TRUE(machine.Environment(L"KLAREX_TEST_VAR", value));
  EXPECT_EQ(value, longValue);
  SetEnvironmentVariableW(L"KLAREX_TEST_VAR", nullptr);
  value = L"unchanged";
  EXPECT_FALSE(machine.Environment(L"KLAREX_TEST_VAR", value));
  EXPECT_EQ(value, L"unchanged");

  TestKey key;
  key.Set(L"Office\\12.0", L"Path", L"C:\\Office12");
  key.Set(L"Office\\11.0", L"Path", L"C:\\Office11");
  EXPECT_EQ(machine.RegistryText(HKEY_CURRENT_USER, key.Path() + L"\\Office\\12.0\\Path", L"null"),
            L"C:\\Office12");
  EXPECT_EQ(machine.RegistryText(HKEY_CURRENT_USER, key.Path() + L"\\Office\\Path", L"null"),
            L"null");
  const std::vector<std::wstring> subkeys = machine.RegistrySubkeys(key.Path() + L"\\Office");
  EXPECT_EQ(subkeys.size(), 2u);
  EXPECT_TRUE(machine.RegistrySubkeys(key.Path() + L"\\Absent").empty());
}

TEST(Win32Machine, FolderQueries) {
  Win32Machine machine;
  EXPECT_TRUE(PathIsDirectoryW(machine.WindowsDirectory().c_str()));
  std::wstring path = L"unchanged";
  EXPECT_FALSE(machine.SpecialFolder(0x7fff, path));  // no such folder id
  EXPECT_EQ(path, L"unchanged");
  EXPECT_TRUE(machine.SpecialFolder(0x001a, path));  // CSIDL_APPDATA
  EXPECT_TRUE(PathIsDirectoryW(path.c_str()));
  EXPECT_EQ(machine.DriveType(L"C:\\"), static_cast<UINT>(DRIVE_FIXED));
  EXPECT_TRUE(machine.LogicalDrives() & (1u << 2));
}

}  // namespace
}  // namespace klarex
