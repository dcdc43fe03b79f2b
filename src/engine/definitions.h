// Definition files: places of today's programs, in a small INI-like text
// format anyone can read (README, "Definition files"). They are read once at
// start-up into a DefinitionSet that holds the places that passed the safety
// rules and, for everything else, a refusal naming file, line and reason; the
// places of a mode are scanned after that mode's own steps, with the scanner's
// steps, so the link, 8.3 and exact-name rules are those of the built-in scans.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "engine/catalogue.h"
#include "engine/cleaning_mode.h"
#include "engine/found_item_sink.h"
#include "sys/machine.h"

namespace klarex {

// Where a place starts; written %NAME% in a file.
enum class PlaceRoot {
  LocalAppData,     // %LOCALAPPDATA%
  AppData,          // %APPDATA%
  ProgramData,      // %PROGRAMDATA%
  WinDir,           // %WINDIR%
  UserProfile,      // %USERPROFILE% (only AppData\LocalLow below it)
  ProgramFiles,     // %PROGRAMFILES%
  ProgramFilesX86,  // %PROGRAMFILES(X86)%
};

enum class PlaceAction {
  Whole,  // the file or folder itself
  Files,  // the entries of the folder whose names match the mask
  Tree,   // every non-empty file and folder below it whose name matches the mask
};

struct Program {
  std::wstring name;     // display name, "Microsoft Edge"
  std::wstring process;  // program file of its process, "msedge.exe"; empty for none
  bool operator==(const Program&) const = default;
};

inline constexpr wchar_t kAnyFolder[] = L"*";

struct Place {
  std::wstring file;     // the definition file's name
  std::wstring section;  // the section's name
  int line = 0;          // of the section's header
  Program program;
  CleaningMode mode = CleaningMode::Standard;
  PlaceRoot root = PlaceRoot::LocalAppData;
  std::vector<std::wstring> components;  // below the root; kAnyFolder for any one folder
  PlaceAction action = PlaceAction::Whole;
  std::wstring mask;  // for Files and Tree
};

// Why a file, a line or a section was refused. DescribeProblem gives the text.
enum class Problem {
  // the file
  FileUnreadable,
  FileTooLarge,
  NotText,
  // a line
  OutsideSection,
  NotKeyValue,
  BadSectionHeader,
  SectionTwice,
  UnknownKey,
  KeyTwice,
  EmptyValue,
  BadMode,
  BadAction,
  BadProgramName,
  BadProcessName,
  // a section
  MissingKey,
  MaskMissing,
  MaskWithWhole,
  // the place's spelling
  RelativePath,
  AbsolutePath,
  UnknownRoot,
  RootItself,
  DotComponent,
  EmptyComponent,
  BadCharacter,
  DotOrSpaceAtEnd,
  NameTooLong,
  PartialWildcard,
  WildcardBelowRoot,
  TooManyWildcards,
  WildcardTakenWhole,
  // where the place leads
  UserFolder,
  OutsideLocalLow,
  WindowsSystem,
  InstalledProgram,
  SealedFolder,
  HoldsProfiles,
  ProfileTakenWhole,
  EveryFileOfProfile,
  TreeOverProfile,
  SavedData,
  CookiesInOtherMode,
  // the mask
  BadMask,
  TreeMaskShape,
};

struct Refusal {
  std::wstring file;
  int line = 0;          // 0: the whole file
  std::wstring section;  // empty for a file or a line outside any section
  Problem problem = Problem::NotText;
  std::wstring detail;  // the word, name or key at fault; may be empty
};

// What start-up reads: the places in file order (shipped files by name, then
// the user's), and every refusal.
struct DefinitionSet {
  std::vector<Place> places;
  std::vector<Refusal> refusals;

  // The programs named by the places, each once, in order of first mention.
  std::vector<Program> Programs() const;
};

// The text of a problem: a language-file key (section "Definitions") and its
// English default.
struct ProblemText {
  const wchar_t* key;
  const wchar_t* english;
};
ProblemText DescribeProblem(Problem problem);

// The place as written in a file, "%LOCALAPPDATA%\D3DSCache".
std::wstring PlaceText(const Place& place);

// The largest definition file read.
inline constexpr size_t kMaxDefinitionFileBytes = 1 << 20;

// Adds the places and refusals of one file's bytes (UTF-8, with or without a
// byte-order mark, or UTF-16LE with one). Never fails: what is bad is refused.
void ParseDefinitions(std::string_view bytes, const std::wstring& fileName, DefinitionSet& out);

// Reads every *.ini file of the shipped folder (`cleaners` beside the
// program), then of the user's folder (UserDefinitionFolder), each in name
// order. A missing folder adds nothing; a file that cannot be read is one
// refusal and changes nothing else.
DefinitionSet LoadDefinitions(const std::wstring& shippedFolder, const std::wstring& userFolder);

// The shipped definition files' folder: `cleaners` beside the running
// program (Klarex.exe and KlarexCmd.exe read the same one).
std::wstring ShippedDefinitionFolder();

// %APPDATA%\Klarex\cleaners; empty when the roaming folder is unresolved.
std::wstring UserDefinitionFolder(const Catalogue& catalogue);

// Scans the places of `mode`, in order, into the sink (without ending the
// scan). Roots come from the catalogue and the machine; a place that resolves
// to a root, a user's folder or an ancestor of one on this machine, or leads
// through a link, is passed over.
void ScanDefinitions(CleaningMode mode, const std::vector<Place>& places,
                     const Catalogue& catalogue, IMachine& machine, IFoundItemSink& sink);

}  // namespace klarex
