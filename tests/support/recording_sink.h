// Sinks that record what the engine reports: status texts, and found items.
#pragma once
#include <string>
#include <vector>

#include "engine/found_item_sink.h"
#include "sys/status_sink.h"

namespace klarex::test {

class RecordingStatus : public IStatusSink {
 public:
  void SetStatusText(const std::wstring& text) override { texts.push_back(text); }
  void ShowDeletingStatus(const std::wstring& path) override { deleting.push_back(path); }

  std::vector<std::wstring> texts;
  std::vector<std::wstring> deleting;
};

// Collects found items in the order they come; counts the ends of scans.
class CollectingSink : public IFoundItemSink {
 public:
  void Add(const FoundItem& item) override { items.push_back(item); }
  void EndOfScan() override { ++ends; }

  // Full paths of the items found so far.
  std::vector<std::wstring> Paths() const {
    std::vector<std::wstring> paths;
    for (const FoundItem& item : items) paths.emplace_back(item.cFileName);
    return paths;
  }
  int Folders() const {
    int folders = 0;
    for (const FoundItem& item : items)
      folders += (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return folders;
  }
  void Clear() {
    items.clear();
    ends = 0;
  }

  std::vector<FoundItem> items;
  int ends = 0;
};

}  // namespace klarex::test
