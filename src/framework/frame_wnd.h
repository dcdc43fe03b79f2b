// The top-level frame: menu bar, accelerators, toolbar, status bar and one view.
// Commands go to the view, then the frame, then the application; their states
// are pushed to menus when a pop-up opens and to the toolbar on idle.
#pragma once
#include <windows.h>

#include <string>

#include "framework/command.h"
#include "framework/gdi.h"
#include "framework/status_bar.h"
#include "framework/toolbar.h"
#include "framework/view.h"
#include "framework/wnd.h"

namespace klarex {

inline constexpr UINT kIdToolBar = 59392;    // also the command that toggles it
inline constexpr UINT kIdStatusBar = 59393;  // also the command that toggles it
inline constexpr UINT kIdAppExit = 57665;

class CFrameWnd : public CWnd, public CCmdTarget {
 public:
  // Loads menu, accelerators and icon `resourceId` and creates the window.
  bool LoadFrame(UINT resourceId);
  void SetView(CView* view);
  CView* ActiveView() const { return m_view; }
  // Once, after frame and view exist: the view's first update. A derived
  // frame adds what needs the frame and the view both.
  virtual void InitialUpdateFrame();

  // Keyboard messages before dispatch: menu-bar display and accelerators.
  virtual bool PreTranslateMessage(MSG* msg);
  // Pushes command states to the toolbar's buttons (idle time).
  void UpdateToolbarStates();
  // State of command `id`; false when nothing handles it.
  virtual bool QueryCommandState(UINT id, CommandState& state);
  // Routes a command as if chosen from the menu; disabled commands do nothing.
  void ExecuteCommand(UINT id);

  void SetMessageText(const std::wstring& text);
  CStatusBar* StatusBar() const { return m_statusBar; }
  CToolBar* ToolBar() const { return m_toolBar; }
  HMENU MenuBar() const { return m_menu.get(); }
  bool IsMenuBarShown() const { return ::GetMenu(m_hwnd) != nullptr; }
  // Places the bars and the view in the client area.
  virtual void RecalcLayout();

 protected:
  // Window class of the frame; a derived frame may record it before creation.
  virtual const wchar_t* FrameClassName() const { return L"Klarex.Frame"; }
  virtual void PreCreateWindow(const wchar_t* /*className*/) {}
  virtual int OnCreate() { return 0; }
  virtual void OnClose();
  virtual bool OnNcActivate(bool active);
  virtual void OnMenuSelect(UINT id, UINT flags, HMENU menu);
  // Status prompt of a command: the first half of its string resource.
  virtual std::wstring GetMessageString(UINT id);
  // Tooltip of a toolbar button; default: the second half of its string.
  virtual void OnToolTipText(NMHDR* header);
  bool OnCommand(UINT id) override;

  // Hidden menu bar that Alt shows and that hides again when it loses focus.
  void SetMenuBarDisplayOnFocus();
  void ShowToolBar(bool show);
  void ShowStatusBar(bool show);

  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  // Derived frames create their bars in OnCreate and register them here.
  void SetBars(CToolBar* toolBar, CStatusBar* statusBar) {
    m_toolBar = toolBar;
    m_statusBar = statusBar;
  }

 private:
  void ShowMenuBar(bool show);
  void OnHotItemChange(const NMTBHOTITEM* hot);
  void SaveMessageText();
  void RestoreMessageText();

  CView* m_view = nullptr;
  CToolBar* m_toolBar = nullptr;
  CStatusBar* m_statusBar = nullptr;
  MenuHandle m_menu;
  HACCEL m_accel = nullptr;
  bool m_menuOnFocus = false;
  bool m_savedText = false;
  std::wstring m_textBeforePrompt;
};

// Puts `text` into a TTN_GETDISPINFOW/A notification's 80-character buffer.
void SetToolTipText(NMHDR* header, const std::wstring& text);

}  // namespace klarex
