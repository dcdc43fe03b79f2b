#include "sys/processes.h"

#include <windows.h>
// needs windows.h first
#include <tlhelp32.h>

#include "sys/handles.h"

namespace klarex {

std::vector<std::wstring> RunningProcessNames() {
  std::vector<std::wstring> names;
  KernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return names;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
       more = ::Process32NextW(snapshot.get(), &entry)) {
    names.emplace_back(entry.szExeFile);
  }
  return names;
}

}  // namespace klarex
