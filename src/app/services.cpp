#include "app/services.h"

#include <shlobj.h>

namespace klarex {

std::wstring RecordPathOf(IMachine& machine) {
  std::wstring local;
  return machine.SpecialFolder(CSIDL_LOCAL_APPDATA, local) ? DeletionRecordPath(local)
                                                           : std::wstring();
}

KlarexServices::KlarexServices() { PrepareSecurityState(security); }

}  // namespace klarex
