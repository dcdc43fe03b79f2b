#include <windows.h>

#include "fuzz/fuzz.h"

namespace klarex::fuzz {

uint64_t Rng::Next() {
  uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

void Mutate(Rng& rng, std::string& bytes) {
  static const std::string kTokens[] = {
      "\r", "\n",       "\r\n",     std::string(1, '\0'), "[", "]", "=", "\\",
      "..", "\xff\xfe", "\xfe\xff", "\xef\xbb\xbf",       ";", "%"};
  const size_t edits = 1 + rng.Below(4);
  for (size_t e = 0; e < edits; ++e) {
    const size_t at = rng.Below(bytes.size() + 1);
    switch (rng.Below(7)) {
      case 0:
        if (!bytes.empty()) bytes[rng.Below(bytes.size())] ^= static_cast<char>(1 << rng.Below(8));
        break;
      case 1:
        bytes.insert(at, rng.Pick(kTokens));
        break;
      case 2:
        bytes.insert(at, std::string(1 + rng.Below(16), static_cast<char>(rng.Below(256))));
        break;
      case 3:
        bytes.erase(at, rng.Below(32));
        break;
      case 4:
        if (at < bytes.size()) bytes.insert(at, bytes.substr(at, rng.Below(200)));
        break;
      case 5:
        bytes.resize(rng.Below(bytes.size() + 1));  // cut short, often to an odd length
        break;
      default:
        bytes.insert(at, std::string(1, '\0'));
        break;
    }
  }
}

std::string Encode(const std::wstring& text, Encoding encoding) {
  std::string out;
  switch (encoding) {
    case Encoding::Utf16Bom:
    case Encoding::Utf16:
    case Encoding::Utf16BigEndianBom: {
      const bool big = encoding == Encoding::Utf16BigEndianBom;
      if (encoding != Encoding::Utf16) out = big ? "\xfe\xff" : "\xff\xfe";
      for (wchar_t c : text) {
        const char lo = static_cast<char>(c & 0xff), hi = static_cast<char>(c >> 8);
        out += big ? hi : lo;
        out += big ? lo : hi;
      }
      return out;
    }
    case Encoding::Utf8Bom:
    case Encoding::Utf8:
    case Encoding::Ansi: {
      const UINT page = encoding == Encoding::Ansi ? CP_ACP : CP_UTF8;
      const int n = WideCharToMultiByte(page, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
      out.resize(n > 0 ? n : 0);
      if (n > 0)
        WideCharToMultiByte(page, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                            nullptr, nullptr);
      return encoding == Encoding::Utf8Bom ? "\xef\xbb\xbf" + out : out;
    }
  }
  return out;
}

Encoding PickEncoding(Rng& rng) {
  static const Encoding kAll[] = {
      Encoding::Utf16Bom, Encoding::Utf16Bom, Encoding::Utf16, Encoding::Utf16BigEndianBom,
      Encoding::Utf8Bom,  Encoding::Utf8,     Encoding::Ansi};
  return rng.Pick(kAll);
}

std::wstring WithLineEnds(Rng& rng, const std::wstring& text) {
  static const wchar_t* const kEnds[] = {L"\r\n", L"\n", L"\r"};
  const wchar_t* end = rng.Pick(kEnds);
  std::wstring out;
  for (wchar_t c : text) {
    if (c == L'\n') {
      out += end;
    } else {
      out += c;
    }
  }
  return out;
}

std::wstring RandomText(Rng& rng, size_t typicalLength) {
  static const wchar_t* const kPieces[] = {
      L"a",  L"Z",      L"0",      L".",  L" ", L"..",     L"\\",     L"/",
      L"[",  L"]",      L"=",      L";",  L":", L"\x00e9", L"\x65e5", L"\xD83D\xDE00",
      L"~1", L"\xD800", L"\xDC00", L"\t", L"%", L"*",      L"?",      L"\xFEFF"};
  std::wstring out;
  const size_t length = rng.OneIn(1000) ? 200000 : rng.Below(typicalLength * 2 + 1);
  if (rng.OneIn(30)) out.push_back(L'\0');
  while (out.size() < length) out += rng.Pick(kPieces);
  return out;
}

void PutU32(std::string& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>(value >> (8 * i));
}

uint32_t GetU32(const std::string& in, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4 && at + i < in.size(); ++i)
    value |= static_cast<uint32_t>(static_cast<unsigned char>(in[at + i])) << (8 * i);
  return value;
}

const std::vector<Target>& Targets() {
  static const std::vector<Target> kAll = {kLanguage,     kIni,      kProfilesIni, kDefinitions,
                                           kRegistryText, kSettings, kPlaces,      kNames};
  return kAll;
}

}  // namespace klarex::fuzz
