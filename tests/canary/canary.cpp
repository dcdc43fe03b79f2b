#include "canary/canary.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/recording_sink.h"
#include "sys/handles.h"
#include "sys/paths.h"
#include "view/delete_worker.h"
#include "view/list_fixture.h"

namespace klarex::test {

namespace {

std::wstring Exact(const std::wstring& path) {
  return path.rfind(L"\\\\?\\", 0) == 0 ? path : L"\\\\?\\" + path;
}

bool WriteAll(const std::wstring& path, const std::string& bytes) {
  FileHandle file(CreateFileW(Exact(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file &&
         WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void MakeParents(const std::wstring& path) {
  for (size_t pos = 3; (pos = path.find(L'\\', pos + 1)) != std::wstring::npos;)
    CreateDirectoryW(Exact(path.substr(0, pos)).c_str(), nullptr);
}

// FNV-1a of the bytes: any change of a canary shows.
std::string HashOf(const std::wstring& path) {
  FileHandle file(CreateFileW(Exact(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr));
  if (!file) return "unreadable";
  unsigned long long h = 1469598103934665603ull;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read)
    for (DWORD i = 0; i < read; ++i)
      h = (h ^ static_cast<unsigned char>(buffer[i])) * 1099511628211ull;
  return std::to_string(h);
}

void Walk(const std::wstring& folder, Listing& out) {
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW(Exact(folder + L"\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = folder + L"\\" + name;
    const DWORD attributes = entry.dwFileAttributes & ~FILE_ATTRIBUTE_ARCHIVE;
    const bool folderEntry = attributes & FILE_ATTRIBUTE_DIRECTORY;
    std::string& record = out[path];
    record = std::to_string(attributes);
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;  // a link: never entered
    if (folderEntry) {
      Walk(path, out);
    } else {
      record += " " + std::to_string(entry.nFileSizeLow) + " " + HashOf(path);
    }
  } while (FindNextFileW(find, &entry));
  FindClose(find);
}

bool SameText(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool AtOrBelow(const std::wstring& path, const std::wstring& row) {
  return SameText(path.substr(0, row.size()), row) &&
         (path.size() == row.size() || path[row.size()] == L'\\');
}

Listing WithoutRows(const Listing& listing, const std::vector<std::wstring>& rows) {
  Listing rest;
  for (const auto& [path, record] : listing) {
    if (std::none_of(rows.begin(), rows.end(),
                     [&](const auto& row) { return AtOrBelow(path, row); }))
      rest.emplace(path, record);
  }
  return rest;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(Exact(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

constexpr wchar_t kSessionKey[] = L"System\\CurrentControlSet\\Control\\Session Manager";
constexpr wchar_t kPendingValue[] = L"PendingFileRenameOperations";

std::vector<std::wstring> ReadPending() {
  std::vector<std::wstring> items;
  RegKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionKey, 0, KEY_READ, key.put())) return items;
  DWORD bytes = 0;
  if (RegQueryValueExW(key.get(), kPendingValue, nullptr, nullptr, nullptr, &bytes)) return items;
  std::wstring data(bytes / 2 + 1, L'\0');
  RegQueryValueExW(key.get(), kPendingValue, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                   &bytes);
  data.resize(bytes / 2);
  for (size_t start = 0; start < data.size();) {
    size_t end = data.find(L'\0', start);
    if (end == std::wstring::npos) end = data.size();
    items.push_back(data.substr(start, end - start));
    start = end + 1;
  }
  return items;
}

// The view's part: the list window, the status line and the progress bar.
class Host : public IDeletionHost, public IStatusSink, public IProgressDisplay {
 public:
  explicit Host(test::ListWindow& list) : m_list(list) {}
  HWND ListWindow() const override { return m_list.Handle(); }
  void ShowSelectionStatus() override {}
  void OnListEmptied() override {}
  void OnRunSummary(const RunSummary&) override {}
  void SetStatusText(const std::wstring&) override {}
  void ShowDeletingStatus(const std::wstring&) override {}
  void ShowProgress(int) override {}
  void HideProgress() override {}

 private:
  test::ListWindow& m_list;
};

class WithMeanwhile : public IDeleteOperations {
 public:
  WithMeanwhile(IDeleteOperations& inner, const Meanwhile& meanwhile)
      : m_inner(inner), m_meanwhile(meanwhile) {}
  DeleteOutcome DeletePath(const std::wstring& path, bool permanent) override {
    if (m_meanwhile) m_meanwhile(path);
    return m_inner.DeletePath(path, permanent);
  }
  void Settle() override { m_inner.Settle(); }

 private:
  IDeleteOperations& m_inner;
  const Meanwhile& m_meanwhile;
};

std::wstring BuildFolder() {
  wchar_t module[MAX_PATH];
  std::wstring path(module, GetModuleFileNameW(nullptr, module, MAX_PATH));
  if (path.rfind(L"unix\\", 0) == 0) path = L"\\\\?\\" + path;
  path = path.substr(0, path.rfind(L'\\'));
  return path.substr(0, path.rfind(L'\\'));
}

}  // namespace

CanaryTree::CanaryTree() {
  const std::wstring build = BuildFolder();
  // Only a build tree reached through Wine's unix namespace lies outside the prefix.
  if (build.rfind(L"\\\\?\\unix\\", 0) != 0) return;
  m_outside = build + L"\\canary-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
              std::to_wstring(GetTickCount64());
  if (!CreateDirectoryW(m_outside.c_str(), nullptr)) m_outside.clear();
}

CanaryTree::~CanaryTree() {
  ForgetPendingBelow(Root());
  // The tree before the outside folder: its links there could not be seen
  // from Windows, and so not be removed, once their targets were gone.
  RemoveTree(m_dir.Path());
  if (!m_outside.empty()) RemoveTree(m_outside);
}

std::wstring CanaryTree::Junk(const std::wstring& relative, size_t size) const {
  const std::wstring path = *this / relative;
  MakeParents(path);
  WriteAll(path, std::string(size, 'j'));
  return path;
}

std::wstring CanaryTree::Canary(const std::wstring& relative) const {
  const std::wstring path = relative.rfind(L"\\\\?\\", 0) == 0 ? relative : *this / relative;
  MakeParents(path);
  WriteAll(path, "canary: " + std::string(path.begin(), path.end()));
  return path;
}

std::wstring CanaryTree::Folder(const std::wstring& relative) const {
  const std::wstring path = *this / relative;
  MakeParents(path + L"\\x");
  return path;
}

std::wstring CanaryTree::OutsideCanary(const std::wstring& name) const {
  return m_outside.empty() ? std::wstring() : Canary(m_outside + L"\\" + name);
}

std::vector<std::wstring> CanaryTree::Roots() const {
  std::vector<std::wstring> roots{Root()};
  if (!m_outside.empty()) roots.push_back(m_outside);
  return roots;
}

Listing TakeListing(const std::vector<std::wstring>& roots) {
  Listing listing;
  for (const std::wstring& root : roots) Walk(root, listing);
  return listing;
}

RunResult DeleteRows(const std::vector<std::wstring>& rows, bool permanent,
                     const Meanwhile& meanwhile, IDeleteOperations* operations) {
  ListWindow list;
  Host host(list);
  for (const std::wstring& row : rows) list.Select(list.Add(row));
  SecurityState security;
  PrepareSecurityState(security);
  RecordingStatus status;
  CDeleteOperations real(security, status);
  WithMeanwhile ops(operations ? *operations : real, meanwhile);
  std::atomic<bool> busy{false};
  RunResult result;
  {
    CDeletionWorker worker(host, ops, host, host, busy);
    if (!worker.Start(permanent)) return result;
    for (int i = 0; i < 6000 && worker.IsRunning(); ++i) {
      PumpMessages();
      Sleep(5);
    }
    PumpMessages();
    result.ended = !worker.IsRunning() && !busy.load() && IsWindowEnabled(list.Handle());
  }
  const std::vector<std::wstring> left = list.Column(0);
  for (const std::wstring& row : rows) {
    const bool kept = std::find(left.begin(), left.end(), row) != left.end();
    (kept ? result.kept : result.removed).push_back(row);
  }
  return result;
}

void CheckCase(const Listing& before, const Listing& after, const std::vector<std::wstring>& rows,
               const RunResult& result, const std::vector<std::wstring>& canaries, bool inUse) {
  EXPECT_TRUE(result.ended) << "the run did not end";
  for (const std::wstring& canary : canaries) {
    for (const std::wstring& row : rows)
      EXPECT_FALSE(AtOrBelow(canary, row)) << "a canary was listed: " << canary.c_str();
    EXPECT_TRUE(after.count(canary)) << "canary gone: " << canary.c_str();
  }
  const Listing rest = WithoutRows(before, rows), restAfter = WithoutRows(after, rows);
  for (const auto& [path, record] : rest) {
    const auto found = restAfter.find(path);
    EXPECT_TRUE(found != restAfter.end() && found->second == record)
        << "changed outside the rows: " << std::string(path.begin(), path.end());
  }
  for (const auto& [path, record] : restAfter)
    EXPECT_TRUE(rest.count(path)) << "appeared outside the rows: "
                                  << std::string(path.begin(), path.end());
  for (const std::wstring& row : result.removed)
    EXPECT_TRUE(!Exists(row) || (inUse && PendingAtRestart(row)))
        << "row removed, item still there: " << std::string(row.begin(), row.end());
  for (const std::wstring& row : result.kept)
    EXPECT_TRUE(Exists(row)) << "row kept, item gone: " << std::string(row.begin(), row.end());
}

bool PendingAtRestart(const std::wstring& path) {
  const std::wstring shown = DisplayPath(path);
  const std::vector<std::wstring> items = ReadPending();
  for (size_t i = 0; i + 1 < items.size(); i += 2) {
    const std::wstring& item = items[i];
    if (item.size() >= shown.size() && SameText(item.substr(item.size() - shown.size()), shown))
      return true;
  }
  return false;
}

void ForgetPendingBelow(const std::wstring& root) {
  const std::vector<std::wstring> items = ReadPending();
  std::wstring kept;
  bool changed = false;
  for (size_t i = 0; i + 1 < items.size(); i += 2) {
    if (items[i].find(root) != std::wstring::npos) {
      changed = true;
      continue;
    }
    kept += items[i] + L'\0' + items[i + 1] + L'\0';
  }
  if (!changed) return;
  RegKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionKey, 0, KEY_SET_VALUE, key.put())) return;
  kept += L'\0';
  RegSetValueExW(key.get(), kPendingValue, 0, REG_MULTI_SZ,
                 reinterpret_cast<const BYTE*>(kept.data()),
                 static_cast<DWORD>(kept.size() * sizeof(wchar_t)));
}

}  // namespace klarex::test
