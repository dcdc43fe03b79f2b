// The prefix's user profile stays inside the prefix. A fresh Wine prefix links
// the user's Desktop, Documents, Downloads, Music, Pictures, Videos and
// Templates to the host user's home; anything listed or deleted there would be
// the host's own files. scripts/prefix.sh makes them real folders.
//
// Under Wine, an entry opened as itself (FILE_FLAG_OPEN_REPARSE_POINT) answers
// GetFinalPathNameByHandleW with its link target: "\\?\unix\..." when that lies
// on no drive, "\\?\C:\..." when it does; a plain entry answers its own path.
#include <windows.h>
// after windows.h
#include <gtest/gtest.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "sys/handles.h"

namespace klarex {
namespace {

constexpr wchar_t kSystemDrive[] = L"\\\\?\\C:\\";

// Where the entry itself leads: its final path, or "" when it cannot be opened.
std::wstring FinalPath(const std::wstring& path) {
  FileHandle entry(::CreateFileW(
      path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!entry) return L"";
  std::vector<wchar_t> buf(4096);
  DWORD n = ::GetFinalPathNameByHandleW(entry.get(), buf.data(), static_cast<DWORD>(buf.size()),
                                        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  return n && n < buf.size() ? std::wstring(buf.data(), n) : L"";
}

bool OnSystemDrive(const std::wstring& finalPath) { return finalPath.starts_with(kSystemDrive); }

std::string Utf8(const std::wstring& s) {
  int n = ::WideCharToMultiByte(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), nullptr, 0,
                                nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), out.data(), n, nullptr,
                        nullptr);
  return out;
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
  wchar_t* path = nullptr;
  std::wstring result;
  if (SUCCEEDED(::SHGetKnownFolderPath(id, 0, nullptr, &path))) result = path;
  ::CoTaskMemFree(path);
  return result;
}

std::wstring ShellFolder(int csidl) {
  wchar_t path[MAX_PATH] = L"";
  return SUCCEEDED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? path
                                                                                          : L"";
}

void ExpectInsidePrefix(const char* name, const std::wstring& path) {
  ASSERT_FALSE(path.empty()) << name << ": no such folder";
  std::wstring final = FinalPath(path);
  EXPECT_TRUE(OnSystemDrive(final))
      << name << " (" << Utf8(path) << ") leads to [" << Utf8(final) << "], outside the prefix";
}

TEST(ProfileFolders, UserFoldersAreFoldersOfThePrefix) {
  struct Known {
    const char* name;
    const KNOWNFOLDERID& id;
  };
  for (const Known& k : {Known{"Desktop", FOLDERID_Desktop},
                         {"Documents", FOLDERID_Documents},
                         {"Downloads", FOLDERID_Downloads},
                         {"Music", FOLDERID_Music},
                         {"Pictures", FOLDERID_Pictures},
                         {"Videos", FOLDERID_Videos},
                         {"Templates", FOLDERID_Templates},
                         {"Profile", FOLDERID_Profile}}) {
    ExpectInsidePrefix(k.name, KnownFolder(k.id));
  }
}

TEST(ProfileFolders, ShellFoldersOfTheProfileStayInsideThePrefix) {
  struct Shell {
    const char* name;
    int csidl;
  };
  for (const Shell& s : {Shell{"CSIDL_PROFILE", CSIDL_PROFILE},
                         {"CSIDL_DESKTOPDIRECTORY", CSIDL_DESKTOPDIRECTORY},
                         {"CSIDL_PERSONAL", CSIDL_PERSONAL},
                         {"CSIDL_MYMUSIC", CSIDL_MYMUSIC},
                         {"CSIDL_MYPICTURES", CSIDL_MYPICTURES},
                         {"CSIDL_MYVIDEO", CSIDL_MYVIDEO},
                         {"CSIDL_TEMPLATES", CSIDL_TEMPLATES},
                         {"CSIDL_APPDATA", CSIDL_APPDATA},
                         {"CSIDL_LOCAL_APPDATA", CSIDL_LOCAL_APPDATA},
                         {"CSIDL_FAVORITES", CSIDL_FAVORITES},
                         {"CSIDL_RECENT", CSIDL_RECENT},
                         {"CSIDL_SENDTO", CSIDL_SENDTO},
                         {"CSIDL_STARTMENU", CSIDL_STARTMENU},
                         {"CSIDL_INTERNET_CACHE", CSIDL_INTERNET_CACHE},
                         {"CSIDL_COOKIES", CSIDL_COOKIES},
                         {"CSIDL_HISTORY", CSIDL_HISTORY}}) {
    ExpectInsidePrefix(s.name, ShellFolder(s.csidl));
  }
}

// Every entry below the profile, so that a link Wine adds in a later version is
// caught as well. Links are checked, never entered.
void CollectLeaks(const std::wstring& folder, std::vector<std::string>& leaks, int& seen) {
  WIN32_FIND_DATAW fd;
  FindHandle find(::FindFirstFileW((folder + L"\\*").c_str(), &fd));
  if (!find) return;
  do {
    std::wstring name = fd.cFileName;
    if (name == L"." || name == L"..") continue;
    std::wstring path = folder + L"\\" + name;
    ++seen;
    std::wstring final = FinalPath(path);
    if (!OnSystemDrive(final)) leaks.push_back(Utf8(path) + " -> [" + Utf8(final) + "]");
    if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
        !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
      CollectLeaks(path, leaks, seen);
  } while (::FindNextFileW(find.get(), &fd));
}

TEST(ProfileFolders, NothingBelowTheProfileLeadsOutOfThePrefix) {
  std::wstring profile = KnownFolder(FOLDERID_Profile);
  ASSERT_FALSE(profile.empty());
  std::vector<std::string> leaks;
  int seen = 0;
  CollectLeaks(profile, leaks, seen);
  EXPECT_GT(seen, 7);  // at least the user folders were looked at
  for (const std::string& leak : leaks) ADD_FAILURE() << "outside the prefix: " << leak;
}

}  // namespace
}  // namespace klarex
