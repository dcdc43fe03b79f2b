// The Extended Catalogue option: the places of today's programs read from
// definition files join each mode's scan while it is on (the default). Kept in
// the application's profile, section "Settings", value "ExtendedCatalogue".
#pragma once
#include <string>
#include <vector>

#include "engine/definitions.h"
#include "framework/profile.h"

namespace klarex {

bool ReadExtendedCatalogue(const CProfile& profile);
void StoreExtendedCatalogue(const CProfile& profile, bool on);

// The status line's one notice about refused definitions: the first refusal
// with its file, line, section and reason, and how many more there are; empty
// when nothing was refused.
std::wstring RefusalNotice(const std::vector<Refusal>& refusals);

}  // namespace klarex
