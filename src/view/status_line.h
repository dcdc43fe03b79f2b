// The status line: the text of the status bar's message pane, settable from
// any thread, and the text shown while an item is deleted. One is made at
// start-up and handed to the frame (which attaches its status bar), the list
// and the engine. (The progress bar on the second pane is view/status_progress.h.)
#pragma once
#include <windows.h>

#include <atomic>
#include <string>

#include "framework/status_bar.h"
#include "sys/status_sink.h"

namespace klarex {

class CStatusLine : public IStatusSink {
 public:
  CStatusLine() : m_engine(*this) {}
  CStatusLine(const CStatusLine&) = delete;
  CStatusLine& operator=(const CStatusLine&) = delete;

  // The frame's status bar, from its creation to its closing.
  void Attach(CStatusBar* bar) { m_bar = bar; }
  void Detach();

  // Pane 0. On the bar's own thread the text is set at once; from any other
  // thread a message carries a copy of it. Without a bar nothing happens.
  void SetStatusText(const std::wstring& text) override;
  void ShowDeletingStatus(const std::wstring& path) override;
  // What pane 0 shows (user-interface thread).
  std::wstring Text() const;
  // Pane 1, the list's totals while no progress bar covers it
  // (user-interface thread).
  void SetTotalsText(const std::wstring& text);
  std::wstring TotalsText() const;

  // A text the user must get to read (what the engine reports, such as a
  // Firefox database error): the selection status does not replace it until
  // the user's next action (ReleaseNotice).
  void ShowNotice(const std::wstring& text);
  bool HoldsNotice() const { return m_notice.load(); }
  void ReleaseNotice() { m_notice = false; }

  // For the engine and the deletion operations: their messages are notices;
  // "Deleting <path>" is the deletion's progress.
  IStatusSink& EngineSink() { return m_engine; }

 private:
  class CEngineSink : public IStatusSink {
   public:
    explicit CEngineSink(CStatusLine& line) : m_line(line) {}
    void SetStatusText(const std::wstring& text) override { m_line.ShowNotice(text); }
    void ShowDeletingStatus(const std::wstring& path) override { m_line.ShowDeletingStatus(path); }

   private:
    CStatusLine& m_line;
  };

  std::atomic<CStatusBar*> m_bar{nullptr};
  std::atomic<bool> m_notice{false};
  CEngineSink m_engine;
};

// "Deleting " and the path (translated when a language file is active).
std::wstring DeletingStatusText(const std::wstring& path);

// Key and button presses: what counts as the user's next action.
bool IsUserAction(UINT message);

}  // namespace klarex
