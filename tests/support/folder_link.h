// Folder links for tests. Under Wine a Unix symbolic link to a folder appears as
// a reparse point (attributes 0x410), which is what the program must never walk
// into; Windows code cannot create one, so the test session's host-side helper
// (scripts/wine-session.sh) makes it on request.
#pragma once
#include <string>

namespace klarex::test {

// Creates `link` pointing at the existing folder `target` (both Windows paths).
// False if no helper answered within a few seconds.
bool MakeFolderLink(const std::wstring& link, const std::wstring& target);

// Removes a link made above without touching its target (Windows' own deletion
// functions act on the target under Wine).
bool RemoveFolderLink(const std::wstring& link);

}  // namespace klarex::test
