// Scale: a badly kept machine with 100,000 files of a few hundred bytes in
// 2,000 folders under the Temp folder the Standard scan lists, and the same at
// 10,000 files in 200 folders to see how the figures grow.
// standard-<n> ratio: Klarex.exe from its process's creation to its filled
// Standard list (its own note) with TMP naming the planted tree, against a bare
// walk of that tree. standard-<n> peak MB: the program's peak working set (its
// own note). delete-<n> ratio: the tree's folders, listed as rows, deleted
// permanently through the result list, against a bare recursive delete of an
// identical tree. The growth ratios check that the program's times grow like
// their floors from the small size to the large one.
#include <windows.h>
// needs windows.h first
#include <commctrl.h>

#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "../res/ids_main.h"
#include "bench_util.h"
#include "deletion_host.h"
#include "support/fake_machine.h"
#include "support/recording_sink.h"
#include "view/klarex_doc.h"
#include "view/klarex_view.h"
#include "view/status_progress.h"

namespace {

using klarex::bench::BareWalk;
using klarex::bench::Clock;
using klarex::bench::Median;
using klarex::bench::MedianStep;
using klarex::bench::Milliseconds;
using klarex::bench::Seconds;

constexpr int kFilesPerFolder = 50;
constexpr DWORD kFileBytes = 300;
constexpr int kRounds = 3;

struct Listing {
  double programMs = 0;  // process creation to the filled list
  double startMs = 0;    // of which the program's start-up before its scan
  double scanMs = 0;     // the Standard scan
  double fillMs = 0;     // the list fill (a folder row's size is walked there)
  double floorMs = 0;
  double peakMb = 0;
  size_t entries = 0;
  bool failed = false;
};

// The program started kRounds times with TMP naming `tree`, and a bare walk of
// the tree in each round; which goes first alternates, so neither always meets
// the warmer cache.
Listing MeasureListing(const std::wstring& app, const std::wstring& stepsFile,
                       const std::wstring& tree) {
  wchar_t savedTmp[MAX_PATH] = L"";
  const bool hadTmp = GetEnvironmentVariableW(L"TMP", savedTmp, MAX_PATH) > 0;
  SetEnvironmentVariableW(L"TMP", tree.c_str());
  Listing listing;
  std::vector<std::map<std::string, double>> runs;
  std::vector<double> floors;
  for (int round = 0; round < kRounds; ++round) {
    auto walk = [&] { floors.push_back(Milliseconds([&] { listing.entries = BareWalk(tree); })); };
    if (round % 2) walk();
    const double seconds =
        klarex::bench::TimeProcess(L"\"" + app + L"\\Klarex.exe\" --exit-after-first-fill", app);
    auto steps = klarex::bench::ParseSteps(klarex::bench::TakeText(stepsFile));
    if (seconds < 0 || !steps.count("filled")) {
      std::fprintf(stderr, "listing %ls round %d: the program did not fill its list (error %lu)\n",
                   tree.c_str(), round, GetLastError());
      listing.failed = true;
    }
    runs.push_back(std::move(steps));
    if (round % 2 == 0) walk();
  }
  SetEnvironmentVariableW(L"TMP", hadTmp ? savedTmp : nullptr);
  listing.programMs = MedianStep(runs, "filled");
  listing.startMs = MedianStep(runs, "frame");
  listing.fillMs = MedianStep(runs, "fill");
  listing.scanMs = listing.programMs - listing.startMs - listing.fillMs;
  listing.peakMb = MedianStep(runs, "peak-kb") / 1024.0;
  listing.floorMs = Median(floors);
  return listing;
}

// A shown main window with a status bar and the result list; `rows` listed and
// selected, plus the unselected `keep` (so no mode scan follows the deletion),
// then deleted permanently. Seconds from the Delete command to the end of the
// run; `rowsLeft` is what the list holds then.
double DeleteThroughList(klarex::CKlarexDoc& doc, const std::vector<std::wstring>& rows,
                         const std::wstring& keep, int& rowsLeft) {
  HWND host = CreateWindowW(L"STATIC", L"Klarex bench", WS_OVERLAPPEDWINDOW, 0, 0, 900, 600,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  HWND status = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, host,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  klarex::SecurityState security;
  klarex::CStatusLine statusLine;
  klarex::CStatusProgress progress;
  klarex::CDeleteOperations operations(security, statusLine.EngineSink());
  progress.Attach(status);
  double seconds = 0;
  {
    klarex::CKlarexView view(operations, statusLine, progress);
    view.SetDocument(&doc);
    view.Create(host, 0xE900);
    klarex::bench::ListForDeletion(view, host, doc, rows, keep);
    MSG msg;

    const auto start = Clock::now();
    view.OnCommand(ID_DELETE);
    while (view.IsBusy() && GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    seconds = Seconds(start);
    rowsLeft = view.RowCount();
    doc.RemoveView(&view);
    DestroyWindow(host);
  }
  progress.Detach();
  return seconds;
}

struct SizeFigures {
  const char* name;
  int folders;
  Listing listing;
  double deleteSeconds = 0;
  double deleteFloorSeconds = 0;
};

// Plants the listed and the floor tree of one size below `root`, lists the
// first through the program, then deletes it through the list and the second
// bare. Both deletions meet trees walked just before.
void MeasureSize(SizeFigures& size, const std::wstring& root, const std::wstring& app,
                 const std::wstring& stepsFile, klarex::CKlarexDoc& doc, const std::wstring& keep) {
  const std::wstring listed = root + L"\\listed-" + std::to_wstring(size.folders);
  const std::wstring bare = root + L"\\bare-" + std::to_wstring(size.folders);
  // Side by side: planting is most of this program's run time, and two
  // threads plant two trees in about three quarters of the time one takes.
  auto planting = Clock::now();
  std::thread second(
      [&] { klarex::bench::PlantTree(bare, size.folders, kFilesPerFolder, kFileBytes); });
  const std::vector<std::wstring> rows =
      klarex::bench::PlantTree(listed, size.folders, kFilesPerFolder, kFileBytes);
  second.join();
  std::fprintf(stderr, "%s: planted two trees in %.1f s\n", size.name, Seconds(planting));

  size.listing = MeasureListing(app, stepsFile, listed);
  BareWalk(bare);
  int rowsLeft = 0;
  size.deleteSeconds = DeleteThroughList(doc, rows, keep, rowsLeft);
  const auto floorStart = Clock::now();
  klarex::bench::BareDeleteTree(bare);
  size.deleteFloorSeconds = Seconds(floorStart);
  const size_t left = BareWalk(listed);
  if (left || rowsLeft != 1)
    std::fprintf(stderr, "%s: %zu entries of the listed tree and %d rows left\n", size.name, left,
                 rowsLeft);
  klarex::bench::BareDeleteTree(listed);
}

void PrintSize(const SizeFigures& size) {
  const Listing& l = size.listing;
  std::fprintf(stderr,
               "standard-%s: program %.0f ms to the filled list (start-up %.0f, scan %.0f, "
               "fill %.0f), floor %.0f ms (bare walk of %zu entries)\n",
               size.name, l.programMs, l.startMs, l.scanMs, l.fillMs, l.floorMs, l.entries);
  std::fprintf(stderr, "standard-%s: the program beyond its start-up takes %.2f times the floor\n",
               size.name, (l.programMs - l.startMs) / l.floorMs);
  std::fprintf(stderr, "delete-%s: program %.2f s, floor %.2f s\n", size.name, size.deleteSeconds,
               size.deleteFloorSeconds);
  // The goals are the large size's; at the small one the program's fixed
  // start-up outweighs the floor, and only the growth between them is judged.
  const bool judged = size.folders >= 2000;
  std::printf("standard-%s ratio: %.2f%s\n", size.name, l.programMs / l.floorMs,
              judged ? " (goal <= 2.5)" : "");
  std::printf("standard-%s peak MB: %.1f%s\n", size.name, l.peakMb, judged ? " (goal <= 150)" : "");
  std::printf("delete-%s ratio: %.2f%s\n", size.name, size.deleteSeconds / size.deleteFloorSeconds,
              judged ? " (goal <= 2.0)" : "");
}

// How much each figure grows from the small size to the large one; the
// program's listing time counts beyond its time with an empty Temp folder,
// since its fixed start-up would otherwise hide any growth worse than linear.
void PrintGrowth(const SizeFigures& small, const SizeFigures& large, const Listing& empty) {
  const double emptyMs = empty.programMs;
  std::fprintf(stderr,
               "standard with an empty Temp folder: %.0f ms to the filled list (start-up %.0f, "
               "scan %.0f, fill %.0f)\n",
               emptyMs, empty.startMs, empty.scanMs, empty.fillMs);
  const double standardProgram =
      (large.listing.programMs - emptyMs) / (small.listing.programMs - emptyMs);
  const double standardFloor = large.listing.floorMs / small.listing.floorMs;
  const double deleteProgram = large.deleteSeconds / small.deleteSeconds;
  const double deleteFloor = large.deleteFloorSeconds / small.deleteFloorSeconds;
  std::printf(
      "scale growth standard %s->%s: x%.1f (program, beyond an empty Temp), x%.1f (floor)\n",
      small.name, large.name, standardProgram, standardFloor);
  std::printf("scale growth delete %s->%s: x%.1f (program), x%.1f (floor)\n", small.name,
              large.name, deleteProgram, deleteFloor);
  std::printf("standard-growth ratio: %.2f (goal <= 1.5)\n", standardProgram / standardFloor);
  std::printf("delete-growth ratio: %.2f (goal <= 1.5)\n", deleteProgram / deleteFloor);
}

}  // namespace

int main() {
  const auto begun = Clock::now();
  INITCOMMONCONTROLSEX icc{8, 0xFF};
  InitCommonControlsEx(&icc);
  const std::wstring root = L"C:\\bench-scale-" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(root.c_str(), nullptr);
  const std::wstring app = root + L"\\app";
  klarex::bench::InstallProgramCopy(app);
  const bool hadSettings = klarex::bench::UserKeyExists(L"Software\\Klarex");
  const std::wstring stepsFile = root + L"\\steps.txt";
  SetEnvironmentVariableW(L"KLAREX_STARTUP_STEPS", stepsFile.c_str());

  const std::wstring empty = root + L"\\empty";
  CreateDirectoryW(empty.c_str(), nullptr);
  const Listing emptyListing = MeasureListing(app, stepsFile, empty);

  klarex::test::FakeMachine machine;
  klarex::test::RecordingStatus status;
  klarex::CKlarexDoc doc(klarex::BuildCatalogue(machine), machine, status);
  const std::wstring keep = root + L"\\keep.tmp";
  CloseHandle(CreateFileW(keep.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));

  SizeFigures small{"10k", 200, {}}, large{"100k", 2000, {}};
  for (SizeFigures* size : {&small, &large}) {
    MeasureSize(*size, root, app, stepsFile, doc, keep);
    PrintSize(*size);
  }
  PrintGrowth(small, large, emptyListing);

  klarex::bench::RemoveProgramCopy(app);
  klarex::bench::BareDeleteTree(root);
  if (!hadSettings) RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Klarex");
  std::fprintf(stderr, "scale run: %.0f s\n", Seconds(begun));
  const bool failed = emptyListing.failed || small.listing.failed || large.listing.failed;
  return failed ? 1 : 0;
}
