// Listing is a preview: no scan (the three modes and the privacy scans) changes
// an attribute, owner or time of anything it looks at, found or not.
#include <aclapi.h>
#include <gtest/gtest.h>
#include <sddl.h>
#include <shlobj.h>

#include <atomic>
#include <map>
#include <string>
#include <vector>

#include "engine/catalogue.h"
#include "engine/firefox_history.h"
#include "engine/mode_scans.h"
#include "engine/privacy_scans.h"
#include "support/fake_machine.h"
#include "support/recording_sink.h"

namespace klarex {
namespace {

using test::CollectingSink;
using test::FakeMachine;

struct State {
  DWORD attributes;
  FILETIME created;
  FILETIME written;
  DWORD sizeLow;
  std::wstring owner;
  // The last access time is left out: under Wine the host file system may move
  // a folder's access time when it is read (Linux relatime), which reading
  // cannot avoid; the program itself sets no time at all.
  bool operator==(const State& other) const {
    return attributes == other.attributes && sizeLow == other.sizeLow && owner == other.owner &&
           CompareFileTime(&created, &other.created) == 0 &&
           CompareFileTime(&written, &other.written) == 0;
  }
};

std::wstring Owner(const std::wstring& path) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  std::wstring text = L"<none>";
  if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner,
                            nullptr, nullptr, nullptr, &descriptor) == ERROR_SUCCESS) {
    wchar_t* sid = nullptr;
    if (owner && ConvertSidToStringSidW(owner, &sid)) {
      text = sid;
      LocalFree(sid);
    }
  }
  if (descriptor) LocalFree(descriptor);
  return text;
}

State StateOf(const std::wstring& path, const WIN32_FIND_DATAW& data) {
  return {data.dwFileAttributes, data.ftCreationTime, data.ftLastWriteTime, data.nFileSizeLow,
          Owner(path)};
}

// Every entry below `folder` (the folder itself included), by exact names.
void Record(const std::wstring& folder, std::map<std::wstring, State>& states) {
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW((L"\\\\?\\" + folder + L"\\*").c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"..") continue;
    const std::wstring path = name == L"." ? folder : folder + L"\\" + name;
    states[path] = StateOf(path, data);
    if (name != L"." && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) Record(path, states);
  } while (FindNextFileW(search, &data));
  FindClose(search);
}

void RecordOne(const std::wstring& path, std::map<std::wstring, State>& states) {
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW((L"\\\\?\\" + path).c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return;
  states[path] = StateOf(path, data);
  FindClose(search);
}

constexpr DWORD kRO = FILE_ATTRIBUTE_READONLY;
constexpr DWORD kHidden = FILE_ATTRIBUTE_HIDDEN;
constexpr DWORD kSystem = FILE_ATTRIBUTE_SYSTEM;

TEST(ScansChangeNothing, EveryScanLeavesThePlantedMachineAsItWas) {
  FakeMachine machine;
  const std::wstring win = machine / L"Windows";
  const std::wstring roaming = machine / test::kRoamingDir;
  const std::wstring local = machine / test::kLocalDir;
  machine.specialFolders[CSIDL_RECENT] = machine.Folder(L"Users\\u\\Recent");
  machine.SetDrive(L'C', DRIVE_FIXED);
  const std::wstring ini =
      machine.File(std::wstring(test::kRoamingDir) + L"\\Mozilla\\Firefox\\profiles.ini");
  WritePrivateProfileStringW(L"Profile0", L"Path", L"Profiles/x.default", ini.c_str());
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());
  const std::wstring firefox = roaming + L"\\Mozilla\\Firefox\\Profiles\\x.default";
  const std::wstring firefoxLocal = local + L"\\Mozilla\\Firefox\\Profiles\\x.default";
  const std::wstring chrome = roaming + L"\\Google\\Chrome\\User Data\\Default";

  // Found ones, ones that match nothing, and first entries of their searches.
  const std::vector<std::pair<std::wstring, DWORD>> files = {
      {win + L"\\a-first.bak", kRO | kHidden},
      {win + L"\\setup.log", kRO},
      {win + L"\\explorer.exe", kRO | kSystem},
      {win + L"\\thesis.logbook", kRO},
      {win + L"\\Inf\\a.bak", kRO},
      {win + L"\\Inf\\keep.inf", kRO | kHidden},
      {win + L"\\Panther\\a-first.txt", kRO | kHidden},
      {win + L"\\Panther\\x\\deep.log", kRO},
      {win + L"\\Prefetch\\app.pf", kRO | kSystem},
      {machine / L"Users\\u\\Music\\music.m3u", kRO},
      {machine / L"Users\\u\\Music\\song.mp3", kRO},
      {local + L"\\Microsoft\\Windows\\INetCookies\\a.txt", kRO | kHidden},
      {local + L"\\Microsoft\\Windows\\INetCookies\\index.dat", kRO},
      {firefox + L"\\cookies.sqlite", kRO},
      {firefox + L"\\formhistory.sqlite", kRO | kHidden},
      {firefox + L"\\places.sqlite", kRO},
      {firefoxLocal + L"\\prefs.bak", kRO},
      {firefoxLocal + L"\\cache2\\entries\\E1", kRO},
      {chrome + L"\\Cookies", kRO},
      {chrome + L"\\History", kRO},
      {machine / L"Program Files\\WindowsUpdate\\wu.log", kRO},
      {machine / L"Users\\u\\Recent\\doc.lnk", kRO | kHidden},
  };
  for (const auto& [path, attributes] : files) {
    machine.File(path.substr(machine.Root().size() + 1));
    SetFileAttributesW(path.c_str(), attributes);
  }
  machine.File(L"Windows\\Panther\\empty.log", 0);
  SetFileAttributesW((win + L"\\Panther\\empty.log").c_str(), kRO);  // matched, not listed
  for (const std::wstring& folder : {win + L"\\Panther", win + L"\\Prefetch", firefox})
    SetFileAttributesW(folder.c_str(), kRO | kHidden);
  // The drive root's masks.
  test::PlantedOutside outside;
  const std::wstring rootLog = outside.File(L"C:\\" + test::UniqueName(L"klarex") + L".log");
  const std::wstring rootKeep = outside.File(L"C:\\" + test::UniqueName(L"klarex") + L".keep");
  for (const std::wstring& path : {rootLog, rootKeep}) SetFileAttributesW(path.c_str(), kRO);

  auto record = [&] {
    std::map<std::wstring, State> states;
    Record(machine.Root(), states);
    RecordOne(rootLog, states);
    RecordOne(rootKeep, states);
    return states;
  };
  const auto before = record();
  {
    const Catalogue catalogue = BuildCatalogue(machine);
    test::RecordingStatus status;
    CFirefoxHistory history(catalogue.firefoxProfileDir, status);
    history.Open();
    CollectingSink found;
    for (CleaningMode mode : {CleaningMode::Standard, CleaningMode::Cookies, CleaningMode::Offline})
      ScanMode(mode, catalogue, machine, found);
    const PrivacyScanContext scans{catalogue, machine, history, found};
    std::atomic<int> progress{0};
    ScanUrlHistory(scans, progress);
    ScanFormData(scans, progress);
    ScanFindHistory(scans, progress);
    ScanTypedUrls(scans, progress);
    ScanRecentDocuments(scans, progress);
    EXPECT_GT(found.items.size(), 15u);  // the scans did find the planted junk
  }
  const auto after = record();
  ASSERT_EQ(after.size(), before.size());
  for (const auto& [path, state] : before) {
    const auto found = after.find(path);
    ASSERT_NE(found, after.end()) << path;
    EXPECT_TRUE(found->second == state) << path;
    EXPECT_EQ(found->second.attributes, state.attributes) << path;
  }
  for (const auto& [path, attributes] : files) SetFileAttributesW(path.c_str(), 0);
}

}  // namespace
}  // namespace klarex
