// list-fill ratio: draining 10,000 queued file records into the result list
// (type, size, date and icon worked out per record) against the floor of
// inserting 10,000 rows with the same four texts and icon and no other work.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench_util.h"
#include "support/fake_machine.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"
#include "view/klarex_doc.h"
#include "view/klarex_view.h"

namespace {

using klarex::bench::Clock;
using klarex::bench::Seconds;
constexpr int kRows = 10000;
constexpr int kFiles = 1000;  // each planted file is queued ten times
constexpr int kRounds = 3;

HWND MakeHost() {
  return CreateWindowW(L"STATIC", L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 900, 600, nullptr, nullptr,
                       GetModuleHandleW(nullptr), nullptr);
}

double DrainSeconds(klarex::CKlarexDoc& doc, const std::vector<klarex::FoundItem>& records) {
  HWND host = MakeHost();
  klarex::SecurityState security;
  klarex::CStatusLine statusLine;
  klarex::CStatusProgress progress;
  klarex::CDeleteOperations operations(security, statusLine.EngineSink());
  klarex::CKlarexView view(operations, statusLine, progress);
  view.SetDocument(&doc);
  view.Create(host, 0xE900);
  doc.AddView(&view);
  view.OnInitialUpdate();
  view.Send(LVM_DELETEALLITEMS);
  for (const klarex::FoundItem& r : records) doc.Queue().Push(r);
  auto start = Clock::now();
  view.OnUpdate(nullptr, 0);
  double seconds = Seconds(start);
  if (view.RowCount() != kRows) std::fprintf(stderr, "drain gave %d rows\n", view.RowCount());
  doc.RemoveView(&view);
  DestroyWindow(host);
  return seconds;
}

// The same rows, texts worked out beforehand, into a bare list of the same style.
double FloorSeconds(const std::vector<std::vector<std::wstring>>& texts) {
  HWND host = MakeHost();
  HWND list =
      CreateWindowExW(0, WC_LISTVIEWW, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT, 0,
                      0, 880, 560, host, nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0x10032, 0x10032);
  for (int i = 0; i < 4; ++i) {
    LVCOLUMNW col{};
    col.mask = LVCF_WIDTH | LVCF_SUBITEM;
    col.cx = 120;
    col.iSubItem = i;
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&col));
  }
  auto start = Clock::now();
  for (const auto& row : texts) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.pszText = const_cast<wchar_t*>(row[0].c_str());
    item.iImage = 1;
    int r =
        static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    for (int c = 1; c < 4; ++c) {
      LVITEMW sub{};
      sub.iSubItem = c;
      sub.pszText = const_cast<wchar_t*>(row[static_cast<size_t>(c)].c_str());
      SendMessageW(list, LVM_SETITEMTEXTW, r, reinterpret_cast<LPARAM>(&sub));
    }
  }
  double seconds = Seconds(start);
  DestroyWindow(host);
  return seconds;
}

}  // namespace

int main() {
  INITCOMMONCONTROLSEX icc{8, 0xFF};
  InitCommonControlsEx(&icc);
  klarex::test::TempDir dir;
  std::vector<klarex::FoundItem> records;
  std::vector<std::vector<std::wstring>> texts;
  for (int i = 0; i < kFiles; ++i) {
    std::wstring path =
        dir.File(L"f" + std::to_wstring(i) + L".log", 100 + static_cast<size_t>(i) * 37);
    const klarex::FoundItem item = klarex::bench::Record(path);
    for (int k = 0; k < kRows / kFiles; ++k) {
      records.push_back(item);
      texts.push_back({path, L"log file", L"1 KB", L"12/08/2026 00:14"});
    }
  }
  klarex::test::FakeMachine machine;
  klarex::test::RecordingStatus status;
  klarex::CKlarexDoc doc(klarex::BuildCatalogue(machine), machine, status);
  std::vector<double> drain, floor;
  for (int round = 0; round < kRounds; ++round) {
    drain.push_back(DrainSeconds(doc, records));
    floor.push_back(FloorSeconds(texts));
  }
  double d = klarex::bench::Median(drain), f = klarex::bench::Median(floor);
  std::fprintf(stderr, "list-fill drain: %.3f s\n", d);
  std::fprintf(stderr, "list-fill floor: %.3f s\n", f);
  std::printf("list-fill ratio: %.2f (goal <= 3.0)\n", d / f);
  return 0;
}
