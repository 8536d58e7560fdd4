// Shell-link codec throughput on real files: writing 10,000 shortcuts into a temporary folder,
// and reading them all back from disk. Reports links per second (items_per_second).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/sim/simLnkFile.h"

namespace {

using ombrant::sim::ShellLinkData;

constexpr int kLinkCount = 10'000;

class TempFolder {
 public:
  TempFolder() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("ombrant-lnk-bench-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Shortcuts like those the program makes: originals in Program Files and runas ones.
ShellLinkData RealisticLink(int i) {
  static const char* const kApps[][2] = {
      {"Mozilla Firefox", "firefox.exe"},   {"Opera", "opera.exe"},
      {"Mozilla Thunderbird", "thunderbird.exe"}, {"Windows Live\\Messenger", "msnmsgr.exe"},
      {"Skype\\Phone", "Skype.exe"},        {"VideoLAN\\VLC", "vlc.exe"},
      {"M\xC3\xBCller Software\\Post", "post.exe"},  // a non-ASCII folder
  };
  const auto& app = kApps[i % std::size(kApps)];
  const std::string folder = std::string("C:\\Program Files\\") + app[0] + "\\";
  const std::string program = folder + app[1];
  ShellLinkData link;
  link.iconLocation = program;
  link.description = std::string(app[0]) + " " + std::to_string(i);
  if (i % 2 == 0) {
    link.targetPath = program;
    link.workingDir = folder;
    link.fileAttributes = 0x20;
    link.fileSize = 1'000'000 + static_cast<std::uint32_t>(i);
    link.writeTime = 0x01D5ABCDEF012345 + static_cast<std::uint64_t>(i) * 10'000'000;
  } else {
    link.targetPath = "runas";
    link.arguments = "/user:george-online /savecred \"\\\"" + program + "\\\" \"";
  }
  return link;
}

void WriteFile(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::filesystem::path> WriteAll(const TempFolder& folder) {
  std::vector<std::filesystem::path> files;
  files.reserve(kLinkCount);
  for (int i = 0; i < kLinkCount; ++i) {
    files.push_back(folder.Path() / ("Shortcut " + std::to_string(i) + ".lnk"));
    WriteFile(files.back(), ombrant::sim::WriteShellLink(RealisticLink(i)));
  }
  return files;
}

void BM_WriteLinksToDisk(benchmark::State& state) {
  for (auto _ : state) {
    // Only the writing is timed, not making and removing the folder.
    state.PauseTiming();
    auto folder = std::make_unique<TempFolder>();
    state.ResumeTiming();
    benchmark::DoNotOptimize(WriteAll(*folder));
    state.PauseTiming();
    folder.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kLinkCount);
}
BENCHMARK(BM_WriteLinksToDisk)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadLinksFromDisk(benchmark::State& state) {
  TempFolder folder;
  const std::vector<std::filesystem::path> files = WriteAll(folder);
  for (auto _ : state) {
    int read = 0;
    for (const auto& file : files) {
      const std::optional<ShellLinkData> link = ombrant::sim::ParseShellLink(ReadFile(file));
      read += link.has_value();
      benchmark::DoNotOptimize(link);
    }
    if (read != kLinkCount) {
      state.SkipWithError("a written link did not read back");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * kLinkCount);
}
BENCHMARK(BM_ReadLinksFromDisk)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
