// DeletePath(permanent), with the program's handle closer and until it has
// settled, against a bare DeleteFileW loop over the same number of other
// freshly planted files, in alternating slices; the figure is the median of
// the per-run ratios.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_util.h"
#include "support/temp_dir.h"
#include "sys/operations.h"

namespace {

constexpr int kFiles = 5000;
constexpr int kRuns = 5;
constexpr size_t kSlice = 50;

// Wine checks a new name against every entry of its folder for case variants,
// so planting into one large folder grows quadratically: spread the files out.
constexpr int kFilesPerFolder = 250;

std::vector<std::wstring> Plant(const klarex::test::TempDir& dir, const wchar_t* name) {
  std::vector<std::wstring> paths;
  paths.reserve(kFiles);
  std::wstring folder;
  for (int i = 0; i < kFiles; ++i) {
    if (i % kFilesPerFolder == 0) {
      folder = dir.Folder(std::wstring(name) + L"\\" + std::to_wstring(i / kFilesPerFolder));
    }
    paths.push_back(folder + L"\\f" + std::to_wstring(i) + L".tmp");
    HANDLE file = CreateFileW(paths.back().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) continue;
    DWORD written = 0;
    WriteFile(file, "klarex benchmark", 16, &written, nullptr);
    CloseHandle(file);
  }
  return paths;
}

// Seconds spent deleting paths[begin, end), until `settle` returns.
template <typename Delete, typename Settle>
double Seconds(const std::vector<std::wstring>& paths, size_t begin, size_t end, Delete remove,
               Settle settle) {
  const auto start = klarex::bench::Clock::now();
  for (size_t i = begin; i < end; ++i) remove(paths[i]);
  settle();
  return klarex::bench::Seconds(start);
}

}  // namespace

int main() {
  klarex::CHandleCloser closer;
  const klarex::DeletionContext context{nullptr, nullptr, &closer};
  std::vector<double> ratios;
  for (int run = 0; run < kRuns; ++run) {
    klarex::test::TempDir dir;
    const auto measured = Plant(dir, L"measured");
    const auto floor = Plant(dir, L"floor");
    // Small alternating slices keep both sides under the same machine load.
    double measuredSeconds = 0;
    double floorSeconds = 0;
    for (size_t begin = 0; begin < measured.size(); begin += kSlice) {
      const size_t end = std::min(begin + kSlice, measured.size());
      auto viaDeletePath = [&] {
        measuredSeconds += Seconds(
            measured, begin, end,
            [&](const std::wstring& p) { return klarex::DeletePath(p, true, context); },
            [&] { closer.Settle(); });
      };
      auto viaDeleteFile = [&] {
        floorSeconds += Seconds(
            floor, begin, end, [](const std::wstring& p) { return DeleteFileW(p.c_str()); }, [] {});
      };
      if ((begin / kSlice + run) % 2) {
        viaDeleteFile();
        viaDeletePath();
      } else {
        viaDeletePath();
        viaDeleteFile();
      }
    }
    if (floorSeconds > 0) ratios.push_back(measuredSeconds / floorSeconds);
  }
  std::printf("delete-path ratio: %.2f (goal <= 1.3)\n", klarex::bench::Median(ratios));
  return 0;
}
