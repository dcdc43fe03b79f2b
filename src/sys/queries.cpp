#include "sys/queries.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <map>
#include <mutex>

#include "sys/paths.h"

namespace klarex {

namespace {

constexpr size_t kTypeNameChars = 260;

// Working buffer of one GetFolderSize level, on the stack: no allocation per entry.
constexpr size_t kFolderBufferChars = 2000;

bool IsDotEntry(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

// Copies `text` into `buffer` of `capacity` characters at `offset`; false (and
// nothing written) when it would not fit with its terminator.
bool PutAt(wchar_t* buffer, size_t capacity, size_t offset, const wchar_t* text, size_t length) {
  if (offset + length + 1 > capacity) return false;
  wmemcpy(buffer + offset, text, length);
  buffer[offset + length] = L'\0';
  return true;
}

}  // namespace

std::wstring GetFileTypeName(const wchar_t* path) {
  if (!path) return {};
  SHFILEINFOW info{};
  SHGetFileInfoW(path, 0, &info, sizeof(info), SHGFI_TYPENAME);
  std::wstring name(info.szTypeName, wcsnlen(info.szTypeName, std::size(info.szTypeName)));
  if (name.empty()) {
    name = std::wstring(PathFindExtensionW(path)) + L" File";
    for (wchar_t& c : name) c = static_cast<wchar_t>(std::towupper(c));
  }
  if (name.size() > kTypeNameChars - 1) name.resize(kTypeNameChars - 1);
  return name;
}

std::wstring CachedFileTypeName(const wchar_t* path, bool folder) {
  if (!path || folder) return GetFileTypeName(path);
  struct Cache {
    std::mutex lock;
    std::map<std::wstring, std::wstring> names;  // by lower-case extension
  };
  // process-wide: the shell's type names do not change while the program runs.
  static Cache cache;
  std::wstring key = PathFindExtensionW(path);
  CharLowerBuffW(key.data(), static_cast<DWORD>(key.size()));
  {
    std::lock_guard<std::mutex> guard(cache.lock);
    if (auto found = cache.names.find(key); found != cache.names.end()) return found->second;
  }
  std::wstring name = GetFileTypeName(path);
  std::lock_guard<std::mutex> guard(cache.lock);
  return cache.names.try_emplace(key, std::move(name)).first->second;
}

bool QueryFileSize(const wchar_t* path, uint64_t* size) {
  if (!path || !size) return false;
  *size = 0;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data)) return false;
  *size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return true;
}

bool GetFolderSize(const wchar_t* folder, uint64_t* accumulator) {
  if (!folder || !accumulator) return false;
  // By the exact name: "dir." is measured, not "dir" (nested calls pass it on).
  const std::wstring exact = ExactPath(folder);
  if (exact.empty()) return false;
  folder = exact.c_str();
  // A folder that is itself a link is not walked either.
  const DWORD attributes = GetFileAttributesW(folder);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    return false;
  }
  wchar_t buffer[kFolderBufferChars];
  const size_t folderLength = wcslen(folder);
  if (!PutAt(buffer, kFolderBufferChars, 0, folder, folderLength) ||
      !PutAt(buffer, kFolderBufferChars, folderLength, L"\\*", 2)) {
    return false;
  }
  WIN32_FIND_DATAW entry;
  FindHandle search(FindFirstFileW(buffer, &entry));
  if (!search) return false;
  bool result = true;
  do {
    if (IsDotEntry(entry.cFileName)) continue;
    // A linked folder belongs to another tree: its size is not ours to count.
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
        (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      continue;
    }
    // A joined path that does not fit is skipped rather than cut to a wrong one.
    if (!PutAt(buffer, kFolderBufferChars, folderLength + 1, entry.cFileName,
               wcslen(entry.cFileName))) {
      continue;
    }
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      result = GetFolderSize(buffer, accumulator);
    } else {
      // The search already holds the size: asking the file again would double the walk.
      *accumulator += (static_cast<uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
    }
  } while (FindNextFileW(search.get(), &entry));
  return result;
}

std::wstring ResolveWildcardFolder(std::wstring& folder, const wchar_t* pattern) {
  if (!pattern || folder.empty()) return {};
  // Searched by its full path: the process's current directory stays as it is.
  std::wstring search = folder;
  if (search.back() != L'\\') search += L'\\';
  search += pattern;
  WIN32_FIND_DATAW entry;
  FindHandle found(FindFirstFileW(search.c_str(), &entry));
  if (!found) return {};
  // The search also matches short (8.3) names: only the long name counts.
  auto wanted = [&] {
    return !IsDotEntry(entry.cFileName) && MatchesMask(entry.cFileName, pattern);
  };
  bool match = wanted();
  while (!match && FindNextFileW(found.get(), &entry)) match = wanted();
  if (!match) return {};
  wchar_t joined[MAX_PATH];
  if (!PathCombineW(joined, folder.c_str(), entry.cFileName)) return {};
  folder = joined;
  return entry.cFileName;
}

// --- CRegTextValue -----------------------------------------------------------

CRegTextValue::CRegTextValue(const std::wstring& keyAndValue, const std::wstring& defaultValue,
                             bool force, HKEY root)
    : m_root(root), m_force(force), m_value(defaultValue), m_default(defaultValue) {
  const size_t start = keyAndValue.find_first_not_of(L'\\');
  const std::wstring text =
      start == std::wstring::npos ? std::wstring() : keyAndValue.substr(start);
  const size_t last = text.rfind(L'\\');
  if (last == std::wstring::npos) {
    m_valueName = text;
    return;
  }
  m_keyPath = text.substr(0, last);
  m_keyPath.erase(m_keyPath.find_last_not_of(L'\\') + 1);
  const size_t nameStart = text.find_first_not_of(L'\\', last);
  if (nameStart != std::wstring::npos) {
    m_valueName = text.substr(nameStart);
    m_valueName.erase(m_valueName.find_last_not_of(L'\\') + 1);
  }
}

CRegTextValue::operator std::wstring() {
  if (m_read && !m_force) {
    m_lastError = 0;
    return m_value;
  }
  Read();
  return m_value;
}

void CRegTextValue::Read() {
  m_value = m_default;
  m_exists = false;
  RegKey key;
  m_lastError = RegOpenKeyExW(m_root, m_keyPath.c_str(), 0, KEY_READ, key.put());
  if (m_lastError != ERROR_SUCCESS) return;
  m_read = true;
  const wchar_t* name = m_valueName.empty() ? nullptr : m_valueName.c_str();
  DWORD bytes = 0;
  m_lastError = RegQueryValueExW(key.get(), name, nullptr, nullptr, nullptr, &bytes);
  if (m_lastError == ERROR_SUCCESS) {
    // Twice the reported size, and room for a terminator the data may lack.
    std::wstring buffer(bytes + 1, L'\0');
    DWORD size = bytes * 2;
    m_lastError = RegQueryValueExW(key.get(), name, nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (m_lastError == ERROR_SUCCESS) {
      buffer.resize(std::min<size_t>(buffer.size(), size / sizeof(wchar_t)));
      m_exists = true;
      m_value = buffer.substr(0, buffer.find(L'\0'));
    }
  }
}

std::wstring CRegTextValue::ErrorText() const {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
      nullptr, static_cast<DWORD>(m_lastError), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
      reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring result = length && text ? std::wstring(text, length) : std::wstring();
  if (text) LocalFree(text);
  return result;
}

// --- CRegSubkeys -------------------------------------------------------------

CRegSubkeys::CRegSubkeys(const std::wstring& keyPath) {
  const size_t start = keyPath.find_first_not_of(L'\\');
  if (start != std::wstring::npos) m_keyPath = keyPath.substr(start);
}

bool CRegSubkeys::List(std::vector<std::wstring>& names) {
  names.clear();
  if (RegOpenKeyExW(m_root, m_keyPath.c_str(), 0, KEY_READ, m_key.put()) == ERROR_SUCCESS) {
    wchar_t name[1024];
    for (DWORD index = 0;; ++index) {
      DWORD length = ARRAYSIZE(name);
      if (RegEnumKeyExW(m_key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS) {
        break;
      }
      names.emplace_back(name, length);
    }
  }
  return !names.empty();
}

// --- CIniReader ----------------------------------------------------------------

CIniReader::~CIniReader() {
  // Drops the system's cached copy so a later edit of the file is seen.
  if (!m_path.empty()) WritePrivateProfileStringW(nullptr, nullptr, nullptr, m_path.c_str());
}

std::wstring CIniReader::GetString(const wchar_t* section, const wchar_t* key,
                                   const wchar_t* def) const {
  const std::wstring fallback = def ? def : L"";
  if (m_path.empty()) return fallback;
  wchar_t buffer[300];
  const DWORD length =
      GetPrivateProfileStringW(section, key, L"", buffer, ARRAYSIZE(buffer), m_path.c_str());
  if (length == 0) return fallback;
  return std::wstring(buffer, length);
}

}  // namespace klarex
