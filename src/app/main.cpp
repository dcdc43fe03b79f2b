#include <windows.h>

#include "app/klarex_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  return klarex::RunKlarex(commandLine);
}
