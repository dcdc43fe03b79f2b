#include "view/list_text.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "../res/ids_main.h"
#include "framework/language.h"
#include "framework/resources.h"

namespace klarex {

std::wstring FormatSizeText(int64_t bytes) {
  constexpr int64_t kKilo = 1024, kMega = 1024 * 1024;
  wchar_t text[32];
  if (bytes >= kMega)
    swprintf(text, std::size(text), L"%lld MB", static_cast<long long>(bytes / kMega));
  else if (bytes >= kKilo)
    swprintf(text, std::size(text), L"%lld KB", static_cast<long long>(bytes / kKilo));
  else if (bytes > 0)
    return L"1 KB";
  else
    return L"0 KB";
  return text;
}

std::wstring FormatDateText(const FILETIME& lastWrite) {
  FILETIME local;
  SYSTEMTIME utc, st;
  if (!::FileTimeToLocalFileTime(&lastWrite, &local) || !::FileTimeToSystemTime(&lastWrite, &utc))
    return {};
  if (!::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &st)) return {};
  time_t t = 0;
  if (st.wYear >= 1900) {
    std::tm tm{};
    tm.tm_year = st.wYear - 1900;
    tm.tm_mon = st.wMonth - 1;
    tm.tm_mday = st.wDay;
    tm.tm_hour = st.wHour;
    tm.tm_min = st.wMinute;
    tm.tm_sec = st.wSecond;
    tm.tm_isdst = -1;
    t = std::mktime(&tm);
    if (t == static_cast<time_t>(-1)) return {};
  }
  const std::tm* shown = std::localtime(&t);
  if (!shown) return {};
  wchar_t text[128];
  size_t n = std::wcsftime(text, std::size(text), L"%m/%d/%Y %H:%M", shown);
  return n ? std::wstring(text, n) : std::wstring();
}

int FirstColumnWidth(int available, int type, int size, int date) {
  return std::max(0, available - type - size - date);
}

std::wstring SelectionStatusText(int selected, int total) {
  const std::wstring idle = LoadResString(IDS_IDLE_MESSAGE);
  const bool active = IsLanguageActive();
  if (selected <= 0)
    return active ? GetLangString(L"Status", L"13", PromptPart(idle)) : PromptPart(idle);
  wchar_t counts[64];
  swprintf(counts, std::size(counts), L"%d / %d ", selected, total);
  std::wstring word = ShortNamePart(idle);
  if (active) word = GetLangString(L"Status", L"9", word);
  return counts + word;
}

}  // namespace klarex
