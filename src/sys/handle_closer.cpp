#include "sys/handle_closer.h"

#include <exception>

namespace klarex {

namespace {

class SrwGuard {
 public:
  explicit SrwGuard(SRWLOCK& lock) : m_lock(lock) { ::AcquireSRWLockExclusive(&m_lock); }
  ~SrwGuard() { ::ReleaseSRWLockExclusive(&m_lock); }
  SrwGuard(const SrwGuard&) = delete;
  SrwGuard& operator=(const SrwGuard&) = delete;

 private:
  SRWLOCK& m_lock;
};

}  // namespace

CHandleCloser::~CHandleCloser() {
  {
    SrwGuard guard(m_lock);
    m_stopping = true;
  }
  ::WakeAllConditionVariable(&m_queued);
  // The thread empties the queue before it ends.
  if (m_thread.joinable()) m_thread.join();
}

void CHandleCloser::Close(FileHandle handle) {
  if (!handle) return;
  bool wake = false;
  try {
    SrwGuard guard(m_lock);
    if (!m_thread.joinable()) m_thread = std::thread([this] { Run(); });
    wake = m_queue.empty();
    m_queue.push_back(handle.get());
    handle.release();
  } catch (const std::exception&) {
    // No thread or no room: `handle` still owns it and closes it here.
    return;
  }
  // The thread sleeps only on an empty queue.
  if (wake) ::WakeConditionVariable(&m_queued);
}

void CHandleCloser::Settle() {
  SrwGuard guard(m_lock);
  while (!m_queue.empty() || m_closing != 0)
    ::SleepConditionVariableSRW(&m_settled, &m_lock, INFINITE, 0);
}

void CHandleCloser::Run() noexcept {
  std::vector<HANDLE> batch;
  for (;;) {
    {
      SrwGuard guard(m_lock);
      m_closing = 0;
      if (m_queue.empty()) ::WakeAllConditionVariable(&m_settled);
      while (m_queue.empty() && !m_stopping)
        ::SleepConditionVariableSRW(&m_queued, &m_lock, INFINITE, 0);
      if (m_queue.empty()) return;
      batch.swap(m_queue);
      m_closing = batch.size();
    }
    for (HANDLE handle : batch) ::CloseHandle(handle);
    batch.clear();
  }
}

}  // namespace klarex
