#include "engine/found_item_queue.h"

#include <new>
#include <utility>

namespace klarex {

namespace {

class Lock {
 public:
  explicit Lock(CRITICAL_SECTION& cs) : m_cs(cs) { EnterCriticalSection(&m_cs); }
  ~Lock() { LeaveCriticalSection(&m_cs); }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

 private:
  CRITICAL_SECTION& m_cs;
};

}  // namespace

CFoundItemQueue::CFoundItemQueue() { InitializeCriticalSection(&m_lock); }

CFoundItemQueue::~CFoundItemQueue() {
  {
    Lock lock(m_lock);
    while (m_head) delete std::exchange(m_head, m_head->next);
    m_tail = nullptr;
  }
  DeleteCriticalSection(&m_lock);
}

bool CFoundItemQueue::Push(const FoundItem& item) {
  Lock lock(m_lock);
  // A failed allocation links nothing; the scan goes on without this item.
  Node* node = new (std::nothrow) Node{item, nullptr};
  if (!node) return true;
  if (m_tail)
    m_tail->next = node;
  else
    m_head = node;
  m_tail = node;
  return true;
}

FoundItem CFoundItemQueue::Pop() {
  Node* node;
  {
    Lock lock(m_lock);
    if (!m_head) throw CQueueUnderflow();
    node = m_head;
    m_head = node->next;
    if (!m_head) m_tail = nullptr;
  }
  FoundItem item = node->item;
  delete node;
  return item;
}

bool CFoundItemQueue::IsEmpty() {
  Lock lock(m_lock);
  return m_head == nullptr;
}

}  // namespace klarex
