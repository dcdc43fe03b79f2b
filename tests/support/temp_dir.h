// A temporary folder inside the test prefix, removed with everything in it.
#pragma once
#include <string>

namespace klarex::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::wstring& Path() const { return m_path; }
  // Path of `relative` below the folder (backslashes).
  std::wstring operator/(const std::wstring& relative) const;
  // Creates a file (and its parent folders) holding `size` bytes of 'x'.
  std::wstring File(const std::wstring& relative, size_t size = 1) const;
  // Creates a folder (and its parents).
  std::wstring Folder(const std::wstring& relative) const;

 private:
  std::wstring m_path;
};

// Removes a folder tree by exact names, unlinking links instead of following
// them (used for clean-up).
void RemoveTree(const std::wstring& path);

}  // namespace klarex::test
