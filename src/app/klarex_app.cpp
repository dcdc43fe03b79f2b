#include "app/klarex_app.h"

#include <commctrl.h>
#include <psapi.h>

#include <string>

#include "../res/ids_main.h"
#include "app/about_dlg.h"
#include "frame/extended_catalogue.h"
#include "frame/main_frame.h"
#include "frame/single_instance.h"
#include "framework/language.h"
#include "framework/unexpected_error.h"
#include "sys/handles.h"
#include "sys/startup_clock.h"
#include "view/klarex_doc.h"
#include "view/klarex_view.h"

namespace klarex {

CKlarexApp::CKlarexApp(KlarexServices& services, StartOptions options)
    : m_services(services), m_options(options) {}

bool CKlarexApp::InitInstance() {
  NoteStartupStep("services");
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = 8;
  icc.dwICC = 0xFF;
  ::InitCommonControlsEx(&icc);
  SetRegistryKey(L"Klarex");

  KlarexServices& s = m_services;
  AddDocTemplate(std::make_unique<CSingleDocTemplate>(
      IDR_MAINFRAME,
      [this, &s] {
        NoteStartupStep("instance-check");
        Catalogue catalogue = BuildCatalogue(s.machine);
        DefinitionSet definitions =
            LoadDefinitions(ShippedDefinitionFolder(), UserDefinitionFolder(catalogue));
        NoteStartupStep("catalogue");
        auto doc =
            std::make_unique<CKlarexDoc>(std::move(catalogue), s.machine, s.statusLine.EngineSink(),
                                         s.keep, std::move(definitions));
        doc->SetExtendedCatalogue(ReadExtendedCatalogue(Profile()));
        return doc;
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
  NoteStartupStep("filled");
  HWND main = AfxMainWindow();
  ::ShowWindow(main, SW_SHOW);
  ::UpdateWindow(main);
  NoteStartupStep("painted");
  if (m_options.exitAfterFirstFill) ::PostMessageW(main, WM_CLOSE, 0, 0);
  return true;
}

namespace {

// The start-up steps, for the start-up benchmark: written to the file that
// KLAREX_STARTUP_STEPS names; nothing happens without it.
void WriteStartupSteps() {
  wchar_t path[MAX_PATH];
  const DWORD length = ::GetEnvironmentVariableW(L"KLAREX_STARTUP_STEPS", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  FileHandle file(::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  std::string text = StartupStepsText();
  // The peak working set, noted here: another process cannot read it reliably
  // (not under Wine) once this one has ended.
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof(memory);
  if (::K32GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof(memory)))
    text += "peak-kb " + std::to_string(memory.PeakWorkingSetSize / 1024) + "\n";
  DWORD written = 0;
  ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace

bool CKlarexApp::OnCommand(UINT id) { return RunHelpCommand(id, ShellOpen); }

int RunKlarex(const wchar_t* commandLine) {
  try {
    KlarexServices services;
    const StartOptions options = ParseStartOptions(commandLine);
    CKlarexApp app(services, options);
    if (!app.InitInstance()) return 0;
    const int result = app.Run();
    if (options.exitAfterFirstFill) WriteStartupSteps();
    return result;
  } catch (...) {
    // What the loop dispatches stops at its own barriers; a failure here is
    // start-up's or shut-down's: say so and end cleanly.
    ReportUnexpectedError(std::current_exception());
    return 1;
  }
}

}  // namespace klarex
