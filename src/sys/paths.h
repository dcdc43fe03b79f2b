// Exact names for file-system calls, and matching long names against masks.
#pragma once
#include <string>

namespace klarex {

// The "\\?\" form of an absolute drive or UNC path: Win32 takes it as it stands,
// without stripping trailing dots or spaces and without the 260-character limit.
// Empty for a path that is not absolute or not in canonical form (forward
// slashes, empty, "." or ".." components), since "\\?\" would take those
// literally too. A path already in that form is returned unchanged.
std::wstring ExactPath(const std::wstring& path);

// The form shown to the user for an exact path (the "\\?\" prefix removed).
std::wstring DisplayPath(const std::wstring& exact);

// True when Win32 takes `path` as it stands without the "\\?\" prefix: an
// absolute drive path under MAX_PATH characters with no component ending in a
// dot or a space. The shell's file operations accept only such paths.
bool IsPlainWin32Path(const std::wstring& path);

// Whether a long file name matches a directory-search mask: `*` any run of
// characters, `?` one character, case-insensitive. "*" and "*.*" match every
// name, and a mask ending in ".*" also matches the name without that part
// ("cookies.*" matches "Cookies"), as a directory search does. Short (8.3)
// names play no part.
bool MatchesMask(const wchar_t* name, const wchar_t* mask);

}  // namespace klarex
