// Folder scanning throughput: a simulated C: drive holding 50,000 files in a tree of data
// folders, scanned recursively with FindFiles. Reports files per second of wall-clock time
// (items_per_second): the scan waits on the host's file system.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/sim/simFileSystem.h"
#include "platform/sim/simTempFolder.h"
#include "platform/vqFileSys.h"
#include "platform/vqStringList.h"

namespace {

constexpr int kTopFolders = 50;
constexpr int kSubFolders = 10;
constexpr int kFilesPerFolder = 100;
constexpr int kFileCount = kTopFolders * kSubFolders * kFilesPerFolder;

// A profile-like tree: C:\Data\App<i>\Profile<j>\settings<k>.dat, plus one small file in each
// top folder.
void FillTree(ombrant::sim::SimFileSystem& files) {
  for (int i = 0; i < kTopFolders; ++i) {
    const std::string top = "C:\\Data\\App" + std::to_string(i);
    for (int j = 0; j < kSubFolders; ++j) {
      const std::string folder = top + "\\Profile" + std::to_string(j);
      files.AddFolder(folder);
      for (int k = 0; k < kFilesPerFolder - (j == 0 ? 1 : 0); ++k) {
        files.AddFile(folder + "\\settings" + std::to_string(k) + ".dat", "x");
      }
    }
    files.AddFile(top + "\\app.ini", "x");
  }
}

void BM_FindFilesRecursive(benchmark::State& state) {
  ombrant::sim::SimTempFolder drives("ombrant-findfiles-bench");
  ombrant::sim::SimFileSystem files(drives.Path());
  FillTree(files);

  for (auto _ : state) {
    ombrant::TStringList result;
    ombrant::FindFiles(files, "C:\\Data\\", result, true, false, false, true, true);
    if (result.Count() != kFileCount) {
      state.SkipWithError("the scan did not find every file");
      break;
    }
    benchmark::DoNotOptimize(result);
  }
  state.SetItemsProcessed(state.iterations() * kFileCount);
}
BENCHMARK(BM_FindFilesRecursive)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
