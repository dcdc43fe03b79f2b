// UTF-16 ↔ UTF-8 at the SQLite boundary (paths in, error messages out).
#pragma once
#include <string>

namespace klarex {

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

}  // namespace klarex
