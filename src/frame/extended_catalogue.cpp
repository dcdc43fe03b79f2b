#include "frame/extended_catalogue.h"

#include <windows.h>

#include "framework/language.h"

namespace klarex {

namespace {

constexpr wchar_t kSection[] = L"Settings";
constexpr wchar_t kEntry[] = L"ExtendedCatalogue";

// The text of `key` with its "%d" replaced by the number.
std::wstring WithNumber(const wchar_t* key, const wchar_t* english, size_t number) {
  std::wstring text = GetLangString(L"Definitions", key, english);
  const size_t at = text.find(L"%d");
  if (at != std::wstring::npos) text.replace(at, 2, std::to_wstring(number));
  return text;
}

std::wstring FileNameOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool ReadExtendedCatalogue(const CProfile& profile) {
  // Anything but a stored 0 keeps the default.
  return profile.GetInt(kSection, kEntry, 1) != 0;
}

void StoreExtendedCatalogue(const CProfile& profile, bool on) {
  profile.WriteInt(kSection, kEntry, on ? 1 : 0);
}

std::wstring RefusalNotice(const std::vector<Refusal>& refusals) {
  if (refusals.empty()) return {};
  const Refusal& first = refusals.front();
  const ProblemText problem = DescribeProblem(first.problem);
  std::wstring text = GetLangString(L"Definitions", L"Refused", L"Definition not used") + L": " +
                      FileNameOf(first.file);
  if (first.line > 0)
    text += L", " + WithNumber(L"Line", L"line %d", static_cast<size_t>(first.line));
  if (!first.section.empty()) text += L" [" + first.section + L']';
  text += L": " + GetLangString(L"Definitions", problem.key, problem.english);
  if (!first.detail.empty()) text += L" (" + first.detail + L')';
  if (refusals.size() > 1)
    text += L" \x00B7 " + WithNumber(L"More", L"%d more", refusals.size() - 1);
  return text;
}

}  // namespace klarex
