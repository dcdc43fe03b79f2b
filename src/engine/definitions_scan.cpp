// Scanning the places of definition files. Roots come from the catalogue and
// the machine; a `*` stands for the real folders below (never links, never a
// guarded name); a fixed name must be an entry's exact long name, not its 8.3
// one; each resolved place is checked against the machine's own protected
// folders before a scanner step runs on it, and what the step finds below the
// place passes the guarded names once more.
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <array>

#include "engine/definitions.h"
#include "engine/definitions_rules.h"
#include "engine/scanner.h"
#include "sys/handles.h"
#include "sys/paths.h"

namespace klarex {

namespace {

constexpr size_t kMaxPathChars = MAX_PATH - 1;

// A folder of the machine without a trailing backslash, or empty when it is
// unresolved ("null", relative, too long).
std::wstring Resolved(std::wstring path) {
  if (path == L"null" || path.size() > kMaxPathChars || PathIsRelativeW(path.c_str())) return {};
  if (path.size() > 3 && path.back() == L'\\') path.pop_back();
  return path;
}

std::wstring SpecialFolder(IMachine& machine, int csidl) {
  std::wstring path;
  return machine.SpecialFolder(csidl, path) ? Resolved(path) : std::wstring();
}

// `a` is `b` or a folder above it.
bool IsAtOrAbove(const std::wstring& a, const std::wstring& b) {
  if (a.empty() || a.size() > b.size() || !SameText(a, b.substr(0, a.size()))) return false;
  return a.size() == b.size() || b[a.size()] == L'\\' || a.back() == L'\\';
}

class Roots {
 public:
  Roots(const Catalogue& c, IMachine& machine) {
    Set(PlaceRoot::LocalAppData, Resolved(c.localAppDataDir));
    Set(PlaceRoot::AppData, Resolved(c.appDataDir));
    Set(PlaceRoot::ProgramData, SpecialFolder(machine, CSIDL_COMMON_APPDATA));
    Set(PlaceRoot::WinDir, Resolved(c.windowsDir));
    Set(PlaceRoot::UserProfile, SpecialFolder(machine, CSIDL_PROFILE));
    Set(PlaceRoot::ProgramFiles, Resolved(c.programFilesDir));
    Set(PlaceRoot::ProgramFilesX86, SpecialFolder(machine, CSIDL_PROGRAM_FILESX86));
  }
  const std::wstring& Of(PlaceRoot root) const { return m_paths[static_cast<size_t>(root)]; }
  const std::array<std::wstring, 7>& All() const { return m_paths; }

 private:
  void Set(PlaceRoot root, std::wstring path) {
    m_paths[static_cast<size_t>(root)] = std::move(path);
  }
  std::array<std::wstring, 7> m_paths;
};

// The machine's own folders that no resolved place may be, or lie above
// (roots, AppData, folders of profiles); the user's folders and the sealed
// ones it may not lie below either. Folder redirection moves them anywhere.
class MachineGuard {
 public:
  MachineGuard(const Roots& roots, IMachine& machine) {
    for (const std::wstring& root : roots.All()) Above(root);
    const std::wstring& profile = roots.Of(PlaceRoot::UserProfile);
    Above(JoinPath(profile, L"AppData"));
    Above(JoinPath(profile, L"AppData\\LocalLow"));
    Inside(JoinPath(profile, L"Downloads"));
    for (int csidl :
         {CSIDL_PERSONAL, CSIDL_DESKTOPDIRECTORY, CSIDL_MYPICTURES, CSIDL_MYMUSIC, CSIDL_MYVIDEO,
          CSIDL_FAVORITES, CSIDL_COMMON_DOCUMENTS, CSIDL_COMMON_DESKTOPDIRECTORY,
          CSIDL_COMMON_PICTURES, CSIDL_COMMON_MUSIC, CSIDL_COMMON_VIDEO})
      Inside(SpecialFolder(machine, csidl));
    for (const RootedFolder& folder : ProtectedFolders()) {
      const std::wstring path = JoinPath(roots.Of(folder.root), folder.path);
      folder.sealed ? Inside(path) : Above(path);
    }
  }

  bool Allows(const std::wstring& place) const {
    if (place.size() <= 3) return false;  // a drive
    for (const auto* list : {&m_above, &m_inside})
      for (const std::wstring& folder : *list)
        if (IsAtOrAbove(place, folder)) return false;
    for (const std::wstring& folder : m_inside)
      if (IsAtOrAbove(folder, place)) return false;
    return true;
  }

 private:
  void Above(const std::wstring& folder) {
    if (!folder.empty()) m_above.push_back(folder);
  }
  void Inside(const std::wstring& folder) {
    if (!folder.empty()) m_inside.push_back(folder);
  }
  std::vector<std::wstring> m_above;
  std::vector<std::wstring> m_inside;
};

// Passes on what a scanner step finds below one resolved place, except what
// lies at or below a guarded name there (a tree walk that meets a profile, a
// browser's saved data or, outside the cookies mode, site storage).
class PlaceSink final : public IFoundItemSink {
 public:
  PlaceSink(IFoundItemSink& out, const std::wstring& place, CleaningMode mode)
      : m_out(out), m_place(place), m_mode(mode) {}

  void Add(const FoundItem& item) override {
    const std::wstring path = item.cFileName;
    if (!IsAtOrAbove(m_place, path)) return;
    for (size_t start = m_place.size() + 1; start < path.size();) {
      size_t end = path.find(L'\\', start);
      if (end == std::wstring::npos) end = path.size();
      if (IsGuardedName(path.substr(start, end - start), m_mode, false)) return;
      start = end + 1;
    }
    m_out.Add(item);
  }
  void EndOfScan() override {}

 private:
  IFoundItemSink& m_out;
  const std::wstring& m_place;
  CleaningMode m_mode;
};

bool IsLink(DWORD attributes) { return attributes & FILE_ATTRIBUTE_REPARSE_POINT; }
bool IsFolder(DWORD attributes) { return attributes & FILE_ATTRIBUTE_DIRECTORY; }

// The folders a `*` stands for below `folder`: real folders by their long
// names, in name order. Names ending in a dot or a blank are passed over, as
// the scanner's steps would read them as other names.
void AddAnyFolder(const std::wstring& folder, CleaningMode mode, std::vector<std::wstring>& out) {
  const std::wstring exact = ExactPath(folder);
  if (exact.empty()) return;
  WIN32_FIND_DATAW entry;
  FindHandle search(FindFirstFileW((exact + L"\\*").c_str(), &entry));
  if (!search) return;
  std::vector<std::wstring> names;
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L".." || !IsFolder(entry.dwFileAttributes) ||
        IsLink(entry.dwFileAttributes) || name.back() == L'.' || name.back() == L' ' ||
        IsGuardedName(name, mode, true))
      continue;
    names.push_back(name);
  } while (FindNextFileW(search.get(), &entry));
  std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_LESS_THAN;
  });
  for (const std::wstring& name : names) {
    std::wstring path = JoinPath(folder, name);
    if (!path.empty()) out.push_back(std::move(path));
  }
}

// `folder`\`name` when an entry of exactly that long name is there, is no
// link, and is a folder if `folderOnly`.
void AddNamed(const std::wstring& folder, const std::wstring& name, bool folderOnly,
              std::vector<std::wstring>& out) {
  std::wstring path = JoinPath(folder, name);
  const std::wstring exact = ExactPath(path);
  if (exact.empty()) return;
  WIN32_FIND_DATAW entry;
  FindHandle search(FindFirstFileW(exact.c_str(), &entry));
  if (!search || !SameText(entry.cFileName, name) || IsLink(entry.dwFileAttributes)) return;
  if (folderOnly && !IsFolder(entry.dwFileAttributes)) return;
  out.push_back(std::move(path));
}

// The paths the place stands for on this machine.
std::vector<std::wstring> Resolve(const Place& place, const Roots& roots) {
  std::vector<std::wstring> paths;
  if (!roots.Of(place.root).empty()) paths.push_back(roots.Of(place.root));
  for (size_t i = 0; i < place.components.size() && !paths.empty(); ++i) {
    const std::wstring& name = place.components[i];
    const bool folderOnly = i + 1 < place.components.size() || place.action != PlaceAction::Whole;
    std::vector<std::wstring> next;
    for (const std::wstring& folder : paths) {
      if (name == kAnyFolder)
        AddAnyFolder(folder, place.mode, next);
      else
        AddNamed(folder, name, folderOnly, next);
    }
    paths = std::move(next);
  }
  return paths;
}

void ScanPlace(const Place& place, const Roots& roots, const MachineGuard& guard,
               IFoundItemSink& sink) {
  for (const std::wstring& path : Resolve(place, roots)) {
    if (!guard.Allows(path)) continue;
    PlaceSink below(sink, path, place.mode);
    switch (place.action) {
      case PlaceAction::Whole:
        AddPath(below, path);
        break;
      case PlaceAction::Files:
        ScanFolder(below, path, place.mask.c_str());
        break;
      case PlaceAction::Tree:
        ScanTree(below, path, place.mask.c_str());
        break;
    }
  }
}

}  // namespace

void ScanDefinitions(CleaningMode mode, const std::vector<Place>& places,
                     const Catalogue& catalogue, IMachine& machine, IFoundItemSink& sink) {
  if (std::none_of(places.begin(), places.end(), [&](const Place& p) { return p.mode == mode; }))
    return;
  const Roots roots(catalogue, machine);
  const MachineGuard guard(roots, machine);
  for (const Place& place : places)
    if (place.mode == mode) ScanPlace(place, roots, guard, sink);
}

}  // namespace klarex
