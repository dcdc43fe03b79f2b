// KlarexCmd's `list standard` against the floor of a bare directory walk: the
// 20,000 files in 400 folders of the scan benchmark, planted where the
// Standard recipe walks a whole tree (the Windows folder's Panther), listed
// with type names, sizes and times and written as UTF-8 text to NUL. Prints
// the ratio (medians of several runs); the raw times go to stderr.
#include <objbase.h>
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench_util.h"
#include "cmd/runs.h"
#include "engine/catalogue.h"
#include "support/fake_machine.h"
#include "sys/handles.h"

namespace {

using klarex::bench::BareWalk;
using klarex::bench::Median;
using klarex::bench::Milliseconds;

constexpr int kTopFolders = 20;
constexpr int kSubFolders = 20;
constexpr int kFilesPerFolder = 50;
constexpr int kRuns = 9;

void Plant(const klarex::test::FakeMachine& machine, const std::wstring& base) {
  for (int top = 0; top < kTopFolders; ++top) {
    for (int sub = 0; sub < kSubFolders; ++sub) {
      const std::wstring folder =
          base + L"\\top" + std::to_wstring(top) + L"\\sub" + std::to_wstring(sub);
      machine.Folder(folder);
      for (int file = 0; file < kFilesPerFolder; ++file) {
        // One *.log in three of every four folders: 300 rows.
        const bool log = file == 0 && sub % 4 != 0;
        machine.File(folder + L"\\file" + std::to_wstring(file) + (log ? L".log" : L".dat"), 16);
      }
    }
  }
}

}  // namespace

int main() {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  klarex::test::FakeMachine machine;
  Plant(machine, L"Windows\\Panther");
  const klarex::Catalogue catalogue = klarex::BuildCatalogue(machine);
  const std::wstring tree = machine / L"Windows\\Panther";

  klarex::FileHandle nul(
      CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  klarex::cmd::COutput out(nul.get()), err(nul.get());
  klarex::SecurityState security;
  klarex::cmd::CErrorStatus status(err);
  klarex::CDeleteOperations deletion(security, status);
  const std::vector<klarex::Place> noPlaces;
  const klarex::CKeepList keep;
  const klarex::cmd::Guard guard;
  klarex::CDeletionRecord record(L"");
  klarex::cmd::RunContext run{machine, catalogue, noPlaces, keep, guard,
                              record,  deletion,  status,   out,  err};
  klarex::cmd::Arguments args;
  args.verb = klarex::cmd::Verb::List;

  size_t walked = 0;
  const std::function<void()> cases[] = {
      [&] { walked = BareWalk(tree); },
      [&] {
        klarex::cmd::ListMode(args, run);
        out.Flush();
      },
  };
  std::vector<double> times[2];
  for (int r = 0; r <= kRuns; ++r) {
    for (int c = 0; c < 2; ++c) {
      const double ms = Milliseconds(cases[c]);
      if (r > 0) times[c].push_back(ms);  // the first round warms the caches
    }
  }
  const double floor = Median(times[0]), list = Median(times[1]);
  std::fprintf(stderr, "bare walk %.1f ms (%zu entries), list standard %.1f ms\n", floor, walked,
               list);
  std::printf("cli-list ratio: %.2f (goal <= 2.5)\n", list / floor);
  CoUninitialize();
  return 0;
}
