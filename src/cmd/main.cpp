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
#include "klarex_version.h"
#include "sys/machine.h"
#include "sys/operations.h"

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

int Run(const Arguments& args, COutput& out, COutput& err) {
  ComSession com;
  Win32Machine machine;
  const Catalogue catalogue = BuildCatalogue(machine);
  SecurityState security;
  if (args.verb != Verb::List && !args.dryRun) PrepareSecurityState(security);
  CErrorStatus status(err);
  CDeleteOperations deletion(security, status);
  RunContext run{machine, catalogue, deletion, status, out, err};
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
