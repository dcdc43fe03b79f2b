// startup ratio: from process start to the first filled Standard list of
// Klarex.exe (which closes itself at that point when started with
// --exit-after-first-fill), against the start and end of a minimal Win32 window program (this
// program run with --minimal). The program runs from a copy in the prefix, on a
// Windows folder with 200 planted temporary files.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bench_util.h"

namespace {

using klarex::bench::Clock;
using klarex::bench::Median;
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

// Seconds from CreateProcess to the end of the process; negative on failure.
double TimeProcess(std::wstring commandLine, const std::wstring& folder) {
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  auto start = Clock::now();
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &si, &pi))
    return -1;
  DWORD wait = WaitForSingleObject(pi.hProcess, 120000);
  double seconds = klarex::bench::Seconds(start);
  if (wait != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return wait == WAIT_OBJECT_0 ? seconds : -1;
}

std::string ReadText(const std::wstring& path) {
  std::string text;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return text;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got) text.append(buffer, got);
  CloseHandle(file);
  DeleteFileW(path.c_str());
  return text;
}

// The program's "<step> <ms>" lines.
std::map<std::string, double> ParseSteps(const std::string& text) {
  std::map<std::string, double> steps;
  std::istringstream lines(text);
  std::string name;
  double ms = 0;
  while (lines >> name >> ms) steps[name] = ms;
  return steps;
}

// Where the time goes, from the medians of the program's own notes: each
// step's share, from the one before it.
void PrintBreakdown(const std::vector<std::map<std::string, double>>& rounds, double total) {
  auto median = [&](const char* step) {
    std::vector<double> figures;
    for (const auto& round : rounds)
      if (auto it = round.find(step); it != round.end()) figures.push_back(it->second);
    return Median(figures);
  };
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

bool KeyExists(const wchar_t* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--minimal") == 0) return RunMinimalWindow();

  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring bin(self);
  // Run from a folder no drive maps, Wine names the program "unix\...": the
  // "\\?\" prefix makes that a path Windows calls accept.
  if (bin.rfind(L"unix\\", 0) == 0) bin = L"\\\\?\\" + bin;
  std::wstring selfPath = bin;
  bin.resize(bin.rfind(L'\\') + 1);

  // A copy of the program in the prefix, as a user would have it.
  std::wstring app = L"C:\\bench-startup-" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(app.c_str(), nullptr);
  CreateDirectoryW((app + L"\\lang").c_str(), nullptr);
  for (const wchar_t* name : {L"Klarex.exe", L"sqlite3.dll"})
    CopyFileW((bin + name).c_str(), (app + L"\\" + name).c_str(), FALSE);
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
  const bool hadSettings = KeyExists(L"Software\\Klarex");
  // The program notes its start-up steps there (ms since its process was created).
  const std::wstring stepsFile = app + L"-steps.txt";
  SetEnvironmentVariableW(L"KLAREX_STARTUP_STEPS", stepsFile.c_str());

  std::vector<double> program, minimal;
  std::vector<std::map<std::string, double>> steps;
  bool failed = false;
  for (int round = 0; round < kRounds; ++round) {
    double p = TimeProcess(L"\"" + app + L"\\Klarex.exe\" --exit-after-first-fill", app);
    double m = TimeProcess(L"\"" + selfPath + L"\" --minimal", L"");
    steps.push_back(ParseSteps(ReadText(stepsFile)));
    if (p < 0 || m < 0) {
      std::fprintf(stderr, "round %d: program %.3f, minimal %.3f, error %lu\n", round, p, m,
                   GetLastError());
      failed = true;
    }
    program.push_back(p);
    minimal.push_back(m);
  }

  for (const std::wstring& path : planted) DeleteFileW(path.c_str());
  for (const wchar_t* name : {L"\\Klarex.exe", L"\\sqlite3.dll"}) DeleteFileW((app + name).c_str());
  RemoveDirectoryW((app + L"\\lang").c_str());
  RemoveDirectoryW(app.c_str());
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
