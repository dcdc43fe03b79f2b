// A status bar with panes; pane i shows the text set for it.
#pragma once
#include <windows.h>

#include <vector>

#include "framework/wnd.h"

namespace klarex {

class CStatusBar : public CWnd {
 public:
  bool Create(HWND parent, DWORD style, UINT id);
  // One pane per id; 0 is the stretching message pane, any other id names a
  // string whose text fills the pane and sets its width.
  bool SetIndicators(const std::vector<UINT>& ids);
  void SetPaneWidth(int index, int width);
  void SetPaneText(int index, const std::wstring& text);
  // Any thread: on the bar's own thread the text is set at once, from another a
  // posted message carries its own copy.
  void PostOrSetPaneText(int index, const std::wstring& text);
  std::wstring PaneText(int index) const;
  RECT PaneRect(int index) const;
  int Height() const;
  // Re-applies the pane widths to the bar's current width.
  void Relayout();

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  std::vector<int> m_widths;  // -1: stretch to the right edge
};

}  // namespace klarex
