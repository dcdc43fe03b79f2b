// Where status texts go: the engine's messages and what a deletion deletes.
// The program hands its status line down at start-up; tests record.
#pragma once
#include <string>

namespace klarex {

class IStatusSink {
 public:
  virtual ~IStatusSink() = default;
  // Pane 0 of the status bar. May be called from any thread.
  virtual void SetStatusText(const std::wstring& text) = 0;
  // "Deleting <path>" (or its translation). May be called from any thread.
  virtual void ShowDeletingStatus(const std::wstring& path) = 0;
};

}  // namespace klarex
