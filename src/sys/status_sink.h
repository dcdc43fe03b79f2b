// Where the engine's status texts go. The program's main frame installs a sink
// that posts them to its status bar; without one they are dropped.
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

void SetStatusSink(IStatusSink* sink);
void SetStatusText(const std::wstring& text);
void ShowDeletingStatus(const std::wstring& path);

}  // namespace klarex
