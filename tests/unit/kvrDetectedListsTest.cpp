// What the catalogue detects on every fixture machine, with all definition classes registered:
// class, executable, display name and icon index of each entry, in catalogue order, compared
// with the lists kept in tests/unit/detected/MACHINE.txt. A faster detection must find exactly
// the same applications in the same order.
//
// With OMBRANT_DETECTED_OUT set to a folder, the lists found are also written there (one file
// per machine, in the same format), to look at or to take over after a deliberate change.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "definitions/kvrSoftwareClasses.h"
#include "platform/kvrRegistry.h"
#include "tests/unit/fixtureMachine.h"

namespace ombrant::test {
namespace {

std::string DetectedList(std::string_view machine) {
  FixtureMachine fixture(machine);
  const TInstalledSoftwareManager& catalogue = fixture.Catalogue(RegisterSoftwareClasses);
  std::string text;
  for (int i = 0; i < catalogue.Count(); ++i) {
    const TInstalledSoftware& item = catalogue.Items(i);
    text += std::string(catalogue.ClassNameOf(i)) + "\t" + item.Executable() + "\t" +
            item.DisplayName() + "\t" + std::to_string(item.ImageIndex()) + "\n";
  }
  return text;
}

std::string ExpectedList(std::string_view machine) {
  const char* source = std::getenv("OMBRANT_SOURCE_DIR");
  if (!source || !*source) return "(OMBRANT_SOURCE_DIR is not set)";
  std::ifstream file(std::filesystem::path(source) / "tests" / "unit" / "detected" /
                         (std::string(machine) + ".txt"),
                     std::ios::binary);
  if (!file) return "(no expected list for " + std::string(machine) + ")";
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// The registrations as read one value at a time with the registry object, each sub-key opened
// by its full path: what the catalogue's reading in one go must give.
std::string RegistrationsReadValueByValue(port::IRegistry& registry) {
  const auto text = [](TMyRegistry& key, std::string_view name) -> std::string {
    try {
      return "[" + key.ReadString(name) + "]";
    } catch (const ERegistryException&) {
      return "(not a string)";
    }
  };
  std::string lines;
  TMyRegistry key(registry);
  key.SetRootKey(port::kHKeyLocalMachine);
  const std::string base = R"(\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\)";
  if (!key.OpenKeyReadOnly(base)) return "(no Uninstall key)";
  TStringList names;
  key.GetKeyNames(names);
  for (const std::string& name : names) {
    if (!key.OpenKeyReadOnly(base + name)) continue;
    std::string displayName = text(key, "DisplayName");
    if (displayName == "(not a string)") displayName = "[" + name + "]";
    lines += name + " " + displayName + " " + text(key, "InstallLocation") + " " +
             text(key, "UninstallString") + " " + text(key, "DisplayIcon") + "\n";
  }
  return lines;
}

std::string RegistrationsReadAtOnce(port::IRegistry& registry) {
  TUninstallRegistrations registrations;
  if (!registrations.Read(registry)) return "(no Uninstall key)";
  const auto text = [](const std::optional<std::string>& value) {
    return value ? "[" + *value + "]" : std::string("(not a string)");
  };
  std::string lines;
  for (std::size_t i = 0; i < registrations.Entries().size(); ++i) {
    const TUninstallRegistrations::Entry& entry = registrations.Details(i);
    lines += entry.keyName + " [" + entry.displayName + "] " + text(entry.installLocation) + " " +
             text(entry.uninstallString) + " " + text(entry.displayIcon) + "\n";
  }
  return lines;
}

class DetectedLists : public ::testing::TestWithParam<const char*> {};

TEST_P(DetectedLists, RegistrationsReadAtOnceAreThoseReadValueByValue) {
  FixtureMachine fixture(GetParam());
  const std::string expected = RegistrationsReadValueByValue(fixture.Port().registry);
  EXPECT_NE(expected, "");
  EXPECT_EQ(RegistrationsReadAtOnce(fixture.Port().registry), expected);
}

TEST_P(DetectedLists, AreTheKeptOnesInTheirOrder) {
  const std::string actual = DetectedList(GetParam());
  if (const char* out = std::getenv("OMBRANT_DETECTED_OUT"); out && *out) {
    std::ofstream(std::filesystem::path(out) / (std::string(GetParam()) + ".txt"),
                  std::ios::binary)
        << actual;
  }
  EXPECT_EQ(actual, ExpectedList(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(FixtureMachines, DetectedLists,
                         ::testing::Values("browsers-7x64", "browsers-xp", "chat-7x64", "chat-xp",
                                           "chat-yahoo-xp", "mail-7x64", "mail-xp", "media-7x64",
                                           "media-xp", "microsoft-xp"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           std::string name = info.param;
                           for (char& c : name) {
                             if (c == '-') c = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace ombrant::test
