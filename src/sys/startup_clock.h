// Where start-up's time goes: each step notes the milliseconds since the
// process was created. The program writes them out when it ends after its
// first fill (--exit-after-first-fill), for the start-up benchmark.
#pragma once
#include <string>

namespace klarex {

// Notes that `step` is done now.
void NoteStartupStep(const char* step);
// A step made of several stretches (the list fill): their lengths add up.
void BeginStartupStretch();
void EndStartupStretch(const char* step);
// "<step> <ms>" lines in the order noted: a point is the time since the
// process was created, a stretch its total length.
std::string StartupStepsText();

}  // namespace klarex
