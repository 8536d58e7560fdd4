// The program's own artwork for the application icons: a rounded tile in the application's
// colour with its initials, drawn at 16 and 32 pixels and written as PNG.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ombrant {

struct TIconArt {
  std::string_view resourceName;  // the name the definitions ask for
  std::string_view initials;      // one or two of A-Z, 0-9, "!" and "?"
  std::uint32_t colour;           // 0xRRGGBB
  bool hasSmall = true;           // false: only the 32-pixel image ships
};

// The fallback "APPLICATION" first, then every icon name the definitions use, each once.
extern const std::array<TIconArt, 54> kIconArt;

// The artwork of that resource name, or null.
[[nodiscard]] const TIconArt* FindIconArt(std::string_view resourceName);

// The tile at `size` x `size` pixels: 0xAARRGGBB, straight alpha, top row first.
[[nodiscard]] std::vector<std::uint32_t> RenderIcon(const TIconArt& art, int size);

// A PNG file of the pixels (8-bit RGBA); empty when libpng refuses.
[[nodiscard]] std::string EncodePng(int width, int height,
                                    const std::vector<std::uint32_t>& pixels);

}  // namespace ombrant
