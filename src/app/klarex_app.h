// The application object: start-up, the single-instance rule, and the Help
// commands.
#pragma once
#include "framework/app.h"
#include "privacy/ietdlg.h"

namespace klarex {

class CKlarexApp : public CWinApp {
 public:
  // Prepares the process security state (taking ownership of found items).
  CKlarexApp();
  ~CKlarexApp() override;

  bool InitInstance() override;
  bool OnCommand(UINT id) override;

 private:
  bool m_comReady = false;
  CAdvanceDialog m_advance;
};

// Runs the whole program: start-up, message loop, shut-down. wWinMain's body.
int RunKlarex();

}  // namespace klarex
