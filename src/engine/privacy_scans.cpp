#include "engine/privacy_scans.h"

#include <objbase.h>
#include <shlobj.h>
#include <urlhist.h>
#include <windows.h>

#include <string>

#include "engine/running_browsers.h"
#include "engine/scanner.h"
#include "sys/com_ptr.h"
#include "sys/operations.h"

namespace klarex {

namespace {

// CLSID_CUrlHistory, the in-process URL history store.
constexpr CLSID kUrlHistoryClsid = {
    0x3C374A40, 0xBAE4, 0x11CF, {0xBF, 0x7D, 0x00, 0xAA, 0x00, 0x69, 0x46, 0xEE}};

// COM belongs to the calling thread (the privacy worker initialises it); when
// the store cannot be created there is simply nothing to clear.
void ClearInternetExplorerHistory() {
  ComPtr<IUrlHistoryStg2> store;
  if (FAILED(CoCreateInstance(kUrlHistoryClsid, nullptr, CLSCTX_INPROC_SERVER,
                              __uuidof(IUrlHistoryStg2), store.put_void())) ||
      !store)
    return;
  store->ClearHistory();  // E_NOTIMPL under Wine; nothing else to do about it
}

// Internet Explorer's and legacy Edge's stores: left alone while one of them runs.
constexpr unsigned kIeAndEdge = kBrowserInternetExplorer | kBrowserEdge;

// Deleted from a copy: the catalogue keeps its lists for the next run. A
// preview, or keys of a browser left alone, move the counter all the same.
void ClearRegistryKeys(const PrivacyScanContext& context, const NameList& keys,
                       std::atomic<int>& progress, bool leftAlone = false) {
  if (context.preview || leftAlone)
    progress += static_cast<int>(keys.size());
  else
    DeleteRegistryKeys(keys, &progress);
}

std::wstring SafariRoamingDir(const std::wstring& appDataDir) {
  return JoinPath(appDataDir, L"Apple Computer\\Safari");
}

}  // namespace

void ScanUrlHistory(const PrivacyScanContext& context, std::atomic<int>& progress) {
  const Catalogue& c = context.catalogue;
  IFoundItemSink& out = context.found;
  std::wstring ieHistory;
  if (!context.machine.SpecialFolder(CSIDL_HISTORY, ieHistory) || ieHistory.empty())
    ieHistory = JoinPath(c.windowsDir, L"History");
  AddPath(out, ieHistory);
  progress += 1;
  ScanFolder(out, c.mozillaProfileDir, L"netscape.hst");
  progress += 1;
  ScanFolder(out, JoinPath(c.netscapeDir, L"Users\\Default"), L"netscape.hst");
  AddPath(out, JoinPath(c.safariLocalDir, L"History"));
  ScanFolder(out, SafariRoamingDir(c.appDataDir), L"History.plist");
  progress += 1;
  ScanFolder(out, c.firefoxProfileDir, L"history.*");
  if (!context.preview && !(context.skipBrowsers & kBrowserFirefox)) context.firefox.ClearHistory();
  progress += 1;
  ScanFolder(out, c.chromeProfileDir, L"History*.*");
  progress += 1;
  ScanFolder(out, c.chromeProfileDir, L"Archived History.*");
  progress += 1;
  if (!context.preview && !(context.skipBrowsers & kIeAndEdge)) {
    ClearInternetExplorerHistory();
    ClearUrlCache();
  }
  ScanTree(out, c.edgePackageAcDir, L"History");
  progress += 10;
}

void ScanFormData(const PrivacyScanContext& context, std::atomic<int>& progress) {
  const Catalogue& c = context.catalogue;
  IFoundItemSink& out = context.found;
  ScanFolder(out, SafariRoamingDir(c.appDataDir), L"Form Values.plist");
  ScanFolder(out, c.firefoxProfileDir, L"formhistory.*");
  progress += 1;
  ScanFolder(out, c.firefoxProfileDir, L"signons*.txt");
  progress += 1;
  for (const wchar_t* name : {L"Local Storage", L"Session Storage", L"Storage"})
    AddPath(out, JoinPath(c.chromeProfileDir, name));
  ScanFolder(out, JoinPath(c.chromeProfileDir, L"Sync Data"), kAllFilesMask);
  AddPath(out, JoinPath(c.safariLocalDir, L"LocalStorage"));
  progress += 1;
  ClearRegistryKeys(context, c.autoCompleteKeys, progress, context.skipBrowsers & kIeAndEdge);
  progress += 1;
}

void ScanRunHistory(const PrivacyScanContext& context, std::atomic<int>& progress) {
  ClearRegistryKeys(context, context.catalogue.runHistoryKeys, progress);
}

void ScanFindHistory(const PrivacyScanContext& context, std::atomic<int>& progress) {
  const Catalogue& c = context.catalogue;
  IFoundItemSink& out = context.found;
  ScanFolder(out, SafariRoamingDir(c.appDataDir), L"LastSession.plist");
  ScanFolder(out, JoinPath(c.appDataDir, L"Google\\Local Search History"), kAllFilesMask);
  progress += 1;
  ScanFolder(
      out, JoinPath(c.systemDrive, L"ProgramData\\Microsoft\\Search\\Data\\Applications\\Windows"),
      L"*.log");
  ScanFolder(out, c.firefoxProfileDir, L"search.sqlite");
  ClearRegistryKeys(context, c.findHistoryKeys, progress);
}

void ScanTypedUrls(const PrivacyScanContext& context, std::atomic<int>& progress) {
  const Catalogue& c = context.catalogue;
  IFoundItemSink& out = context.found;
  ClearRegistryKeys(context, c.typedUrlKeys, progress, context.skipBrowsers & kIeAndEdge);
  ScanFolder(out, SafariRoamingDir(c.appDataDir), L"TopSites.plist");
  AddPath(out, JoinPath(c.safariLocalDir, L"Webpage Previews"));
  AddPath(out, JoinPath(c.firefoxLocalProfileDir, L"thumbnails"));
  if (!context.preview && !(context.skipBrowsers & kBrowserFirefox))
    context.firefox.ClearInputHistory();
  progress += 1;
}

void ScanRecentDocuments(const PrivacyScanContext& context, std::atomic<int>& progress) {
  const Catalogue& c = context.catalogue;
  IFoundItemSink& out = context.found;
  std::wstring recent;
  if (context.machine.SpecialFolder(CSIDL_RECENT, recent) && !recent.empty()) AddPath(out, recent);
  progress += 1;
  ScanFolder(out, JoinPath(c.officeRootDir, L"Recent"), kAllFilesMask);
  progress += 1;
  ScanFolder(out, JoinPath(c.appDataDir, L"Microsoft\\Office\\Recent"), kAllFilesMask);
  AddPath(out, JoinPath(c.chromeProfileDir, L"Session Storage"));
  progress += 1;
  ClearRegistryKeys(context, c.recentDocKeys, progress);
}

}  // namespace klarex
