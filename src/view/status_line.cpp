#include "view/status_line.h"

#include "../res/ids_main.h"
#include "framework/language.h"
#include "framework/resources.h"

namespace klarex {

CStatusLine& StatusLine() {
  static CStatusLine line;
  return line;
}

std::wstring DeletingStatusText(const std::wstring& path) {
  if (IsLanguageActive())
    return GetLangString(L"Status", L"11", LoadResString(IDS_DELETING)) + L" " + path;
  return LoadResString(IDS_DELETING) + path;
}

void CStatusLine::Attach(CStatusBar* bar) {
  m_bar = bar;
  SetStatusSink(this);
}

void CStatusLine::Detach() {
  SetStatusSink(nullptr);
  m_bar = nullptr;
}

void CStatusLine::SetStatusText(const std::wstring& text) {
  if (CStatusBar* bar = m_bar.load()) bar->PostOrSetPaneText(0, text);
}

void CStatusLine::ShowDeletingStatus(const std::wstring& path) {
  SetStatusText(DeletingStatusText(path));
}

}  // namespace klarex
