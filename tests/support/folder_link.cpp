#include "support/folder_link.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>

namespace klarex::test {

namespace {

std::atomic<unsigned> g_requests{0};

// Wine's kernel32 export; absent on Windows. The "\\?\" form keeps names
// ending in a dot or a space as they are.
std::string UnixPath(const std::wstring& dosPath) {
  using Fn = char*(__cdecl*)(const wchar_t*);
  static auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!fn) return {};
  // A path outside every drive (\\?\unix\...) is the Unix path itself.
  const std::wstring unixPrefix = L"\\\\?\\unix";
  if (dosPath.rfind(unixPrefix, 0) == 0) {
    std::string path(dosPath.begin() + static_cast<long>(unixPrefix.size()), dosPath.end());
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
  }
  char* unix = fn((L"\\\\?\\" + dosPath).c_str());
  if (!unix) return {};
  std::string result = unix;
  HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

bool Request(const std::string& body) {
  std::wstring base = L"C:\\klarex-links\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                      std::to_wstring(g_requests++);
  std::wstring tmp = base + L".tmp";
  HANDLE h = CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  WriteFile(h, body.data(), static_cast<DWORD>(body.size()), &written, nullptr);
  CloseHandle(h);
  if (!MoveFileW(tmp.c_str(), (base + L".req").c_str())) return false;
  std::wstring done = base + L".done";
  for (int i = 0; i < 200; ++i) {
    if (GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES) {
      DeleteFileW(done.c_str());
      return true;
    }
    Sleep(25);
  }
  return false;
}

// Asks the helper for `link` -> `target`; an empty target removes `link`.
bool RequestLink(const std::wstring& link, const std::wstring& target) {
  std::wstring parent = link.substr(0, link.rfind(L'\\'));
  std::string unixParent = UnixPath(parent);
  std::string unixTarget = target.empty() ? std::string() : UnixPath(target);
  if (unixParent.empty() || (!target.empty() && unixTarget.empty())) return false;
  std::string name(link.begin() + static_cast<long>(parent.size()) + 1, link.end());  // ASCII names
  return Request(unixParent + "/" + name + "\n" + unixTarget + "\n");
}

DWORD ExactAttributes(const std::wstring& path) {
  return GetFileAttributesW((L"\\\\?\\" + path).c_str());
}

}  // namespace

bool MakeFolderLink(const std::wstring& link, const std::wstring& target) {
  if (!RequestLink(link, target)) return false;
  DWORD attrs = ExactAttributes(link);
  return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool MakeFileLink(const std::wstring& link, const std::wstring& target) {
  return RequestLink(link, target) && ExactAttributes(link) != INVALID_FILE_ATTRIBUTES;
}

bool RemoveLink(const std::wstring& link) { return RequestLink(link, {}); }

}  // namespace klarex::test
