#include "catalogue/kvrPngImages.h"

#include <png.h>

#include <string>
#include <utility>

namespace ombrant {
namespace {

// Frees what libpng allocated for an image, on every path out.
class TPngReadGuard {
 public:
  explicit TPngReadGuard(png_image& image) : image_(image) {}
  ~TPngReadGuard() { png_image_free(&image_); }
  TPngReadGuard(const TPngReadGuard&) = delete;
  TPngReadGuard& operator=(const TPngReadGuard&) = delete;

 private:
  png_image& image_;
};

}  // namespace

bool DecodePng(std::string_view data, int width, int height, std::vector<std::uint32_t>& pixels) {
  if (data.empty() || width <= 0 || height <= 0) return false;
  // libpng's simplified reader turns every error into its result (it catches its own longjmp),
  // so no jump ever crosses our frames.
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  TPngReadGuard guard(png);
  if (png_image_begin_read_from_memory(&png, data.data(), data.size()) == 0) return false;
  // The header gives the size: refuse before allocating anything for the pixels.
  if (png.width != static_cast<png_uint_32>(width) ||
      png.height != static_cast<png_uint_32>(height)) {
    return false;
  }
  png.format = PNG_FORMAT_RGBA;
  std::vector<png_byte> rgba(PNG_IMAGE_SIZE(png));
  if (png_image_finish_read(&png, nullptr, rgba.data(), 0, nullptr) == 0) return false;

  std::vector<std::uint32_t> decoded(static_cast<std::size_t>(width) *
                                     static_cast<std::size_t>(height));
  for (std::size_t i = 0; i < decoded.size(); ++i) {
    const png_byte* p = &rgba[i * 4];
    decoded[i] = static_cast<std::uint32_t>(p[3]) << 24 | static_cast<std::uint32_t>(p[0]) << 16 |
                 static_cast<std::uint32_t>(p[1]) << 8 | static_cast<std::uint32_t>(p[2]);
  }
  pixels = std::move(decoded);
  return true;
}

bool LoadPngResource(port::ISystem& system, std::string_view type, std::string_view name, int width,
                     int height, std::vector<std::uint32_t>& pixels) {
  std::string bytes;
  if (system.LoadModuleResource(type, name, &bytes) != port::kErrorSuccess) return false;
  return DecodePng(bytes, width, height, pixels);
}

}  // namespace ombrant
