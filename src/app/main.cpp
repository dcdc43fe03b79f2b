#include <windows.h>

#include "app/klarex_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return klarex::RunKlarex(); }
