#include "app/klarex_app.h"

#include <commctrl.h>
#include <objbase.h>

#include "../res/ids_main.h"
#include "app/about_dlg.h"
#include "app/test_hooks.h"
#include "frame/main_frame.h"
#include "frame/single_instance.h"
#include "framework/language.h"
#include "framework/unexpected_error.h"
#include "sys/operations.h"
#include "view/klarex_doc.h"
#include "view/klarex_view.h"
#include "view/status_line.h"

namespace klarex {

namespace {
Win32Machine g_machine;
}

CKlarexApp::CKlarexApp() { PrepareSecurityState(ProcessSecurityState()); }

CKlarexApp::~CKlarexApp() {
  if (m_comReady) ::CoUninitialize();
}

bool CKlarexApp::InitInstance() {
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = 8;
  icc.dwICC = 0xFF;
  ::InitCommonControlsEx(&icc);
  m_comReady = SUCCEEDED(::OleInitialize(nullptr));
  SetRegistryKey(L"Klarex");

  AddDocTemplate(std::make_unique<CSingleDocTemplate>(
      IDR_MAINFRAME,
      [] {
        return std::make_unique<CKlarexDoc>(BuildCatalogue(g_machine), g_machine,
                                            EngineStatusSink());
      },
      [this] { return std::make_unique<CMainFrame>(m_advance); },
      [] { return std::make_unique<CKlarexView>(); }));

  if (ActivateEarlierInstance(SharedInstanceRecord())) return false;

  if (!DocTemplate()->OpenNewDocument()) return false;
  HWND main = AfxMainWindow();
  ::ShowWindow(main, SW_SHOW);
  ::UpdateWindow(main);
  AfterFirstFill(main);
  return true;
}

bool CKlarexApp::OnCommand(UINT id) {
  switch (id) {
    case ID_APP_ABOUT:
    case ID_HELP_ONLINE:
    case ID_HELP_UPDATE:
      return RunHelpCommand(id);
  }
  return false;
}

int RunKlarex() {
  try {
    CKlarexApp app;
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
