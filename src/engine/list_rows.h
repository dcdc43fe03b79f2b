// Which found items become rows of the result list, and in what order. The
// window's list and the console program's list follow the same rules, so the
// two never disagree about what a mode lists.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/found_item_sink.h"

namespace klarex {

// A found record that gives no row: zero low half of its last-write time, or
// a path without a backslash.
bool IsUnlistableRecord(const FoundItem& record);

// A record that gives a row now: listable, and its path exists (by its exact
// name: "keep." is not "keep").
bool IsListedNow(const FoundItem& record);

// The rows of a scan's items in the list's order: each new row goes on top,
// so the item found last comes first.
std::vector<FoundItem> ListOrder(const std::vector<FoundItem>& found);

// The Type column of a row: the shell's type name. A file's follows its
// extension and asking the shell costs milliseconds, so the process asks once
// per extension.
std::wstring RowTypeName(const FoundItem& record);
// The Size column: a file's size as found; a folder's, the sum of the files
// below it now (links not followed).
uint64_t RowSize(const FoundItem& record);

}  // namespace klarex
