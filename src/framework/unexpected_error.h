// The last line of defence: an exception of any type that reaches a window,
// dialog, hook or thread procedure stops there. The user is told that the
// action did not complete; the program goes on.
#pragma once
#include <windows.h>

#include <exception>
#include <string>

namespace klarex {

// What an exception says: the text of a std::exception or of a thrown string,
// else nothing.
std::wstring DescribeException(std::exception_ptr error) noexcept;

// The text shown to the user: [Status] 17 and the description, if any.
std::wstring UnexpectedErrorText(const std::wstring& description);

// Tells the user in a message box owned by the main window. From a thread
// other than the main window's, the text is posted to that window and shown
// there. One box at a time; a text just shown is not shown again.
void ReportUnexpectedError(std::exception_ptr error) noexcept;

// The receiving side of kMsgUnexpectedError (framework/app_messages.h),
// which ReportUnexpectedError posts to the main window: shows the text and
// frees it.
void ShowPostedUnexpectedError(LPARAM text) noexcept;
// Frees the texts still queued for `window`, which is being destroyed.
void DiscardPostedUnexpectedErrors(HWND window);

// Runs `body` where nothing may unwind any further; whatever it throws is
// reported and `fallback` returned instead.
template <class Result, class Body>
Result Guarded(Result fallback, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    ReportUnexpectedError(std::current_exception());
    return fallback;
  }
}

}  // namespace klarex
