// The status line: the text of the status bar's message pane, settable from
// any thread, and the text shown while an item is deleted. (The progress bar
// on the second pane is view/status_progress.h.)
#pragma once
#include <windows.h>

#include <atomic>
#include <string>

#include "framework/status_bar.h"
#include "sys/status_sink.h"

namespace klarex {

class CStatusLine {
 public:
  // Publishes `bar` (the frame's status bar) and makes the engine's status
  // texts notices on it.
  void Attach(CStatusBar* bar);
  // Forgets the bar (the frame is closing).
  void Detach();

  // Pane 0. On the bar's own thread the text is set at once; from any other
  // thread a message carries a copy of it.
  void SetStatusText(const std::wstring& text);
  void ShowDeletingStatus(const std::wstring& path);

  // A text the user must get to read (what the engine reports, such as a
  // Firefox database error): the selection status does not replace it until
  // the user's next action (ReleaseNotice).
  void ShowNotice(const std::wstring& text);
  bool HoldsNotice() const { return m_notice.load(); }
  void ReleaseNotice() { m_notice = false; }

 private:
  std::atomic<CStatusBar*> m_bar{nullptr};
  std::atomic<bool> m_notice{false};
};

// The program's one status line.
CStatusLine& StatusLine();
// What the engine reports: its messages as notices on the status line.
IStatusSink& EngineStatusSink();

// "Deleting " and the path (translated when a language file is active).
std::wstring DeletingStatusText(const std::wstring& path);

// Key and button presses: what counts as the user's next action.
bool IsUserAction(UINT message);

}  // namespace klarex
