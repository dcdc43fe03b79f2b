// The Advance dialog: six privacy categories to choose, Clean runs them on a
// worker thread while the status bar shows the progress; the dialog closes
// itself when the worker is done.
#pragma once
#include <windows.h>

#include <array>
#include <atomic>
#include <memory>

#include "controls/themed_button.h"
#include "framework/dialog.h"
#include "framework/worker.h"
#include "privacy/privacy_categories.h"
#include "view/mode_controller.h"
#include "view/status_progress.h"

namespace klarex {

class CKlarexDoc;
class CDeletionRecord;

class CIETDlg : public CDialog {
 public:
  // The dialog's privacy scans report their items to `doc`; `progress` shows
  // how far a run has got; the registry histories it clears are written to
  // `record`, if any.
  CIETDlg(HWND parent, CKlarexDoc& doc, IProgressDisplay& progress,
          CDeletionRecord* record = nullptr);
  // Waits for a worker that may still be on its last step.
  ~CIETDlg() override;

  // The run as the dialog sees it (read by tests).
  int Total() const { return m_total; }
  int Progress() const { return m_progress.load(); }
  bool IsRunning() const { return m_worker.IsRunning(); }

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;
  // Starts the privacy worker: the categories chosen at Clean, then
  // OnPrivacyDone (also when a step failed). False when no thread could be
  // started.
  virtual bool StartWorker();
  bool IsToggleOn(std::size_t index) const { return m_toggle[index].ToggleState(); }

  // Category toggles in index order, then Clean and Cancel.
  std::array<CThemedButton, kCategoryCount> m_toggle;
  CThemedButton m_clean;
  CThemedButton m_cancel;

 private:
  void ApplyLanguage();
  void SetUpToggle(std::size_t index);
  void SetToggleOn(std::size_t index, bool on);
  void OnToggleCategory();
  void OnClean();
  // Before Clean: false when the user cancelled because of a running browser.
  bool LeaveRunningBrowsersAlone();
  void OnTimerTick();
  void OnPrivacyDone();
  void ShowPercent();

  CKlarexDoc& m_doc;
  IProgressDisplay& m_progressDisplay;
  CategoryWeights m_weight{};
  int m_total = 1;
  std::atomic<int> m_progress{0};  // written by the worker, read by the timer
  CategoryFlags m_selected{};
  CDeletionRecord* m_record;
  unsigned m_skipBrowsers = 0;  // running browsers the user chose to leave alone
  CWorker m_worker;
};

// The Advance dialog as the cleaning modes run it after the Offline scan.
class CAdvanceDialog final : public IAdvanceDialog {
 public:
  CAdvanceDialog(IProgressDisplay& progress, CDeletionRecord& record)
      : m_progress(progress), m_record(record) {}
  void Run(HWND owner, CKlarexDoc& doc) override;

 private:
  IProgressDisplay& m_progress;
  CDeletionRecord& m_record;
};

}  // namespace klarex
