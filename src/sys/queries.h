// Read-only queries of the registry, profile files, the shell and the file
// system. None of them shows a message, throws or logs.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "sys/handles.h"

namespace klarex {

// The shell's type name of a path ("Folder", "Text Document"...). Falls back to
// the upper-cased "<.ext> File"; at most 259 characters.
std::wstring GetFileTypeName(const wchar_t* path);

// GetFileTypeName of a file, asked once per extension (without regard to
// case) for the life of the process: the shell names a file's type by its
// extension, and asking it costs milliseconds. A folder is asked every time
// (it may name a type of its own). Any thread.
std::wstring CachedFileTypeName(const wchar_t* path, bool folder);

// Size of a file in bytes (64-bit). False when either argument is missing or the
// attributes cannot be read (size is then 0).
bool QueryFileSize(const wchar_t* path, uint64_t* size);

// Adds the sizes of every file below `folder` to `*accumulator`. Linked folders
// (reparse points) are not followed.
bool GetFolderSize(const wchar_t* folder, uint64_t* accumulator);

// Finds the first entry of `folder` whose long name matches `pattern`
// (skipping "." and ".."), appends it to `folder` and returns its name.
// Nothing found: the folder is unchanged and the result is empty.
std::wstring ResolveWildcardFolder(std::wstring& folder, const wchar_t* pattern);

// A registry string value: "key\path\value name" under a root key. Reading
// happens on conversion; a value that cannot be read gives the default.
class CRegTextValue {
 public:
  CRegTextValue(const std::wstring& keyAndValue, const std::wstring& defaultValue, bool force,
                HKEY root);
  operator std::wstring();
  const std::wstring& KeyPath() const { return m_keyPath; }
  const std::wstring& ValueName() const { return m_valueName; }
  LONG LastError() const { return m_lastError; }
  bool Exists() const { return m_exists; }
  std::wstring ErrorText() const;  // system message for the last error

 private:
  void Read();

  HKEY m_root;
  std::wstring m_valueName;
  std::wstring m_keyPath;
  LONG m_lastError = 0;
  bool m_read = false;
  bool m_force;
  bool m_exists = false;
  std::wstring m_value;
  std::wstring m_default;
};

// Lists the sub-keys of a key under HKEY_CURRENT_USER; keeps the key open until
// destroyed.
class CRegSubkeys {
 public:
  explicit CRegSubkeys(const std::wstring& keyPath);
  // Fills `names` in enumeration order; true when it is not empty.
  bool List(std::vector<std::wstring>& names);

 private:
  HKEY m_root = HKEY_CURRENT_USER;
  RegKey m_key;
  std::wstring m_keyPath;
};

// Reads entries of an INI-style profile file (ANSI or UTF-16LE with BOM).
class CIniReader {
 public:
  explicit CIniReader(std::wstring path = {}) : m_path(std::move(path)) {}
  virtual ~CIniReader();
  CIniReader(const CIniReader&) = delete;
  CIniReader& operator=(const CIniReader&) = delete;

  // At most 299 characters; missing entry, empty value or empty path: `def`.
  std::wstring GetString(const wchar_t* section, const wchar_t* key, const wchar_t* def) const;
  void SetPath(std::wstring path) { m_path = std::move(path); }
  const std::wstring& Path() const { return m_path; }

 private:
  std::wstring m_path;
};

}  // namespace klarex
