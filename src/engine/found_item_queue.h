// First-in, first-out queue of found items, filled by the scans and drained by
// the list view. The critical section is held only inside Push, Pop, IsEmpty.
#pragma once
#include <windows.h>

namespace klarex {

// A found item is a WIN32_FIND_DATAW whose cFileName holds the full path.
using FoundItem = WIN32_FIND_DATAW;

class CFoundItemQueue {
 public:
  CFoundItemQueue();
  ~CFoundItemQueue();
  CFoundItemQueue(const CFoundItemQueue&) = delete;
  CFoundItemQueue& operator=(const CFoundItemQueue&) = delete;

  bool Push(const FoundItem& item);
  // Throws the text "SB Queue underflow !" (a const char*) when empty.
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
