// How long building the catalogue takes on a machine with many installed programs, and how many
// registry calls it makes. Target: at most 10 ms and 3 registry calls per registration for 2,000
// Uninstall registrations.
//
// The catalogue holds every registered class. Definition modules that are not registered yet
// are stood in for by classes that make the same detection calls; a stand-in drops out as soon
// as the real class of its name is registered.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "catalogue/kvrInstalledSoftware.h"
#include "definitions/kvrSoftwareClasses.h"
#include "platform/sim/simCountingRegistry.h"
#include "platform/sim/simMachine.h"
#include "platform/vqNTStuff.h"
#include "platform/vqPathSolve.h"
#include "tools/icongen/iconArt.h"

namespace ombrant {
namespace {

// One detection call of a definition class.
struct TDetection {
  std::string_view className;
  std::string_view iconName;
  int helper;  // 0: App Paths, 1: Uninstall, 2: fixed location
  std::string_view exe;
  std::string_view pattern;  // name pattern, or the mask of a fixed location
  int source;
  int matchOn;
};

constexpr std::array<TDetection, 47> kDetections = {{
    {"TInstalledSoftwareBeonex", "BEONEX", 0, "beonex-comm.exe", "Beonex", 0, 0},
    {"TInstalledSoftwareFirefox", "FIREFOX", 1, "firefox.exe", "Mozilla Firefox*", 0, 0},
    {"TInstalledSoftwareKMeleon", "KMELEON", 1, "k-meleon.exe", "K-Meleon*", 0, 0},
    {"TInstalledSoftwareLolifox", "LOLIFOX", 1, "lolifox.exe", "Lolifox*", 0, 0},
    {"TInstalledSoftwareNetscape", "NETSCAPE", 1, "navigator.exe", "Netscape Navigator*", 0, 0},
    {"TInstalledSoftwareSeaMonkey", "SEAMONKEY", 0, "seamonkey.exe", "SeaMonkey", 0, 0},
    {"TInstalledSoftwareThunderbird", "THUNDERBIRD", 1, "thunderbird.exe", "Mozilla Thunderbird*",
     0, 0},
    {"TInstalledSoftwareWyzo", "WYZO", 1, "wyzo.exe", "Wyzo", 2, 0},
    {"TInstalledSoftwareSongbird", "SONGBIRD", 1, "songbird.exe", "Songbird*", 2, 1},
    {"TInstalledSoftwareQtrax", "QTRAX", 1, "songbird.exe", "Qtrax*", 0, 1},
    {"TInstalledSoftwareOpera", "OPERA", 1, "opera.exe", "Opera*", 0, 1},
    {"TInstalledSoftwareSafari", "SAFARI", 1, "Safari.exe", "Safari", 0, 1},
    {"TInstalledSoftwareQuickTime", "QUICKTIME", 1, "QuickTimePlayer.exe", "QuickTime", 0, 1},
    {"TInstalledSoftwareEudora", "EUDORA", 1, "Eudora.exe", "Eudora", 0, 1},
    {"TInstalledSoftwareEvolution", "EVOLUTION", 1, "Evolution.cmd", "Evolution", 0, 1},
    {"TInstalledSoftwareMulberry", "MULBERRY", 1, "Mulberry.exe", "Mulberry", 2, 0},
    {"TInstalledSoftwarePegasus", "PEGASUSMAIL", 1, "winpm-32.exe", "Pegasus Mail", 2, 0},
    {"TInstalledSoftwarePostMe", "POSTME", 1, "postme.exe", "PostMe", 2, 0},
    {"TInstalledSoftwareSylpheed", "SYLPHEED", 1, "sylpheed.exe", "Sylpheed*", 4, 1},
    {"TInstalledSoftwareTheBat", "THEBAT", 1, "thebat.exe", "TheBat!*", 0, 1},
    {"TInstalledSoftware1und1GMX", "1UND1MMGMX", 1, "MESSENGR.EXE", "GMX MultiMessenger", 4, 0},
    {"TInstalledSoftware1und1WebDe", "1UND1MMWEBDE", 1, "MESSENGR.EXE", "WEB.DE MultiMessenger", 4,
     0},
    {"TInstalledSoftwareAIM6", "AIM6", 1, "aim6.exe", "AIM_6", 2, 0},
    {"TInstalledSoftwareDigsby", "DIGSBY", 2, "", R"(<$PROGRAMFILES>\Digsby\Digsby.exe)", 0, 0},
    {"TInstalledSoftwareGaduGadu", "GADUGADU", 1, "gg.exe", "Gadu-Gadu*", 2, 1},
    {"TInstalledSoftwareGoogleTalk", "GOOGLETALK", 1, "googletalk.exe",
     "{226b64e8-dc75-4eea-a6c8-abcb496320f2}-Google Talk", 2, 0},
    {"TInstalledSoftwareICQ", "ICQ2003B", 1, "Icq.exe", "ICQ", 2, 1},
    {"TInstalledSoftwareICQ6", "ICQ6", 1, "ICQ.exe", "ICQ6", 0, 1},
    {"TInstalledSoftwareMiranda", "MIRANDA", 1, "miranda32.exe", "Miranda IM", 2, 0},
    {"TInstalledSoftwarePidgin", "PIDGIN", 1, "pidgin.exe", "Pidgin", 2, 0},
    {"TInstalledSoftwareSkype", "SKYPE", 1, R"(Phone\Skype.exe)", "Skype*", 0, 1},
    {"TInstalledSoftwareTlenPL", "TLENPL", 1, "tlen.exe", "Tlen.pl", 2, 1},
    {"TInstalledSoftwareTrillian", "TRILLIAN", 1, "trillian.exe", "Trillian", 2, 0},
    {"TInstalledSoftwareVoipBuster", "VOIPBUSTER", 1, "VoipBuster.exe", "VoipBuster", 0, 1},
    {"TInstalledSoftwareVoipStunt", "VOIPSTUNT", 1, "VoipStunt.exe", "VoipStunt", 0, 1},
    {"TInstalledSoftwareYahooMessenger", "YAHOOMESSENGER", 1, "YahooMessenger.exe",
     "Yahoo! Messenger", 2, 0},
    {"TInstalledSoftwareQQ2003", "QQ2003", 1, "QQ.exe", "QQ2003*", 2, 1},
    {"TInstalledSoftwareQQ2005", "QQ2003", 1, "QQ.exe", "QQ2005*", 4, 1},
    {"TInstalledSoftwareQQ2007", "QQ2003", 1, "QQ.exe", "QQ2007*", 2, 0},
    {"TInstalledSoftwareDivXPlayer", "DIVXPLAYER", 1, "DivX Player.exe", "DivX Player", 4, 1},
    {"TInstalledSoftwareFoobar2000", "FOOBAR2000", 1, "foobar2000.exe", "foobar2000*", 0, 1},
    {"TInstalledSoftwareLightAlloy", "LIGHTALLOY", 1, "LA.exe", "Light Alloy*", 3, 1},
    {"TInstalledSoftwareQuintEssentialPlayer", "QCD", 1, "QCDPlayer.exe", "Quintessential Player",
     3, 0},
    {"TInstalledSoftwareRealPlayer", "REALPLAYER", 1, "realplay.exe", "RealPlayer*", 3, 0},
    {"TInstalledSoftwareVideoLanClient", "VIDEOLANCLIENT", 1, "vlc.exe", "VLC media player", 3, 0},
    {"TInstalledSoftwareWinAmp", "WINAMP", 1, "winamp.exe", "Winamp*", 4, 0},
    {"TInstalledSoftwareZoomPlayer", "ZOOMPLAYER", 1, "zplayer.exe", "ZoomPlayer", 2, 0},
}};

template <std::size_t Row>
class TStandIn : public TInstalledSoftware {
 public:
  using TInstalledSoftware::TInstalledSoftware;
  static std::string GetIconResourceName() { return std::string(kDetections[Row].iconName); }
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list) {
    TInstalledSoftware::FindInstallations(context, list);
    const TDetection& d = kDetections[Row];
    const std::string name(d.className.substr(std::string_view("TInstalledSoftware").size()));
    if (d.helper == 0) {
      AddAppPathCandidate(context, d.exe, name, list);
    } else if (d.helper == 1) {
      AddUninstallCandidates(context, d.exe, d.pattern, list,
                             static_cast<TUninstallPathSource>(d.source),
                             static_cast<TUninstallMatchOn>(d.matchOn));
    } else {
      AddFileCandidates(context, d.pattern, name, list);
    }
  }
  std::string GetDataFolder(std::string_view) override { return {}; }
};

template <std::size_t... Rows>
void AddStandIns(TSoftwareClassRegistry& classes, std::index_sequence<Rows...>) {
  const auto registered = [&classes](std::string_view name) {
    for (const TSoftwareClass& c : classes.Classes()) {
      if (c.Name == name) return true;
    }
    return false;
  };
  std::vector<TSoftwareClass> missing;
  ((registered(kDetections[Rows].className)
        ? void()
        : missing.push_back(SoftwareClassOf<TStandIn<Rows>>(kDetections[Rows].className))),
   ...);
  for (const TSoftwareClass& c : missing) classes.RegisterSoftwareClass(c);
}

// A machine with `entries` Uninstall registrations, most of them Windows Installer packages,
// a dozen of them supported applications that are installed.
class TBenchMachine {
 public:
  explicit TBenchMachine(int entries) {
    machine_.Configure("en");
    machine_.AddAccount("Admin");
    machine_.SetRunningAccount("Admin");
    sim::SimRegistry& registry = machine_.Registry();
    registry.SetString(R"(HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion)", "ProgramFilesDir",
                       R"(C:\Program Files)");
    const std::string uninstall = R"(HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\)";
    const struct {
      const char* key;
      const char* displayName;
      const char* folder;
      const char* exe;
    } installed[] = {
        {"Mozilla Firefox (3.0.5)", "Mozilla Firefox (3.0.5)", "Mozilla Firefox", "firefox.exe"},
        {"Pidgin", "Pidgin 2.5.8", "Pidgin", "pidgin.exe"},
        {"Winamp", "Winamp (remove only)", "Winamp", "winamp.exe"},
        {"Opera 9.64", "Opera 9.64", "Opera", "opera.exe"},
        {"Skype_is1", "Skype 3.8", "Skype", R"(Phone\Skype.exe)"},
        {"VLC media player", "VLC media player 0.9.8a", "VideoLAN\\VLC", "vlc.exe"},
        {"Trillian", "Trillian", "Trillian", "trillian.exe"},
        {"Miranda IM", "Miranda IM 0.7.14", "Miranda IM", "miranda32.exe"},
        {"{226b64e8-dc75-4eea-a6c8-abcb496320f2}-Google Talk", "Google Talk", "Google\\Google Talk",
         "googletalk.exe"},
        {"Mozilla Thunderbird (2.0.0.19)", "Mozilla Thunderbird (2.0.0.19)", "Mozilla Thunderbird",
         "thunderbird.exe"},
    };
    for (const auto& app : installed) {
      const std::string folder = std::string(R"(C:\Program Files\)") + app.folder + "\\";
      const std::string key = uninstall + app.key;
      registry.SetString(key, "DisplayName", app.displayName);
      registry.SetString(key, "InstallLocation", folder);
      registry.SetString(key, "UninstallString", "\"" + folder + "uninstall.exe\" /S");
      registry.SetString(key, "DisplayIcon", folder + app.exe + ",0");
      machine_.Files().AddFile(folder + app.exe, "MZ");
    }
    for (const char* program : {R"(C:\Program Files\Internet Explorer\iexplore.exe)",
                                R"(C:\Program Files\Outlook Express\msimn.exe)",
                                R"(C:\Program Files\Windows Media Player\wmplayer.exe)"}) {
      machine_.Files().AddFile(program, "MZ");
    }
    for (int i = static_cast<int>(std::size(installed)); i < entries; ++i) {
      char guid[64];
      std::snprintf(guid, sizeof guid, "{%08X-1C2D-4E5F-8091-%012X}", 0x10000000 + i * 7919,
                    i * 104729);
      const std::string key = uninstall + guid;
      registry.SetString(key, "DisplayName", "Package " + std::to_string(i));
      registry.SetString(key, "UninstallString", std::string("MsiExec.exe /X") + guid);
      registry.SetString(key, "InstallLocation",
                         R"(C:\Program Files\Vendor )" + std::to_string(i % 97) + "\\");
      registry.SetString(key, "DisplayIcon",
                         R"(C:\WINDOWS\Installer\)" + std::string(guid) + R"(\app.ico,0)");
      registry.SetDword(key, "EstimatedSize", static_cast<std::uint32_t>(i));
    }
    for (const TIconArt& art : kIconArt) {
      for (int size : {16, 32}) {
        machine_.System().AddResource("SOFTWAREICON" + std::to_string(size), art.resourceName,
                                      EncodePng(size, size, RenderIcon(art, size)));
      }
    }
    RegisterSoftwareClasses(classes_);
    AddStandIns(classes_, std::make_index_sequence<kDetections.size()>());
    solver_ = std::make_unique<TPathSolver>(port_);
  }

  [[nodiscard]] TSoftwareContext Context() {
    const TNTStuff nt(machine_.System());
    return TSoftwareContext{counted_, *solver_, nt.IsWow64(), nullptr};
  }
  [[nodiscard]] const TSoftwareClassRegistry& Classes() const { return classes_; }
  [[nodiscard]] sim::SimCountingRegistry& Counter() { return counting_; }

 private:
  sim::SimMachine machine_;
  port::Port port_ = machine_.Port();
  sim::SimCountingRegistry counting_{machine_.Registry()};
  port::Port counted_{counting_, port_.system,   port_.files,   port_.shell,
                      port_.ui,  port_.accounts, port_.security, port_.processes};
  std::unique_ptr<TPathSolver> solver_;
  TSoftwareClassRegistry classes_;
};

void BM_CatalogueBuild(benchmark::State& state) {
  TBenchMachine machine(static_cast<int>(state.range(0)));
  const TSoftwareContext context = machine.Context();
  int detected = 0;
  for (auto _ : state) {
    machine.Counter().Reset();
    const TInstalledSoftwareManager catalogue(context, machine.Classes());
    detected = catalogue.Count();
    benchmark::DoNotOptimize(detected);
  }
  state.counters["registry_calls"] = static_cast<double>(machine.Counter().Calls());
  state.counters["calls_per_entry"] =
      static_cast<double>(machine.Counter().Calls()) / static_cast<double>(state.range(0));
  state.counters["classes"] = machine.Classes().Count();
  state.counters["detected"] = detected;
}
BENCHMARK(BM_CatalogueBuild)->Arg(2000)->Arg(200)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ombrant

BENCHMARK_MAIN();
