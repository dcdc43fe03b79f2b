#include "view/status_line.h"

#include "../res/ids_main.h"
#include "framework/language.h"
#include "framework/resources.h"

namespace klarex {

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

void CStatusLine::Detach() {
  m_bar = nullptr;
  m_notice = false;
}

void CStatusLine::SetStatusText(const std::wstring& text) {
  if (CStatusBar* bar = m_bar.load()) bar->PostOrSetPaneText(0, text);
}

std::wstring CStatusLine::Text() const {
  CStatusBar* bar = m_bar.load();
  return bar ? bar->PaneText(0) : std::wstring();
}

void CStatusLine::SetTotalsText(const std::wstring& text) {
  if (CStatusBar* bar = m_bar.load()) bar->SetPaneText(1, text);
}

std::wstring CStatusLine::TotalsText() const {
  CStatusBar* bar = m_bar.load();
  return bar ? bar->PaneText(1) : std::wstring();
}

void CStatusLine::ShowDeletingStatus(const std::wstring& path) {
  SetStatusText(DeletingStatusText(path));
}

void CStatusLine::ShowNotice(const std::wstring& text) {
  m_notice = true;
  SetStatusText(text);
}

}  // namespace klarex
