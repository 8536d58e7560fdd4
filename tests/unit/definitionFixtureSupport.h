// What the definition tests on fixture machines share: the migration statuses the migration page
// would show, access lists of paths, and registry keys of an account's hive.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <ostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tests/unit/grantOrder.h"
#include "catalogue/kvrInstalledSoftware.h"
#include "orchestration/UnitMigrationPage.h"
#include "platform/kvrRegistry.h"
#include "platform/sim/simMachine.h"
#include "platform/vqSecurity.h"
#include "platform/vqStrings.h"
#include "resources/OmbrantStrings.h"
#include "tests/unit/fixtureMachine.h"

namespace ombrant::test {

// The restricted account of every fixture machine.
inline constexpr std::string_view kRestrictedAccount = "Bob";

// The status column of the migration page for every definition of the catalogue, in order. Opens
// (and creates) the settings key in the running account's hive, as the page does.
[[nodiscard]] inline std::vector<std::string> MigrationStatuses(
    FixtureMachine& fixture, TInstalledSoftwareManager& catalogue) {
  TMyRegistry settings(fixture.Port().registry);
  settings.SetRootKey(port::kHKeyCurrentUser);
  EXPECT_TRUE(settings.OpenKey(LoadStr(sSettingsKey), true));
  std::vector<std::string> statuses;
  for (int i = 0; i < catalogue.Count(); ++i) {
    statuses.emplace_back(
        kMigrationStatusTexts[MigrationStatusOf(fixture.Port(), settings, catalogue.Items(i),
                                                        kRestrictedAccount)]);
  }
  return statuses;
}

// Loads fixture machine `name`. A machine that does not load fails the test; under Windows,
// where the source tree may not be reachable by its path, it skips it.
inline void LoadFixture(std::unique_ptr<FixtureMachine>& fixture, std::string_view name) {
  try {
    fixture = std::make_unique<FixtureMachine>(name);
  } catch (const std::exception& e) {
#ifdef _WIN32
    GTEST_SKIP() << "the fixture machine " << name << " does not load here: " << e.what();
#else
    FAIL() << e.what();
#endif
  }
}

// The DACL of a file or folder as SDDL.
[[nodiscard]] inline std::string Sddl(FixtureMachine& fixture, std::string_view path) {
  return vqGetFileSecurityString(fixture.Port().security, path, port::kDaclSecurityInformation);
}

// The entry a migration gives the restricted account on a path it must write to.
[[nodiscard]] inline std::string GrantEntry(FixtureMachine& fixture) {
  return "(A;OICI;0x1301bf;;;" + fixture.Machine().FindAccount(kRestrictedAccount)->sid + ")";
}

[[nodiscard]] inline sim::SimHive& HiveOf(FixtureMachine& fixture, std::string_view account) {
  sim::SimAccount* owner = fixture.Machine().FindAccount(account);
  if (!owner || !owner->hive) throw std::runtime_error("no hive for " + std::string(account));
  return *owner->hive;
}

// A REG_SZ value as the registry keeps it.
[[nodiscard]] inline sim::SimValue StringValue(std::string_view name, std::string_view text) {
  const std::string bytes = Utf8ToUtf16LeBytes(text) + std::string(2, '\0');
  return sim::SimValue{std::string(name), port::kRegSz,
                       std::vector<std::uint8_t>(bytes.begin(), bytes.end())};
}

inline void SetValue(sim::SimHive& hive, std::string_view key, const sim::SimValue& value) {
  hive.SetValue(key, value.name, value.type, value.data);
}

// Every value of a key and of its sub-keys, by "sub\key" path relative to it.
[[nodiscard]] inline std::map<std::string, std::vector<sim::SimValue>> KeyTree(
    const sim::SimHive& hive, const std::string& key) {
  std::map<std::string, std::vector<sim::SimValue>> tree;
  if (!hive.HasKey(key)) return tree;
  std::vector<std::string> pending{""};
  while (!pending.empty()) {
    const std::string relative = pending.back();
    pending.pop_back();
    const std::string path = relative.empty() ? key : key + "\\" + relative;
    tree[relative] = hive.Values(path);
    for (const std::string& sub : hive.SubKeyNames(path)) {
      pending.push_back(relative.empty() ? sub : relative + "\\" + sub);
    }
  }
  return tree;
}

// A fixture machine of a family's tests, with where its accounts and programs live.
struct FixtureFlavour {
  const char* name;
  const char* profiles;
  const char* appData;  // below the profile
  const char* programFiles;
  bool all;  // every application of the family installed (the 64-bit machines hold fewer)
};

inline void PrintTo(const FixtureFlavour& flavour, std::ostream* os) { *os << flavour.name; }

// Loads the parameter's machine before each test.
class FlavourFixtureTest : public ::testing::TestWithParam<FixtureFlavour> {
 protected:
  void SetUp() override { LoadFixture(fixture_, GetParam().name); }

  [[nodiscard]] std::string Profile(std::string_view account) const {
    return std::string(GetParam().profiles) + "\\" + std::string(account);
  }
  [[nodiscard]] std::string AppData(std::string_view account, std::string_view rest) const {
    return Profile(account) + "\\" + GetParam().appData + "\\" + std::string(rest);
  }
  [[nodiscard]] std::string ProgramFiles(std::string_view rest) const {
    return std::string(GetParam().programFiles) + "\\" + std::string(rest);
  }

  std::unique_ptr<FixtureMachine> fixture_;
};

}  // namespace ombrant::test
