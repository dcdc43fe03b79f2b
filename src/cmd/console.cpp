#include "cmd/console.h"

#include <algorithm>
#include <cwctype>

#include "cmd/row_format.h"

namespace klarex::cmd {
namespace {

constexpr std::size_t kBlockChars = 32 * 1024;
constexpr DWORD kQuietMs = 1000;  // runs shorter than this show no figure

}  // namespace

COutput::COutput(HANDLE handle) : m_handle(handle) {
  DWORD mode = 0;
  m_console = m_handle && m_handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(m_handle, &mode);
}

void COutput::Line(std::wstring_view text) {
  m_pending.append(text);
  m_pending.append(L"\r\n");
  if (m_pending.size() >= kBlockChars) Flush();
}

void COutput::Now(std::wstring_view text) {
  m_pending.append(text);
  Flush();
}

void COutput::Flush() {
  if (m_pending.empty()) return;
  Write(m_pending);
  m_pending.clear();
}

void COutput::Write(std::wstring_view text) {
  if (!m_handle || m_handle == INVALID_HANDLE_VALUE) return;
  if (m_console) {
    // In pieces: a console write of a very large buffer may fail as a whole.
    while (!text.empty()) {
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size(), 8192));
      DWORD written = 0;
      if (!::WriteConsoleW(m_handle, text.data(), chunk, &written, nullptr) || written == 0) return;
      text.remove_prefix(written);
    }
    return;
  }
  const std::string bytes = ToUtf8Bytes(text);
  std::size_t offset = 0;
  while (offset < bytes.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - offset, 1u << 20));
    if (!::WriteFile(m_handle, bytes.data() + offset, chunk, &written, nullptr) || written == 0)
      return;  // a closed pipe: the rest has nowhere to go
    offset += written;
  }
}

CProgress::CProgress(COutput& err, int total)
    : m_err(err), m_total(total), m_start(::GetTickCount()) {}

void CProgress::Step(int done) {
  if (!m_err.IsConsole() || m_total <= 0 || ::GetTickCount() - m_start < kQuietMs) return;
  const int percent =
      static_cast<int>(std::clamp<long long>(static_cast<long long>(done) * 100 / m_total, 0, 100));
  if (percent == m_shown) return;
  m_shown = percent;
  m_err.Now(L"\r" + std::to_wstring(percent) + L"%");
}

void CProgress::Done() {
  if (m_shown < 0) return;
  m_shown = -1;
  m_err.Now(L"\r     \r");
}

bool IsConsoleInput() {
  DWORD mode = 0;
  HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
  return input && input != INVALID_HANDLE_VALUE && ::GetConsoleMode(input, &mode);
}

bool AskYes(COutput& err, const std::wstring& question) {
  err.Now(question + L" [y/N] ");
  wchar_t answer[64] = {};
  DWORD read = 0;
  if (!::ReadConsoleW(::GetStdHandle(STD_INPUT_HANDLE), answer, 63, &read, nullptr)) return false;
  std::wstring word(answer, read);
  while (!word.empty() && std::iswspace(word.back())) word.pop_back();
  while (!word.empty() && std::iswspace(word.front())) word.erase(0, 1);
  for (wchar_t& c : word) c = static_cast<wchar_t>(std::towlower(c));
  return word == L"y" || word == L"yes";
}

}  // namespace klarex::cmd
