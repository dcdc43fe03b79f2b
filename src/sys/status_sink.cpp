#include "sys/status_sink.h"

#include <atomic>

namespace klarex {

namespace {
std::atomic<IStatusSink*> g_sink{nullptr};
}

void SetStatusSink(IStatusSink* sink) { g_sink.store(sink); }

void SetStatusText(const std::wstring& text) {
  if (IStatusSink* sink = g_sink.load()) sink->SetStatusText(text);
}

void ShowDeletingStatus(const std::wstring& path) {
  if (IStatusSink* sink = g_sink.load()) sink->ShowDeletingStatus(path);
}

}  // namespace klarex
