// The record that all running instances of the program share: a running flag
// and the class name of the main frame, so that a second start can bring the
// first window forward.
#pragma once
#include <windows.h>

#include <string>

namespace klarex {

struct InstanceRecord {
  LONG running;      // 0: no instance has started since the block was created
  LONG reserved[3];  // the image holds 256 in the first of them
  wchar_t className[256];
  BYTE padding[4096 - 16 - 256 * sizeof(wchar_t)];
};
static_assert(sizeof(InstanceRecord) == 4096);

// The shared block (a shared data section of the program's image).
InstanceRecord& SharedInstanceRecord();

// Copies at most 255 characters of `className` into the record.
void RecordInstanceClassName(const std::wstring& className);

// When an earlier instance is running and its window exists: brings that window
// to the top (restoring it if minimised) and returns true. Otherwise marks
// this instance as running and returns false.
bool ActivateEarlierInstance(InstanceRecord& record);

}  // namespace klarex
