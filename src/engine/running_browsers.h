// The running-program guard: a deletion or an Advance clean-up must not pull
// files from under a browser (or a program of the definition files) that is
// running and holds them. Which programs a run touches is decided here from
// the paths it would delete and the Advance categories it would run; which of
// them run comes from the process list (sys/processes.h).
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "engine/catalogue.h"
#include "engine/definitions.h"
#include "sys/machine.h"

namespace klarex {

// The built-in browsers, one bit each: what an Advance category's direct
// steps reach, and which of them the privacy scans are to leave alone.
enum BrowserBits : unsigned {
  kBrowserFirefox = 1u << 0,
  kBrowserChrome = 1u << 1,
  kBrowserEdge = 1u << 2,
  kBrowserOpera = 1u << 3,
  kBrowserInternetExplorer = 1u << 4,
  kBrowserSafari = 1u << 5,
};

// A program whose places the guard knows.
struct WatchedProgram {
  std::wstring name;                    // "Mozilla Firefox", shown to the user
  std::vector<std::wstring> processes;  // "firefox.exe"
  std::vector<std::wstring> folders;    // at or under one of them: the program's
  unsigned browser = 0;                 // its BrowserBits; 0 for a definition's program
};

// The six built-in browsers with their folders of this machine's catalogue
// (and the shell's History, Cookies and Temporary Internet Files folders for
// Internet Explorer).
std::vector<WatchedProgram> BuiltInBrowsers(const Catalogue& catalogue, IMachine& machine);
// The programs of definition places that name a process; a place's folder is
// its root and the names before its first "*". Programs of the same name are
// joined.
std::vector<WatchedProgram> DefinitionPrograms(const std::vector<Place>& places,
                                               const Catalogue& catalogue, IMachine& machine);

// The path is one of the folders or lies beneath one (whole components,
// without regard to case).
bool IsUnderFolder(const std::wstring& path, const std::wstring& folder);
bool TouchesProgram(const WatchedProgram& program, const std::wstring& path);
// One of its processes is in `running` (compared without regard to case).
bool IsRunning(const WatchedProgram& program, const std::vector<std::wstring>& running);

// Indices of the running programs that own one of `paths`.
std::vector<size_t> RunningOwners(const std::vector<WatchedProgram>& programs,
                                  const std::vector<std::wstring>& running,
                                  const std::vector<std::wstring>& paths);

// The browsers an Advance category (0-5, the dialog's order: URL history,
// AutoComplete passwords, run, find and typed-URL histories, recent
// documents) reaches directly, beyond the files it only lists.
unsigned CategoryBrowsers(size_t category);
// Indices of the running programs that the categories that are on reach.
std::vector<size_t> RunningReachedBrowsers(const std::vector<WatchedProgram>& programs,
                                           const std::vector<std::wstring>& running,
                                           const std::vector<bool>& categoriesOn);

// "Mozilla Firefox, Google Chrome" for the indices.
std::wstring ProgramNames(const std::vector<WatchedProgram>& programs,
                          const std::vector<size_t>& indices);

}  // namespace klarex
