// The console program's standard handles: text out (real Unicode on a
// console, UTF-8 bytes to a file or pipe), a progress percentage on a console
// standard error, and the interactive "y" before a deletion.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace klarex::cmd {

class COutput {
 public:
  // A standard handle (not owned), or any file opened for writing.
  explicit COutput(HANDLE handle);
  ~COutput() { Flush(); }
  COutput(const COutput&) = delete;
  COutput& operator=(const COutput&) = delete;

  bool IsConsole() const { return m_console; }
  // A line (a line break is added). Kept until Flush or until a block fills.
  void Line(std::wstring_view text);
  // Text without a line break, written at once (a prompt, the progress figure).
  void Now(std::wstring_view text);
  void Flush();

 private:
  void Write(std::wstring_view text);

  HANDLE m_handle;
  bool m_console;
  std::wstring m_pending;
};

// A percentage on standard error while a run lasts more than a second, and
// only when standard error is a console (a log file gets no figures).
class CProgress {
 public:
  CProgress(COutput& err, int total);
  ~CProgress() { Done(); }
  CProgress(const CProgress&) = delete;
  CProgress& operator=(const CProgress&) = delete;

  void Step(int done);
  // Wipes the figure, if one was shown.
  void Done();

 private:
  COutput& m_err;
  int m_total;
  DWORD m_start;
  int m_shown = -1;
};

// True when standard input is a console (someone can answer a question).
bool IsConsoleInput();
// Asks `question` on standard error and reads one line from the console: true
// for "y" or "yes".
bool AskYes(COutput& err, const std::wstring& question);

}  // namespace klarex::cmd
