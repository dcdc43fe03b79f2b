// Collects the status texts the engine shows while it is installed.
#pragma once
#include <string>
#include <vector>

#include "sys/status_sink.h"

namespace klarex::test {

class RecordingSink : public IStatusSink {
 public:
  RecordingSink() { SetStatusSink(this); }
  ~RecordingSink() override { SetStatusSink(nullptr); }
  std::vector<std::wstring> texts;
  void SetStatusText(const std::wstring& text) override { texts.push_back(text); }
  void ShowDeletingStatus(const std::wstring&) override {}
};

}  // namespace klarex::test
