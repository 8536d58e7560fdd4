// A simulated machine for the orchestrator's tests: the accounts test machine with runas.exe in
// place, the orchestrator's view of its port, and helpers to read what the operations left.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "orchestration/UnitNetworkingApps.h"
#include "platform/sim/simRegistry.h"
#include "platform/sim/simUi.h"
#include "platform/vqStrings.h"
#include "tests/unit/accountsTestMachine.h"

namespace ombrant::test {

inline constexpr const char* kSettingsKeyPath =
    "HKEY_CURRENT_USER\\Software\\Kestrova Limited\\Ombrant";

class OrchestrationMachine {
 public:
  explicit OrchestrationMachine(const MachineFlavour& flavour) : machine_(flavour) {
    machine_.Files().AddFile(std::string(flavour.windows) + "\\system32\\runas.exe", "MZ");
  }

  AccountsTestMachine& Machine() { return machine_; }
  port::Port& Port() { return machine_.Port(); }
  sim::SimUi& Ui() { return static_cast<sim::SimUi&>(machine_.Port().ui); }
  sim::SimRegistry& Registry() { return machine_.Registry(); }
  sim::SimFileSystem& Files() { return machine_.Files(); }
  const MachineFlavour& Flavour() const { return machine_.Flavour(); }

  // A special folder of the running administrator.
  std::string Folder(int csidl) {
    std::string path;
    EXPECT_EQ(Port().shell.GetSpecialFolderPath(csidl, &path), port::kErrorSuccess) << csidl;
    return path;
  }

  // The strings of a REG_MULTI_SZ value, or a note saying what is there instead.
  std::vector<std::string> MultiString(const std::string& key, const std::string& name) {
    const auto value = Registry().GetValue(key, name);
    if (!value) return {"<missing>"};
    if (value->type != port::kRegMultiSz) return {"<type " + std::to_string(value->type) + ">"};
    const std::string text =
        Utf16LeBytesToUtf8(std::string(value->data.begin(), value->data.end()));
    std::vector<std::string> strings;
    std::string current;
    for (char c : text) {
      if (c != '\0') {
        current += c;
      } else if (!current.empty()) {
        strings.push_back(current);
        current.clear();
      }
    }
    return strings;
  }

  std::vector<std::string> BoxTexts() {
    std::vector<std::string> texts;
    for (const sim::MessageBoxRecord& box : Ui().Boxes()) {
      texts.push_back(box.text);
    }
    return texts;
  }

 private:
  AccountsTestMachine machine_;
};

}  // namespace ombrant::test
