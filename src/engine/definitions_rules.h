// The safety rules of definition files, checked when a file is read, and the
// folders and names that the scan keeps a place away from on the machine.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "engine/definitions.h"

namespace klarex {

// What is wrong with a place; `inMask` when the mask is at fault, not the path.
struct Finding {
  Problem problem;
  std::wstring detail;
  bool inMask = false;
};

// Reads "%ROOT%\a\*\b" into the place's root and components. The components
// are taken as written; CheckPlace judges them.
std::optional<Finding> ReadPlace(const std::wstring& text, Place& place);

// Every rule on a read place: its components, root, wildcards, protected
// folders, profile folders, browser data and mask. Nothing when it is safe.
std::optional<Finding> CheckPlace(const Place& place);

// "%LOCALAPPDATA%" for a root.
const wchar_t* RootText(PlaceRoot root);

// Case-insensitive comparison of whole names or paths.
bool SameText(const std::wstring& a, const std::wstring& b);

// A name that no place of `mode` may reach below its folder: a browser's or
// mail program's own data, a profile folder (unless `profilesAllowed`, as for
// the folder a `*` stands for), cookies and site storage outside the cookies
// mode.
bool IsGuardedName(const std::wstring& name, CleaningMode mode, bool profilesAllowed);

// Folders that are protected as they lie below a root, by root ("Microsoft\Protect"
// below %APPDATA%): `sealed` ones hold the user's keys, mail or settings (no
// place at, below or above them), the others hold profiles or many programs'
// data (no place at or above them).
struct RootedFolder {
  PlaceRoot root;
  const wchar_t* path;
  bool sealed;
};
const std::vector<RootedFolder>& ProtectedFolders();

}  // namespace klarex
