// The program's one top-level window: caption, menu bar shown on Alt,
// toolbar, status bar, language-dependent prompts and tooltips, the window
// rectangle and language kept between runs, and the cleaning modes whose
// commands it routes and whose state its toolbar shows.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "controls/themed_frame.h"
#include "controls/themed_toolbar.h"
#include "framework/frame_wnd.h"
#include "framework/profile.h"
#include "framework/status_bar.h"
#include "framework/toolbar.h"
#include "view/mode_controller.h"
#include "view/status_line.h"
#include "view/status_progress.h"

namespace klarex {

class CKlarexDoc;
class CKlarexView;
class CKeepList;
class CDeletionRecord;

// What the frame's own commands use; either may be missing (tests).
struct FrameServices {
  CKeepList* keep = nullptr;          // Options > Kept Items
  CDeletionRecord* record = nullptr;  // File > Deletion Record
};

class CMainFrame : public CThemedFrame<CFrameWnd> {
 public:
  // `advance` runs the Advance dialog after the Offline scan; the status line
  // and the progress display get this frame's status bar; `profile` keeps the
  // window's rectangle and the language between runs.
  CMainFrame(IAdvanceDialog& advance, CStatusLine& status, CStatusProgress& progress,
             const CProfile& profile, FrameServices services = {})
      : m_advance(advance),
        m_status(status),
        m_progress(progress),
        m_profile(profile),
        m_services(services) {}

  // Places the window, then starts the cleaning modes with the Standard list.
  void InitialUpdateFrame() override;
  bool QueryCommandState(UINT id, CommandState& state) override;
  bool PreTranslateMessage(MSG* msg) override;
  const std::wstring& LanguageFolder() const { return m_languageFolder; }

  // Runs the default-language detection (only while the setting is "Default").
  void DetectDefaultLanguage();
  // Makes `path` the language and translates the menus.
  void ApplyLanguage(const std::wstring& path);
  // The Language command: choose a .lng file, apply it, tell the view.
  void OnLanguage();
  // Options > Kept Items: the dialog; File > Deletion Record: the record
  // opened by the shell's handler for .csv, or its folder.
  void OnKeptItems();
  void OnDeletionRecord();

 protected:
  const wchar_t* FrameClassName() const override { return L"Klarex.MainFrame"; }
  void PreCreateWindow(const wchar_t* className) override;
  int OnCreate() override;
  void OnClose() override;
  bool OnNcActivate(bool active) override;
  void OnMenuSelect(UINT id, UINT flags, HMENU menu) override;
  std::wstring GetMessageString(UINT id) override;
  void OnToolTipText(NMHDR* header) override;
  bool OnCommand(UINT id) override;
  // The status bar's panes follow the list's width.
  void RecalcLayout() override;

 private:
  CKlarexView* KlarexView() const;
  CKlarexDoc* KlarexDoc() const;
  // Turns the definitions' places on or off for the next scans, and keeps it.
  void OnExtendedCatalogue();
  void PlaceWindow();

  IAdvanceDialog& m_advance;
  CStatusLine& m_status;
  CStatusProgress& m_progress;
  const CProfile& m_profile;
  FrameServices m_services;
  std::unique_ptr<CModeController> m_modes;  // once the view is there
  std::wstring m_languageFolder;
  CStatusBar m_statusBar;
  CThemedToolBar m_toolBar;
};

// The caption: the application title, "(64 bit)" and the version.
std::wstring MainFrameCaption(const std::wstring& appTitle);

}  // namespace klarex
