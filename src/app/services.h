// What the program builds once at start-up and hands down by constructor.
// Members are declared in the order they depend on each other; they go in
// reverse, after the application object, its windows and every worker (the
// security state is read by the deletion worker until its last row).
#pragma once
#include <windows.h>

#include "engine/deletion_record.h"
#include "engine/keep_list.h"
#include "privacy/ietdlg.h"
#include "sys/machine.h"
#include "sys/operations.h"
#include "view/status_line.h"
#include "view/status_progress.h"

namespace klarex {

// OLE (and COM) for the user-interface thread: the taskbar progress, the
// shell's menus and dragging files out need it.
class OleSession {
 public:
  OleSession() : m_hr(::OleInitialize(nullptr)) {}
  ~OleSession() {
    if (SUCCEEDED(m_hr)) ::OleUninitialize();
  }
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;

 private:
  HRESULT m_hr;
};

// Where the deletion record of this user lives.
std::wstring RecordPathOf(IMachine& machine);

struct KlarexServices {
  // Prepares the security state.
  KlarexServices();
  KlarexServices(const KlarexServices&) = delete;
  KlarexServices& operator=(const KlarexServices&) = delete;

  OleSession ole;
  Win32Machine machine;
  SecurityState security;
  CStatusLine statusLine;
  CStatusProgress progress;
  CDeleteOperations deletion{security, statusLine.EngineSink()};
  // Paths the user chose never to see listed again.
  CKeepList keep = LoadKeepList();
  // %LOCALAPPDATA%\Klarex\deletions.csv.
  CDeletionRecord record{RecordPathOf(machine)};
  CAdvanceDialog advance{progress, record};
};

}  // namespace klarex
