#include "view/status_line.h"

#include "../res/ids_main.h"
#include "framework/language.h"
#include "framework/resources.h"
#include "sys/status_sink.h"

namespace klarex {

namespace {

// The engine's status texts: its messages are notices; "Deleting ..." from
// DeletePath is the deletion's own progress.
class CEngineStatus : public IStatusSink {
 public:
  void SetStatusText(const std::wstring& text) override { StatusLine().ShowNotice(text); }
  void ShowDeletingStatus(const std::wstring& path) override {
    StatusLine().ShowDeletingStatus(path);
  }
};

CEngineStatus g_engineStatus;

}  // namespace

IStatusSink& EngineStatusSink() { return g_engineStatus; }

CStatusLine& StatusLine() {
  static CStatusLine line;
  return line;
}

std::wstring DeletingStatusText(const std::wstring& path) {
  if (IsLanguageActive())
    return GetLangString(L"Status", L"11", LoadResString(IDS_DELETING)) + L" " + path;
  return LoadResString(IDS_DELETING) + path;
}

bool IsUserAction(UINT message) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      return true;
  }
  return false;
}

void CStatusLine::Attach(CStatusBar* bar) {
  m_bar = bar;
  SetStatusSink(&g_engineStatus);
}

void CStatusLine::Detach() {
  SetStatusSink(nullptr);
  m_bar = nullptr;
  m_notice = false;
}

void CStatusLine::SetStatusText(const std::wstring& text) {
  if (CStatusBar* bar = m_bar.load()) bar->PostOrSetPaneText(0, text);
}

void CStatusLine::ShowDeletingStatus(const std::wstring& path) {
  SetStatusText(DeletingStatusText(path));
}

void CStatusLine::ShowNotice(const std::wstring& text) {
  m_notice = true;
  SetStatusText(text);
}

}  // namespace klarex
