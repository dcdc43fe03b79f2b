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

class CStatusLine : public IStatusSink {
 public:
  // Publishes `bar` (the frame's status bar) as the engine's status sink.
  void Attach(CStatusBar* bar);
  // Forgets the bar (the frame is closing).
  void Detach();

  // Pane 0. On the bar's own thread the text is set at once; from any other
  // thread a message carries a copy of it.
  void SetStatusText(const std::wstring& text) override;
  void ShowDeletingStatus(const std::wstring& path) override;

 private:
  std::atomic<CStatusBar*> m_bar{nullptr};
};

// The program's one status line.
CStatusLine& StatusLine();

// "Deleting " and the path (translated when a language file is active).
std::wstring DeletingStatusText(const std::wstring& path);

}  // namespace klarex
