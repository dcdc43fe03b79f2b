#include "app/start_options.h"

#include <windows.h>
// needs windows.h first
#include <shellapi.h>

namespace klarex {

StartOptions ParseStartOptions(const wchar_t* commandLine) {
  StartOptions options;
  if (!commandLine || !*commandLine) return options;
  int count = 0;
  // The line wWinMain gets holds the arguments only: a first word to skip.
  const std::wstring line = std::wstring(L"Klarex.exe ") + commandLine;
  wchar_t** arguments = ::CommandLineToArgvW(line.c_str(), &count);
  if (!arguments) return options;
  for (int i = 1; i < count; ++i) {
    if (std::wstring(arguments[i]) == L"--exit-after-first-fill") options.exitAfterFirstFill = true;
  }
  ::LocalFree(arguments);
  return options;
}

}  // namespace klarex
