// The six privacy categories of the Advance dialog as the dialog shows them,
// and the arithmetic that turns the worker's step counter into a bar. Their
// order, weights and run are the engine's (engine/privacy_run.h).
#pragma once
#include <array>
#include <cstddef>

#include "engine/privacy_run.h"

namespace klarex {

struct PrivacyCategory {
  int id;                // command id of the toggle (201-206)
  int iconId;            // icon resource
  const wchar_t* label;  // English text; the language key ("Labels", id - 200)
  bool onAtOpen;
};

// Index order: Url History, AutoComplete Passwords, Run History, Find History,
// Typed URL, Recent Documents.
extern const std::array<PrivacyCategory, kCategoryCount> kPrivacyCategories;

// progress * 100 / total, truncated; passes 100 when the weights underestimate.
int ProgressPercent(int progress, int total);

// What the bar shows for a percentage: clamped to its 0-100 range.
int BarPosition(int percent);

}  // namespace klarex
