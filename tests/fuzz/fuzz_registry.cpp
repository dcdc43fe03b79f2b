// Values from the registry: the text-value reader and the stored settings
// (window rectangle, language). A case is a list of (type, bytes) values.
#include <windows.h>

#include "frame/language_setup.h"
#include "frame/window_placement.h"
#include "framework/language.h"
#include "framework/profile.h"
#include "fuzz/fuzz.h"
#include "sys/handles.h"
#include "sys/machine.h"
#include "sys/queries.h"

namespace klarex::fuzz {
namespace {

struct Value {
  bool present = false;
  DWORD type = REG_NONE;
  std::string data;
};

const DWORD kTypes[] = {
    REG_NONE, REG_SZ,       REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_DWORD_BIG_ENDIAN,
    REG_LINK, REG_MULTI_SZ, REG_QWORD,     REG_SZ,     REG_DWORD, 0x1234};
const size_t kSizes[] = {0, 1, 2, 3, 4, 5, 7, 8, 518, 520, 521, 600, 16383, 65534, 65535, 70000};

Value RandomValue(Rng& rng) {
  Value v;
  v.present = !rng.OneIn(6);
  v.type = rng.Pick(kTypes);
  const size_t size = rng.OneIn(3) ? rng.Below(70001) : rng.Pick(kSizes);
  if (v.type == REG_DWORD && rng.OneIn(2)) {
    // Numbers near the edges of the rectangle's checks.
    static const int32_t kEdges[] = {0,      -1,     450,       451,       -32000, 32767, 32768,
                                     -32767, -32768, INT32_MIN, INT32_MAX, 800,    66};
    const int32_t n = rng.OneIn(3) ? static_cast<int32_t>(rng.Next()) : rng.Pick(kEdges);
    v.data.assign(reinterpret_cast<const char*>(&n), 4);
    return v;
  }
  if (rng.OneIn(2)) {
    std::string text = Encode(RandomText(rng, size / 4 + 1), Encoding::Utf16);
    if (rng.OneIn(2)) text += std::string(2, '\0');  // terminated
    v.data = text.substr(0, size);
  } else {
    for (size_t i = 0; i < size; ++i) v.data += static_cast<char>(rng.Below(256));
  }
  return v;
}

std::string Serialize(const std::vector<Value>& values) {
  std::string out;
  for (const Value& v : values) {
    PutU32(out, v.present);
    PutU32(out, v.type);
    PutU32(out, static_cast<uint32_t>(v.data.size()));
    out += v.data;
  }
  return out;
}

std::vector<Value> Parse(const std::string& in) {
  std::vector<Value> values;
  for (size_t at = 0; at + 12 <= in.size();) {
    Value v;
    v.present = GetU32(in, at) != 0;
    v.type = GetU32(in, at + 4);
    const size_t size = GetU32(in, at + 8);
    v.data = in.substr(at + 12, size);
    at += 12 + v.data.size();
    values.push_back(v);
  }
  return values;
}

std::wstring ScratchKey() {
  return L"Software\\KlarexTest\\fuzz-" + std::to_wstring(GetCurrentProcessId());
}

bool Store(const std::wstring& key, const wchar_t* name, const Value& v) {
  RegKey k;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, k.put(),
                      nullptr) != ERROR_SUCCESS)
    return false;
  RegDeleteValueW(k.get(), name);
  return !v.present ||
         RegSetValueExW(k.get(), name, 0, v.type, reinterpret_cast<const BYTE*>(v.data.data()),
                        static_cast<DWORD>(v.data.size())) == ERROR_SUCCESS;
}

// The text a reader should see: the value's characters up to the first NUL.
std::wstring TextOf(const Value& v) {
  std::wstring text(v.data.size() / 2, L'\0');
  memcpy(text.data(), v.data.data(), text.size() * 2);
  return text.substr(0, text.find(L'\0'));
}

std::string GenerateRegistryText(Rng& rng, uint64_t) { return Serialize({RandomValue(rng)}); }

std::string CheckRegistryText(const std::string& input) {
  const std::vector<Value> values = Parse(input);
  if (values.empty()) return {};
  const Value& v = values[0];
  if (!Store(ScratchKey(), L"v", v)) return {};  // a value the registry refuses is no case
  CRegTextValue reader(ScratchKey() + L"\\v", L"def", false, HKEY_CURRENT_USER);
  const std::wstring text = reader;
  const std::wstring viaMachine =
      Win32Machine().RegistryText(HKEY_CURRENT_USER, ScratchKey() + L"\\v", L"def");
  RegDeleteTreeW(HKEY_CURRENT_USER, ScratchKey().c_str());
  if (text.find(L'\0') != std::wstring::npos) return "a NUL inside the text";
  if (text != viaMachine) return "the machine's reading differs";
  const std::wstring expected = v.present ? TextOf(v) : L"def";
  if (text != expected)
    return "read " + std::to_string(text.size()) + " characters, stored " +
           std::to_string(expected.size());
  return {};
}

// --- Stored settings --------------------------------------------------------------------

const wchar_t* const kRectNames[] = {L"Left", L"Top", L"Width", L"Height"};

std::string GenerateSettings(Rng& rng, uint64_t) {
  std::vector<Value> values;
  for (int i = 0; i < 5; ++i) values.push_back(RandomValue(rng));
  if (rng.OneIn(2)) {  // a language setting as written by the program, or a layout
    static const wchar_t* const kTexts[] = {
        L"Default", L"C:\\lang\\italiano.lng", L"00000410", L"00000C04", L"", L"default"};
    values[4].present = true;
    values[4].type = REG_SZ;
    const std::wstring text = rng.Pick(kTexts);
    values[4].data = Encode(text, Encoding::Utf16) + std::string(2, '\0');
  }
  return Serialize(values);
}

bool IsDword(const Value& v) { return v.present && v.type == REG_DWORD && v.data.size() == 4; }

std::string CheckSettings(const std::string& input) {
  std::vector<Value> values = Parse(input);
  values.resize(5);
  const CProfile profile(L"KlarexTest", L"fuzz-" + std::to_wstring(GetCurrentProcessId()));
  const std::wstring root = profile.RootKey();
  for (int i = 0; i < 4; ++i) Store(root + L"\\Location", kRectNames[i], values[i]);
  Store(root + L"\\u", L"src", values[4]);
  const PlacementRect stored = ReadStoredWindowRect(profile);
  const PlacementRect chosen = ChooseWindowRect(stored);
  const std::wstring language = profile.GetString(L"u", L"src", std::wstring(kDefaultLanguage));
  const std::wstring layoutFile = LanguageFileForLayout(language);
  RegDeleteTreeW(HKEY_CURRENT_USER, root.c_str());

  const int read[] = {stored.left, stored.top, stored.width, stored.height};
  for (int i = 0; i < 4; ++i) {
    int32_t expected = 0;
    if (IsDword(values[i])) memcpy(&expected, values[i].data.data(), 4);
    if (read[i] != expected) return "a stored number read wrong";
  }
  if (!(chosen == kDefaultWindowRect)) {
    if (!(chosen == stored)) return "a rectangle neither stored nor the default";
    if (chosen.width <= 450 || chosen.width > 32767 || chosen.height <= 0 ||
        chosen.height > 32767 || chosen.left < -32767 || chosen.left > 32767 ||
        chosen.top < -32767 || chosen.top > 32767 || chosen.left == -32000)
      return "an unusable rectangle chosen";
  }
  if (!language.empty() && language.back() == L'\0') return "a NUL at the end of a text";
  const bool isText =
      values[4].present && (values[4].type == REG_SZ || values[4].type == REG_EXPAND_SZ);
  if (!isText && language != std::wstring(kDefaultLanguage))
    return "a non-text value taken as text";
  if (!layoutFile.empty() && layoutFile.find(L".lng") != layoutFile.size() - 4)
    return "a layout giving no language file";
  return {};
}

}  // namespace

const Target kRegistryText{"registry-text", GenerateRegistryText, CheckRegistryText};
const Target kSettings{"settings", GenerateSettings, CheckSettings};

}  // namespace klarex::fuzz
