// The console program's command line: verbs, modes, categories and options,
// checked before anything is scanned or deleted.
#pragma once
#include <string>
#include <vector>

#include "engine/cleaning_mode.h"
#include "engine/privacy_run.h"

namespace klarex::cmd {

enum class Verb { List, Clean, Privacy, Help, Version };
enum class Format { Text, Csv, Json };

struct Arguments {
  Verb verb = Verb::Help;
  CleaningMode mode = CleaningMode::Standard;  // list and clean
  CategoryFlags categories{};                  // privacy
  Format format = Format::Text;                // list
  bool recycle = false;                        // clean
  bool dryRun = false;                         // clean and privacy
  bool yes = false;                            // clean and privacy
};

// What the command line asks for, or why it cannot be run (`error` not empty).
struct ParsedArguments {
  Arguments arguments;
  std::wstring error;
};

// `words` are the arguments after the program's name. Verbs, modes, categories
// and formats are read without regard to case; options are written as shown
// in the usage (`--format csv` or `--format=csv`).
ParsedArguments ParseArguments(const std::vector<std::wstring>& words);

// The usage text, one line per form, ending in a line break.
std::wstring UsageText();

// The mode's word as written on the command line ("standard", ...).
const wchar_t* ModeWord(CleaningMode mode);

}  // namespace klarex::cmd
