#include "cmd/arguments.h"

#include <windows.h>

#include <optional>

namespace klarex::cmd {
namespace {

struct Word {
  const wchar_t* text;
  int value;
};

constexpr Word kVerbs[] = {{L"list", static_cast<int>(Verb::List)},
                           {L"clean", static_cast<int>(Verb::Clean)},
                           {L"privacy", static_cast<int>(Verb::Privacy)}};
constexpr Word kModes[] = {{L"standard", static_cast<int>(CleaningMode::Standard)},
                           {L"cookies", static_cast<int>(CleaningMode::Cookies)},
                           {L"offline", static_cast<int>(CleaningMode::Offline)}};
constexpr Word kCategories[] = {{L"url", kUrlHistory},  {L"autocomplete", kAutoComplete},
                                {L"run", kRunHistory},  {L"find", kFindHistory},
                                {L"typed", kTypedUrls}, {L"recent", kRecentDocuments}};
constexpr Word kFormats[] = {{L"text", static_cast<int>(Format::Text)},
                             {L"csv", static_cast<int>(Format::Csv)},
                             {L"json", static_cast<int>(Format::Json)}};

template <std::size_t N>
std::optional<int> Find(const Word (&words)[N], const std::wstring& text) {
  for (const Word& word : words) {
    if (::CompareStringOrdinal(word.text, -1, text.c_str(), static_cast<int>(text.size()), TRUE) ==
        CSTR_EQUAL)
      return word.value;
  }
  return std::nullopt;
}

ParsedArguments Fail(std::wstring reason) { return {{}, std::move(reason)}; }

// The options each verb takes.
bool Takes(Verb verb, const std::wstring& option) {
  if (option == L"--format") return verb == Verb::List;
  if (option == L"--recycle") return verb == Verb::Clean;
  if (option == L"--dry-run" || option == L"--yes")
    return verb == Verb::Clean || verb == Verb::Privacy;
  return false;
}

std::wstring VerbWord(Verb verb) {
  for (const Word& word : kVerbs) {
    if (word.value == static_cast<int>(verb)) return word.text;
  }
  return {};
}

}  // namespace

const wchar_t* ModeWord(CleaningMode mode) {
  for (const Word& word : kModes) {
    if (word.value == static_cast<int>(mode)) return word.text;
  }
  return L"";
}

std::wstring UsageText() {
  return L"Usage:\r\n"
         L"  KlarexCmd list <standard|cookies|offline> [--format text|csv|json]\r\n"
         L"  KlarexCmd clean <standard|cookies|offline> [--recycle] [--dry-run] [--yes]\r\n"
         L"  KlarexCmd privacy <autocomplete|find|recent|run|typed|url>... [--dry-run] [--yes]\r\n"
         L"  KlarexCmd --help | --version\r\n";
}

ParsedArguments ParseArguments(const std::vector<std::wstring>& words) {
  if (words.empty()) return Fail(L"no command given");
  const std::wstring& first = words[0];
  if (first == L"--help" || first == L"-h" || first == L"/?") {
    if (words.size() > 1) return Fail(L"--help takes nothing after it");
    return {{.verb = Verb::Help}, {}};
  }
  if (first == L"--version") {
    if (words.size() > 1) return Fail(L"--version takes nothing after it");
    return {{.verb = Verb::Version}, {}};
  }
  const std::optional<int> verb = Find(kVerbs, first);
  if (!verb) return Fail(L"unknown command '" + first + L"'");
  Arguments args;
  args.verb = static_cast<Verb>(*verb);
  bool haveMode = false, haveCategory = false, haveFormat = false;
  for (std::size_t i = 1; i < words.size(); ++i) {
    std::wstring word = words[i];
    if (word.starts_with(L"-")) {
      std::optional<std::wstring> value;
      if (const std::size_t equals = word.find(L'='); equals != std::wstring::npos) {
        value = word.substr(equals + 1);
        word.resize(equals);
      }
      if (!Takes(args.verb, word))
        return Fail(L"unknown option '" + word + L"' for " + VerbWord(args.verb));
      if (word == L"--format") {
        if (!value) {
          if (i + 1 == words.size()) return Fail(L"--format needs text, csv or json");
          value = words[++i];
        }
        const std::optional<int> format = Find(kFormats, *value);
        if (!format) return Fail(L"unknown format '" + *value + L"'");
        if (haveFormat) return Fail(L"--format given twice");
        args.format = static_cast<Format>(*format);
        haveFormat = true;
        continue;
      }
      if (value) return Fail(L"option '" + word + L"' takes no value");
      if (word == L"--recycle") args.recycle = true;
      if (word == L"--dry-run") args.dryRun = true;
      if (word == L"--yes") args.yes = true;
      continue;
    }
    if (args.verb == Verb::Privacy) {
      const std::optional<int> category = Find(kCategories, word);
      if (!category) return Fail(L"unknown privacy category '" + word + L"'");
      args.categories[static_cast<std::size_t>(*category)] = 1;
      haveCategory = true;
      continue;
    }
    const std::optional<int> mode = Find(kModes, word);
    if (!mode) return Fail(L"unknown mode '" + word + L"'");
    if (haveMode) return Fail(L"more than one mode given");
    args.mode = static_cast<CleaningMode>(*mode);
    haveMode = true;
  }
  if (args.verb == Verb::Privacy && !haveCategory) return Fail(L"privacy needs a category");
  if (args.verb != Verb::Privacy && !haveMode)
    return Fail(VerbWord(args.verb) + L" needs a mode: standard, cookies or offline");
  return {args, {}};
}

}  // namespace klarex::cmd
