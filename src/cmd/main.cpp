// KlarexCmd.exe: the cleaning modes and privacy categories from a script or a
// scheduled task, on the window program's engine.
#include <objbase.h>
#include <windows.h>

#include <exception>
#include <string>
#include <vector>

#include "cmd/arguments.h"
#include "cmd/console.h"
#include "cmd/runs.h"
#include "engine/catalogue.h"
#include "engine/definitions.h"
#include "klarex_version.h"
#include "sys/machine.h"
#include "sys/operations.h"
#include "sys/processes.h"

namespace {

using namespace klarex;
using namespace klarex::cmd;

// COM for the shell's type names, the Recycle Bin and the URL history store.
class ComSession {
 public:
  ComSession() : m_hr(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComSession() {
    if (SUCCEEDED(m_hr)) ::CoUninitialize();
  }
  ComSession(const ComSession&) = delete;
  ComSession& operator=(const ComSession&) = delete;

 private:
  HRESULT m_hr;
};

// The window's Extended Catalogue option, kept in its profile: on unless a 0
// is stored. KlarexCmd follows it, so both programs scan the same places.
bool ExtendedCatalogueOn() {
  DWORD value = 1, size = sizeof value;
  if (::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Klarex\\Klarex .NET\\Settings",
                     L"ExtendedCatalogue", RRF_RT_REG_DWORD, nullptr, &value,
                     &size) != ERROR_SUCCESS)
    return true;
  return value != 0;
}

// A refused definition is named on standard error; the run goes on without it.
void ReportRefusals(const std::vector<Refusal>& refusals, COutput& err) {
  for (const Refusal& refusal : refusals) {
    std::wstring text = L"KlarexCmd: definition not used: " + refusal.file;
    if (refusal.line > 0) text += L", line " + std::to_wstring(refusal.line);
    if (!refusal.section.empty()) text += L" [" + refusal.section + L']';
    text += L": ";
    text += DescribeProblem(refusal.problem).english;
    if (!refusal.detail.empty()) text += L" (" + refusal.detail + L')';
    err.Line(text);
  }
}

int Run(const Arguments& args, COutput& out, COutput& err) {
  ComSession com;
  Win32Machine machine;
  const Catalogue catalogue = BuildCatalogue(machine);
  DefinitionSet definitions;
  if (ExtendedCatalogueOn()) {
    definitions = LoadDefinitions(ShippedDefinitionFolder(), UserDefinitionFolder(catalogue));
    if (args.verb != Verb::Privacy) ReportRefusals(definitions.refusals, err);
  }
  const CKeepList keep = LoadKeepList();
  Guard guard;
  SecurityState security;
  if (args.verb != Verb::List && !args.dryRun) {
    PrepareSecurityState(security);
    guard.programs = BuiltInBrowsers(catalogue, machine);
    std::vector<WatchedProgram> more = DefinitionPrograms(definitions.places, catalogue, machine);
    guard.programs.insert(guard.programs.end(), more.begin(), more.end());
    guard.running = RunningProcessNames();
  }
  CDeletionRecord record(DeletionRecordPath(catalogue.localAppDataDir));
  CErrorStatus status(err);
  CDeleteOperations deletion(security, status);
  RunContext run{machine, catalogue, definitions.places, keep, guard, record, deletion, status,
                 out,     err};
  switch (args.verb) {
    case Verb::List:
      return ListMode(args, run);
    case Verb::Clean:
      return CleanMode(args, run);
    case Verb::Privacy:
      return RunPrivacy(args, run);
    case Verb::Help:
    case Verb::Version:
      break;
  }
  return kExitDone;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  COutput out(::GetStdHandle(STD_OUTPUT_HANDLE)), err(::GetStdHandle(STD_ERROR_HANDLE));
  const ParsedArguments parsed =
      ParseArguments(std::vector<std::wstring>(argv + (argc > 0 ? 1 : 0), argv + argc));
  if (!parsed.error.empty()) {
    err.Line(L"KlarexCmd: " + parsed.error);
    err.Now(UsageText());
    return kExitRefused;
  }
  const Arguments& args = parsed.arguments;
  if (args.verb == Verb::Help) {
    out.Now(UsageText());
    return kExitDone;
  }
  if (args.verb == Verb::Version) {
    out.Line(L"KlarexCmd " KLAREX_VERSION_WTEXT);
    return kExitDone;
  }
  try {
    return Run(args, out, err);
  } catch (const std::exception&) {
    out.Flush();
    err.Line(L"KlarexCmd: the run stopped on an unexpected error");
    return kExitIncomplete;
  }
}
