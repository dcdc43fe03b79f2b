#include "privacy/privacy_worker.h"

#include "engine/running_browsers.h"
#include "sys/handles.h"

namespace klarex {
namespace {

bool KeyExists(const wchar_t* key) {
  RegKey handle;
  return ::RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, handle.put()) == ERROR_SUCCESS;
}

}  // namespace

std::vector<const wchar_t*> CategoryRegistryKeys(const PrivacyScanContext& scans,
                                                 const CategoryFlags& selected) {
  const bool ieLeftAlone = scans.skipBrowsers & (kBrowserInternetExplorer | kBrowserEdge);
  std::vector<const wchar_t*> keys;
  for (std::size_t i = 0; i < kCategoryCount; ++i) {
    if (!selected[i]) continue;
    if (ieLeftAlone && (i == kAutoComplete || i == kTypedUrls)) continue;
    const NameList& list = CategoryRegistryKeys(scans.catalogue, i);
    keys.insert(keys.end(), list.begin(), list.end());
  }
  return keys;
}

bool RunPrivacyCategories(const PrivacyScanContext& scans, const CategoryFlags& selected,
                          std::atomic<int>& progress, CDeletionRecord* record) {
  // Which keys are there before the run tells deleted from absent after it.
  const std::vector<const wchar_t*> keys =
      record ? CategoryRegistryKeys(scans, selected) : std::vector<const wchar_t*>();
  std::vector<bool> existed;
  for (const wchar_t* key : keys) existed.push_back(KeyExists(key));
  RunPrivacyCategories(scans, selected, progress);
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
