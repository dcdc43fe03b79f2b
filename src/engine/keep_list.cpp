#include "engine/keep_list.h"

#include <algorithm>

#include "sys/handles.h"

namespace klarex {
namespace {

constexpr size_t kMaxKeptPath = MAX_PATH - 1;

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

}  // namespace

std::wstring NormaliseKeptPath(const std::wstring& path) {
  std::wstring p = path;
  std::replace(p.begin(), p.end(), L'/', L'\\');
  if (p.rfind(L"\\\\?\\UNC\\", 0) == 0)
    p.erase(2, 6);  // "\\?\UNC\server" is "\\server"
  else if (p.rfind(L"\\\\?\\", 0) == 0)
    p.erase(0, 4);
  if (p.empty() || p.size() > kMaxKeptPath) return {};
  const bool drive = p.size() >= 3 && IsDriveLetter(p[0]) && p[1] == L':' && p[2] == L'\\';
  const bool unc = p.size() > 2 && p[0] == L'\\' && p[1] == L'\\' && p[2] != L'\\';
  if (!drive && !unc) return {};
  if (p.find_first_of(L"\t\r\n*?\"<>|") != std::wstring::npos) return {};
  while (p.size() > 2 && p.back() == L'\\') p.pop_back();
  // Windows compares names with its upper-case table; CharUpperBuffW is that
  // mapping for the characters file names use.
  ::CharUpperBuffW(p.data(), static_cast<DWORD>(p.size()));
  return p;
}

bool CKeepList::Add(const std::wstring& path) {
  std::wstring key = NormaliseKeptPath(path);
  if (key.empty() || !m_normalised.insert(std::move(key)).second) return false;
  m_paths.push_back(path);
  return true;
}

bool CKeepList::Remove(const std::wstring& path) {
  const std::wstring key = NormaliseKeptPath(path);
  if (key.empty() || m_normalised.erase(key) == 0) return false;
  std::erase_if(m_paths, [&](const std::wstring& p) { return NormaliseKeptPath(p) == key; });
  return true;
}

bool CKeepList::IsKept(const std::wstring& path) const {
  if (m_normalised.empty()) return false;
  const std::wstring key = NormaliseKeptPath(path);
  if (key.empty()) return false;
  if (m_normalised.count(key)) return true;
  // Every ancestor is a prefix that ends before a backslash.
  for (size_t at = key.find(L'\\'); at != std::wstring::npos; at = key.find(L'\\', at + 1)) {
    if (at > 0 && m_normalised.count(key.substr(0, at))) return true;
  }
  return false;
}

CKeepList LoadKeepList(HKEY root, const wchar_t* keyPath) {
  CKeepList list;
  RegKey key;
  if (::RegOpenKeyExW(root, keyPath, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return list;
  std::wstring name(16384, L'\0');
  std::vector<BYTE> data((kMaxKeptPath + 1) * sizeof(wchar_t));
  for (DWORD index = 0;; ++index) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>(data.size());
    const LONG result = ::RegEnumValueW(key.get(), index, name.data(), &nameLength, nullptr, &type,
                                        data.data(), &bytes);
    if (result == ERROR_NO_MORE_ITEMS) break;
    // Too long for a path, or not text: passed over, the others are read.
    if (result != ERROR_SUCCESS || type != REG_SZ) continue;
    std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), bytes / sizeof(wchar_t));
    if (const size_t end = text.find(L'\0'); end != std::wstring::npos) text.resize(end);
    list.Add(text);
  }
  return list;
}

bool SaveKeepList(const CKeepList& list, HKEY root, const wchar_t* keyPath) {
  RegKey key;
  if (::RegCreateKeyExW(root, keyPath, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, key.put(),
                        nullptr) != ERROR_SUCCESS)
    return false;
  // The values are written again from scratch, so the names stay 1..n: every
  // old value goes first (one that cannot go is stepped over).
  std::wstring name(16384, L'\0');
  for (DWORD index = 0;;) {
    DWORD length = static_cast<DWORD>(name.size());
    const LONG result =
        ::RegEnumValueW(key.get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA) break;
    if (::RegDeleteValueW(key.get(), name.c_str()) != ERROR_SUCCESS) ++index;
  }
  int n = 0;
  for (const std::wstring& path : list.Paths()) {
    const std::wstring value = std::to_wstring(++n);
    const auto bytes = static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t));
    if (::RegSetValueExW(key.get(), value.c_str(), 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(path.c_str()), bytes) != ERROR_SUCCESS)
      return false;
  }
  return true;
}

}  // namespace klarex
