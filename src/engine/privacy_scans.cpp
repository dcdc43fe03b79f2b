// The browser privacy scans of the Advance dialog, run on its privacy worker
// thread. Files are only found (they become list rows); stores that cannot be
// listed as files (registry histories, the Firefox database, the IE history and
// URL cache) are cleared at once. Each scan advances the dialog's counter by a
// fixed amount, whatever exists on the machine.
#include <objbase.h>
#include <shlobj.h>
#include <urlhist.h>
#include <windows.h>

#include <string>

#include "engine/klarex_doc.h"
#include "sys/operations.h"

namespace klarex {

namespace {

// CLSID_CUrlHistory, the in-process URL history store.
constexpr CLSID kUrlHistoryClsid = {
    0x3C374A40, 0xBAE4, 0x11CF, {0xBF, 0x7D, 0x00, 0xAA, 0x00, 0x69, 0x46, 0xEE}};

// COM belongs to the calling thread (the privacy worker initialises it); when
// the store cannot be created there is simply nothing to clear.
void ClearInternetExplorerHistory() {
  IUrlHistoryStg2* store = nullptr;
  if (FAILED(CoCreateInstance(kUrlHistoryClsid, nullptr, CLSCTX_INPROC_SERVER,
                              __uuidof(IUrlHistoryStg2), reinterpret_cast<void**>(&store))) ||
      !store)
    return;
  store->ClearHistory();  // E_NOTIMPL under Wine; nothing else to do about it
  store->Release();
}

std::wstring SafariRoamingDir(const std::wstring& appDataDir) {
  return JoinPath(appDataDir, L"Apple Computer\\Safari");
}

}  // namespace

void CKlarexDoc::ScanUrlHistory(std::atomic<int>* progress) {
  std::wstring ieHistory;
  if (!m_machine.SpecialFolder(CSIDL_HISTORY, ieHistory) || ieHistory.empty())
    ieHistory = JoinPath(m_windowsDir, L"History");
  AddPath(ieHistory);
  *progress += 1;
  ScanFolder(m_mozillaProfileDir, L"netscape.hst");
  *progress += 1;
  ScanFolder(JoinPath(m_netscapeDir, L"Users\\Default"), L"netscape.hst");
  AddPath(JoinPath(m_safariLocalDir, L"History"));
  ScanFolder(SafariRoamingDir(m_appDataDir), L"History.plist");
  *progress += 1;
  ScanFolder(m_firefoxProfileDir, L"history.*");
  ClearFirefoxHistory();
  *progress += 1;
  ScanFolder(m_chromeProfileDir, L"History*.*");
  *progress += 1;
  ScanFolder(m_chromeProfileDir, L"Archived History.*");
  *progress += 1;
  ClearInternetExplorerHistory();
  ClearUrlCache();
  ScanTree(m_edgePackageAcDir, L"History");
  *progress += 10;
}

void CKlarexDoc::ScanFormData(std::atomic<int>* progress) {
  ScanFolder(SafariRoamingDir(m_appDataDir), L"Form Values.plist");
  ScanFolder(m_firefoxProfileDir, L"formhistory.*");
  *progress += 1;
  ScanFolder(m_firefoxProfileDir, L"signons*.txt");
  *progress += 1;
  for (const wchar_t* name : {L"Local Storage", L"Session Storage", L"Storage"})
    AddPath(JoinPath(m_chromeProfileDir, name));
  ScanFolder(JoinPath(m_chromeProfileDir, L"Sync Data"), m_allFilesMask.c_str());
  AddPath(JoinPath(m_safariLocalDir, L"LocalStorage"));
  *progress += 1;
  DeleteRegistryKeys(m_autoCompleteKeys, progress);
  *progress += 1;
}

void CKlarexDoc::ScanFindHistory(std::atomic<int>* progress) {
  ScanFolder(SafariRoamingDir(m_appDataDir), L"LastSession.plist");
  ScanFolder(JoinPath(m_appDataDir, L"Google\\Local Search History"), m_allFilesMask.c_str());
  *progress += 1;
  ScanFolder(
      JoinPath(m_systemDrive, L"ProgramData\\Microsoft\\Search\\Data\\Applications\\Windows"),
      L"*.log");
  ScanFolder(m_firefoxProfileDir, L"search.sqlite");
  DeleteRegistryKeys(m_findHistoryKeys, progress);
}

void CKlarexDoc::ScanTypedUrls(std::atomic<int>* progress) {
  DeleteRegistryKeys(m_typedUrlKeys, progress);
  ScanFolder(SafariRoamingDir(m_appDataDir), L"TopSites.plist");
  AddPath(JoinPath(m_safariLocalDir, L"Webpage Previews"));
  AddPath(JoinPath(m_firefoxLocalProfileDir, L"thumbnails"));
  ClearFirefoxInputHistory();
  *progress += 1;
}

void CKlarexDoc::ScanRecentDocuments(std::atomic<int>* progress) {
  std::wstring recent;
  if (m_machine.SpecialFolder(CSIDL_RECENT, recent) && !recent.empty()) AddPath(recent);
  *progress += 1;
  ScanFolder(JoinPath(m_officeRootDir, L"Recent"), m_allFilesMask.c_str());
  *progress += 1;
  ScanFolder(JoinPath(m_appDataDir, L"Microsoft\\Office\\Recent"), m_allFilesMask.c_str());
  AddPath(JoinPath(m_chromeProfileDir, L"Session Storage"));
  *progress += 1;
  DeleteRegistryKeys(m_recentDocKeys, progress);
}

}  // namespace klarex
