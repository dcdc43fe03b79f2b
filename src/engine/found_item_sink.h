// Where scans report what they find. The window program's document queues
// the items for its list; a test or a console program collects them.
#pragma once
#include <windows.h>

namespace klarex {

// A found item is a WIN32_FIND_DATAW whose cFileName holds the full path (at
// most 259 characters).
using FoundItem = WIN32_FIND_DATAW;

class IFoundItemSink {
 public:
  virtual ~IFoundItemSink() = default;
  // One item, in the order the scan's steps find them. May be called on any
  // thread (the Advance dialog's scans run on its worker).
  virtual void Add(const FoundItem& item) = 0;
  // A mode's scan has run its last step.
  virtual void EndOfScan() = 0;
};

}  // namespace klarex
