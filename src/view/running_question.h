// The question asked before a run would take files from a program that is
// running: Cancel, Try Again (look again) or Continue without that program.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

#include "engine/running_browsers.h"

namespace klarex {

enum class RunningAnswer {
  NoneRunning,  // nothing to ask (any more): run as chosen
  Continue,     // run without the programs in `leftAlone`
  Cancel,       // nothing happens
};

// `look` names the running programs the run would touch (indices into
// `programs`); it is asked again after Try Again. A message box captioned
// "Klarex .NET" over `owner`; `clean` words it for the Advance dialog's
// steps rather than listed items.
RunningAnswer AskAboutRunningPrograms(HWND owner, const std::vector<WatchedProgram>& programs,
                                      const std::function<std::vector<size_t>()>& look, bool clean,
                                      std::vector<size_t>& leftAlone);

// The question's text for the programs' names.
std::wstring RunningQuestionText(const std::wstring& names, bool clean);

}  // namespace klarex
