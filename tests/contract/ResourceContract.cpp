// The program's own resources: the application icons, found by type and name in the running
// program, as the catalogue loads them.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/kvrPngImages.h"
#include "tests/contract/ContractEnv.h"
#include "tools/icongen/iconArt.h"

namespace ombrant::test {
namespace {

TEST(ResourceContract, TheProgramsIconsAreFoundByTypeAndNameIgnoringCase) {
  const std::unique_ptr<ContractEnv> env = MakeContractEnv();
  port::ISystem& system = env->Port().system;
  // The fallback and a name that begins with a digit, which a resource script must quote.
  for (const char* name : {"APPLICATION", "1UND1MMGMX"}) {
    for (int size : {16, 32}) {
      const std::string type = "SOFTWAREICON" + std::to_string(size);
      std::string bytes;
      ASSERT_EQ(system.LoadModuleResource(type, name, &bytes), port::kErrorSuccess)
          << type << " " << name;
      std::vector<std::uint32_t> pixels;
      ASSERT_TRUE(DecodePng(bytes, size, size, pixels)) << type << " " << name;
      EXPECT_EQ(pixels, RenderIcon(*FindIconArt(name), size)) << type << " " << name;
    }
  }
  std::string bytes;
  EXPECT_EQ(system.LoadModuleResource("softwareicon16", "Application", &bytes),
            port::kErrorSuccess);
}

TEST(ResourceContract, AMissingResourceLeavesTheBytesAlone) {
  const std::unique_ptr<ContractEnv> env = MakeContractEnv();
  port::ISystem& system = env->Port().system;
  std::string bytes = "junk";
  EXPECT_EQ(system.LoadModuleResource("SOFTWAREICON16", "NOSUCHAPPLICATION", &bytes),
            port::kErrorResourceNameNotFound);
  EXPECT_EQ(system.LoadModuleResource("NOSUCHTYPE", "APPLICATION", &bytes),
            port::kErrorResourceTypeNotFound);
  EXPECT_EQ(bytes, "junk");
}

}  // namespace
}  // namespace ombrant::test
