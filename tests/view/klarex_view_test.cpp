// The result list as a real list window: draining found records into rows,
// the skip rules, icons, texts, order, and the selection commands.
#include "view/klarex_view.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "../res/ids_main.h"
#include "framework/wnd.h"
#include "support/fake_machine.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"
#include "sys/handles.h"
#include "sys/queries.h"
#include "view/list_text.h"

namespace klarex {
namespace {

FoundItem Record(const std::wstring& path) {
  FoundItem item{};
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
  item.dwFileAttributes = data.dwFileAttributes;
  item.ftLastWriteTime = data.ftLastWriteTime;
  item.nFileSizeHigh = data.nFileSizeHigh;
  item.nFileSizeLow = data.nFileSizeLow;
  wcsncpy(item.cFileName, path.c_str(), MAX_PATH - 1);
  return item;
}

class ViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc{8, 0xFF};
    InitCommonControlsEx(&icc);
    parent = CreateWindowW(L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 800, 400, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
    view.SetDocument(&doc);
    ASSERT_TRUE(view.Create(parent, 0xE900));
    doc.AddView(&view);
    view.OnInitialUpdate();
    view.Send(LVM_DELETEALLITEMS);
  }
  void TearDown() override {
    doc.RemoveView(&view);
    DestroyWindow(parent);
  }

  int Image(int row) {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    view.Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
  }

  test::FakeMachine machine;
  test::RecordingStatus status;
  CKlarexDoc doc{BuildCatalogue(machine), machine, status};
  HWND parent = nullptr;
  SecurityState security;  // not prepared: no deletion runs here
  CStatusLine statusLine;
  CStatusProgress progress;
  CDeleteOperations operations{security, statusLine};
  CKlarexView view{operations, statusLine, progress};
  test::TempDir dir;
};

TEST_F(ViewTest, ReportStyleWithFourColumnsAndTheirDefaultTitles) {
  EXPECT_EQ(view.Style() & LVS_TYPEMASK, LVS_REPORT);
  DWORD ex = static_cast<DWORD>(view.Send(LVM_GETEXTENDEDLISTVIEWSTYLE));
  EXPECT_EQ(ex & 0x10032u, 0x10032u);
  HWND header = reinterpret_cast<HWND>(view.Send(LVM_GETHEADER));
  ASSERT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 4);
  const wchar_t* titles[] = {L"File Name", L"Type", L"Size", L"Date Modified"};
  for (int i = 0; i < 4; ++i) {
    wchar_t text[64] = L"";
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(text, titles[i]);
  }
}

TEST_F(ViewTest, DrainingAddsRowsNewestFirstWithTheirTexts) {
  std::wstring a = dir.File(L"a.log", 2500);
  std::wstring b = dir.File(L"b.tmp", 0);
  std::wstring folder = dir.Folder(L"cache");
  dir.File(L"cache\\x.bin", 1500);
  dir.File(L"cache\\sub\\y.bin", 1000);
  for (const std::wstring& path : {a, b, folder}) doc.Queue().Push(Record(path));
  doc.UpdateAllViews(nullptr);

  ASSERT_EQ(view.RowCount(), 3);
  EXPECT_EQ(view.RowText(0, 0), folder);  // each new row goes on top
  EXPECT_EQ(view.RowText(1, 0), b);
  EXPECT_EQ(view.RowText(2, 0), a);
  EXPECT_EQ(view.RowText(2, 2), L"2 KB");
  EXPECT_EQ(view.RowText(1, 2), L"0 KB");
  EXPECT_EQ(view.RowText(0, 2), L"2 KB");  // 2,500 bytes below the folder
  EXPECT_EQ(view.RowText(2, 1), GetFileTypeName(a.c_str()));
  EXPECT_EQ(view.RowText(2, 3), FormatDateText(Record(a).ftLastWriteTime));
  EXPECT_FALSE(view.RowText(2, 3).empty());
  EXPECT_TRUE(view.IsFolderRow(0));
  EXPECT_FALSE(view.IsFolderRow(1));
  EXPECT_TRUE(doc.Queue().IsEmpty());
}

TEST_F(ViewTest, IconsTellFoldersAndItemsThatCannotBeOpenedForWriting) {
  // (A read-only file cannot be tried here: Wine runs as root, who may write it.)
  std::wstring writable = dir.File(L"w.txt");
  std::wstring open = dir.File(L"open.txt");
  HANDLE held = CreateFileW(open.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  std::wstring folder = dir.Folder(L"f");
  for (const std::wstring& path : {writable, open, folder}) doc.Queue().Push(Record(path));
  view.OnUpdate(nullptr, 0);
  CloseHandle(held);
  ASSERT_EQ(view.RowCount(), 3);
  EXPECT_EQ(Image(2), 1);  // file, opened
  EXPECT_EQ(Image(1), 3);  // in use: icon 131
  EXPECT_EQ(Image(0), 2);  // folders never open for writing: icon 130
}

TEST_F(ViewTest, RecordsThatGiveNoRow) {
  std::wstring kept = dir.File(L"kept.txt");
  FoundItem zeroTime = Record(dir.File(L"zero.txt"));
  zeroTime.ftLastWriteTime.dwLowDateTime = 0;
  FoundItem gone = Record(dir / L"gone.txt");
  gone.ftLastWriteTime = {1, 1};
  FoundItem noBackslash = Record(kept);
  wcscpy(noBackslash.cFileName, L"kept.txt");
  for (const FoundItem& r : {zeroTime, gone, noBackslash, Record(kept), Record(kept)})
    doc.Queue().Push(r);
  view.OnUpdate(nullptr, 0);
  ASSERT_EQ(view.RowCount(), 2);  // a path queued twice gives two rows
  EXPECT_EQ(view.RowText(0, 0), kept);
  EXPECT_EQ(view.RowText(1, 0), kept);
}

TEST_F(ViewTest, ARowIsForTheExactNameFound) {
  // "keep." and "keep" are two files; Win32 without "\\?\" strips the dot.
  const std::wstring plain = dir.File(L"keep");
  const std::wstring dotted = dir / L"keep.";
  FoundItem gone = Record(plain);
  wcscpy(gone.cFileName, dotted.c_str());
  doc.Queue().Push(gone);
  view.OnUpdate(nullptr, 0);
  EXPECT_EQ(view.RowCount(), 0);  // only "keep" exists

  FileHandle made(CreateFileW((L"\\\\?\\" + dotted).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(made);
  made.reset();
  DeleteFileW(plain.c_str());
  doc.Queue().Push(gone);
  view.OnUpdate(nullptr, 0);
  ASSERT_EQ(view.RowCount(), 1);  // only "keep." exists
  EXPECT_EQ(view.RowText(0, 0), dotted);
}

TEST_F(ViewTest, SelectionCommands) {
  for (int i = 0; i < 5; ++i)
    doc.Queue().Push(Record(dir.File(L"s" + std::to_wstring(i) + L".txt")));
  view.OnUpdate(nullptr, 0);
  ASSERT_EQ(view.RowCount(), 5);
  EXPECT_TRUE(view.OnCommand(ID_SELECT_ALL));
  EXPECT_EQ(view.SelectedCount(), 5);
  CommandState state;
  ComputeCommandState(ID_SELECT_ALL, view.Snapshot(), state);
  EXPECT_FALSE(state.enabled);
  view.OnCommand(ID_UNSELECT_ALL);
  EXPECT_EQ(view.SelectedCount(), 0);
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED;
  item.state = LVIS_SELECTED;
  view.Send(LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&item));
  view.OnCommand(ID_INVERT_SELECTION);
  EXPECT_EQ(view.SelectedCount(), 4);
  EXPECT_EQ(view.Send(LVM_GETITEMSTATE, 1, LVIS_SELECTED), 0);
}

// The list's notifications reach the view as the frame reflects them.
LRESULT CALLBACK ReflectingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NOTIFY) {
    LRESULT result = 0;
    if (ReflectNotify(lp, result)) return result;
  }
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

class ReflectedViewTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    ::SetWindowLongPtrW(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ReflectingProc));
  }
  void Fill(int n, size_t bytes) {
    for (int i = 0; i < n; ++i)
      doc.Queue().Push(Record(dir.File(L"t" + std::to_wstring(i) + L".log", bytes)));
    view.OnUpdate(nullptr, 0);
  }
};

TEST_F(ReflectedViewTest, TotalsFollowEveryRowChange) {
  Fill(4, 1000);
  const std::wstring folder = dir.Folder(L"big");
  dir.File(L"big\\a.bin", 3000);
  doc.Queue().Push(Record(folder));
  view.OnUpdate(nullptr, 0);
  EXPECT_EQ(view.Totals().rows, 5);
  EXPECT_EQ(view.Totals().bytes, 7000u);  // the folder with its folder size

  view.OnCommand(ID_SELECT_ALL);
  EXPECT_EQ(view.Totals().selectedRows, 5);
  EXPECT_EQ(view.Totals().selectedBytes, 7000u);
  view.OnCommand(ID_INVERT_SELECTION);
  EXPECT_EQ(view.Totals().selectedRows, 0);
  CListView(view.Handle()).SetSelected(0, true);  // the folder, newest on top
  EXPECT_EQ(view.Totals().selectedBytes, 3000u);

  CListView(view.Handle()).DeleteItem(0);
  EXPECT_EQ(view.Totals().rows, 4);
  EXPECT_EQ(view.Totals().bytes, 4000u);
  EXPECT_EQ(view.Totals().selectedRows, 0);
  view.OnCommand(ID_SELECT_ALL);
  view.OnCommand(ID_UNSELECT_ALL);
  EXPECT_EQ(view.Totals().selectedBytes, 0u);
  view.ClearRows();
  EXPECT_EQ(view.Totals().rows, 0);
  EXPECT_EQ(view.Totals().bytes, 0u);
}

TEST_F(ViewTest, FittingGivesTheFileNameColumnTheRest) {
  doc.Queue().Push(Record(dir.File(L"fit.txt")));
  view.OnUpdate(nullptr, 0);
  view.FitColumns();
  int widths[4];
  for (int i = 0; i < 4; ++i) widths[i] = static_cast<int>(view.Send(LVM_GETCOLUMNWIDTH, i));
  RECT client = view.ClientRect();
  EXPECT_EQ(widths[0], FirstColumnWidth(client.right, widths[1], widths[2], widths[3]));
  EXPECT_GT(widths[3], GetSystemMetrics(SM_CXVSCROLL));  // content width plus the scroll bar
}

}  // namespace
}  // namespace klarex
