// The program's own window messages, every one in the WM_APP range and
// defined here only, so that no two can meet on one window. Messages whose
// lParam carries a payload pass its ownership: PostOwned frees it when the
// post fails, the receiver takes it with TakePosted, and a window being
// destroyed frees what is still queued for it with DiscardPosted.
#pragma once
#include <windows.h>

#include <memory>

namespace klarex {

// To a status bar: wParam the pane, lParam a std::wstring (owned).
inline constexpr UINT kMsgPaneText = WM_APP + 1;
// To a worker's message window: lParam a std::function<void()> (owned) to run.
inline constexpr UINT kMsgWorkerCall = WM_APP + 2;
// To a worker's message window: its thread has ended.
inline constexpr UINT kMsgWorkerDone = WM_APP + 3;
// To the result list: a language file was chosen; its column titles follow.
inline constexpr UINT kMsgLanguageChanged = WM_APP + 4;
// To the result list: its totals changed; the status bar shows them once.
inline constexpr UINT kMsgShowTotals = WM_APP + 0x20;
// To the main window: lParam a std::wstring (owned), an error a worker ran into.
inline constexpr UINT kMsgUnexpectedError = WM_APP + 0x40;

// Posts `message` with `payload` as its lParam; the payload is freed here
// when the post fails.
template <class T>
bool PostOwned(HWND window, UINT message, WPARAM wp, std::unique_ptr<T> payload) {
  if (!::PostMessageW(window, message, wp, reinterpret_cast<LPARAM>(payload.get()))) return false;
  payload.release();
  return true;
}

// The receiving side of PostOwned.
template <class T>
std::unique_ptr<T> TakePosted(LPARAM lp) {
  return std::unique_ptr<T>(reinterpret_cast<T*>(lp));
}

// Frees the payloads of `message` still queued for `window` (which is going).
template <class T>
void DiscardPosted(HWND window, UINT message) {
  MSG pending;
  while (::PeekMessageW(&pending, window, message, message, PM_REMOVE)) {
    // PeekMessage hands out WM_QUIT whatever the filter: keep it for the loop.
    if (pending.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(pending.wParam));
      break;
    }
    TakePosted<T>(pending.lParam);
  }
}

}  // namespace klarex
