// A simulated machine for the catalogue and definition tests: the administrator "Admin" runs
// the program, Windows keeps its usual registry entries for the program folders, and the path
// solver and the definitions' context are built from the machine on first use.
#pragma once

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "catalogue/kvrInstalledSoftware.h"
#include "platform/sim/simMachine.h"
#include "platform/vqNTStuff.h"
#include "platform/vqPathSolve.h"
#include "tools/icongen/iconArt.h"

namespace ombrant::test {

inline constexpr std::string_view kUninstallRoot =
    R"(HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\)";
inline constexpr std::string_view kAppPathsRoot =
    R"(HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\)";

enum class Flavour { Xp32, Vista32, Win7x64 };

class CatalogueMachine {
 public:
  explicit CatalogueMachine(Flavour flavour = Flavour::Xp32)
      : flavour_(flavour),
        machine_(flavour == Flavour::Win7x64,
                 flavour == Flavour::Xp32      ? port::OsVersionInfo{5, 1, 2600, 2}
                 : flavour == Flavour::Vista32 ? port::OsVersionInfo{6, 0, 6002, 2}
                                               : port::OsVersionInfo{6, 1, 7601, 2}) {
    machine_.Configure("en");
    sim::SimAccount& admin = machine_.AddAccount("Admin");
    admin.privilege = port::kUserPrivAdmin;
    admin.groups = {"Administrators"};
    admin.hasProfile = true;
    machine_.AddAccount("Bob");
    machine_.SetRunningAccount("Admin");
    // What Windows keeps for the program folders, in each view a 64-bit machine has.
    const bool x64 = flavour == Flavour::Win7x64;
    Registry().SetString(R"(HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion)",
                         "ProgramFilesDir", R"(C:\Program Files)");
    if (x64) {
      Registry().SetString(
          R"(HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\Microsoft\Windows\CurrentVersion)",
          "ProgramFilesDir", R"(C:\Program Files (x86))");
    }
    Files().AddFolder(Windows() + R"(\system32)");
  }

  [[nodiscard]] sim::SimMachine& Machine() { return machine_; }
  [[nodiscard]] sim::SimRegistry& Registry() { return machine_.Registry(); }
  [[nodiscard]] sim::SimFileSystem& Files() { return machine_.Files(); }
  [[nodiscard]] sim::SimShell& Shell() { return machine_.Shell(); }
  [[nodiscard]] sim::SimSystem& System() { return machine_.System(); }
  [[nodiscard]] port::Port& Port() { return port_; }

  [[nodiscard]] std::string Windows() const {
    return flavour_ == Flavour::Xp32 ? R"(C:\WINDOWS)" : R"(C:\Windows)";
  }
  [[nodiscard]] std::string Profile(std::string_view account = "Admin") const {
    return (flavour_ == Flavour::Xp32 ? std::string(R"(C:\Documents and Settings\)")
                                      : std::string(R"(C:\Users\)")) +
           std::string(account);
  }
  [[nodiscard]] std::string AppData(std::string_view account = "Admin") const {
    return Profile(account) +
           (flavour_ == Flavour::Xp32 ? R"(\Application Data)" : R"(\AppData\Roaming)");
  }
  [[nodiscard]] std::string LocalAppData(std::string_view account = "Admin") const {
    return Profile(account) + (flavour_ == Flavour::Xp32 ? R"(\Local Settings\Application Data)"
                                                         : R"(\AppData\Local)");
  }
  [[nodiscard]] std::string Favorites(std::string_view account = "Admin") const {
    return Profile(account) + R"(\Favorites)";
  }

  // A program file.
  void AddProgram(std::string_view path) { Files().AddFile(path, "MZ"); }
  // An App Paths registration whose default value is `program`.
  void AddAppPath(std::string_view exeFileName, std::string_view program) {
    Registry().SetString(std::string(kAppPathsRoot) + std::string(exeFileName), "", program);
  }
  // An Uninstall registration with string values (name, value).
  void AddUninstall(std::string_view keyName,
                    const std::vector<std::pair<std::string, std::string>>& values) {
    const std::string key = std::string(kUninstallRoot) + std::string(keyName);
    Registry().AddKey(key);
    for (const auto& [name, value] : values) Registry().SetString(key, name, value);
  }
  // The artwork's icon pair for `resourceName` (drawn as the program's build draws them).
  void AddIconPair(std::string_view resourceName) {
    const TIconArt* art = FindIconArt(resourceName);
    if (!art) throw std::invalid_argument("no artwork named " + std::string(resourceName));
    System().AddResource("SOFTWAREICON16", resourceName, EncodePng(16, 16, RenderIcon(*art, 16)));
    System().AddResource("SOFTWAREICON32", resourceName, EncodePng(32, 32, RenderIcon(*art, 32)));
  }

  // The solver and the context, built on first use from the machine as it is then.
  [[nodiscard]] const TSoftwareContext& Context() {
    if (!context_) {
      solver_ = std::make_unique<TPathSolver>(port_);
      const TNTStuff nt(machine_.System());
      context_.emplace(TSoftwareContext{port_, *solver_, nt.IsWow64(), nullptr});
    }
    return *context_;
  }

 private:
  Flavour flavour_;
  sim::SimMachine machine_;
  port::Port port_ = machine_.Port();
  std::unique_ptr<TPathSolver> solver_;
  std::optional<TSoftwareContext> context_;
};

// The lines of a list, for comparisons that print well.
[[nodiscard]] inline std::vector<std::string> Lines(const TStringList& list) {
  return list.Strings();
}

}  // namespace ombrant::test
