// delete-e2e ratio: permanently deleting 5,000 listed files through the result
// list (Delete command to the finish message: worker, per-row messages, row
// removal, progress) against the floor of a bare DeleteFileW loop over 5,000
// other planted files. ui-latency-p95: round trips of WM_NULL to the main
// window while the deletion runs. delete-repaint-gap-max: in one more run whose
// middle item takes a second, while the list is asked to repaint every 50 ms
// (as when a window is dragged over it), the longest time it went unpainted
// from its first removed row to the end.
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
#include "deletion_host.h"
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
  double paintGapMs = 0;
};

// The real deletion, with one item that takes a second more.
class SlowItemOperations : public klarex::IDeleteOperations {
 public:
  SlowItemOperations(klarex::IDeleteOperations& real, std::wstring slow)
      : m_real(real), m_slow(std::move(slow)) {}
  klarex::DeleteOutcome DeletePath(const std::wstring& path, bool permanent) override {
    if (path == m_slow) Sleep(1000);
    return m_real.DeletePath(path, permanent);
  }
  void Settle() override { m_real.Settle(); }

 private:
  klarex::IDeleteOperations& m_real;
  std::wstring m_slow;
};

// When the list was painted, and when its first row went.
struct PaintLog {
  WNDPROC previous = nullptr;
  Clock::time_point firstRemoval{};
  std::vector<Clock::time_point> paints;
} g_paintLog;

// Watches the list from its parent: a procedure put over the list's own
// would hide the view's from it, and each message would then cost the view a
// look-up of its window object that the program never pays.
LRESULT CALLBACK LoggingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NOTIFY) {
    const auto* header = reinterpret_cast<const NMHDR*>(lp);
    // Each paint of the list starts with this notification.
    if (header->code == static_cast<UINT>(NM_CUSTOMDRAW) &&
        reinterpret_cast<const NMCUSTOMDRAW*>(lp)->dwDrawStage == CDDS_PREPAINT)
      g_paintLog.paints.push_back(Clock::now());
    if (header->code == static_cast<UINT>(LVN_DELETEITEM) &&
        g_paintLog.firstRemoval == Clock::time_point{})
      g_paintLog.firstRemoval = Clock::now();
  }
  return CallWindowProcW(g_paintLog.previous, hwnd, msg, wp, lp);
}

// The longest stretch without a paint from the first removed row to the
// first paint after `end` (or `end` itself).
double LongestPaintGapMs(Clock::time_point end) {
  std::vector<Clock::time_point> points{g_paintLog.firstRemoval};
  for (auto t : g_paintLog.paints) {
    if (t <= g_paintLog.firstRemoval) continue;
    points.push_back(t);
    if (t >= end) break;
  }
  if (points.back() < end) points.push_back(end);
  double longest = 0;
  for (size_t i = 1; i < points.size(); ++i)
    longest = std::max(
        longest, std::chrono::duration<double, std::milli>(points[i] - points[i - 1]).count());
  return longest;
}

// A shown main window with a status bar and the result list; `paths` listed and
// selected, plus one unselected row that stays (so no mode scan follows).
Run DeleteThroughList(klarex::CKlarexDoc& doc, const std::vector<std::wstring>& paths,
                      const std::wstring& keep, const std::wstring& slow = {}) {
  HWND host = CreateWindowW(L"STATIC", L"Klarex bench", WS_OVERLAPPEDWINDOW, 0, 0, 900, 600,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  HWND status = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, host,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  // As the program has them, but with no security state prepared (nothing here
  // needs ownership taken) and no status bar for the texts.
  klarex::SecurityState security;
  klarex::CStatusLine statusLine;
  klarex::CStatusProgress progress;
  klarex::CDeleteOperations realOperations(security, statusLine.EngineSink());
  SlowItemOperations operations(realOperations, slow);
  progress.Attach(status);
  Run run;
  {
    klarex::CKlarexView view(operations, statusLine, progress);
    view.SetDocument(&doc);
    view.Create(host, 0xE900);
    g_paintLog = PaintLog{};
    g_paintLog.previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LoggingProc)));
    klarex::bench::ListForDeletion(view, host, doc, paths, keep);
    MSG msg;

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
    std::thread exposer([&, list = view.Handle()] {
      while (!slow.empty() && !done.load()) {
        ::InvalidateRect(list, nullptr, FALSE);
        Sleep(50);
      }
    });
    auto start = Clock::now();
    view.OnCommand(ID_DELETE);
    while (view.IsBusy() && GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    run.seconds = Seconds(start);
    const auto end = Clock::now();
    while (Seconds(end) < 0.3 && (g_paintLog.paints.empty() || g_paintLog.paints.back() < end)) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    run.paintGapMs = LongestPaintGapMs(end);
    done = true;
    // The prober's last round trip needs this thread to answer.
    while (!proberDone.load()) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    prober.join();
    exposer.join();
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
  // The slow item sits in the middle of the rows.
  std::vector<std::wstring> slowRun = Plant(dir, L"slow-");
  const Run gapRun = DeleteThroughList(doc, slowRun, keep, slowRun[kFiles / 2]);
  std::sort(latencies.begin(), latencies.end());
  double p95 = latencies.empty() ? 0 : latencies[latencies.size() * 95 / 100];
  std::printf("delete-e2e list: %.3f s\n", Median(deleteSeconds));
  std::printf("delete-e2e floor: %.3f s\n", Median(floorSeconds));
  std::printf("delete-e2e ratio: %.2f (goal <= 2.0)\n", Median(ratios));
  std::printf("ui-latency-p95 ms: %.1f (goal <= 50)\n", p95);
  std::printf("delete-repaint-gap-max ms: %.0f (goal <= 150)\n", gapRun.paintGapMs);
  return 0;
}
