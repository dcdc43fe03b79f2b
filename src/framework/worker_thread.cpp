#include "framework/worker_thread.h"

#include "framework/unexpected_error.h"

namespace klarex {

bool CWorkerThread::Start(std::function<void()> body, int priority) {
  if (m_thread) return false;
  m_body = std::move(body);
  m_thread.reset(
      ::CreateThread(nullptr, 0, &CWorkerThread::Entry, this, CREATE_SUSPENDED, nullptr));
  if (!m_thread) return false;
  ::SetThreadPriority(m_thread.get(), priority);
  ::ResumeThread(m_thread.get());
  return true;
}

void CWorkerThread::Join() {
  if (!m_thread) return;
  // The worker may be waiting on a message sent to this thread's windows:
  // answer sent messages while waiting.
  HANDLE h = m_thread.get();
  while (::MsgWaitForMultipleObjects(1, &h, FALSE, INFINITE, QS_SENDMESSAGE) != WAIT_OBJECT_0) {
    MSG msg;
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  m_thread.reset();
}

DWORD WINAPI CWorkerThread::Entry(void* self) {
  // A worker's failure ends only the worker; the user is told on the main window.
  Guarded(0, [self] {
    static_cast<CWorkerThread*>(self)->m_body();
    return 0;
  });
  return 0;
}

}  // namespace klarex
