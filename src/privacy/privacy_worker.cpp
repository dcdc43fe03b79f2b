#include "privacy/privacy_worker.h"

#include <objbase.h>

#include "engine/running_browsers.h"
#include "sys/handles.h"
#include "sys/operations.h"

namespace klarex {
namespace {

// COM for the calling thread, balanced only when this call succeeded (S_FALSE
// counts: the thread was already in an apartment of the same kind).
class ComApartment {
 public:
  ComApartment() : m_hr(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComApartment() {
    if (SUCCEEDED(m_hr)) ::CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  HRESULT m_hr;
};

bool KeyExists(const wchar_t* key) {
  RegKey handle;
  return ::RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, handle.put()) == ERROR_SUCCESS;
}

}  // namespace

std::vector<const wchar_t*> CategoryRegistryKeys(const PrivacyScanContext& scans,
                                                 const CategoryFlags& selected) {
  const Catalogue& c = scans.catalogue;
  const bool ieLeftAlone = scans.skipBrowsers & (kBrowserInternetExplorer | kBrowserEdge);
  std::vector<const wchar_t*> keys;
  auto add = [&keys](const NameList& list) { keys.insert(keys.end(), list.begin(), list.end()); };
  if (selected[1] && !ieLeftAlone) add(c.autoCompleteKeys);
  if (selected[2]) add(c.runHistoryKeys);
  if (selected[3]) add(c.findHistoryKeys);
  if (selected[4] && !ieLeftAlone) add(c.typedUrlKeys);
  if (selected[5]) add(c.recentDocKeys);
  return keys;
}

bool RunPrivacyCategories(const PrivacyScanContext& scans, const CategoryFlags& selected,
                          std::atomic<int>& progress, CDeletionRecord* record) {
  // Which keys are there before the run tells deleted from absent after it.
  const std::vector<const wchar_t*> keys =
      record ? CategoryRegistryKeys(scans, selected) : std::vector<const wchar_t*>();
  std::vector<bool> existed;
  for (const wchar_t* key : keys) existed.push_back(KeyExists(key));
  ComApartment com;
  if (selected[0]) ScanUrlHistory(scans, progress);
  if (selected[1]) ScanFormData(scans, progress);
  // Deleted from a copy: the catalogue keeps its list for the next run.
  if (selected[2]) DeleteRegistryKeys(scans.catalogue.runHistoryKeys, &progress);
  if (selected[3]) ScanFindHistory(scans, progress);
  if (selected[4]) ScanTypedUrls(scans, progress);
  if (selected[5]) ScanRecentDocuments(scans, progress);
  if (!record) return true;
  std::vector<RecordEntry> lines;
  for (size_t i = 0; i < keys.size(); ++i) {
    RecordEntry& line = lines.emplace_back();
    ::GetSystemTimeAsFileTime(&line.time);
    line.mode = RecordMode::Advance;
    line.outcome = !existed[i]          ? RecordOutcome::Absent
                   : KeyExists(keys[i]) ? RecordOutcome::Failed
                                        : RecordOutcome::Deleted;
    line.path = keys[i];
  }
  return record->Append(lines);
}

}  // namespace klarex
