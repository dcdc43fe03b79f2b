// Definition files: reading the shipped and the user's folders, and the texts
// that name places and problems.
#include "engine/definitions.h"

#include <windows.h>

#include <algorithm>

#include "engine/definitions_rules.h"
#include "sys/handles.h"
#include "sys/paths.h"

namespace klarex {

namespace {

constexpr ProblemText kProblemTexts[] = {
    {L"FileUnreadable", L"the file cannot be read"},
    {L"FileTooLarge", L"the file is larger than 1 MB"},
    {L"NotText", L"the file is not UTF-8 or UTF-16 text"},
    {L"OutsideSection", L"a line before the first [section]"},
    {L"NotKeyValue", L"a line that is not a [section], a key = value or a ; comment"},
    {L"BadSectionHeader", L"a section header is a name of at most 100 characters between [ and ]"},
    {L"SectionTwice", L"a second section of the same name in one file"},
    {L"UnknownKey", L"an unknown key (the keys are program, process, mode, place, action, mask)"},
    {L"KeyTwice", L"a key given twice in one section"},
    {L"EmptyValue", L"a key without a value"},
    {L"BadMode", L"the mode is standard, cookies or offline"},
    {L"BadAction", L"the action is whole, files or tree"},
    {L"BadProgramName", L"the program's name has at most 100 characters and no control characters"},
    {L"BadProcessName", L"the process is a program file name such as msedge.exe"},
    {L"MissingKey", L"a section needs program, mode, place and action"},
    {L"MaskMissing", L"the actions files and tree need a mask"},
    {L"MaskWithWhole", L"the action whole takes no mask"},
    {L"RelativePath", L"a relative path: a place starts with a root such as %LOCALAPPDATA%"},
    {L"AbsolutePath", L"an absolute path: a place starts with a root such as %LOCALAPPDATA%"},
    {L"UnknownRoot",
     L"an unknown root (the roots are %LOCALAPPDATA%, %APPDATA%, %PROGRAMDATA%, %WINDIR%, "
     L"%USERPROFILE%, %PROGRAMFILES% and %PROGRAMFILES(X86)%)"},
    {L"RootItself", L"the root itself, which holds every program's data"},
    {L"DotComponent", L"a . or .. component, which leads out of the place"},
    {L"EmptyComponent", L"an empty component (two backslashes together, or one at the end)"},
    {L"BadCharacter",
     L"a character that a place cannot hold (/ : ; < > \" | % or a control character)"},
    {L"DotOrSpaceAtEnd", L"a name ending in a dot or a blank, which Windows reads as another name"},
    {L"NameTooLong", L"a name longer than 255 characters"},
    {L"PartialWildcard", L"* stands alone, for one whole folder name; ? is not used in places"},
    {L"WildcardBelowRoot", L"a * right below the root, which would reach every program's folder"},
    {L"TooManyWildcards", L"more than two * in one place"},
    {L"WildcardTakenWhole", L"a * at the end taken whole, which would take every folder beside it"},
    {L"UserFolder",
     L"a user's own folder (Documents, Desktop, Pictures, Music, Videos, Downloads...)"},
    {L"OutsideLocalLow", L"below %USERPROFILE% only AppData\\LocalLow is open to definitions"},
    {L"WindowsSystem",
     L"below %WINDIR% only its folders of logs, dumps and temporary files are open"},
    {L"InstalledProgram", L"a program's installed folder itself"},
    {L"SealedFolder",
     L"a folder of the user's keys, credentials, mail, notes or settings, or one above it"},
    {L"HoldsProfiles",
     L"a folder that holds browser profiles or many programs' data, or one above it"},
    {L"ProfileTakenWhole", L"a profile folder taken whole"},
    {L"EveryFileOfProfile", L"every file at the top of a profile folder"},
    {L"TreeOverProfile", L"a tree walk over a whole profile folder"},
    {L"SavedData",
     L"data a program keeps for its user (passwords, bookmarks, history, settings, sessions, "
     L"extensions, mail)"},
    {L"CookiesInOtherMode", L"cookies and site storage, which belong to the cookies mode"},
    {L"BadMask",
     L"a mask is one name with * and ? (no \\ / : ; \" < > |, no blank at its ends, no dot at its "
     L"end)"},
    {L"TreeMaskShape",
     L"a tree mask is a name, *.*, or * and the end of a name (*.log): it is matched against whole "
     L"paths"},
};
static_assert(std::size(kProblemTexts) == static_cast<size_t>(Problem::TreeMaskShape) + 1);

// The *.ini files of a folder by their long names (a search for "*.ini" also
// finds "x.initial" through its 8.3 name), in name order; links and folders
// are passed over.
std::vector<std::wstring> DefinitionFiles(const std::wstring& folder) {
  std::vector<std::wstring> names;
  const std::wstring exact = ExactPath(folder);
  if (exact.empty()) return names;
  WIN32_FIND_DATAW entry;
  FindHandle search(FindFirstFileW((exact + L"\\*").c_str(), &entry));
  if (!search) return names;
  do {
    const DWORD attributes = entry.dwFileAttributes;
    if (!(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
        MatchesMask(entry.cFileName, L"*.ini"))
      names.emplace_back(entry.cFileName);
  } while (FindNextFileW(search.get(), &entry));
  std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_LESS_THAN;
  });
  return names;
}

// The file's bytes, by its exact name; `tooLarge` when it holds more than
// ParseDefinitions takes (nothing of it is read then).
bool ReadFileBytes(const std::wstring& path, std::string& bytes, bool& tooLarge) {
  FileHandle file(CreateFileW(ExactPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size;
  if (!file || !GetFileSizeEx(file.get(), &size)) return false;
  tooLarge = static_cast<uint64_t>(size.QuadPart) > kMaxDefinitionFileBytes;
  if (tooLarge) return true;
  bytes.resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!bytes.empty() &&
      !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
    return false;
  bytes.resize(read);
  return true;
}

void LoadFolder(const std::wstring& folder, DefinitionSet& set) {
  if (folder.empty()) return;
  for (const std::wstring& name : DefinitionFiles(folder)) {
    // Not JoinPath: the folder may be a long or "\\?\" path.
    const std::wstring path = folder + (folder.back() == L'\\' ? L"" : L"\\") + name;
    std::string bytes;
    bool tooLarge = false;
    if (!ReadFileBytes(path, bytes, tooLarge))
      set.refusals.push_back({path, 0, {}, Problem::FileUnreadable, {}});
    else if (tooLarge)
      set.refusals.push_back({path, 0, {}, Problem::FileTooLarge, {}});
    else
      ParseDefinitions(bytes, path, set);
  }
}

}  // namespace

ProblemText DescribeProblem(Problem problem) { return kProblemTexts[static_cast<size_t>(problem)]; }

std::wstring PlaceText(const Place& place) {
  std::wstring text = RootText(place.root);
  for (const std::wstring& name : place.components) text += L'\\' + name;
  return text;
}

std::vector<Program> DefinitionSet::Programs() const {
  std::vector<Program> programs;
  for (const Place& place : places)
    if (std::find(programs.begin(), programs.end(), place.program) == programs.end())
      programs.push_back(place.program);
  return programs;
}

DefinitionSet LoadDefinitions(const std::wstring& shippedFolder, const std::wstring& userFolder) {
  DefinitionSet set;
  LoadFolder(shippedFolder, set);
  LoadFolder(userFolder, set);
  return set;
}

std::wstring ShippedDefinitionFolder() {
  // Long enough for a program installed deep down; a cut name finds nothing.
  std::wstring path(32768, L'\0');
  const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(n < path.size() ? n : 0);
  const size_t slash = path.rfind(L'\\');
  if (slash == std::wstring::npos) return {};
  return path.substr(0, slash + 1) + L"cleaners";
}

std::wstring UserDefinitionFolder(const Catalogue& catalogue) {
  return JoinPath(catalogue.appDataDir, L"Klarex\\cleaners");
}

}  // namespace klarex
