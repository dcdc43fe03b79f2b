// The application object: start-up, the single-instance rule, and the Help
// commands.
#pragma once
#include "app/services.h"
#include "app/start_options.h"
#include "framework/app.h"

namespace klarex {

class CKlarexApp : public CWinApp {
 public:
  // `services` outlive the application and everything it makes.
  CKlarexApp(KlarexServices& services, StartOptions options);

  bool InitInstance() override;
  bool OnCommand(UINT id) override;

 private:
  KlarexServices& m_services;
  StartOptions m_options;
};

// Runs the whole program: start-up, message loop, shut-down. wWinMain's body,
// with the command line's arguments.
int RunKlarex(const wchar_t* commandLine);

}  // namespace klarex
