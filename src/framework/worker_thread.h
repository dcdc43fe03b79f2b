// A worker thread started with a priority; joined (never abandoned) when the
// object goes away.
#pragma once
#include <windows.h>

#include <functional>

#include "sys/handles.h"

namespace klarex {

class CWorkerThread {
 public:
  CWorkerThread() = default;
  ~CWorkerThread() { Join(); }
  CWorkerThread(const CWorkerThread&) = delete;
  CWorkerThread& operator=(const CWorkerThread&) = delete;

  // False if a thread is already recorded or it could not be started.
  bool Start(std::function<void()> body, int priority = THREAD_PRIORITY_NORMAL);
  // Waits for the thread to end (answering messages it sends to this
  // thread meanwhile) and forgets it.
  void Join();

 private:
  static DWORD WINAPI Entry(void* self);
  std::function<void()> m_body;
  KernelHandle m_thread;
};

}  // namespace klarex
