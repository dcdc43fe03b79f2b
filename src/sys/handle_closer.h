// Closes the handles of deleted files on a thread of its own. A file marked
// for deletion is unlinked when its handle closes, a round trip to the window
// server under Wine that costs as much as the rest of its deletion; the
// deleting thread goes on with the next item meanwhile.
#pragma once
#include <windows.h>

#include <thread>
#include <vector>

#include "sys/handles.h"

namespace klarex {

class CHandleCloser {
 public:
  CHandleCloser() = default;
  // Closes what is still queued.
  ~CHandleCloser();
  CHandleCloser(const CHandleCloser&) = delete;
  CHandleCloser& operator=(const CHandleCloser&) = delete;

  // Queues `handle` to be closed; closes it at once if no thread can be started.
  void Close(FileHandle handle);
  // Returns once every handle queued so far is closed.
  void Settle();

 private:
  void Run() noexcept;

  SRWLOCK m_lock = SRWLOCK_INIT;
  CONDITION_VARIABLE m_queued = CONDITION_VARIABLE_INIT;
  CONDITION_VARIABLE m_settled = CONDITION_VARIABLE_INIT;
  std::vector<HANDLE> m_queue;
  size_t m_closing = 0;  // taken from the queue, not yet closed
  bool m_stopping = false;
  std::thread m_thread;  // started with the first handle
};

}  // namespace klarex
