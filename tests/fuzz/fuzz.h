// Seeded generators for the parsers of outside data and the one loop that runs
// them. Each case's input follows from its seed alone, so a failing case is
// reproduced by its number (klarex_fuzz --target <name> --case <n>).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace klarex::fuzz {

// SplitMix64: small, fast and the same on every machine.
class Rng {
 public:
  explicit Rng(uint64_t seed) : m_state(seed) {}
  uint64_t Next();
  // 0 .. n-1 (0 for n = 0).
  size_t Below(size_t n) { return n ? static_cast<size_t>(Next() % n) : 0; }
  bool OneIn(size_t n) { return Below(n) == 0; }
  template <class T, size_t N>
  const T& Pick(const T (&table)[N]) {
    return table[Below(N)];
  }
  template <class T>
  const T& Pick(const std::vector<T>& table) {
    return table[Below(table.size())];
  }

 private:
  uint64_t m_state;
};

// Byte-level damage: flips, inserted and removed runs, repeated chunks, cuts,
// NULs, CRs and lone bytes of UTF-16 characters. A few edits per call.
void Mutate(Rng& rng, std::string& bytes);

// Texts as files hold them.
enum class Encoding { Utf16Bom, Utf16, Utf16BigEndianBom, Utf8Bom, Utf8, Ansi };
std::string Encode(const std::wstring& text, Encoding encoding);
Encoding PickEncoding(Rng& rng);
// Line ends of `text` ("\n") as CRLF, LF or CR only.
std::wstring WithLineEnds(Rng& rng, const std::wstring& text);
// A name-like run of characters: letters, dots, blanks, brackets, '=', NULs,
// characters beyond the BMP and lone surrogates; now and then 200,000 long.
std::wstring RandomText(Rng& rng, size_t typicalLength);

// A scratch folder of the run, removed by the driver afterwards.
const std::wstring& WorkFolder();

// One parser of outside data. `generate` makes the bytes of a case;
// `check` feeds them to the parser and returns what broke (empty: every
// invariant held). A case over `limitMs` is a failure too.
struct Target {
  const char* name;
  std::string (*generate)(Rng& rng, uint64_t index);
  std::string (*check)(const std::string& input);
  unsigned limitMs = 10000;
};

const std::vector<Target>& Targets();

// The parsers, one table entry each (fuzz_*.cpp).
extern const Target kLanguage, kIni, kProfilesIni, kDefinitions;
extern const Target kRegistryText, kSettings;
extern const Target kPlaces;
extern const Target kNames;

// Little-endian helpers for inputs that carry a type and a payload.
void PutU32(std::string& out, uint32_t value);
uint32_t GetU32(const std::string& in, size_t at);

}  // namespace klarex::fuzz
