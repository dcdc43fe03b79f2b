#include "app/klarex_app.h"

#include <commctrl.h>

#include "../res/ids_main.h"
#include "app/about_dlg.h"
#include "frame/main_frame.h"
#include "frame/single_instance.h"
#include "framework/language.h"
#include "framework/unexpected_error.h"
#include "view/klarex_doc.h"
#include "view/klarex_view.h"

namespace klarex {

CKlarexApp::CKlarexApp(KlarexServices& services, StartOptions options)
    : m_services(services), m_options(options) {}

bool CKlarexApp::InitInstance() {
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = 8;
  icc.dwICC = 0xFF;
  ::InitCommonControlsEx(&icc);
  SetRegistryKey(L"Klarex");

  KlarexServices& s = m_services;
  AddDocTemplate(std::make_unique<CSingleDocTemplate>(
      IDR_MAINFRAME,
      [&s] {
        return std::make_unique<CKlarexDoc>(BuildCatalogue(s.machine), s.machine,
                                            s.statusLine.EngineSink(), s.keep);
      },
      [this, &s] {
        return std::make_unique<CMainFrame>(s.advance, s.statusLine, s.progress, Profile(),
                                            FrameServices{&s.keep, &s.record});
      },
      [&s] {
        return std::make_unique<CKlarexView>(s.deletion, s.statusLine, s.progress,
                                             ListServices{&s.keep, &s.record});
      }));

  if (ActivateEarlierInstance(SharedInstanceRecord())) return false;

  if (!DocTemplate()->OpenNewDocument()) return false;
  HWND main = AfxMainWindow();
  ::ShowWindow(main, SW_SHOW);
  ::UpdateWindow(main);
  if (m_options.exitAfterFirstFill) ::PostMessageW(main, WM_CLOSE, 0, 0);
  return true;
}

bool CKlarexApp::OnCommand(UINT id) { return RunHelpCommand(id, ShellOpen); }

int RunKlarex(const wchar_t* commandLine) {
  try {
    KlarexServices services;
    CKlarexApp app(services, ParseStartOptions(commandLine));
    if (!app.InitInstance()) return 0;
    return app.Run();
  } catch (...) {
    // What the loop dispatches stops at its own barriers; a failure here is
    // start-up's or shut-down's: say so and end cleanly.
    ReportUnexpectedError(std::current_exception());
    return 1;
  }
}

}  // namespace klarex
