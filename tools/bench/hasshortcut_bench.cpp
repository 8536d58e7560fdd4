// HasShortcut for one application on a desktop of 1,000 shortcuts on the simulated machine: one
// box asked alone (the folder listed, links unchanged since the last call not read again), and a
// whole selection as the applications page makes it (six boxes, three folders, in one round).
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "catalogue/kvrShortcutFiles.h"
#include "definitions/kvrSoftwareClasses.h"
#include "orchestration/UnitNetworkingApps.h"
#include "tests/unit/accountsTestMachine.h"

namespace {

using namespace ombrant;

constexpr int kLinkCount = 1000;

struct Desktop {
  test::AccountsTestMachine machine{test::kXpEnglish};
  TSoftwareClassRegistry classes;
  std::unique_ptr<TNetworkingApps> apps;

  Desktop() {
    port::Port& port = machine.Port();
    machine.Files().AddFile("C:\\WINDOWS\\system32\\runas.exe", "MZ");
    std::string desktop;
    (void)port.shell.GetSpecialFolderPath(port::kCsidlDesktopDirectory, &desktop);
    desktop += "\\";
    // The one detected application: Internet Explorer.
    const std::string explorer = "C:\\Program Files\\Internet Explorer\\iexplore.exe";
    machine.Files().AddFile(explorer, "MZ");
    for (int i = 0; i < kLinkCount - 1; ++i) {
      const std::string exe = "C:\\Program Files\\Tool " + std::to_string(i) + "\\tool.exe";
      WriteShortcut(port, desktop + "Tool " + std::to_string(i) + ".lnk", exe, exe, "", "", 0);
    }
    // Links written long ago, as a desktop's are: a link written within the last moments is
    // read again on every call.
    for (const auto& entry : std::filesystem::directory_iterator(*machine.Files().HostPath(desktop))) {
      std::filesystem::last_write_time(entry.path(), std::filesystem::file_time_type::clock::now() -
                                                         std::chrono::hours(1));
    }
    RegisterSoftwareClasses(classes);
    apps = std::make_unique<TNetworkingApps>(port, classes);
    (void)apps->Manager().Items(0).CreateRestrictedShortcut(
        desktop + "Internet Explorer (as Admin-online).lnk", "Admin-online");
    apps->SetInternetUser("Admin-online");
  }
};

void BM_HasShortcut(benchmark::State& state) {
  Desktop desktop;
  const bool originalForm = state.range(0) != 0;
  for (auto _ : state) {
    const bool found = desktop.apps->HasShortcut(0, slDesktop, originalForm);
    if (found == originalForm) state.SkipWithError("unexpected answer");
    benchmark::DoNotOptimize(found);
  }
  state.SetItemsProcessed(state.iterations() * kLinkCount);
  state.SetLabel(originalForm ? "original form (none there)" : "impersonated (one there)");
}
BENCHMARK(BM_HasShortcut)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_Selection(benchmark::State& state) {
  Desktop desktop;
  const struct {
    TShortcutLocation location;
    bool originalForm;
  } boxes[] = {{slDesktop, false}, {slPrograms, false}, {slQuickLaunch, false},
               {slDesktop, true},  {slPrograms, true},  {slQuickLaunch, true}};
  for (auto _ : state) {
    const TShortcutRound round = desktop.apps->ShortcutRound();
    int found = 0;
    for (const auto& box : boxes) {
      found += desktop.apps->HasShortcut(0, box.location, box.originalForm) ? 1 : 0;
    }
    if (found != 1) state.SkipWithError("unexpected answer");
  }
  state.SetItemsProcessed(state.iterations() * kLinkCount);
}
BENCHMARK(BM_Selection)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
