// Text files from outside: language files, INI files, Firefox's profiles.ini
// and definition files.
#include <windows.h>
// needs windows.h first
#include <shlobj.h>

#include <memory>

#include "engine/catalogue.h"
#include "engine/definitions.h"
#include "framework/language.h"
#include "fuzz/fuzz.h"
#include "support/definitions_support.h"
#include "support/fake_machine.h"
#include "support/temp_dir.h"
#include "sys/queries.h"

namespace klarex::fuzz {
namespace {

// Section and key names shared by the generators and the queries, so that
// queries meet what the files hold.
const wchar_t* const kSections[] = {L"Header",  L"Status",   L"FileMenu", L"Profile0",
                                    L"General", L"Profile1", L"",         L"x]y"};
const wchar_t* const kKeys[] = {L"Culture", L"8", L"0", L"Path", L"IsRelative", L"", L"a=b"};

std::wstring LongName() { return std::wstring(400, L'n'); }

// An INI text: sections (missing, repeated, unterminated), keys (repeated,
// without '='), values of any kind; `value` makes one value.
template <class ValueMaker>
std::string IniBytes(Rng& rng, ValueMaker value) {
  std::wstring text = rng.OneIn(2) ? L"; generated\n" : L"";
  const size_t sections = rng.Below(6);
  for (size_t s = 0; s < sections; ++s) {
    const std::wstring name = rng.OneIn(20) ? LongName() : rng.Pick(kSections);
    text += rng.OneIn(15) ? L"[" + name + L"\n" : L"[" + name + L"]\n";
    const size_t keys = rng.Below(8);
    for (size_t k = 0; k < keys; ++k) {
      const std::wstring key = rng.OneIn(20) ? LongName() : rng.Pick(kKeys);
      text += rng.OneIn(15) ? key + L"\n" : key + L"=" + value(rng) + L"\n";
    }
  }
  std::string bytes = Encode(WithLineEnds(rng, text), PickEncoding(rng));
  if (rng.OneIn(3)) Mutate(rng, bytes);
  return bytes;
}

std::wstring WriteCaseFile(const wchar_t* stem, const std::string& bytes) {
  static unsigned counter = 0;
  const std::wstring path = WorkFolder() + L"\\" + stem + std::to_wstring(counter++);
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
  return path;
}

// The reader's promise: at most 299 characters, no NUL, the default when empty.
std::string CheckIniValue(const std::wstring& value) {
  if (value.empty()) return "an empty text instead of the default";
  if (value.size() > 299) return "a value of " + std::to_string(value.size()) + " characters";
  if (value.find(L'\0') != std::wstring::npos) return "a NUL inside a value";
  return {};
}

std::string CheckIni(const std::string& input, bool viaLanguage) {
  const std::wstring path = WriteCaseFile(viaLanguage ? L"lang-" : L"ini-", input);
  CIniReader reader(path);
  if (viaLanguage) Language().SetSetting(path);
  // A dozen of the names the generator uses, chosen by the input's own bytes.
  std::string broken;
  Rng pick(input.size());
  for (int i = 0; i < 12 && broken.empty(); ++i) {
    const wchar_t* section = pick.Pick(kSections);
    const wchar_t* key = pick.Pick(kKeys);
    const std::wstring value =
        viaLanguage ? GetLangString(section, key, L"def") : reader.GetString(section, key, L"def");
    broken = CheckIniValue(value);
    CutBeforeParenthesis(CutCultureComment(value));
  }
  if (broken.empty()) broken = CheckIniValue(reader.GetString(LongName().c_str(), L"0", L"def"));
  if (viaLanguage) Language().SetSetting(kDefaultLanguage);
  DeleteFileW(path.c_str());
  return broken;
}

std::string GenerateLanguage(Rng& rng, uint64_t) {
  return IniBytes(rng, [](Rng& r) { return RandomText(r, 20); });
}

// --- profiles.ini: the profile stays inside the Firefox folder ---------------------

std::wstring ProfilePath(Rng& rng) {
  static const wchar_t* const kParts[] = {
      L"Profiles",  L"abc.default", L"..",     L".",    L"...",         L"C:",
      L"\\\\srv",   L"share",       L"x:y",    L"a. ",  L"\\",          L"/",
      L"\\\\?\\C:", L"%APPDATA%",   L"..\\..", L"\\..", L"Profiles/..", L"~1"};
  if (rng.OneIn(10)) return std::wstring(250 + rng.Below(5000), L'p');
  std::wstring path;
  const size_t parts = 1 + rng.Below(5);
  for (size_t i = 0; i < parts; ++i) {
    if (i) path += rng.OneIn(2) ? L"/" : L"\\";
    path += rng.Pick(kParts);
  }
  return path;
}

std::string GenerateProfilesIni(Rng& rng, uint64_t) {
  return IniBytes(rng, [](Rng& r) { return r.OneIn(3) ? RandomText(r, 20) : ProfilePath(r); });
}

bool StartsWithFolder(const std::wstring& path, const std::wstring& folder) {
  return path.size() >= folder.size() &&
         CompareStringOrdinal(path.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                              static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL &&
         (path.size() == folder.size() || path[folder.size()] == L'\\');
}

std::string CheckInside(const std::wstring& profile, const std::wstring& firefox) {
  if (profile.empty()) return {};
  wchar_t full[MAX_PATH * 4];
  const DWORD n = GetFullPathNameW(profile.c_str(), ARRAYSIZE(full), full, nullptr);
  if (!StartsWithFolder(profile, firefox) || n == 0 || n >= ARRAYSIZE(full) ||
      !StartsWithFolder(full, firefox))
    return "profile outside the Firefox folder";
  for (size_t start = firefox.size() + 1; start < profile.size();) {
    size_t end = profile.find(L'\\', start);
    if (end == std::wstring::npos) end = profile.size();
    if (end - start >= 2 && profile.find_first_not_of(L'.', start) >= end)
      return "a dot component in the profile";
    start = end + 1;
  }
  return {};
}

std::string CheckProfilesIni(const std::string& input) {
  static std::unique_ptr<test::FakeMachine> machine;
  if (!machine) {
    machine = std::make_unique<test::FakeMachine>(WorkFolder());
    machine->specialFolders[CSIDL_LOCAL_APPDATA] = machine->Folder(test::kLocalDir);
    machine->Folder(std::wstring(test::kLocalDir) + L"\\Mozilla\\Firefox\\Profiles");
  }
  const std::wstring roaming = *machine / (std::wstring(test::kRoamingDir) + L"\\Mozilla\\Firefox");
  const std::wstring local = *machine / (std::wstring(test::kLocalDir) + L"\\Mozilla\\Firefox");
  const std::wstring ini =
      machine->File(std::wstring(test::kRoamingDir) + L"\\Mozilla\\Firefox\\profiles.ini");
  HANDLE h = CreateFileW(ini.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(h, input.data(), static_cast<DWORD>(input.size()), &written, nullptr);
  CloseHandle(h);
  const Catalogue c = BuildCatalogue(*machine);
  std::string broken = CheckInside(c.firefoxProfileDir, roaming);
  return broken.empty() ? CheckInside(c.firefoxLocalProfileDir, local) : broken;
}

// --- Definition files: what is accepted passes the safety rules -----------------------

std::string GenerateDefinitions(Rng& rng, uint64_t) {
  static const std::vector<std::string> shipped = [] {
    std::vector<std::string> files;
    WIN32_FIND_DATAW found;
    const std::wstring folder = test::ShippedFolder();
    HANDLE find = FindFirstFileW((folder + L"\\*.ini").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return files;
    do files.push_back(test::ReadBytes(folder + L"\\" + found.cFileName));
    while (FindNextFileW(find, &found));
    FindClose(find);
    return files;
  }();
  static const wchar_t* const kRoots[] = {L"%LOCALAPPDATA%",
                                          L"%APPDATA%",
                                          L"%USERPROFILE%",
                                          L"%WINDIR%",
                                          L"%PROGRAMFILES%",
                                          L"%TEMP%",
                                          L"C:",
                                          L""};
  static const wchar_t* const kNames[] = {
      L"Cache",    L"*",        L"..",   L".",       L"...",     L"",        L"AppData",
      L"LocalLow", L"Desktop",  L"Logs", L"a:b",     L"x.",      L"x ",      L"User Data",
      L"Default",  L"Profiles", L"Temp", L"Mozilla", L"Firefox", L"Cookies", L"Documents"};
  static const wchar_t* const kLines[] = {L"program = P",    L"mode = standard", L"mode = offline",
                                          L"mode = cookies", L"action = whole",  L"action = files",
                                          L"action = tree",  L"mask = *.log",    L"mask = *",
                                          L"process = p.exe"};
  if (!shipped.empty() && rng.OneIn(2)) {
    std::string bytes = rng.Pick(shipped);
    Mutate(rng, bytes);
    return bytes;
  }
  std::wstring text;
  for (size_t s = 0, n = 1 + rng.Below(4); s < n; ++s) {
    text += L"[s" + std::to_wstring(s) + L"]\nplace = " + std::wstring(rng.Pick(kRoots));
    for (size_t i = 0, parts = rng.Below(5); i < parts; ++i)
      text += (rng.OneIn(8) ? L"/" : L"\\") + std::wstring(rng.Pick(kNames));
    text += L"\n";
    for (size_t i = 0, lines = 2 + rng.Below(4); i < lines; ++i)
      text += std::wstring(rng.Pick(kLines)) + L"\n";
  }
  std::string bytes = Encode(WithLineEnds(rng, text), PickEncoding(rng));
  if (rng.OneIn(4)) Mutate(rng, bytes);
  return bytes;
}

bool Same(const std::wstring& a, const wchar_t* b) {
  return CompareStringOrdinal(a.c_str(), -1, b, -1, TRUE) == CSTR_EQUAL;
}

std::string CheckPlace(const Place& p) {
  if (p.components.empty()) return "a root itself accepted";
  for (const std::wstring& c : p.components) {
    if (c.empty() || c.find_first_not_of(L'.') == std::wstring::npos) return "a dot component";
    if (c.find_first_of(L":/\\%") != std::wstring::npos) return "a bad character";
    if (c.back() == L'.' || c.back() == L' ') return "a name ending in a dot or blank";
  }
  if (p.root == PlaceRoot::UserProfile &&
      (p.components.size() < 3 || !Same(p.components[0], L"AppData") ||
       !Same(p.components[1], L"LocalLow")))
    return "a place in the profile outside LocalLow";
  if (p.action != PlaceAction::Whole && p.mask.empty()) return "a mask missing";
  return {};
}

std::string CheckDefinitions(const std::string& input) {
  DefinitionSet set;
  ParseDefinitions(input, L"fuzz.ini", set);
  for (const Place& place : set.places) {
    const std::string broken = CheckPlace(place);
    if (!broken.empty())
      return broken + " (" + std::string(place.section.begin(), place.section.end()) + ")";
  }
  return {};
}

}  // namespace

const Target kLanguage{"language", GenerateLanguage,
                       [](const std::string& in) { return CheckIni(in, true); }};
const Target kIni{"ini", GenerateLanguage,
                  [](const std::string& in) { return CheckIni(in, false); }};
const Target kProfilesIni{"profiles-ini", GenerateProfilesIni, CheckProfilesIni};
const Target kDefinitions{"definitions", GenerateDefinitions, CheckDefinitions};

}  // namespace klarex::fuzz
