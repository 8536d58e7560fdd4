// Definition classes for orchestrator tests: the test machine lists the programs in its registry,
// one class per slot, so that the catalogue keeps the order the test gives. A program's data
// folder is "<$APPDATA>\<display name>\" of each account.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "catalogue/kvrInstalledSoftware.h"
#include "platform/kvrRegHives.h"
#include "platform/sim/simRegistry.h"

namespace ombrant::test {

inline constexpr std::string_view kTestProgramsKey = R"(\SOFTWARE\Ombrant Tests\Programs\)";
inline constexpr int kTestProgramSlots = 6;

struct TestProgram {
  std::string displayName;
  std::string executable;
  std::string runParameters;
  TSoftwareCategory category = scOther;
};

class TTestSoftwareBase : public TInstalledSoftware {
 public:
  TTestSoftwareBase(const TSoftwareContext& context, std::string displayName,
                    std::string executable, int slot)
      : TInstalledSoftware(context, std::move(displayName), std::move(executable)) {
    const std::string key = SlotKey(slot);
    (void)ReadRegistryString(context.port.registry, port::kHKeyLocalMachine, key, "Parameters", 32,
                             FRunParameters);
    std::string category;
    if (ReadRegistryString(context.port.registry, port::kHKeyLocalMachine, key, "Category", 32,
                           category) &&
        !category.empty()) {
      FCategory = static_cast<TSoftwareCategory>(category[0] - '0');
    }
  }

  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override {
    return ResolvePathForUser(userName, "<$APPDATA>\\" + DisplayName() + "\\");
  }

  [[nodiscard]] static std::string SlotKey(int slot) {
    return std::string(kTestProgramsKey) + std::to_string(slot) + "\\";
  }

 protected:
  static void FindSlot(const TSoftwareContext& context, int slot, TWideStringList& list) {
    TInstalledSoftware::FindInstallations(context, list);
    std::string executable;
    std::string name;
    if (ReadRegistryString(context.port.registry, port::kHKeyLocalMachine, SlotKey(slot), "", 32,
                           executable) &&
        ReadRegistryString(context.port.registry, port::kHKeyLocalMachine, SlotKey(slot), "Name",
                           32, name)) {
      list.Add(executable + "=" + name);
    }
  }
};

template <int Slot>
class TTestSoftware final : public TTestSoftwareBase {
 public:
  TTestSoftware(const TSoftwareContext& context, std::string displayName, std::string executable)
      : TTestSoftwareBase(context, std::move(displayName), std::move(executable), Slot) {}
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list) {
    FindSlot(context, Slot, list);
  }
};

// The slots' classes, in slot order.
[[nodiscard]] inline TSoftwareClassRegistry TestSoftwareClasses() {
  TSoftwareClassRegistry classes;
  classes.RegisterSoftwareClass(SoftwareClassOf<TTestSoftware<0>>("TTestSoftware0"));
  classes.RegisterSoftwareClass(SoftwareClassOf<TTestSoftware<1>>("TTestSoftware1"));
  classes.RegisterSoftwareClass(SoftwareClassOf<TTestSoftware<2>>("TTestSoftware2"));
  classes.RegisterSoftwareClass(SoftwareClassOf<TTestSoftware<3>>("TTestSoftware3"));
  classes.RegisterSoftwareClass(SoftwareClassOf<TTestSoftware<4>>("TTestSoftware4"));
  classes.RegisterSoftwareClass(SoftwareClassOf<TTestSoftware<5>>("TTestSoftware5"));
  return classes;
}

// Lists the programs in the machine's registry, one per slot in order; the program files are
// not made.
inline void InstallTestPrograms(sim::SimRegistry& registry,
                                const std::vector<TestProgram>& programs) {
  // Where the 32-bit program's view of HKEY_LOCAL_MACHINE\SOFTWARE lies.
  const std::string software = registry.Is64BitWindows()
                                   ? R"(HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node)"
                                   : R"(HKEY_LOCAL_MACHINE\SOFTWARE)";
  int slot = 0;
  for (const TestProgram& program : programs) {
    const std::string key = software + R"(\Ombrant Tests\Programs\)" + std::to_string(slot++);
    registry.SetString(key, "", program.executable);
    registry.SetString(key, "Name", program.displayName);
    registry.SetString(key, "Parameters", program.runParameters);
    registry.SetString(key, "Category", std::to_string(static_cast<int>(program.category)));
  }
}

}  // namespace ombrant::test
