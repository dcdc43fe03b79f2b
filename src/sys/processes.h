// The programs running on this machine.
#pragma once
#include <string>
#include <vector>

namespace klarex {

// The program file names of the running processes ("firefox.exe"), from a
// Toolhelp snapshot; empty when no snapshot can be taken.
std::vector<std::wstring> RunningProcessNames();

}  // namespace klarex
