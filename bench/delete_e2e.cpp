// delete-e2e ratio: permanently deleting 5,000 listed files through the result
// list (Delete command to the finish message: worker, per-row messages, row
// removal, progress) against the floor of a bare DeleteFileW loop over 5,000
// other planted files. ui-latency-p95: round trips of WM_NULL to the main
// window while the deletion runs.
#include <windows.h>
// needs windows.h first
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "../res/ids_main.h"
#include "bench_util.h"
#include "support/fake_machine.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"
#include "view/klarex_doc.h"
#include "view/klarex_view.h"
#include "view/status_progress.h"

namespace {

using klarex::bench::Clock;
using klarex::bench::Median;
using klarex::bench::Record;
using klarex::bench::Seconds;
constexpr int kFiles = 5000;
constexpr int kRounds = 3;

// Each set in a folder of its own, so both deletions meet folders of one size.
std::vector<std::wstring> Plant(const klarex::test::TempDir& dir, const std::wstring& folder) {
  std::vector<std::wstring> paths;
  for (int i = 0; i < kFiles; ++i) {
    paths.push_back(dir.File(folder + L"\\f" + std::to_wstring(i) + L".tmp", 100));
  }
  return paths;
}

double FloorSeconds(const std::vector<std::wstring>& paths) {
  auto start = Clock::now();
  for (const auto& path : paths) DeleteFileW(path.c_str());
  return Seconds(start);
}

struct Run {
  double seconds = 0;
  std::vector<double> latenciesMs;
  int rowsLeft = 0;
};

// A shown main window with a status bar and the result list; `paths` listed and
// selected, plus one unselected row that stays (so no mode scan follows).
Run DeleteThroughList(klarex::CKlarexDoc& doc, const std::vector<std::wstring>& paths,
                      const std::wstring& keep) {
  HWND host = CreateWindowW(L"STATIC", L"Klarex bench", WS_OVERLAPPEDWINDOW, 0, 0, 900, 600,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  HWND status = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, host,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  // As the program has them, but with no security state prepared (nothing here
  // needs ownership taken) and no status bar for the texts.
  klarex::SecurityState security;
  klarex::CStatusLine statusLine;
  klarex::CStatusProgress progress;
  klarex::CDeleteOperations operations(security, statusLine.EngineSink());
  progress.Attach(status);
  Run run;
  {
    klarex::CKlarexView view(operations, statusLine, progress);
    view.SetDocument(&doc);
    view.Create(host, 0xE900);
    view.Move(0, 0, 880, 520);
    doc.AddView(&view);
    view.OnInitialUpdate();
    view.Send(LVM_DELETEALLITEMS);
    doc.Queue().Push(Record(keep));
    for (const auto& path : paths) doc.Queue().Push(Record(path));
    view.OnUpdate(nullptr, 0);
    view.OnCommand(ID_SELECT_ALL);
    LVITEMW unselect{};
    unselect.stateMask = LVIS_SELECTED;
    int keepRow = static_cast<int>(view.RowCount()) - 1;  // the first record pushed, last row
    view.Send(LVM_SETITEMSTATE, static_cast<WPARAM>(keepRow), reinterpret_cast<LPARAM>(&unselect));
    // Filled out of sight (the fill is not measured here), deleted in sight.
    ShowWindow(host, SW_SHOW);
    UpdateWindow(host);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);

    std::atomic<bool> done{false}, proberDone{false};
    std::vector<double> latencies;
    std::thread prober([&] {
      while (!done.load()) {
        auto t = Clock::now();
        DWORD_PTR result = 0;
        SendMessageTimeoutW(host, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
        latencies.push_back(Seconds(t) * 1000.0);
        Sleep(2);
      }
      proberDone = true;
    });
    auto start = Clock::now();
    view.OnCommand(ID_DELETE);
    while (view.IsBusy() && GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    run.seconds = Seconds(start);
    done = true;
    // The prober's last round trip needs this thread to answer.
    while (!proberDone.load()) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    prober.join();
    run.latenciesMs = std::move(latencies);
    run.rowsLeft = view.RowCount();
    doc.RemoveView(&view);
    DestroyWindow(host);
  }
  progress.Detach();
  return run;
}

}  // namespace

int main() {
  INITCOMMONCONTROLSEX icc{8, 0xFF};
  InitCommonControlsEx(&icc);
  klarex::test::TempDir dir;
  klarex::test::FakeMachine machine;
  klarex::test::RecordingStatus status;
  klarex::CKlarexDoc doc(klarex::BuildCatalogue(machine), machine, status);
  const std::wstring keep = dir.File(L"keep.tmp");
  std::vector<double> ratios, deleteSeconds, floorSeconds, latencies;
  for (int round = 0; round < kRounds; ++round) {
    const std::wstring tag = std::to_wstring(round);
    std::vector<std::wstring> listed = Plant(dir, L"listed" + tag + L"-");
    std::vector<std::wstring> bare = Plant(dir, L"bare" + tag + L"-");
    // Alternate which goes first, so neither always meets a warmer file system.
    Run run;
    double floor = 0;
    if (round % 2) floor = FloorSeconds(bare);
    run = DeleteThroughList(doc, listed, keep);
    if (round % 2 == 0) floor = FloorSeconds(bare);
    int left = 0;
    for (const auto& path : listed)
      left += GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (left || run.rowsLeft != 1) {
      std::fprintf(stderr, "round %d: %d files and %d rows left\n", round, left, run.rowsLeft);
    }
    deleteSeconds.push_back(run.seconds);
    floorSeconds.push_back(floor);
    ratios.push_back(run.seconds / floor);
    latencies.insert(latencies.end(), run.latenciesMs.begin(), run.latenciesMs.end());
  }
  std::sort(latencies.begin(), latencies.end());
  double p95 = latencies.empty() ? 0 : latencies[latencies.size() * 95 / 100];
  std::printf("delete-e2e list: %.3f s\n", Median(deleteSeconds));
  std::printf("delete-e2e floor: %.3f s\n", Median(floorSeconds));
  std::printf("delete-e2e ratio: %.2f (goal <= 2.0)\n", Median(ratios));
  std::printf("ui-latency-p95 ms: %.1f (goal <= 50)\n", p95);
  return 0;
}
