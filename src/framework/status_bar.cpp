#include "framework/status_bar.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

#include "framework/app_messages.h"
#include "framework/gdi.h"
#include "framework/resources.h"

namespace klarex {

bool CStatusBar::Create(HWND parent, DWORD style, UINT id) {
  HWND hwnd = ::CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, style | SBARS_SIZEGRIP, 0, 0, 0, 0,
                                parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                ModuleInstance(), nullptr);
  return hwnd && Subclass(hwnd);
}

bool CStatusBar::SetIndicators(const std::vector<UINT>& ids) {
  m_widths.assign(ids.size(), -1);
  std::vector<std::wstring> texts(ids.size());
  WindowDc dc(m_hwnd);
  HGDIOBJ old = ::SelectObject(dc.get(), reinterpret_cast<HGDIOBJ>(Send(WM_GETFONT)));
  for (size_t i = 0; i < ids.size(); ++i) {
    if (ids[i] == 0) continue;
    texts[i] = LoadResString(ids[i]);
    SIZE extent{};
    ::GetTextExtentPoint32W(dc.get(), texts[i].c_str(), static_cast<int>(texts[i].size()), &extent);
    m_widths[i] = extent.cx + 2 * ::GetSystemMetrics(SM_CXEDGE);
  }
  ::SelectObject(dc.get(), old);
  Relayout();
  for (size_t i = 0; i < texts.size(); ++i) SetPaneText(static_cast<int>(i), texts[i]);
  return true;
}

void CStatusBar::SetPaneWidth(int index, int width) {
  if (index < 0 || index >= static_cast<int>(m_widths.size())) return;
  m_widths[static_cast<size_t>(index)] = width;
  Relayout();
}

void CStatusBar::Relayout() {
  if (m_widths.empty()) return;
  RECT client = ClientRect();
  // Stretching panes share what the fixed ones leave; edges are cumulative.
  int fixed = 0, stretch = 0;
  for (int w : m_widths) (w < 0 ? stretch : fixed) += (w < 0 ? 1 : w);
  int spare = stretch ? std::max(0, static_cast<int>(client.right) - fixed) / stretch : 0;
  std::vector<int> edges;
  int x = 0;
  for (size_t i = 0; i < m_widths.size(); ++i) {
    x += m_widths[i] < 0 ? spare : m_widths[i];
    edges.push_back(i + 1 == m_widths.size() ? -1 : x);
  }
  Send(SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

void CStatusBar::SetPaneText(int index, const std::wstring& text) {
  Send(SB_SETTEXTW, static_cast<WPARAM>(index) | SBT_NOTABPARSING,
       reinterpret_cast<LPARAM>(text.c_str()));
}

void CStatusBar::PostOrSetPaneText(int index, const std::wstring& text) {
  HWND hwnd = m_hwnd;
  if (!hwnd) return;
  if (::GetWindowThreadProcessId(hwnd, nullptr) == ::GetCurrentThreadId()) {
    SetPaneText(index, text);
    return;
  }
  PostOwned(hwnd, kMsgPaneText, static_cast<WPARAM>(index), std::make_unique<std::wstring>(text));
}

LRESULT CStatusBar::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kMsgPaneText) {
    SetPaneText(static_cast<int>(wp), *TakePosted<std::wstring>(lp));
    return 0;
  }
  // Texts still queued for this window would be lost with it: free them.
  if (msg == WM_DESTROY) DiscardPosted<std::wstring>(m_hwnd, kMsgPaneText);
  return CWnd::WindowProc(msg, wp, lp);
}

std::wstring CStatusBar::PaneText(int index) const {
  LRESULT len = Send(SB_GETTEXTLENGTHW, static_cast<WPARAM>(index));
  std::wstring text(LOWORD(len) + 1, L'\0');
  Send(SB_GETTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(wcslen(text.c_str()));
  return text;
}

RECT CStatusBar::PaneRect(int index) const {
  RECT r{};
  Send(SB_GETRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  return r;
}

int CStatusBar::Height() const {
  RECT r = WindowRect();
  return r.bottom - r.top;
}

}  // namespace klarex
