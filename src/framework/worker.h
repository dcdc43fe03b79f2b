// One worker thread and its way back to the user-interface thread that
// started it. What the body posts with PostToUi runs there, in order; `done`
// runs there last, once the thread has ended, whether the body returned or
// threw. Nothing the body throws leaves the thread: it is reported like any
// unexpected error, and the run ends.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>

#include "sys/handles.h"

namespace klarex {

class CWorker {
 public:
  CWorker() = default;
  // Joins a thread that still runs (see Join).
  ~CWorker();
  CWorker(const CWorker&) = delete;
  CWorker& operator=(const CWorker&) = delete;

  // User-interface thread: starts `body` at `priority`. False, and nothing
  // runs, while a run is on or when no thread could be started.
  bool Start(std::function<void()> body, std::function<void()> done,
             int priority = THREAD_PRIORITY_NORMAL);
  // Worker thread: runs `call` on the user-interface thread. False when it
  // could not be posted; it then never runs.
  bool PostToUi(std::function<void()> call);
  // From Start until `done` is called (or Join).
  bool IsRunning() const { return m_running; }
  // Waits for the thread to end, answering messages sent to this thread
  // meanwhile (the body may be waiting for one); what it posted is then
  // dropped, and `done` does not run.
  void Join();

 private:
  static DWORD WINAPI ThreadProc(void* self);
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  // User-interface thread: the thread has ended.
  void Finish();
  void DropPosted();

  HWND m_window = nullptr;  // message-only, of the thread that started the run
  KernelHandle m_thread;
  std::function<void()> m_body;
  std::function<void()> m_done;
  bool m_running = false;
  std::atomic<bool> m_joining{false};
};

}  // namespace klarex
