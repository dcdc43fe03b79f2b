// The fuzz driver. The parent runs each parser's cases in a child process of
// its own program and watches it: an access violation or any other fault
// inside Windows code under Wine ends only the child, which the parent counts
// as a crash at the case the child last started, before starting a new child
// at the next case. (A vectored handler could catch the fault, but a parser
// stopped half-way may leave its heap, locks or SQLite in any state; only a
// fresh process makes the following cases trustworthy.) A case that runs over
// 10 s is a hang: the parent ends the child and goes on the same way.
#include <windows.h>

#include <cstdio>
#include <exception>
#include <string>

#include "fuzz/fuzz.h"
#include "support/temp_dir.h"

namespace klarex::fuzz {
namespace {

constexpr unsigned kHangMs = 10000;
constexpr int kMaxReports = 64;

// What a child tells its parent, in shared memory.
struct Shared {
  volatile LONG current;  // the case being run
  volatile LONG done;     // cases finished
  volatile LONG broken;   // cases that broke an invariant
  volatile LONG brokenCase[kMaxReports];
};

std::wstring g_work;

uint64_t CaseSeed(const char* name, uint64_t index) {
  uint64_t h = 1469598103934665603ull;  // FNV-1a of the name, then the index mixed in
  for (const char* p = name; *p; ++p) h = (h ^ static_cast<unsigned char>(*p)) * 1099511628211ull;
  return h ^ (index * 0x9E3779B97F4A7C15ull);
}

std::wstring Widen(const char* text) { return std::wstring(text, text + strlen(text)); }

// Started by its Unix path (the build tree lies on no drive of the prefix),
// the program's name comes back as unix\... without "\\?\".
std::wstring ModulePath() {
  wchar_t module[MAX_PATH];
  std::wstring path(module, GetModuleFileNameW(nullptr, module, MAX_PATH));
  return path.rfind(L"unix\\", 0) == 0 ? L"\\\\?\\" + path : path;
}

// build/fuzz/failures: two levels above the program (build/bin/klarex_fuzz.exe).
std::wstring FailureFolder() {
  std::wstring path = ModulePath();
  path = path.substr(0, path.rfind(L'\\'));
  path = path.substr(0, path.rfind(L'\\')) + L"\\fuzz";
  CreateDirectoryW(path.c_str(), nullptr);
  path += L"\\failures";
  CreateDirectoryW(path.c_str(), nullptr);
  return path;
}

void WriteFile(const std::wstring& path, const std::string& bytes) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
}

std::string Printable(const std::string& input) {
  std::string out;
  for (size_t i = 0; i < input.size() && out.size() < 240; ++i) {
    const unsigned char c = input[i];
    char hex[8];
    snprintf(hex, sizeof(hex), "\\x%02x", c);
    out += (c >= 0x20 && c < 0x7f && c != '\\') ? std::string(1, c) : hex;
  }
  return input.size() > 240 ? out + "..." : out;
}

std::wstring FailureStem(const Target& t, uint64_t index) {
  return FailureFolder() + L"\\" + Widen(t.name) + L"-" + std::to_wstring(index);
}

// Saves the case's input and a report naming its seed (<stem>.bin, <stem>.txt).
void SaveFailure(const Target& t, uint64_t index, const std::string& what) {
  Rng rng(CaseSeed(t.name, index));
  const std::string input = t.generate(rng, index);
  char head[160];
  snprintf(head, sizeof(head), "fuzz-%s FAILED case %llu seed 0x%016llx: ", t.name,
           static_cast<unsigned long long>(index),
           static_cast<unsigned long long>(CaseSeed(t.name, index)));
  const std::string report = head + what + "\n  input (" + std::to_string(input.size()) +
                             " bytes): " + Printable(input) + "\n  saved: build/fuzz/failures/" +
                             t.name + "-" + std::to_string(index) + ".bin\n";
  WriteFile(FailureStem(t, index) + L".bin", input);
  WriteFile(FailureStem(t, index) + L".txt", report);
}

void PrintFailure(const Target& t, uint64_t index) {
  HANDLE h = CreateFileW((FailureStem(t, index) + L".txt").c_str(), GENERIC_READ, FILE_SHARE_READ,
                         nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  char text[1024];
  DWORD read = 0;
  ReadFile(h, text, sizeof(text) - 1, &read, nullptr);
  CloseHandle(h);
  text[read] = 0;
  fputs(text, stdout);
  fflush(stdout);
}

std::string RunCase(const Target& t, uint64_t index) {
  Rng rng(CaseSeed(t.name, index));
  const std::string input = t.generate(rng, index);
  const ULONGLONG start = GetTickCount64();
  std::string broken;
  try {
    broken = t.check(input);
  } catch (...) {
    broken = "an exception left the parser";
  }
  const ULONGLONG ms = GetTickCount64() - start;
  if (broken.empty() && ms > t.limitMs) broken = "took " + std::to_string(ms) + " ms";
  return broken;
}

LONG WINAPI EndOnFault(EXCEPTION_POINTERS* info) {
  TerminateProcess(GetCurrentProcess(), info->ExceptionRecord->ExceptionCode);
  return EXCEPTION_EXECUTE_HANDLER;
}

int RunChild(const Target& t, LONG from, LONG to, const wchar_t* mapping) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  SetUnhandledExceptionFilter(EndOnFault);
  std::set_terminate([] { TerminateProcess(GetCurrentProcess(), 0xE0000001); });
  HANDLE map = OpenFileMappingW(FILE_MAP_WRITE, FALSE, mapping);
  auto* shared = static_cast<Shared*>(MapViewOfFile(map, FILE_MAP_WRITE, 0, 0, sizeof(Shared)));
  if (!shared) return 2;
  for (LONG i = from; i < to; ++i) {
    shared->current = i;
    const std::string broken = RunCase(t, i);
    if (!broken.empty()) {
      SaveFailure(t, i, broken);
      const LONG n = InterlockedIncrement(&shared->broken);
      if (n <= kMaxReports) shared->brokenCase[n - 1] = i;
    }
    shared->done = i + 1;
  }
  return 0;
}

struct Counts {
  long cases = 0, crashes = 0, hangs = 0;
};

// Runs cases [0, n) of `t` in children; a child that ends early costs one case.
Counts RunTarget(const Target& t, LONG n) {
  const std::wstring mapping =
      L"Local\\klarex-fuzz-" + std::to_wstring(GetCurrentProcessId()) + L"-" + Widen(t.name);
  HANDLE map = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Shared),
                                  mapping.c_str());
  auto* shared = static_cast<Shared*>(MapViewOfFile(map, FILE_MAP_WRITE, 0, 0, sizeof(Shared)));
  Counts counts;
  const std::wstring module = ModulePath();
  for (LONG from = 0; from < n;) {
    shared->current = from;
    shared->done = from;
    std::wstring command = L"\"" + module + L"\" --child " + Widen(t.name) + L" " +
                           std::to_wstring(from) + L" " + std::to_wstring(n) + L" " + mapping +
                           L" \"" + g_work + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(module.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        g_work.c_str(), &si, &pi)) {
      printf("fuzz-%s: cannot start a child (%lu)\n", t.name, GetLastError());
      ++counts.crashes;
      break;
    }
    // Watchdog: the same case for over kHangMs is a hang.
    LONG watched = -1;
    ULONGLONG since = 0;
    bool hung = false;
    while (WaitForSingleObject(pi.hProcess, 100) == WAIT_TIMEOUT) {
      const LONG now = shared->current;
      if (now != watched) {
        watched = now;
        since = GetTickCount64();
      } else if (GetTickCount64() - since > kHangMs) {
        TerminateProcess(pi.hProcess, 0xDEAD);
        WaitForSingleObject(pi.hProcess, INFINITE);
        hung = true;
      }
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (code == 0 && shared->done >= n) break;
    const LONG at = shared->current;
    char what[80];
    if (hung) {
      snprintf(what, sizeof(what), "no end after %u s", kHangMs / 1000);
    } else {
      snprintf(what, sizeof(what), "the process ended (0x%08lx)", code);
    }
    SaveFailure(t, at, what);
    PrintFailure(t, at);
    ++(hung ? counts.hangs : counts.crashes);
    from = at + 1;
  }
  counts.cases = n;
  counts.crashes += shared->broken;
  for (LONG i = 0; i < shared->broken && i < kMaxReports; ++i)
    PrintFailure(t, shared->brokenCase[i]);
  UnmapViewOfFile(shared);
  CloseHandle(map);
  return counts;
}

const Target* FindTarget(const std::string& name) {
  for (const Target& t : Targets())
    if (name == t.name) return &t;
  return nullptr;
}

}  // namespace

const std::wstring& WorkFolder() { return g_work; }

}  // namespace klarex::fuzz

// klarex_fuzz [--cases N] [name...]       every named parser (default: all), N cases each
// klarex_fuzz --case <name> <index>       one case in this process, for a debugger
int wmain(int argc, wchar_t** argv) {
  using namespace klarex::fuzz;
  auto arg = [&](int i) { return std::string(argv[i], argv[i] + wcslen(argv[i])); };
  if (argc == 7 && arg(1) == "--child") {
    g_work = argv[6];
    const Target* t = FindTarget(arg(2));
    return t ? RunChild(*t, _wtoi(argv[3]), _wtoi(argv[4]), argv[5]) : 2;
  }
  klarex::test::TempDir work;
  g_work = work.Path();
  if (argc == 4 && arg(1) == "--case") {
    const Target* t = FindTarget(arg(2));
    if (!t) return 2;
    const std::string broken = RunCase(*t, _wtoi64(argv[3]));
    printf("%s\n", broken.empty() ? "ok" : broken.c_str());
    return broken.empty() ? 0 : 1;
  }
  long cases = 300;
  std::vector<const Target*> chosen;
  for (int i = 1; i < argc; ++i) {
    if (arg(i) == "--cases" && i + 1 < argc) {
      cases = _wtoi(argv[++i]);
    } else if (const Target* t = FindTarget(arg(i))) {
      chosen.push_back(t);
    } else {
      printf("unknown parser %s\n", arg(i).c_str());
      return 2;
    }
  }
  if (chosen.empty())
    for (const Target& t : Targets()) chosen.push_back(&t);
  int status = 0;
  for (const Target* t : chosen) {
    const Counts c = RunTarget(*t, cases);
    printf("fuzz-%s cases: %ld crashes: %ld hangs: %ld\n", t->name, c.cases, c.crashes, c.hangs);
    fflush(stdout);
    if (c.crashes || c.hangs) status = 1;
  }
  return status;
}
