// Found names as the list shows, sorts and drags them: very long, beyond the
// BMP, lone surrogates, trailing dots and blanks. Invariants: every row keeps
// its text through each column's sort, the rows come out in the column's
// order, and the drop-files block holds exactly the paths given.
#include <windows.h>
// needs windows.h first
#include <shlobj.h>

#include <algorithm>
#include <memory>

#include "engine/list_rows.h"
#include "framework/list_view.h"
#include "fuzz/fuzz.h"
#include "view/drag_out.h"
#include "view/list_fixture.h"
#include "view/list_sorter.h"
#include "view/list_text.h"

namespace klarex::fuzz {
namespace {

struct Row {
  std::wstring name, size, date;
};

constexpr wchar_t kFieldEnd = L'\x1';

std::string Generate(Rng& rng, uint64_t) {
  std::wstring text;
  for (size_t i = 0, n = 1 + rng.Below(12); i < n; ++i) {
    std::wstring name = L"C:\\junk\\" + RandomText(rng, 12);
    name.erase(std::remove(name.begin(), name.end(), L'\0'), name.end());
    name.erase(std::remove(name.begin(), name.end(), kFieldEnd), name.end());
    if (rng.OneIn(3)) name += rng.OneIn(2) ? L"." : L" ";
    if (name.size() > 32767) name.resize(32767);  // the longest path Windows takes
    const int64_t bytes = rng.OneIn(4) ? static_cast<int64_t>(rng.Next()) : rng.Below(1 << 24);
    FILETIME time{static_cast<DWORD>(rng.Next()), static_cast<DWORD>(rng.Below(0x02000000))};
    text += name + kFieldEnd + FormatSizeText(bytes) + kFieldEnd + FormatDateText(time) + kFieldEnd;
  }
  return Encode(text, Encoding::Utf16);
}

std::vector<Row> Parse(const std::string& input) {
  std::wstring text(input.size() / 2, L'\0');
  memcpy(text.data(), input.data(), text.size() * 2);
  std::vector<std::wstring> fields;
  for (size_t start = 0, end; (end = text.find(kFieldEnd, start)) != std::wstring::npos;
       start = end + 1)
    fields.push_back(text.substr(start, end - start));
  std::vector<Row> rows;
  for (size_t i = 0; i + 2 < fields.size(); i += 3)
    rows.push_back({fields[i], fields[i + 1], fields[i + 2]});
  return rows;
}

std::string CheckDropFiles(const std::vector<std::wstring>& paths) {
  const std::vector<BYTE> block = BuildDropFilesBlock(paths);
  if (block.size() < sizeof(DROPFILES)) return "a drop block without header";
  const auto* header = reinterpret_cast<const DROPFILES*>(block.data());
  if (!header->fWide || header->pFiles != sizeof(DROPFILES)) return "a wrong drop header";
  std::wstring list((block.size() - sizeof(DROPFILES)) / 2, L'\0');
  memcpy(list.data(), block.data() + sizeof(DROPFILES), list.size() * 2);
  std::wstring expected;
  for (const std::wstring& p : paths) expected += p + L'\0';
  expected += L'\0';
  return list == expected ? std::string() : "the drop block differs from the paths";
}

std::string CheckSorts(test::ListWindow& list, std::vector<Row> rows) {
  CListView view(list.Handle());
  ListSortState state;
  for (int column : {0, 2, 3, 0, 3}) {
    const int code = state.nextAscending[column] ? state.kinds[column] : -state.kinds[column];
    SortByColumnClick(list.Handle(), state, column);
    std::vector<Row> shown;
    for (int i = 0; i < view.Count(); ++i)
      shown.push_back({view.ItemText(i, 0), view.ItemText(i, 2), view.ItemText(i, 3)});
    auto key = [](const Row& r) { return r.name + L'|' + r.size + L'|' + r.date; };
    std::vector<std::wstring> a, b;
    for (const Row& r : rows) a.push_back(key(r));
    for (const Row& r : shown) b.push_back(key(r));
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    if (a != b) return "a row's texts changed by sorting";
    // The rows' order. A row without a date compares equal to every other,
    // as the list has always sorted, so the date order holds only without one.
    long long unused = 0;
    if (column == 3 && std::any_of(shown.begin(), shown.end(),
                                   [&](const Row& r) { return !ParseListDate(r.date, &unused); }))
      continue;
    const Row* previous = nullptr;
    for (const Row& r : shown) {
      const std::wstring& text = column == 0 ? r.name : column == 2 ? r.size : r.date;
      if (previous) {
        const std::wstring& before = column == 0   ? previous->name
                                     : column == 2 ? previous->size
                                                   : previous->date;
        if (CompareColumnTexts(before, text, code) > 0)
          return "rows out of order in column " + std::to_string(column);
        if (CompareColumnTexts(before, text, code) != -CompareColumnTexts(text, before, code))
          return "an asymmetric comparison";
      }
      previous = &r;
    }
  }
  return {};
}

std::string Check(const std::string& input) {
  static std::unique_ptr<test::ListWindow> list;
  if (!list) list = std::make_unique<test::ListWindow>();
  const std::vector<Row> rows = Parse(input);
  ::SendMessageW(list->Handle(), LVM_DELETEALLITEMS, 0, 0);
  std::vector<std::wstring> paths;
  for (const Row& r : rows) {
    list->Add(r.name, L"File", r.size, r.date);
    paths.push_back(r.name);
    WIN32_FIND_DATAW found{};
    found.ftLastWriteTime.dwLowDateTime = 1;
    wcsncpy(found.cFileName, r.name.c_str(), MAX_PATH - 1);
    IsUnlistableRecord(found);
  }
  std::string broken = CheckDropFiles(paths);
  if (broken.empty()) broken = CheckSorts(*list, rows);
  if (!broken.empty()) return broken;
  for (int i = 0; i < list->Count(); ++i) list->Select(i);
  std::vector<std::wstring> dragged = SelectedRowPaths(list->Handle());
  std::sort(dragged.begin(), dragged.end());
  std::sort(paths.begin(), paths.end());
  return dragged == paths ? std::string() : "the dragged paths differ from the rows";
}

}  // namespace

const Target kNames{"names", Generate, Check};

}  // namespace klarex::fuzz
