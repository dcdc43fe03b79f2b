#include "frame/main_frame.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>

#include "../res/ids_main.h"
#include "engine/deletion_record.h"
#include "engine/keep_list.h"
#include "frame/command_texts.h"
#include "frame/extended_catalogue.h"
#include "frame/kept_items_dlg.h"
#include "frame/language_setup.h"
#include "frame/single_instance.h"
#include "frame/window_placement.h"
#include "framework/app_messages.h"
#include "framework/file_dialog.h"
#include "framework/language.h"
#include "framework/resources.h"
#include "klarex_version.h"
#include "view/klarex_view.h"

namespace klarex {

namespace {
constexpr double kVersion = KLAREX_VERSION_NUMBER;
}

std::wstring MainFrameCaption(const std::wstring& appTitle) {
  wchar_t tail[64];
  swprintf(tail, std::size(tail), L" (64 bit) %.2f", kVersion);
  return appTitle + tail;
}

CKlarexView* CMainFrame::KlarexView() const { return static_cast<CKlarexView*>(ActiveView()); }

CKlarexDoc* CMainFrame::KlarexDoc() const {
  CKlarexView* view = KlarexView();
  return view ? static_cast<CKlarexDoc*>(view->Document()) : nullptr;
}

void CMainFrame::PreCreateWindow(const wchar_t* className) {
  // A second start finds this window by its class.
  RecordInstanceClassName(className);
}

int CMainFrame::OnCreate() {
  if (!m_toolBar.Create(m_hwnd, WS_CHILD | WS_VISIBLE, kIdToolBar) ||
      !m_toolBar.LoadToolBar(IDR_MAINFRAME))
    return -1;
  m_toolBar.LoadImages(nullptr, IDR_MAINFRAME);
  if (!m_statusBar.Create(m_hwnd, WS_CHILD | WS_VISIBLE, kIdStatusBar) ||
      !m_statusBar.SetIndicators({0, ID_INDICATOR_PROGRESS}))
    return -1;
  SetBars(&m_toolBar, &m_statusBar);
  m_status.Attach(&m_statusBar);
  m_progress.Attach(m_statusBar.Handle());

  const std::wstring setting =
      m_profile.GetString(CurrentUserName(), kLanguageEntry, kDefaultLanguage);
  Language().SetSetting(setting);
  if (setting == kDefaultLanguage) DetectDefaultLanguage();
  if (IsLanguageActive()) ApplyLanguage(Language().Setting());
  ThemeMenus(IDR_MAINFRAME);

  SetText(MainFrameCaption(LoadResString(IDS_APP_TITLE)));
  SetMenuBarDisplayOnFocus();
  return 0;
}

void CMainFrame::InitialUpdateFrame() {
  CThemedFrame<CFrameWnd>::InitialUpdateFrame();
  PlaceWindow();
  CKlarexView* view = KlarexView();
  CKlarexDoc* doc = KlarexDoc();
  if (!doc) return;
  m_modes =
      std::make_unique<CModeController>(*doc, *view, m_advance, [this] { UpdateToolbarStates(); });
  view->SetListEmptiedHandler([this] { m_modes->OnListEmptied(); });
  m_modes->Start();
  // A failed opening of the Firefox history waited for the status line; so
  // did the definitions refused while the extended catalogue is on.
  std::wstring pending = doc->TakePendingStatus();
  if (pending.empty() && doc->ExtendedCatalogue())
    pending = RefusalNotice(doc->Definitions().refusals);
  if (!pending.empty()) m_status.ShowNotice(pending);
}

void CMainFrame::PlaceWindow() {
  const PlacementRect r = ChooseWindowRect(ReadStoredWindowRect(m_profile));
  ::MoveWindow(m_hwnd, r.left, r.top, r.width, r.height, TRUE);
}

void CMainFrame::RecalcLayout() {
  CThemedFrame<CFrameWnd>::RecalcLayout();
  if (CView* view = ActiveView(); view && view->IsWindow())
    m_progress.LayoutPanes(view->ClientRect().right);
}

void CMainFrame::DetectDefaultLanguage() {
  m_languageFolder = ProgramLanguageFolder();
  std::wstring file = DetectLanguageFile(m_languageFolder);
  if (!file.empty()) Language().SetSetting(file);
}

void CMainFrame::ApplyLanguage(const std::wstring& path) { ApplyLanguageToMenu(MenuBar(), path); }

void CMainFrame::OnLanguage() {
  OpenFileRequest request;
  request.owner = m_hwnd;
  request.filter = L"*.lng (Klarex .NET Language Files) |*.lng||";
  request.title = L"Select Language";
  request.initialFolder = m_languageFolder;
  std::wstring path = ShowOpenFileDialog(request);
  if (path.empty()) return;
  ApplyLanguage(path);
  if (CView* view = ActiveView()) view->Post(kMsgLanguageChanged, 0, 0);
}

bool CMainFrame::OnCommand(UINT id) {
  if (m_modes && m_modes->OnCommand(id)) return true;
  if (id == ID_LANGUAGE) {
    OnLanguage();
    return true;
  }
  if (id == ID_EXTENDED_CATALOGUE) {
    OnExtendedCatalogue();
    return true;
  }
  if (id == ID_KEPT_ITEMS) {
    OnKeptItems();
    return true;
  }
  if (id == ID_DELETION_RECORD) {
    OnDeletionRecord();
    return true;
  }
  return CFrameWnd::OnCommand(id);
}

void CMainFrame::OnExtendedCatalogue() {
  CKlarexDoc* doc = KlarexDoc();
  if (!doc) return;
  doc->SetExtendedCatalogue(!doc->ExtendedCatalogue());
  StoreExtendedCatalogue(m_profile, doc->ExtendedCatalogue());
}

void CMainFrame::OnKeptItems() {
  if (!m_services.keep) return;
  CKeptItemsDlg dialog(m_hwnd, *m_services.keep);
  dialog.DoModal();
}

void CMainFrame::OnDeletionRecord() {
  if (!m_services.record || m_services.record->Path().empty()) return;
  const std::wstring& path = m_services.record->Path();
  const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
  auto open = [this](const std::wstring& target) {
    return reinterpret_cast<INT_PTR>(::ShellExecuteW(m_hwnd, nullptr, target.c_str(), nullptr,
                                                     nullptr, SW_SHOWNORMAL)) > 32;
  };
  // No record yet, or no program for .csv: the folder, made if need be.
  if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES && open(path)) return;
  ::CreateDirectoryW(folder.c_str(), nullptr);
  if (open(folder)) return;
  std::wstring text = GetLangString(L"Record", L"1", L"Cannot open %1");
  if (const size_t at = text.find(L"%1"); at != std::wstring::npos) text.replace(at, 2, path);
  m_status.ShowNotice(text);
}

bool CMainFrame::QueryCommandState(UINT id, CommandState& state) {
  UiSnapshot snapshot;
  if (CKlarexView* view = KlarexView(); view && view->IsWindow()) snapshot = view->Snapshot();
  if (m_modes) {
    snapshot.mode = m_modes->State().mode;
    snapshot.cookiesAvailable = m_modes->State().cookiesAvailable;
  }
  snapshot.toolBarVisible = m_toolBar.HasVisibleStyle();
  snapshot.statusBarVisible = m_statusBar.HasVisibleStyle();
  if (const CKlarexDoc* doc = KlarexDoc()) snapshot.extendedCatalogue = doc->ExtendedCatalogue();
  return ComputeCommandState(id, snapshot, state);
}

bool CMainFrame::PreTranslateMessage(MSG* msg) {
  // A notice in the status line stays until the user does something here.
  if (IsUserAction(msg->message) && (msg->hwnd == m_hwnd || ::IsChild(m_hwnd, msg->hwnd)))
    m_status.ReleaseNotice();
  return CThemedFrame<CFrameWnd>::PreTranslateMessage(msg);
}

void CMainFrame::OnClose() {
  m_progress.Detach();  // also releases the taskbar progress
  m_status.Detach();
  StoreWindowRect(m_profile, WindowRect());
  m_profile.WriteString(CurrentUserName(), kLanguageEntry, Language().Setting());
  // The list's window goes with the frame's: a deletion still running stops
  // before its next row and is waited for.
  CFrameWnd::OnClose();
}

bool CMainFrame::OnNcActivate(bool) {
  // The caption is always drawn active.
  return CFrameWnd::OnNcActivate(true);
}

void CMainFrame::OnMenuSelect(UINT id, UINT flags, HMENU menu) {
  if (!(flags & (MF_POPUP | MF_SEPARATOR)) && !(flags == 0xFFFF && !menu)) {
    if (std::optional<std::wstring> text = TranslatedMenuHover(id)) {
      SetMessageText(*text);
      return;
    }
  }
  CFrameWnd::OnMenuSelect(id, flags, menu);
}

std::wstring CMainFrame::GetMessageString(UINT id) {
  if (std::optional<std::wstring> text = TranslatedStatusPrompt(id)) return *text;
  return CFrameWnd::GetMessageString(id);
}

void CMainFrame::OnToolTipText(NMHDR* header) {
  if (!IsLanguageActive()) {
    CFrameWnd::OnToolTipText(header);
    return;
  }
  SetToolTipText(header, TranslatedToolTip(static_cast<UINT>(header->idFrom)));
}

}  // namespace klarex
