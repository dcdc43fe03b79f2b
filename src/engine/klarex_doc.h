// The document: the target catalogue of places to clean, the scanner and its
// found-item queue, the three mode scans, the Firefox history database and the
// browser privacy scans. No window code.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "engine/found_item_queue.h"
#include "engine/sqlite_db.h"
#include "framework/document.h"
#include "sys/machine.h"

namespace klarex {

// Shell type name of the Windows folder; a list row whose Type equals it is a folder.
extern std::wstring g_folderTypeName;

using NameList = std::vector<const wchar_t*>;
using FolderMaskList = std::vector<std::pair<const wchar_t*, const wchar_t*>>;

class CKlarexDoc : public CDocument {
 public:
  // Builds the whole catalogue from `machine` (kept by reference for the
  // fixed-drive walks and special folders of the scans).
  explicit CKlarexDoc(IMachine& machine);
  ~CKlarexDoc() override;

  // --- Scanner -------------------------------------------------------------
  void AddFoundItem(const wchar_t* fullPath, const FoundItem& item);
  void ScanFolder(const std::wstring& folder, const wchar_t* mask,
                  const wchar_t* excludedName = L"");
  void ScanTree(const std::wstring& folder, const wchar_t* spec);
  void AddPath(const std::wstring& path);
  void ScanFolderMasks(const std::wstring& folder, const NameList& masks);
  void ScanSubfolderMasks(const std::wstring& folder, const FolderMaskList& pairs);
  void ScanFoldersWithMask(const std::wstring& folder, const NameList& names, const wchar_t* mask);
  void AddPaths(const std::wstring& folder, const NameList& names);

  // --- Mode scans ----------------------------------------------------------
  void ScanStandard();
  void ScanCookies();
  void ScanOfflineTemp();

  // --- Firefox history -----------------------------------------------------
  bool OpenFirefoxHistory();
  void ClearFirefoxHistory();
  void ClearFirefoxInputHistory();
  // Text of a failed OpenFirefoxHistory, kept until the status line exists.
  std::wstring TakePendingStatus() { return std::exchange(m_pendingStatus, {}); }

  // --- Browser privacy scans (privacy worker thread) -----------------------
  void ScanUrlHistory(std::atomic<int>* progress);
  void ScanFormData(std::atomic<int>* progress);
  void ScanFindHistory(std::atomic<int>* progress);
  void ScanTypedUrls(std::atomic<int>* progress);
  void ScanRecentDocuments(std::atomic<int>* progress);

  std::wstring FindAppDataFolder(const wchar_t* name, bool localOnly) const;
  std::wstring FindFirefoxProfile(bool local) const;

  CFoundItemQueue& Queue() { return m_queue; }
  IMachine& Machine() { return m_machine; }

  // --- Base folders ------------------------------------------------------
  std::wstring m_allFilesMask;
  std::wstring m_driveRoot;
  std::wstring m_windowsDir;
  std::wstring m_systemDrive;
  std::wstring m_allUsersProfileDir;
  std::wstring m_appDataDir;
  std::wstring m_programFilesDir;
  std::wstring m_commonFilesX86Dir;
  std::wstring m_localAppDataDir;
  std::wstring m_musicDir;
  std::wstring m_internetCacheDir;
  std::wstring m_officeShortcutBarDir;
  std::wstring m_icqDir;
  std::wstring m_netscapeDir;
  std::wstring m_officeRootDir;

  // --- Derived browser folders ----------------------------------------------
  std::wstring m_edgePackageName;
  std::wstring m_edgePackageAcDir;
  std::vector<std::wstring> m_edgeDomStorePaths;
  std::vector<std::wstring> m_edgeCachePaths;
  std::wstring m_mozillaProfileDir;
  std::wstring m_operaProfileDir;
  std::wstring m_chromeProfileDir;
  std::wstring m_firefoxProfileDir;
  std::wstring m_firefoxLocalProfileDir;
  std::wstring m_safariLocalDir;

  DWORD m_driveMask = 0;
  // A running Firefox holds its database locked: each statement gives up after
  // this long, so a whole privacy run waits a few seconds at most.
  static constexpr int kHistoryBusyTimeoutMs = 1500;
  CSqliteDb m_historyDb{kHistoryBusyTimeoutMs};

  // --- Catalogue lists ---------------------------------------------------
  FolderMaskList m_winDirSubfolderMasks;
  NameList m_legacyIeFolders;
  NameList m_winDirMasks;
  NameList m_fixedDriveMasks;
  NameList m_allUsersFolders;
  NameList m_appDataFolders;
  NameList m_rootFiles;
  NameList m_fixedDriveFolders;
  NameList m_winDirFolders;
  NameList m_fixedDriveSetupFolders;
  NameList m_winDirCacheFolders;
  NameList m_localAppDataFolders;
  NameList m_realPlayerFolders;
  NameList m_runHistoryKeys;
  NameList m_autoCompleteKeys;
  NameList m_typedUrlKeys;
  NameList m_findHistoryKeys;
  NameList m_recentDocKeys;

 private:
  template <typename PerDrive>
  void WalkFixedDrives(PerDrive perDrive);
  void FindOfficeRoot();
  void FindEdgeCachePaths(const wchar_t* cacheName, std::vector<std::wstring>& out);
  void FillLists();

  IMachine& m_machine;
  CFoundItemQueue m_queue;
  std::wstring m_pendingStatus;
};

// join(a, b): PathCombineW; empty when `a` is unresolved (empty or "null") or the
// result would not fit 259 characters.
std::wstring JoinPath(const std::wstring& a, const std::wstring& b);

}  // namespace klarex
