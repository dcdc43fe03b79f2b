// The privacy verb: the Advance dialog's categories run without the dialog.
// Stores that are no files (registry histories, Firefox's and Internet
// Explorer's histories) are cleared by the run itself; the files it finds are
// then deleted for good, as the rows they would be in the window's list.
#include <atomic>

#include "cmd/row_format.h"
#include "cmd/runs.h"
#include "engine/firefox_history.h"
#include "engine/list_rows.h"
#include "engine/privacy_run.h"
#include "engine/running_browsers.h"
#include "sys/handles.h"

namespace klarex::cmd {
namespace {

class CFoundFiles final : public IFoundItemSink {
 public:
  std::vector<FoundItem> items;
  void Add(const FoundItem& item) override { items.push_back(item); }
  void EndOfScan() override {}
};

bool KeyExists(const wchar_t* path) {
  HKEY key = nullptr;
  const bool opened = ::RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) == ERROR_SUCCESS;
  const RegKey owner(opened ? key : nullptr);
  return opened;
}

// What a run of the chosen categories clears besides its files: the
// registry histories that exist now, and the other stores by name.
struct Stores {
  std::vector<const wchar_t*> keys;
  std::vector<std::wstring> named;
};

Stores StoresToClear(const CategoryFlags& chosen, const Catalogue& catalogue,
                     const CFirefoxHistory& firefox) {
  Stores stores;
  for (std::size_t i = 0; i < kCategoryCount; ++i) {
    if (!chosen[i]) continue;
    for (const wchar_t* key : CategoryRegistryKeys(catalogue, i)) {
      if (KeyExists(key)) stores.keys.push_back(key);
    }
  }
  if (chosen[kUrlHistory]) {
    stores.named.push_back(L"Internet Explorer history and URL cache");
    if (firefox.IsOpen()) stores.named.push_back(L"Firefox history (bookmarked places kept)");
  }
  if (chosen[kTypedUrls] && firefox.IsOpen()) stores.named.push_back(L"Firefox typed addresses");
  return stores;
}

std::vector<FoundItem> RunCategories(const CategoryFlags& chosen, RunContext& run,
                                     CFirefoxHistory& firefox, bool preview) {
  CFoundFiles found;
  CKeepFilterSink kept(run.keep, found);
  const PrivacyScanContext scans{run.catalogue, run.machine, firefox, kept, preview};
  std::atomic<int> progress{0};
  RunPrivacyCategories(scans, chosen, progress);
  return found.items;
}

constexpr const wchar_t* kCategoryWords[kCategoryCount] = {L"url",  L"autocomplete", L"run",
                                                           L"find", L"typed",        L"recent"};

// The chosen categories without those that reach a running browser directly
// (its history database, its URL cache); each one left out is named.
CategoryFlags LeaveRunningBrowsersAlone(const CategoryFlags& chosen, RunContext& run,
                                        int& skipped) {
  CategoryFlags kept = chosen;
  for (std::size_t i = 0; i < kCategoryCount; ++i) {
    if (!chosen[i]) continue;
    std::vector<bool> one(kCategoryCount, false);
    one[i] = true;
    const std::vector<size_t> reached =
        RunningReachedBrowsers(run.guard.programs, run.guard.running, one);
    if (reached.empty()) continue;
    kept[i] = 0;
    ++skipped;
    run.out.Line(std::wstring(L"skipped\t") + kCategoryWords[i]);
    run.err.Line(std::wstring(L"KlarexCmd: skipped ") + kCategoryWords[i] + L": " +
                 ProgramNames(run.guard.programs, reached) + L" running");
  }
  return kept;
}

RecordEntry KeyRecord(const std::wstring& key, bool cleared) {
  RecordEntry entry{{},
                    RecordMode::Advance,
                    RecordAction::Delete,
                    cleared ? RecordOutcome::Deleted : RecordOutcome::Failed,
                    std::nullopt,
                    key};
  ::GetSystemTimeAsFileTime(&entry.time);
  return entry;
}

std::wstring KeyText(const wchar_t* key) { return std::wstring(L"HKCU\\") + key; }

int DryRun(const std::vector<FoundItem>& files, const Stores& stores, COutput& out) {
  for (const wchar_t* key : stores.keys) out.Line(L"would-clear\t" + KeyText(key));
  for (const std::wstring& store : stores.named) out.Line(L"would-clear\t" + store);
  for (auto file = files.rbegin(); file != files.rend(); ++file)
    out.Line(std::wstring(L"would-delete\t") + file->cFileName);
  out.Line(L"Dry run: " + std::to_wstring(stores.keys.size() + stores.named.size()) +
           L" histories, " + std::to_wstring(files.size()) + L" files; nothing changed");
  return kExitDone;
}

}  // namespace

int RunPrivacy(const Arguments& args, RunContext& run) {
  if (!MayAsk(args, run.err)) return kExitRefused;
  int skipped = 0;
  const CategoryFlags chosen = LeaveRunningBrowsersAlone(args.categories, run, skipped);
  CFirefoxHistory firefox(run.catalogue.firefoxProfileDir, run.status);
  if (chosen[kUrlHistory] || chosen[kTypedUrls]) {
    firefox.Open();
    run.status.SetStatusText(firefox.TakePendingStatus());
  }
  const Stores stores = StoresToClear(chosen, run.catalogue, firefox);
  const std::vector<FoundItem> preview = ListOrder(RunCategories(chosen, run, firefox, true));
  if (args.dryRun) return DryRun(preview, stores, run.out);
  const std::wstring question =
      L"Clear " + std::to_wstring(stores.keys.size() + stores.named.size()) +
      L" histories and delete " + std::to_wstring(preview.size()) + L" files?";
  if (!Consent(args, run.err, question)) return kExitRefused;

  const std::vector<FoundItem> files = RunCategories(chosen, run, firefox, false);
  bool keyLeft = false;
  std::vector<RecordEntry> record;
  for (const wchar_t* key : stores.keys) {
    const bool left = KeyExists(key);
    keyLeft |= left;
    run.out.Line((left ? L"failed\t" : L"cleared\t") + KeyText(key));
    record.push_back(KeyRecord(KeyText(key), !left));
  }
  AppendRecord(run, record);
  for (const std::wstring& store : stores.named) run.out.Line(L"cleared\t" + store);
  RunTally tally;
  tally.skipped = skipped;
  DeleteRows(DescribeRows(files, false, run.err), RecordMode::Advance, true, run, tally);
  run.out.Line(TallyText(tally));
  return tally.Incomplete() || keyLeft || run.status.Reported() ? kExitIncomplete : kExitDone;
}

}  // namespace klarex::cmd
