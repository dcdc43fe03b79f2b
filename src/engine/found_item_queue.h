// First-in, first-out queue of found items, filled by the scans and drained by
// the list view. The critical section is held only inside Push, Pop, IsEmpty.
#pragma once
#include <windows.h>

#include <stdexcept>

#include "engine/found_item_sink.h"

namespace klarex {

// Pop on an empty queue; consumers test IsEmpty first. A standard exception,
// so every barrier that catches those catches this one too.
class CQueueUnderflow : public std::runtime_error {
 public:
  CQueueUnderflow() : std::runtime_error("SB Queue underflow !") {}
};

class CFoundItemQueue {
 public:
  CFoundItemQueue();
  ~CFoundItemQueue();
  CFoundItemQueue(const CFoundItemQueue&) = delete;
  CFoundItemQueue& operator=(const CFoundItemQueue&) = delete;

  bool Push(const FoundItem& item);
  // Throws CQueueUnderflow when empty.
  FoundItem Pop();
  bool IsEmpty();

 private:
  struct Node {
    FoundItem item;
    Node* next;
  };
  CRITICAL_SECTION m_lock;
  Node* m_head = nullptr;
  Node* m_tail = nullptr;
};

}  // namespace klarex
