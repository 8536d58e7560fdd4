#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "catalogue/kvrPngImages.h"
#include "platform/sim/simSystem.h"
#include "tools/icongen/iconArt.h"

namespace ombrant {
namespace {

// A 16 x 16 image with every kind of pixel: opaque, half transparent, fully transparent.
std::vector<std::uint32_t> TestPixels() {
  std::vector<std::uint32_t> pixels(16 * 16);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    const auto alpha = static_cast<std::uint32_t>(i % 3 == 0 ? 0xFF : i % 3 == 1 ? 0x80 : 0x00);
    pixels[i] = alpha << 24 | static_cast<std::uint32_t>(i * 0x010203u & 0xFFFFFFu);
  }
  return pixels;
}

TEST(DecodePng, ReadsBackWhatWasWrittenPixelForPixel) {
  const std::vector<std::uint32_t> pixels = TestPixels();
  const std::string png = EncodePng(16, 16, pixels);
  ASSERT_FALSE(png.empty());
  std::vector<std::uint32_t> decoded;
  ASSERT_TRUE(DecodePng(png, 16, 16, decoded));
  // Fully transparent pixels keep no colour in a PNG; compare the rest exactly.
  ASSERT_EQ(decoded.size(), pixels.size());
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    if ((pixels[i] >> 24) == 0) {
      EXPECT_EQ(decoded[i] >> 24, 0u) << "pixel " << i;
    } else {
      EXPECT_EQ(decoded[i], pixels[i]) << "pixel " << i;
    }
  }
}

TEST(DecodePng, RefusesDataThatIsNotAPngOfTheSize) {
  const std::string good = EncodePng(16, 16, TestPixels());
  std::string badCrc = good;
  badCrc[29] = static_cast<char>(badCrc[29] ^ 0x55);  // inside the header chunk
  std::string badData = good;
  badData[good.size() - 20] = static_cast<char>(badData[good.size() - 20] ^ 0xFF);
  const struct {
    const char* what;
    std::string data;
    int size;
  } cases[] = {
      {"empty", "", 16},
      {"not a PNG", "GIF89a and more bytes than a header", 16},
      {"only the signature", good.substr(0, 8), 16},
      {"cut inside the header", good.substr(0, 20), 16},
      {"cut inside the image data", good.substr(0, good.size() / 2), 16},
      {"damaged header", badCrc, 16},
      {"damaged image data", badData, 16},
      {"another size", good, 32},
  };
  for (const auto& c : cases) {
    std::vector<std::uint32_t> pixels = {0xDEADBEEF};
    EXPECT_FALSE(DecodePng(c.data, c.size, c.size, pixels)) << c.what;
    EXPECT_EQ(pixels, std::vector<std::uint32_t>{0xDEADBEEF}) << c.what << ": output touched";
  }
}

TEST(LoadPngResource, ReadsTheProgramsResourceByTypeAndName) {
  const TIconArt& firefox = *FindIconArt("FIREFOX");
  sim::SimSystem system;
  system.AddResource("SOFTWAREICON32", "FIREFOX", EncodePng(32, 32, RenderIcon(firefox, 32)));
  std::vector<std::uint32_t> pixels;
  // Resource names and types ignore case, as FindResource does.
  EXPECT_TRUE(LoadPngResource(system, "softwareicon32", "Firefox", 32, 32, pixels));
  EXPECT_EQ(pixels, RenderIcon(firefox, 32));
  EXPECT_FALSE(LoadPngResource(system, "SOFTWAREICON16", "FIREFOX", 16, 16, pixels));
  EXPECT_FALSE(LoadPngResource(system, "SOFTWAREICON32", "OPERA", 32, 32, pixels));
}

#ifdef OMBRANT_SOFTWARE_ICONS_DIR
// The icons the build draws: one pair per artwork name, each decoding at its size, and the
// resource script naming every file.
TEST(SoftwareIcons, TheBuildDrawsADecodablePairForEveryName) {
  const std::filesystem::path folder = OMBRANT_SOFTWARE_ICONS_DIR;
  if (!std::filesystem::exists(folder / "softwareicons.rc")) {
    GTEST_SKIP() << "the generated icons are not readable from here: " << folder;
  }
  std::ifstream scriptFile(folder / "softwareicons.rc");
  std::stringstream script;
  script << scriptFile.rdbuf();
  for (const TIconArt& art : kIconArt) {
    for (int size : {16, 32}) {
      if (size == 16 && !art.hasSmall) {
        EXPECT_FALSE(std::filesystem::exists(folder / ("icon16_" + std::string(art.resourceName) +
                                                       ".png")))
            << art.resourceName << " ships only its 32-pixel image";
        continue;
      }
      const std::string name =
          "icon" + std::to_string(size) + "_" + std::string(art.resourceName) + ".png";
      std::ifstream in(folder / name, std::ios::binary);
      ASSERT_TRUE(in) << name;
      std::stringstream bytes;
      bytes << in.rdbuf();
      std::vector<std::uint32_t> pixels;
      EXPECT_TRUE(DecodePng(bytes.str(), size, size, pixels)) << name;
      EXPECT_NE(script.str().find("\"" + std::string(art.resourceName) + "\" SOFTWAREICON" +
                                  std::to_string(size) + " " + name + "\n"),
                std::string::npos)
          << name << " is not in the resource script";
    }
  }
}
#endif

}  // namespace
}  // namespace ombrant
