#include "privacy/privacy_categories.h"

#include <algorithm>
#include <climits>

#include "../res/ids_art.h"
#include "../res/ids_dialogs.h"

namespace klarex {

const std::array<PrivacyCategory, kCategoryCount> kPrivacyCategories = {{
    {IDC_ADVANCE_URL, IDI_URL_HISTORY, L"Ur&l History", true},
    {IDC_ADVANCE_PASSWORDS, IDI_AUTOCOMPLETE, L"AutoComplete &Passwords", false},
    {IDC_ADVANCE_RUN, IDI_RUN_HISTORY, L"&Run History", false},
    {IDC_ADVANCE_FIND, IDI_FIND_HISTORY, L"&Find History", false},
    {IDC_ADVANCE_TYPED, IDI_TYPED_URL, L"&Typed URL", false},
    {IDC_ADVANCE_RECENT, IDI_RECENT_DOCUMENTS, L"Recent &Documents", true},
}};

int ProgressPercent(int progress, int total) {
  if (total <= 0) total = 1;
  // Widened so that a runaway counter cannot overflow into a negative value.
  long long percent = static_cast<long long>(progress) * 100 / total;
  return static_cast<int>(std::clamp<long long>(percent, INT_MIN, INT_MAX));
}

int BarPosition(int percent) { return std::clamp(percent, 0, 100); }

}  // namespace klarex
