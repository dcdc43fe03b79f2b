// The program's command line.
#pragma once
#include <string>

namespace klarex {

struct StartOptions {
  // --exit-after-first-fill: the program closes its window as soon as the
  // first Standard list is filled and shown (the start-up benchmark times it).
  bool exitAfterFirstFill = false;
  bool operator==(const StartOptions&) const = default;
};

// Unknown arguments are ignored, as a double-clicked program may get some.
StartOptions ParseStartOptions(const wchar_t* commandLine);

}  // namespace klarex
