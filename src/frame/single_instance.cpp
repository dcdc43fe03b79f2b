#include "frame/single_instance.h"

namespace klarex {

namespace {
// Shared between every process started from this image; all zero again once
// none runs.
__attribute__((section(".control"), shared))
// process-wide: the program's other running instances read and write it too
InstanceRecord g_instanceRecord = {0, {256, 0, 0}, {}, {}};
}  // namespace

InstanceRecord& SharedInstanceRecord() { return g_instanceRecord; }

void RecordInstanceClassName(const std::wstring& className) {
  InstanceRecord& record = SharedInstanceRecord();
  size_t n = std::min<size_t>(className.size(), std::size(record.className) - 1);
  className.copy(record.className, n);
  record.className[n] = L'\0';
}

bool ActivateEarlierInstance(InstanceRecord& record) {
  if (record.running != 0) {
    wchar_t name[256];
    std::copy(std::begin(record.className), std::end(record.className), name);
    name[255] = L'\0';
    if (HWND other = ::FindWindowW(name, nullptr)) {
      ::BringWindowToTop(other);
      ::SetForegroundWindow(other);
      if (::IsIconic(other)) ::ShowWindow(other, SW_RESTORE);
      return true;
    }
  }
  record.running = 1;
  return false;
}

}  // namespace klarex
