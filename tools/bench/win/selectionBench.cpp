// Selecting one application on the applications page, on the real port: the six shortcut boxes
// asked as the wizard asks them, with LINKS shortcuts of other programs on the desktop and in
// the Programs folder, read through the system's shell-link object.
//   selection_bench [LINKS [ROUNDS]]   (default 1000 links, 20 rounds)
// Missing links are written first ("Bench tool N.lnk"). Prints the catalogue's build time, the
// first selection (nothing read yet) and the median of the later ones, then the read-ahead the
// program does in idle time and the first selection after it, in milliseconds.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "catalogue/kvrShortcutFiles.h"
#include "definitions/kvrSoftwareClasses.h"
#include "orchestration/UnitNetworkingApps.h"
#include "platform/win32/winHeaders.h"
#include "platform/vqNTStuff.h"
#include "platform/vqPathSolve.h"
#include "platform/win32/winMachine.h"

#include <objbase.h>

namespace {

using namespace ombrant;
using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

bool Exists(port::IFileSystem& files, const std::string& path) {
  std::uint32_t attributes = 0;
  return files.GetFileAttributes(path, &attributes) == port::kErrorSuccess;
}

struct Box {
  TShortcutLocation location;
  bool originalForm;
};
constexpr Box kBoxes[] = {{slDesktop, false}, {slPrograms, false}, {slQuickLaunch, false},
                          {slDesktop, true},  {slPrograms, true},  {slQuickLaunch, true}};

// Where a catalogue build spends its time: the path solver, then each class's detection with
// the Uninstall registrations shared as the catalogue shares them (the first class to ask reads
// them). Prints the total and the slowest classes.
void PrintDetectionBreakdown(port::Port& port, const TSoftwareClassRegistry& classes) {
  Clock::time_point start = Clock::now();
  TPathSolver solver(port);
  solver.AddOfflineSystemPaths();
  const TNTStuff nt(port.system);
  const double solverMs = Milliseconds(Clock::now() - start);
  TUninstallRegistrations uninstall;
  TSoftwareContext context{port, solver, nt.IsWow64(), &uninstall};
  start = Clock::now();
  (void)uninstall.Read(port.registry);
  const double uninstallMs = Milliseconds(Clock::now() - start);
  std::vector<std::pair<double, std::string_view>> times;
  double total = 0;
  for (const TSoftwareClass& softwareClass : classes.Classes()) {
    TWideStringList found;
    start = Clock::now();
    softwareClass.FindInstallations(context, found);
    times.emplace_back(Milliseconds(Clock::now() - start), softwareClass.Name);
    total += times.back().first;
  }
  std::sort(times.rbegin(), times.rend());
  std::printf("detection: path solver %.1f ms, Uninstall names %.1f ms (%zu), classes %.1f ms;"
              " slowest:",
              solverMs, uninstallMs, uninstall.Entries().size(), total);
  for (std::size_t i = 0; i < times.size() && i < 6; ++i) {
    std::printf(" %.*s %.1f", static_cast<int>(times[i].second.size()), times[i].second.data(),
                times[i].first);
  }
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  const int links = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int rounds = std::max(2, argc > 2 ? std::atoi(argv[2]) : 20);
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
  int result = 0;
  {
    win32::WinMachine machine;
    port::Port port = machine.Port();
    TSoftwareClassRegistry classes;
    RegisterSoftwareClasses(classes);
    PrintDetectionBreakdown(port, classes);
    const Clock::time_point built = Clock::now();
    TNetworkingApps apps(port, classes);
    const double catalogueMs = Milliseconds(Clock::now() - built);
    if (apps.Count() == 0) {
      std::fprintf(stderr, "selection_bench: no application detected\n");
      return 1;
    }
    std::string desktop;
    std::string programs;
    if (port.shell.GetSpecialFolderPath(port::kCsidlDesktopDirectory, &desktop) != 0 ||
        port.shell.GetSpecialFolderPath(port::kCsidlPrograms, &programs) != 0) {
      std::fprintf(stderr, "selection_bench: no desktop or Programs folder\n");
      return 1;
    }
    int written = 0;
    for (const std::string& folder : {desktop, programs}) {
      for (int i = 0; i < links; ++i) {
        const std::string name = folder + "\\Bench tool " + std::to_string(i) + ".lnk";
        if (Exists(port.files, name)) continue;
        const std::string exe = "C:\\Program Files\\Bench tool " + std::to_string(i) + "\\tool.exe";
        WriteShortcut(port, name, exe, exe, "", "", 0);
        ++written;
      }
    }
    apps.SetInternetUser("Admin-online");
    TInstalledSoftware& app = apps.Manager().Items(0);
    const std::string impersonated = desktop + "\\" + app.DisplayName() + " (as Admin-online).lnk";
    // The impersonated link as Windows stores it: the shell resolves the program's bare "runas"
    // to the system folder's runas.exe. Wine's shell takes it relative to the current folder, so
    // the link is written here with the path Windows would give it.
    std::string system;
    if (!Exists(port.files, impersonated) &&
        port.shell.GetSpecialFolderPath(port::kCsidlSystem, &system) == 0) {
      WriteShortcut(port, impersonated, system + "\\runas.exe", app.Executable(), "",
                    app.RunAsArguments("Admin-online"), 0);
    }

    std::vector<double> times;
    std::string answers;
    for (int r = 0; r < rounds; ++r) {
      answers.clear();
      const Clock::time_point start = Clock::now();
      {
#if __has_include("catalogue/kvrShortcutFolders.h")
        const TShortcutRound round = apps.ShortcutRound();
#endif
        for (const Box& box : kBoxes) {
          answers += apps.HasShortcut(0, box.location, box.originalForm) ? '1' : '0';
        }
      }
      times.push_back(Milliseconds(Clock::now() - start));
    }
    const double first = times.front();
    std::vector<double> later(times.begin() + 1, times.end());
    std::sort(later.begin(), later.end());
    const double median = later[later.size() / 2];
    std::printf("application=%s links_per_folder=%d links_written=%d catalogue_ms=%.1f "
                "first_selection_ms=%.1f selection_median_ms=%.1f boxes=%s\n",
                app.DisplayName().c_str(), links, written, catalogueMs, first, median,
                answers.c_str());
    // The impersonated desktop link is there, the other five boxes are empty.
    if (answers != "100000") result = 1;

    // As the program does it: the folders read ahead in idle-time steps after the first page
    // shows, then the first selection. The longest step is the longest the window can keep a
    // user's input waiting.
    TNetworkingApps warm(port, classes);
    warm.SetInternetUser("Admin-online");
    std::vector<double> steps;
    const Clock::time_point aheadStart = Clock::now();
    for (bool more = true; more;) {
      const Clock::time_point stepStart = Clock::now();
      more = warm.ReadShortcutsAhead(kShortcutsReadPerIdleStep);
      steps.push_back(Milliseconds(Clock::now() - stepStart));
    }
    const double aheadMs = Milliseconds(Clock::now() - aheadStart);
    const std::size_t readAhead = warm.ShortcutsRead();
    std::string warmAnswers;
    const Clock::time_point start = Clock::now();
    {
      const TShortcutRound round = warm.ShortcutRound();
      for (const Box& box : kBoxes) {
        warmAnswers += warm.HasShortcut(0, box.location, box.originalForm) ? '1' : '0';
      }
    }
    const double warmFirst = Milliseconds(Clock::now() - start);
    std::printf("read_ahead_ms=%.1f read_ahead_steps=%zu longest_step_ms=%.1f links_read=%zu "
                "first_selection_after_read_ahead_ms=%.1f links_read_then=%zu boxes=%s\n",
                aheadMs, steps.size(), *std::max_element(steps.begin(), steps.end()), readAhead,
                warmFirst, warm.ShortcutsRead() - readAhead, warmAnswers.c_str());
    if (warmAnswers != answers) result = 1;
  }
  CoUninitialize();
  return result;
}
