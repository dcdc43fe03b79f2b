#include "sys/paths.h"

#include <windows.h>

#include <cwchar>

namespace klarex {

namespace {

constexpr wchar_t kExactPrefix[] = L"\\\\?\\";
constexpr wchar_t kExactUncPrefix[] = L"\\\\?\\UNC\\";
constexpr size_t kExactPrefixChars = 4;
constexpr size_t kExactUncPrefixChars = 8;

bool IsDriveRoot(const std::wstring& path, size_t at) {
  return path.size() >= at + 3 && iswalpha(path[at]) && path[at + 1] == L':' &&
         path[at + 2] == L'\\';
}

// Every component of path[from, end) is a real name: not empty, not "." or "..".
bool HasOnlyNamedComponents(const std::wstring& path, size_t from) {
  size_t start = from;
  while (start <= path.size()) {
    size_t end = path.find(L'\\', start);
    if (end == std::wstring::npos) end = path.size();
    const std::wstring_view part(path.data() + start, end - start);
    if (part.empty() || part == L"." || part == L"..") return false;
    start = end + 1;
  }
  return true;
}

wchar_t Fold(wchar_t c) {
  return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(
      ::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))));
}

// Wildcard match of name[0, nameLength) against mask[0, maskLength).
bool Glob(const wchar_t* name, size_t nameLength, const wchar_t* mask, size_t maskLength) {
  size_t n = 0, m = 0;
  size_t starMask = std::wstring::npos, starName = 0;
  while (n < nameLength) {
    if (m < maskLength && mask[m] == L'*') {
      starMask = m++;
      starName = n;
    } else if (m < maskLength && (mask[m] == L'?' || Fold(mask[m]) == Fold(name[n]))) {
      ++m;
      ++n;
    } else if (starMask != std::wstring::npos) {
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < maskLength && mask[m] == L'*') ++m;
  return m == maskLength;
}

}  // namespace

std::wstring ExactPath(const std::wstring& path) {
  if (path.compare(0, kExactPrefixChars, kExactPrefix) == 0) return path;
  if (path.find(L'/') != std::wstring::npos) return {};
  std::wstring trimmed = path;
  if (IsDriveRoot(trimmed, 0)) {
    if (trimmed.size() > 3 && trimmed.back() == L'\\') trimmed.pop_back();
    if (trimmed.size() > 3 && !HasOnlyNamedComponents(trimmed, 3)) return {};
    return kExactPrefix + trimmed;
  }
  // \\server\share\...: the server and share are components like the others.
  if (trimmed.size() > 2 && trimmed[0] == L'\\' && trimmed[1] == L'\\' && trimmed[2] != L'.' &&
      trimmed[2] != L'?') {
    if (trimmed.back() == L'\\') trimmed.pop_back();
    const size_t share = trimmed.find(L'\\', 2);
    if (share == std::wstring::npos || !HasOnlyNamedComponents(trimmed, 2)) return {};
    return kExactUncPrefix + trimmed.substr(2);
  }
  return {};
}

std::wstring DisplayPath(const std::wstring& exact) {
  if (exact.compare(0, kExactUncPrefixChars, kExactUncPrefix) == 0)
    return L"\\\\" + exact.substr(kExactUncPrefixChars);
  if (exact.compare(0, kExactPrefixChars, kExactPrefix) == 0)
    return exact.substr(kExactPrefixChars);
  return exact;
}

bool IsPlainWin32Path(const std::wstring& path) {
  if (path.size() >= MAX_PATH || !IsDriveRoot(path, 0) || ExactPath(path).empty()) return false;
  for (size_t end = path.find(L'\\', 3);; end = path.find(L'\\', end + 1)) {
    const size_t last = (end == std::wstring::npos ? path.size() : end) - 1;
    if (last >= 3 && (path[last] == L'.' || path[last] == L' ')) return false;
    if (end == std::wstring::npos) return true;
  }
}

bool MatchesMask(const wchar_t* name, const wchar_t* mask) {
  if (!name || !mask) return false;
  if (std::wcscmp(mask, L"*") == 0 || std::wcscmp(mask, L"*.*") == 0) return true;
  const size_t nameLength = std::wcslen(name);
  const size_t maskLength = std::wcslen(mask);
  if (Glob(name, nameLength, mask, maskLength)) return true;
  // A trailing ".*" stands for "any extension, or none".
  return maskLength >= 2 && mask[maskLength - 2] == L'.' && mask[maskLength - 1] == L'*' &&
         Glob(name, nameLength, mask, maskLength - 2);
}

}  // namespace klarex
