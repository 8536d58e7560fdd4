// Migration copy benchmark: a data folder of FILES files (SIZE bytes in all) copied by the
// migration engine on a simulated XP machine, next to `cp -a` of the same host tree, measured in
// the same run. Usage: migration_bench [FILES [MEGABYTES [ROUNDS]]] (defaults 10000, 1024, 4).
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "catalogue/kvrMigration.h"
#include "platform/sim/simMachine.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr const char* kAdminData = "C:\\Documents and Settings\\Admin\\Application Data\\Bench";
constexpr const char* kAnnaData = "C:\\Documents and Settings\\Anna\\Application Data\\Bench";

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Processor seconds (user and system) used so far by this process or by its waited-for children.
double CpuSeconds(int who) {
  rusage usage{};
  ::getrusage(who, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace ombrant;
  const int files = argc > 1 ? std::atoi(argv[1]) : 10000;
  const long long megabytes = argc > 2 ? std::atoll(argv[2]) : 1024;
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 4;
  if (files <= 0 || megabytes <= 0 || rounds <= 0) {
    std::fprintf(stderr, "usage: migration_bench [FILES [MEGABYTES [ROUNDS]]]\n");
    return 2;
  }
  const std::size_t fileSize = static_cast<std::size_t>(megabytes * 1024 * 1024 / files);

  sim::SimMachine machine;
  machine.Configure("en");
  machine.Files().AddFolder(kAdminData);
  machine.Files().AddFolder("C:\\Documents and Settings\\Anna\\Application Data");
  sim::SimAccount& admin = machine.AddAccount("Admin");
  admin.privilege = port::kUserPrivAdmin;
  admin.hasProfile = true;
  machine.AddAccount("Anna");
  machine.SetRunningAccount("Admin");
  port::Port port = machine.Port();

  // The source tree, 100 files per folder, written straight to the host.
  const fs::path source = *machine.Files().HostPath(kAdminData);
  std::string bytes(fileSize, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 131 + 7);
  TStringList list;
  for (int i = 0; i < files; ++i) {
    const std::string folder = "f" + std::to_string(i / 100);
    const std::string name = "setting" + std::to_string(i) + ".dat";
    fs::create_directories(source / folder);
    std::ofstream(source / folder / name, std::ios::binary).write(bytes.data(), bytes.size());
    list.Add(folder + "\\" + name);
  }
  std::printf("%d files, %zu bytes each, %.1f MiB\n", files, fileSize,
              static_cast<double>(fileSize) * files / (1024.0 * 1024.0));

  // Fresh targets every round, removed after it, and the order alternates: the file system's
  // cost of creating files must fall on both copies alike. Dirty pages are written out before
  // each timed copy, so that neither pays for writing back what the other copied, and every
  // round starts from the same free space.
  double engineTotal = 0;
  double referenceTotal = 0;
  std::vector<double> ratios;
  for (int round = 1; round <= rounds; ++round) {
    const std::string target = std::string(kAnnaData) + std::to_string(round);
    const fs::path cpTarget = machine.Files().HostRoot() / ("cp-target" + std::to_string(round));
    double engine = 0;
    double reference = 0;
    double engineCpu = 0;
    double referenceCpu = 0;
    int result = 0;
    int cp = 0;
    auto runEngine = [&] {
      ::sync();
      const double cpu = CpuSeconds(RUSAGE_SELF);
      const auto start = Clock::now();
      result = CopyDataFilesWithShell(port, kAdminData, target, list);
      engine = Seconds(start);
      engineCpu = CpuSeconds(RUSAGE_SELF) - cpu;
    };
    auto runCp = [&] {
      const std::string command = "cp -a '" + source.string() + "' '" + cpTarget.string() + "'";
      ::sync();
      const double cpu = CpuSeconds(RUSAGE_CHILDREN);
      const auto start = Clock::now();
      cp = std::system(command.c_str());
      reference = Seconds(start);
      referenceCpu = CpuSeconds(RUSAGE_CHILDREN) - cpu;
    };
    if (round % 2 == 1) {
      runEngine();
      runCp();
    } else {
      runCp();
      runEngine();
    }
    fs::remove_all(*machine.Files().HostPath(target));
    fs::remove_all(cpTarget);
    engineTotal += engine;
    referenceTotal += reference;
    ratios.push_back(100.0 * reference / engine);
    std::printf("round %d (%s first): engine copy %.2f s (%.2f s CPU, result %d), "
                "cp -a %.2f s (%.2f s CPU, status %d): %.0f %% of cp -a's speed\n",
                round, round % 2 == 1 ? "engine" : "cp", engine, engineCpu, result, reference,
                referenceCpu, cp, 100.0 * reference / engine);
  }
  std::sort(ratios.begin(), ratios.end());
  const std::size_t middle = ratios.size() / 2;
  const double median =
      ratios.size() % 2 == 1 ? ratios[middle] : (ratios[middle - 1] + ratios[middle]) / 2;
  std::printf("all rounds: engine copy %.2f s, cp -a %.2f s: %.0f %% of cp -a's speed "
              "(median of the rounds %.0f %%)\n",
              engineTotal, referenceTotal, 100.0 * referenceTotal / engineTotal, median);
  fs::remove_all(machine.Files().HostRoot());
  return 0;
}
