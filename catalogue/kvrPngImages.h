// The application icons: PNG images in the program's resources, decoded for the image lists
// that the wizard's list views share.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/port/kvrPortSystem.h"

namespace ombrant {

// Resource types of the icon pairs.
inline constexpr std::string_view kSoftwareIcon16 = "SOFTWAREICON16";
inline constexpr std::string_view kSoftwareIcon32 = "SOFTWAREICON32";

// Decodes a PNG of exactly `width` x `height` pixels (any colour type and bit depth) into
// 0xAARRGGBB pixels with straight alpha, top row first. False, with `pixels` untouched, for data
// that is not such a PNG: empty, truncated, corrupt, or of another size.
[[nodiscard]] bool DecodePng(std::string_view data, int width, int height,
                             std::vector<std::uint32_t>& pixels);

// Reads a resource of the program's own module and decodes it as above. False when the
// resource is missing or is not such a PNG.
[[nodiscard]] bool LoadPngResource(port::ISystem& system, std::string_view type,
                                   std::string_view name, int width, int height,
                                   std::vector<std::uint32_t>& pixels);

}  // namespace ombrant
