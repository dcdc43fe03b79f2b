// startup ratio: from process start to the first filled Standard list of
// Klarex.exe (which closes itself at that point when started with
// --exit-after-first-fill), against the start and end of a minimal Win32 window program (this
// program run with --minimal). The program runs from a copy in the prefix, on a
// Windows folder with 200 planted temporary files.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench_util.h"

namespace {

using klarex::bench::Clock;
using klarex::bench::Median;
using klarex::bench::ParseSteps;
using klarex::bench::TakeText;
using klarex::bench::TimeProcess;
constexpr int kRounds = 3;
constexpr int kPlanted = 200;

int RunMinimalWindow() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = [](HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(hwnd, msg, wp, lp);
  };
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"KlarexBench.Minimal";
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowW(wc.lpszClassName, L"minimal", WS_OVERLAPPEDWINDOW, 80, 66, 800, 456,
                            nullptr, nullptr, wc.hInstance, nullptr);
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
  PostMessageW(hwnd, WM_CLOSE, 0, 0);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}

// Where the time goes, from the medians of the program's own notes: each
// step's share, from the one before it.
void PrintBreakdown(const std::vector<std::map<std::string, double>>& rounds, double total) {
  auto median = [&](const char* step) { return klarex::bench::MedianStep(rounds, step); };
  const double services = median("services"), check = median("instance-check"),
               catalogue = median("catalogue"), frame = median("frame"), fill = median("fill"),
               filled = median("filled"), painted = median("painted");
  std::printf("startup process start to services ms: %.0f\n", services);
  std::printf("startup frame creation ms: %.0f\n", (check - services) + (frame - catalogue));
  std::printf("startup catalogue ms: %.0f\n", catalogue - check);
  std::printf("startup standard scan ms: %.0f\n", filled - frame - fill);
  std::printf("startup list fill ms: %.0f\n", fill);
  std::printf("startup first paint ms: %.0f\n", painted - filled);
  std::printf("startup close and exit ms: %.0f\n", total * 1000.0 - painted);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--minimal") == 0) return RunMinimalWindow();

  const std::wstring selfPath = klarex::bench::SelfPath();
  std::wstring app = L"C:\\bench-startup-" + std::to_wstring(GetCurrentProcessId());
  klarex::bench::InstallProgramCopy(app);
  std::vector<std::wstring> planted;
  wchar_t windows[MAX_PATH];
  GetWindowsDirectoryW(windows, MAX_PATH);
  for (int i = 0; i < kPlanted; ++i) {
    std::wstring path = std::wstring(windows) + L"\\klarex-bench-" +
                        std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(i) +
                        L".tmp";
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, "junk", 4, &written, nullptr);
    CloseHandle(h);
    planted.push_back(path);
  }
  const bool hadSettings = klarex::bench::UserKeyExists(L"Software\\Klarex");
  // The program notes its start-up steps there (ms since its process was created).
  const std::wstring stepsFile = app + L"-steps.txt";
  SetEnvironmentVariableW(L"KLAREX_STARTUP_STEPS", stepsFile.c_str());

  std::vector<double> program, minimal;
  std::vector<std::map<std::string, double>> steps;
  bool failed = false;
  for (int round = 0; round < kRounds; ++round) {
    double p = TimeProcess(L"\"" + app + L"\\Klarex.exe\" --exit-after-first-fill", app);
    double m = TimeProcess(L"\"" + selfPath + L"\" --minimal", L"");
    steps.push_back(ParseSteps(TakeText(stepsFile)));
    if (p < 0 || m < 0) {
      std::fprintf(stderr, "round %d: program %.3f, minimal %.3f, error %lu\n", round, p, m,
                   GetLastError());
      failed = true;
    }
    program.push_back(p);
    minimal.push_back(m);
  }

  for (const std::wstring& path : planted) DeleteFileW(path.c_str());
  klarex::bench::RemoveProgramCopy(app);
  if (!hadSettings) RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Klarex");

  if (failed) {
    std::printf("startup ratio: failed (a process did not end)\n");
    return 1;
  }
  double p = Median(program), m = Median(minimal);
  PrintBreakdown(steps, p);
  std::fprintf(stderr, "startup program: %.3f s\n", p);
  std::fprintf(stderr, "startup minimal window: %.3f s\n", m);
  std::printf("startup ratio: %.2f (goal <= 3.0)\n", p / m);
  return 0;
}
