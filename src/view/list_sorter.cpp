#include "view/list_sorter.h"

#include <commctrl.h>
#include <wchar.h>

#include <cwctype>

#include "framework/unexpected_error.h"

namespace klarex {

namespace {

int Sign(long long v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

bool EndsWith(const std::wstring& s, const wchar_t* tail) {
  size_t n = wcslen(tail);
  return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

// Leading decimal digits of a size text ("12 KB" -> 12); 0 without digits.
long long LeadingNumber(const std::wstring& s) {
  long long n = 0;
  for (wchar_t c : s) {
    if (c < L'0' || c > L'9') break;
    if (n < 1'000'000'000'000'000LL) n = n * 10 + (c - L'0');
  }
  return n;
}

// Reads one unsigned field of at most `maxDigits` digits at `pos`.
bool ReadField(const std::wstring& s, size_t& pos, int maxDigits, int* value) {
  int digits = 0;
  *value = 0;
  while (pos < s.size() && s[pos] >= L'0' && s[pos] <= L'9' && digits < maxDigits) {
    *value = *value * 10 + (s[pos] - L'0');
    ++pos;
    ++digits;
  }
  return digits > 0;
}

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

// Days from 1 January of year 0 (proleptic Gregorian calendar).
long long DayNumber(int y, int m, int d) {
  long long days = 365LL * y + (y + 3) / 4 - (y + 99) / 100 + (y + 399) / 400;
  for (int i = 1; i < m; ++i) days += DaysInMonth(y, i);
  return days + d - 1;
}

}  // namespace

int CompareColumnTexts(const std::wstring& a, const std::wstring& b, int code) {
  const int direction = code < 0 ? -1 : 1;
  switch (code < 0 ? -code : code) {
    case kSortText:
      return Sign(_wcsicmp(a.c_str(), b.c_str())) * direction;
    case kSortDate: {
      long long ta = 0, tb = 0;
      if (!ParseListDate(a, &ta) || !ParseListDate(b, &tb)) return 0;
      return Sign(ta - tb) * direction;
    }
    case kSortSize: {
      const bool aKb = EndsWith(a, L"KB"), aMb = EndsWith(a, L"MB");
      const bool bKb = EndsWith(b, L"KB"), bMb = EndsWith(b, L"MB");
      if (aKb && bMb) return -direction;
      if (aMb && bKb) return direction;
      return Sign(LeadingNumber(a) - LeadingNumber(b)) * direction;
    }
    default:
      return 0;
  }
}

bool ParseListDate(const std::wstring& text, long long* minutes) {
  // The list writes month/day/year whatever the user's locale, so that order
  // is the one to read back.
  size_t pos = 0;
  while (pos < text.size() && iswspace(text[pos])) ++pos;
  int month = 0, day = 0, year = 0, hour = 0, minute = 0;
  if (!ReadField(text, pos, 2, &month) || pos >= text.size() || text[pos++] != L'/') return false;
  if (!ReadField(text, pos, 2, &day) || pos >= text.size() || text[pos++] != L'/') return false;
  if (!ReadField(text, pos, 4, &year)) return false;
  size_t timeStart = pos;
  while (pos < text.size() && text[pos] == L' ') ++pos;
  if (pos < text.size()) {
    if (pos == timeStart) return false;
    if (!ReadField(text, pos, 2, &hour) || pos >= text.size() || text[pos++] != L':') return false;
    if (!ReadField(text, pos, 2, &minute)) return false;
    while (pos < text.size() && iswspace(text[pos])) ++pos;
    if (pos != text.size()) return false;
  }
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
      minute > 59) {
    return false;
  }
  *minutes = (DayNumber(year, month, day) * 24 + hour) * 60 + minute;
  return true;
}

CListSorter::CListSorter(HWND list, int column) : m_list(list) {
  const int count = m_list.Count();
  m_records.reserve(static_cast<size_t>(count > 0 ? count : 0));
  for (int i = 0; i < count; ++i) {
    auto record = std::make_unique<Record>(Record{m_list.ItemData(i), m_list.ItemText(i, column)});
    m_list.SetItemData(i, reinterpret_cast<LPARAM>(record.get()));
    m_records.push_back(std::move(record));
  }
}

CListSorter::~CListSorter() {
  // Rows neither come nor go while a sorter lives (one handler call on the
  // user-interface thread), so every row's data is one of our records.
  const int count = m_list.Count();
  for (int i = 0; i < count; ++i) {
    if (const auto* record = reinterpret_cast<const Record*>(m_list.ItemData(i)))
      m_list.SetItemData(i, record->data);
  }
}

void CListSorter::Sort(int code) { m_list.SortItems(&CListSorter::Compare, code); }

int CALLBACK CListSorter::Compare(LPARAM record1, LPARAM record2, LPARAM code) {
  const auto* a = reinterpret_cast<const Record*>(record1);
  const auto* b = reinterpret_cast<const Record*>(record2);
  // Called from inside the list control: nothing may unwind through it.
  return Guarded(0, [&] { return CompareColumnTexts(a->text, b->text, static_cast<int>(code)); });
}

void SortByColumnClick(HWND list, ListSortState& state, int column) {
  if (column < 0 || column >= static_cast<int>(state.kinds.size())) return;
  state.column = column;
  const bool ascending = state.nextAscending[static_cast<size_t>(column)];
  CListSorter sorter(list, column);
  sorter.Sort(ascending ? state.kinds[static_cast<size_t>(column)]
                        : -state.kinds[static_cast<size_t>(column)]);

  CListView(list).ShowSortArrow(column, ascending);
  state.nextAscending[static_cast<size_t>(column)] = !ascending;
}

void ReapplySort(HWND list, const ListSortState& state) {
  if (state.column < 0 || state.column >= static_cast<int>(state.kinds.size())) return;
  const size_t column = static_cast<size_t>(state.column);
  // The flag was flipped after the last click, so the inverse repeats that click.
  CListSorter sorter(list, state.column);
  sorter.Sort(state.nextAscending[column] ? -state.kinds[column] : state.kinds[column]);
}

}  // namespace klarex
