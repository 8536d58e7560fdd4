// The fixture machines kept with the end-to-end tests (tests/e2e/machines/NAME), loaded for unit
// tests, and what those tests need around them: a catalogue of chosen definition classes over the
// loaded machine, and a snapshot of files and a hive to show that nothing of them changed.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"
#include "platform/port/kvrPort.h"
#include "platform/sim/simMachine.h"
#include "platform/sim/simRegFile.h"
#include "platform/vqFileSys.h"
#include "platform/vqNTStuff.h"
#include "platform/vqPathSolve.h"

namespace ombrant::test {

// tests/e2e/machines/NAME of the source tree (OMBRANT_SOURCE_DIR, which the test runner sets).
[[nodiscard]] inline std::filesystem::path FixtureMachineFolder(std::string_view name) {
  const char* source = std::getenv("OMBRANT_SOURCE_DIR");
  if (!source || !*source) throw std::runtime_error("OMBRANT_SOURCE_DIR is not set");
  return std::filesystem::path(source) / "tests" / "e2e" / "machines" / std::string(name);
}

// A fixture machine with the path solver and the definitions' context over it, and the catalogue
// of the classes a test registers.
class FixtureMachine {
 public:
  explicit FixtureMachine(std::string_view name) {
    sim::SimFileError error;
    machine_ = sim::SimMachine::Load(FixtureMachineFolder(name), &error);
    if (!machine_) {
      throw std::runtime_error("fixture " + std::string(name) + ": " + error.ToString());
    }
    port_.emplace(machine_->Port());
  }

  [[nodiscard]] sim::SimMachine& Machine() { return *machine_; }
  [[nodiscard]] port::Port& Port() { return *port_; }

  // The solver and the context, built on first use from the machine as it is then.
  [[nodiscard]] const TSoftwareContext& Context() {
    if (!context_) {
      solver_ = std::make_unique<TPathSolver>(*port_);
      const TNTStuff nt(machine_->System());
      context_.emplace(TSoftwareContext{*port_, *solver_, nt.IsWow64(), nullptr});
    }
    return *context_;
  }

  // The catalogue of the classes `registerClasses` registers, detected on the machine now.
  [[nodiscard]] TInstalledSoftwareManager& Catalogue(
      const std::function<void(TSoftwareClassRegistry&)>& registerClasses) {
    classes_ = TSoftwareClassRegistry();
    registerClasses(classes_);
    manager_ = std::make_unique<TInstalledSoftwareManager>(Context(), classes_);
    return *manager_;
  }

 private:
  std::unique_ptr<sim::SimMachine> machine_;
  std::optional<port::Port> port_;
  std::unique_ptr<TPathSolver> solver_;
  std::optional<TSoftwareContext> context_;
  TSoftwareClassRegistry classes_;
  std::unique_ptr<TInstalledSoftwareManager> manager_;
};

// Every file below `folder` (relative path -> bytes), to compare before and after a run.
[[nodiscard]] inline std::map<std::string, std::string> SnapshotFiles(port::IFileSystem& files,
                                                                      std::string_view folder) {
  std::string base(folder);
  if (base.empty() || base.back() != '\\') base += '\\';
  TStringList found;
  FindFiles(files, base + "*.*", found, true, false, false, true, true);
  std::map<std::string, std::string> snapshot;
  for (const std::string& relative : found) {
    std::string bytes;
    if (files.ReadWholeFile(base + relative, &bytes) != port::kErrorSuccess) bytes = "<unreadable>";
    snapshot[relative] = std::move(bytes);
  }
  return snapshot;
}

// An account's hive as regedit would export it (HKEY_CURRENT_USER while it runs).
[[nodiscard]] inline std::string SnapshotHive(sim::SimMachine& machine, std::string_view account) {
  sim::SimAccount* owner = machine.FindAccount(account);
  if (!owner || !owner->hive) throw std::runtime_error("no hive for " + std::string(account));
  return sim::ExportRegText(*owner->hive, "HKEY_CURRENT_USER");
}

}  // namespace ombrant::test
