// list-fill ratio: draining 10,000 queued file records into the result list
// (type, size, date and icon worked out per record) against the floor of
// inserting 10,000 rows with the same four texts and icon and no other work.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/klarex_doc.h"
#include "support/fake_machine.h"
#include "support/temp_dir.h"
#include "view/klarex_view.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRows = 10000;
constexpr int kFiles = 1000;  // each planted file is queued ten times
constexpr int kRounds = 3;

HWND MakeHost() {
  return CreateWindowW(L"STATIC", L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 900, 600, nullptr, nullptr,
                       GetModuleHandleW(nullptr), nullptr);
}

double DrainSeconds(klarex::CKlarexDoc& doc, const std::vector<klarex::FoundItem>& records) {
  HWND host = MakeHost();
  klarex::CKlarexView view;
  view.SetDocument(&doc);
  view.Create(host, 0xE900);
  doc.AddView(&view);
  view.OnInitialUpdate();
  view.Send(LVM_DELETEALLITEMS);
  for (const klarex::FoundItem& r : records) doc.Queue().Push(r);
  auto start = Clock::now();
  view.OnUpdate(nullptr, 0);
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
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
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
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
    klarex::FoundItem item{};
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    item.dwFileAttributes = data.dwFileAttributes;
    item.ftLastWriteTime = data.ftLastWriteTime;
    item.nFileSizeLow = data.nFileSizeLow;
    wcsncpy(item.cFileName, path.c_str(), MAX_PATH - 1);
    for (int k = 0; k < kRows / kFiles; ++k) {
      records.push_back(item);
      texts.push_back({path, L"log file", L"1 KB", L"12/08/2026 00:14"});
    }
  }
  klarex::test::FakeMachine machine;
  klarex::CKlarexDoc doc(machine);
  std::vector<double> drain, floor;
  for (int round = 0; round < kRounds; ++round) {
    drain.push_back(DrainSeconds(doc, records));
    floor.push_back(FloorSeconds(texts));
  }
  std::sort(drain.begin(), drain.end());
  std::sort(floor.begin(), floor.end());
  double d = drain[kRounds / 2], f = floor[kRounds / 2];
  std::fprintf(stderr, "list-fill drain: %.3f s\n", d);
  std::fprintf(stderr, "list-fill floor: %.3f s\n", f);
  std::printf("list-fill ratio: %.2f (goal <= 3.0)\n", d / f);
  return 0;
}
