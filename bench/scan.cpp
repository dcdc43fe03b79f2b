// Scanner speed against the floor of a bare directory walk: 20,000 files in
// 400 folders, a few hundred of them *.log. Prints the two ratios (medians of
// several runs); the raw times go to stderr.
#include <shlwapi.h>
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench_util.h"
#include "engine/scanner.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace {

using klarex::bench::BareWalk;
using klarex::bench::Median;
using klarex::bench::Milliseconds;

constexpr int kTopFolders = 20;
constexpr int kSubFolders = 20;  // per top folder: 400 leaf folders
constexpr int kFilesPerFolder = 50;
constexpr int kRuns = 9;

void Plant(const klarex::test::TempDir& root, std::vector<std::wstring>& folders) {
  for (int top = 0; top < kTopFolders; ++top) {
    const std::wstring topName = L"top" + std::to_wstring(top);
    folders.push_back(root.Folder(topName));
    for (int sub = 0; sub < kSubFolders; ++sub) {
      const std::wstring folder = topName + L"\\sub" + std::to_wstring(sub);
      folders.push_back(root.Folder(folder));
      for (int file = 0; file < kFilesPerFolder; ++file) {
        // One *.log in three of every four folders: 300 matches.
        const bool log = file == 0 && sub % 4 != 0;
        root.File(folder + L"\\file" + std::to_wstring(file) + (log ? L".log" : L".dat"), 16);
      }
    }
  }
}

}  // namespace

int main() {
  klarex::test::TempDir root;
  std::vector<std::wstring> folders;
  Plant(root, folders);

  klarex::test::CollectingSink view;
  size_t walked = 0, treeItems = 0, folderItems = 0;
  std::vector<std::wstring> found;  // every item of the folder scan, for the profile below

  const std::function<void()> cases[] = {
      [&] { walked = BareWalk(root.Path()); },
      [&] {
        view.Clear();
        klarex::ScanTree(view, root.Path(), L"*.log");
        treeItems = view.items.size();
      },
      [&] {
        view.Clear();
        for (const std::wstring& path : folders) klarex::ScanFolder(view, path, L"*.*");
        folderItems = view.items.size();
      },
      // Profile: the per-item existence test of ScanFolder on its own.
      [&] {
        for (const std::wstring& path : found) PathFileExistsW(path.c_str());
      },
  };
  // The three cases take turns, so that a change in the machine's load
  // during the run touches all of them alike.
  std::vector<double> times[4];
  for (int run = 0; run <= kRuns; ++run) {
    if (run == 1) found = view.Paths();
    for (int c = 0; c < 4; ++c) {
      const double ms = Milliseconds(cases[c]);
      if (run > 0) times[c].push_back(ms);  // the first round warms the caches
    }
  }
  const double floor = Median(times[0]), tree = Median(times[1]), folder = Median(times[2]);
  const double existence = Median(times[3]);

  std::fprintf(stderr,
               "bare walk %.1f ms (%zu entries), ScanTree %.1f ms (%zu items), "
               "ScanFolder %.1f ms (%zu items), of which existence tests %.1f ms\n",
               floor, walked, tree, treeItems, folder, folderItems, existence);
  std::printf("scan-tree ratio: %.2f (goal <= 2.0)\n", tree / floor);
  std::printf("scan-folder ratio: %.2f (goal <= 2.0)\n", folder / floor);
  return 0;
}
