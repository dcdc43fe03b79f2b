#include "framework/unexpected_error.h"

#include <memory>
#include <mutex>

#include "framework/app.h"
#include "framework/app_messages.h"
#include "framework/language.h"
#include "sys/utf8.h"

namespace klarex {

namespace {

// Whether a box is open and what the last one said.
struct ErrorBox {
  std::mutex lock;
  bool open = false;
  std::wstring lastShown;
};

// Barriers of windows, dialogs, hooks and threads report here with no context to pass.
// process-wide: any barrier on any thread may report
ErrorBox g_box;

void ShowOnce(const std::wstring& text) {
  {
    // A failure inside the box's own message loop, or the same failure over
    // and over (a window that cannot paint), must not pile up boxes.
    std::lock_guard<std::mutex> lock(g_box.lock);
    if (g_box.open || text == g_box.lastShown) return;
    g_box.open = true;
    g_box.lastShown = text;
  }
  struct Closed {
    ~Closed() {
      std::lock_guard<std::mutex> lock(g_box.lock);
      g_box.open = false;
    }
  } closed;
  AfxMessageBox(text, MB_OK | MB_ICONERROR);
}

}  // namespace

std::wstring DescribeException(std::exception_ptr error) noexcept {
  if (!error) return {};
  try {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      return FromUtf8(e.what());
    } catch (const char* text) {
      return text ? FromUtf8(text) : std::wstring();
    } catch (const wchar_t* text) {
      return text ? std::wstring(text) : std::wstring();
    } catch (...) {
      // A type this layer does not know says nothing readable.
    }
  } catch (...) {
    // Out of memory while describing: say nothing.
  }
  return {};
}

std::wstring UnexpectedErrorText(const std::wstring& description) {
  std::wstring text =
      GetLangString(L"Status", L"17", L"An unexpected error stopped the last action.");
  if (!description.empty()) text += L"\n\n" + description;
  return text;
}

void ReportUnexpectedError(std::exception_ptr error) noexcept {
  try {
    std::wstring text = UnexpectedErrorText(DescribeException(error));
    HWND main = AfxMainWindow();
    if (main && ::GetWindowThreadProcessId(main, nullptr) != ::GetCurrentThreadId()) {
      // Worker threads show no window of their own.
      PostOwned(main, kMsgUnexpectedError, 0, std::make_unique<std::wstring>(std::move(text)));
      return;
    }
    ShowOnce(text);
  } catch (...) {
    // Out of memory: nothing more can be said.
  }
}

void ShowPostedUnexpectedError(LPARAM text) noexcept {
  std::unique_ptr<std::wstring> owned = TakePosted<std::wstring>(text);
  if (!owned) return;
  try {
    ShowOnce(*owned);
  } catch (...) {
    // Out of memory: nothing more can be said.
  }
}

void DiscardPostedUnexpectedErrors(HWND window) {
  DiscardPosted<std::wstring>(window, kMsgUnexpectedError);
}

}  // namespace klarex
