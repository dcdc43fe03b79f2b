// Helpers for the definition-file tests: the shipped folder beside the test
// program, raw file bytes, and refusals as readable text for failure messages.
#pragma once
#include <string>
#include <vector>

#include "engine/definitions.h"

namespace klarex::test {

// The "cleaners" folder beside the running program (the build copies the
// shipped definition files there).
std::wstring ShippedFolder();

// The whole file, or empty when it cannot be read.
std::string ReadBytes(const std::wstring& path);
// Creates or replaces the file with exactly these bytes.
void WriteBytes(const std::wstring& path, const std::string& bytes);

// "file:line [section] Problem (detail)" per refusal, one a line (UTF-8).
std::string Describe(const std::vector<Refusal>& refusals);

}  // namespace klarex::test
