// Links for tests. Under Wine a Unix symbolic link to a folder appears as a
// reparse point (attributes 0x410), one to a file as a plain file (0x20), and
// deleting either through Win32 acts on its target. Windows code cannot create
// them, so the test session's host-side helper (scripts/wine-session.sh) makes
// and removes them on request.
#pragma once
#include <string>

namespace klarex::test {

// Creates `link` pointing at the existing folder `target` (both Windows paths,
// names taken exactly). False if no helper answered within a few seconds.
bool MakeFolderLink(const std::wstring& link, const std::wstring& target);

// The same for a file: `link` then looks like a plain file.
bool MakeFileLink(const std::wstring& link, const std::wstring& target);

// Removes a link (or a file) from the host side without touching a target.
bool RemoveLink(const std::wstring& link);

}  // namespace klarex::test
