#include "privacy/ietdlg.h"

#include <string>
#include <vector>

#include "../res/ids_dialogs.h"
#include "engine/privacy_run.h"
#include "framework/language.h"
#include "framework/resources.h"
#include "framework/wnd.h"
#include "privacy/privacy_worker.h"
#include "sys/processes.h"
#include "view/klarex_doc.h"
#include "view/running_question.h"

namespace klarex {
namespace {

constexpr UINT kAppTitleString = 57344;
constexpr UINT_PTR kProgressTimer = 1;
constexpr UINT kProgressPeriodMs = 5;

void EnableButton(const CThemedButton& button, bool on) { ::EnableWindow(button.Handle(), on); }

bool IsCategoryId(int id) { return id >= IDC_ADVANCE_PASSWORDS && id <= IDC_ADVANCE_URL; }

}  // namespace

CIETDlg::CIETDlg(HWND parent, CKlarexDoc& doc, IProgressDisplay& progress, CDeletionRecord* record)
    : CDialog(IDD_ADVANCE, parent), m_doc(doc), m_progressDisplay(progress), m_record(record) {}

CIETDlg::~CIETDlg() = default;

BOOL CIETDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  for (std::size_t i = 0; i < kCategoryCount; ++i) {
    m_toggle[i].Attach(Item(kPrivacyCategories[i].id));
  }
  m_clean.Attach(Item(IDC_ADVANCE_CLEAN));
  m_cancel.Attach(Item(IDC_ADVANCE_CANCEL));

  // Fixed for this opening: the catalogue does not change while the program runs.
  m_weight = MakeCategoryWeights(m_doc.GetCatalogue().findHistoryKeys.size(),
                                 m_doc.GetCatalogue().recentDocKeys.size());
  if (IsLanguageActive()) ApplyLanguage();

  for (std::size_t i = 0; i < kCategoryCount; ++i) SetUpToggle(i);
  for (std::size_t i = 0; i < kCategoryCount; ++i) {
    if (kPrivacyCategories[i].onAtOpen) SetToggleOn(i, true);
  }
  m_total = m_weight[0] + m_weight[5];

  ::SetTimer(m_hwnd, kProgressTimer, kProgressPeriodMs, nullptr);
  return TRUE;
}

void CIETDlg::ApplyLanguage() {
  // The title part comes from the program's own strings, never from the file.
  std::wstring title = LoadResString(kAppTitleString);
  if (title.empty()) title = L"Klarex .NET";
  SetText(title + L" [" + GetLangString(L"Title", L"4", L"Advance") + L"]");
  for (const PrivacyCategory& category : kPrivacyCategories) {
    const std::wstring key = std::to_wstring(category.id - IDC_ADVANCE_GROUP);
    Item(category.id).SetText(GetLangString(L"Labels", key.c_str(), category.label));
  }
  Item(IDC_ADVANCE_CLEAN).SetText(GetLangString(L"Buttons", L"2", L"Clea&n"));
  Item(IDC_ADVANCE_CANCEL).SetText(GetLangString(L"Buttons", L"3", L"&Cancel"));
}

void CIETDlg::SetUpToggle(std::size_t index) {
  CThemedButton& button = m_toggle[index];
  button.SetIcon(static_cast<HICON>(::LoadImageW(ModuleInstance(),
                                                 MAKEINTRESOURCEW(kPrivacyCategories[index].iconId),
                                                 IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR)));
  button.SetToggleMode(true);
  SetToggleOn(index, false);
  button.SetToolbarLook(true);
  const CWindow window(button.Handle());
  window.Update();
  window.SetStyle(window.Style() | BS_MULTILINE);
}

void CIETDlg::SetToggleOn(std::size_t index, bool on) {
  m_toggle[index].SetToggleState(on);
  CWindow(m_toggle[index].Handle()).Update();
}

bool CIETDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
  switch (msg) {
    case WM_COMMAND: {
      const int id = LOWORD(wp);
      result = TRUE;
      if (IsCategoryId(id)) {
        if (HIWORD(wp) == BN_CLICKED) OnToggleCategory();
        return true;
      }
      if (id == IDC_ADVANCE_CLEAN) {
        OnClean();
        return true;
      }
      // Enter with no usable default button: nothing to confirm. Esc, the close
      // request and Cancel end the dialog only while no run is going.
      if (id == IDOK) return true;
      if (id == IDCANCEL || id == IDC_ADVANCE_CANCEL) {
        if (!IsRunning()) OnCancel();
        return true;
      }
      break;
    }
    case WM_TIMER:
      if (wp == kProgressTimer) {
        OnTimerTick();
        result = TRUE;
        return true;
      }
      break;
    default:
      break;
  }
  return CDialog::OnMessage(msg, wp, lp, result);
}

void CIETDlg::OnToggleCategory() {
  CategoryFlags on{};
  bool any = false;
  for (std::size_t i = 0; i < kCategoryCount; ++i) {
    on[i] = IsToggleOn(i) ? 1 : 0;
    any = any || on[i];
  }
  m_total = ExpectedTotal(m_weight, on);
  EnableButton(m_clean, any);
}

void CIETDlg::OnClean() {
  if (IsRunning()) return;
  for (std::size_t i = 0; i < kCategoryCount; ++i) m_selected[i] = IsToggleOn(i) ? 1 : 0;
  if (!LeaveRunningBrowsersAlone()) return;
  m_progress = 1;
  EnableButton(m_clean, false);
  EnableButton(m_cancel, false);
  if (!StartWorker()) {
    // Back to the choice as it was: nothing has been touched.
    EnableButton(m_cancel, true);
    OnToggleCategory();
    if (::IsWindowEnabled(m_clean.Handle())) {
      Send(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_clean.Handle()), TRUE);
    }
  }
}

bool CIETDlg::LeaveRunningBrowsersAlone() {
  const std::vector<WatchedProgram> programs = m_doc.WatchedPrograms();
  std::vector<bool> on(kCategoryCount);
  for (std::size_t i = 0; i < kCategoryCount; ++i) on[i] = m_selected[i] != 0;
  std::vector<size_t> leftAlone;
  const RunningAnswer answer = AskAboutRunningPrograms(
      m_hwnd, programs, [&] { return RunningReachedBrowsers(programs, RunningProcessNames(), on); },
      true, leftAlone);
  m_skipBrowsers = 0;
  for (size_t i : leftAlone) m_skipBrowsers |= programs[i].browser;
  return answer != RunningAnswer::Cancel;
}

bool CIETDlg::StartWorker() {
  // A failed step ends the run early: the worker reports it, and the dialog
  // still learns that the run is over.
  return m_worker.Start(
      [this] {
        PrivacyScanContext scans = m_doc.PrivacyScans();
        scans.skipBrowsers = m_skipBrowsers;
        RunPrivacyCategories(scans, m_selected, m_progress, m_record);
      },
      [this] { OnPrivacyDone(); });
}

void CIETDlg::ShowPercent() {
  m_progressDisplay.ShowProgress(BarPosition(ProgressPercent(Progress(), m_total)));
}

void CIETDlg::OnTimerTick() {
  if (IsRunning()) ShowPercent();
}

void CIETDlg::OnPrivacyDone() {
  ShowPercent();
  m_progressDisplay.HideProgress();
  OnOK();
}

void CAdvanceDialog::Run(HWND owner, CKlarexDoc& doc) {
  CIETDlg dialog(owner, doc, m_progress, &m_record);
  dialog.DoModal();
}

}  // namespace klarex
