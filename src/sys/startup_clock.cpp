#include "sys/startup_clock.h"

#include <windows.h>

#include <cstdio>
#include <mutex>
#include <utility>
#include <vector>

namespace klarex {

namespace {

double NowMs() {
  FILETIME now;
  ::GetSystemTimePreciseAsFileTime(&now);
  ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
  return static_cast<double>(t.QuadPart) / 10000.0;
}

double ProcessCreatedMs() {
  FILETIME created, exited, kernel, user;
  if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)) return NowMs();
  ULARGE_INTEGER t{{created.dwLowDateTime, created.dwHighDateTime}};
  return static_cast<double>(t.QuadPart) / 10000.0;
}

struct Steps {
  double created = ProcessCreatedMs();
  std::mutex lock;
  double stretchStart = 0;  // a fill at start-up is one thread's at a time
  std::vector<std::pair<std::string, double>> noted;
  void Add(const char* step, double ms, bool accumulate) {
    std::lock_guard<std::mutex> guard(lock);
    for (auto& [name, value] : noted) {
      if (name == step) {
        value = accumulate ? value + ms : ms;
        return;
      }
    }
    noted.emplace_back(step, ms);
  }
};

Steps& TheSteps() {
  // process-wide: start-up is one per process; rows may be added from any thread.
  static Steps steps;
  return steps;
}

}  // namespace

void NoteStartupStep(const char* step) {
  Steps& steps = TheSteps();
  steps.Add(step, NowMs() - steps.created, false);
}

void BeginStartupStretch() {
  Steps& steps = TheSteps();
  std::lock_guard<std::mutex> guard(steps.lock);
  steps.stretchStart = NowMs();
}

void EndStartupStretch(const char* step) {
  Steps& steps = TheSteps();
  double start = 0;
  {
    std::lock_guard<std::mutex> guard(steps.lock);
    start = steps.stretchStart;
  }
  steps.Add(step, NowMs() - start, true);
}

std::string StartupStepsText() {
  Steps& steps = TheSteps();
  std::lock_guard<std::mutex> guard(steps.lock);
  std::string text;
  char line[160];
  for (const auto& [name, ms] : steps.noted) {
    std::snprintf(line, sizeof(line), "%s %.1f\n", name.c_str(), ms);
    text += line;
  }
  return text;
}

}  // namespace klarex
