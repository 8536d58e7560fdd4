// A small raster for drawing the program's own artwork, and the two file formats it is stored in:
// 32-bit BMP (the logo) and ICO (the icons), both with an alpha channel.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ombrant::resgen {

struct Colour {
  double r = 0;  // 0..1, not multiplied by alpha
  double g = 0;
  double b = 0;
  double a = 1;
};

constexpr Colour Rgb(unsigned hex, double alpha = 1.0) {
  return {((hex >> 16) & 0xFF) / 255.0, ((hex >> 8) & 0xFF) / 255.0, (hex & 0xFF) / 255.0, alpha};
}

// Pixels start transparent. Shapes are tests of a point in pixel coordinates (the pixel (0, 0)
// covers [0, 1) × [0, 1)); each pixel is sampled on a grid so that edges come out smooth.
class Canvas {
 public:
  Canvas(int width, int height)
      : width_(width), height_(height), px_(static_cast<std::size_t>(width * height)) {}

  [[nodiscard]] int Width() const { return width_; }
  [[nodiscard]] int Height() const { return height_; }

  template <typename Shape>
  void Fill(const Shape& inside, Colour colour) {
    constexpr int kGrid = 4;
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        int hits = 0;
        for (int sy = 0; sy < kGrid; ++sy) {
          for (int sx = 0; sx < kGrid; ++sx) {
            if (inside(x + (sx + 0.5) / kGrid, y + (sy + 0.5) / kGrid)) ++hits;
          }
        }
        if (hits == 0) continue;
        const double a = colour.a * hits / (kGrid * kGrid);
        Pixel& p = px_[static_cast<std::size_t>(y * width_ + x)];
        // "Over", on colours multiplied by their alpha.
        p.r = colour.r * a + p.r * (1 - a);
        p.g = colour.g * a + p.g * (1 - a);
        p.b = colour.b * a + p.b * (1 - a);
        p.a = a + p.a * (1 - a);
      }
    }
  }

  // 0xAARRGGBB per pixel, top row first, alpha not multiplied in.
  [[nodiscard]] std::vector<std::uint32_t> Argb() const {
    std::vector<std::uint32_t> out;
    out.reserve(px_.size());
    const auto byte = [](double v) {
      return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
    };
    for (const Pixel& p : px_) {
      const double a = p.a;
      const double k = a > 0 ? 1 / a : 0;
      out.push_back(byte(a) << 24 | byte(p.r * k) << 16 | byte(p.g * k) << 8 | byte(p.b * k));
    }
    return out;
  }

 private:
  struct Pixel {
    double r = 0;
    double g = 0;
    double b = 0;
    double a = 0;
  };
  int width_;
  int height_;
  std::vector<Pixel> px_;
};

// ---- shapes ----------------------------------------------------------------------------------

inline auto Circle(double cx, double cy, double radius) {
  return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius; };
}

inline auto Ellipse(double cx, double cy, double rx, double ry) {
  return [=](double x, double y) {
    const double dx = (x - cx) / rx;
    const double dy = (y - cy) / ry;
    return dx * dx + dy * dy <= 1;
  };
}

inline auto Box(double left, double top, double right, double bottom) {
  return [=](double x, double y) { return x >= left && x < right && y >= top && y < bottom; };
}

// A head and shoulders `size` high, its head centred on `cx`, its top at `top`.
inline auto Person(double cx, double top, double size) {
  auto head = Circle(cx, top + 0.25 * size, 0.22 * size);
  auto body = Ellipse(cx, top + 1.0 * size, 0.42 * size, 0.48 * size);
  const double bottom = top + size;
  return [=](double x, double y) { return y < bottom && (head(x, y) || body(x, y)); };
}

// ---- a 5 × 7 capital font for the few words of the logo ---------------------------------------

inline const char* const* Glyph(char c) {
  static const char* const kK[] = {"X...X", "X..X.", "X.X..", "XX...", "X.X..", "X..X.", "X...X"};
  static const char* const kE[] = {"XXXXX", "X....", "X....", "XXXX.", "X....", "X....", "XXXXX"};
  static const char* const kS[] = {".XXXX", "X....", "X....", ".XXX.", "....X", "....X", "XXXX."};
  static const char* const kT[] = {"XXXXX", "..X..", "..X..", "..X..", "..X..", "..X..", "..X.."};
  static const char* const kR[] = {"XXXX.", "X...X", "X...X", "XXXX.", "X.X..", "X..X.", "X...X"};
  static const char* const kO[] = {".XXX.", "X...X", "X...X", "X...X", "X...X", "X...X", ".XXX."};
  static const char* const kV[] = {"X...X", "X...X", "X...X", "X...X", "X...X", ".X.X.", "..X.."};
  static const char* const kA[] = {".XXX.", "X...X", "X...X", "XXXXX", "X...X", "X...X", "X...X"};
  static const char* const kL[] = {"X....", "X....", "X....", "X....", "X....", "X....", "XXXXX"};
  static const char* const kI[] = {"XXXXX", "..X..", "..X..", "..X..", "..X..", "..X..", "XXXXX"};
  static const char* const kM[] = {"X...X", "XX.XX", "X.X.X", "X.X.X", "X...X", "X...X", "X...X"};
  static const char* const kD[] = {"XXXX.", "X...X", "X...X", "X...X", "X...X", "X...X", "XXXX."};
  switch (c) {
    case 'K': return kK;
    case 'E': return kE;
    case 'S': return kS;
    case 'T': return kT;
    case 'R': return kR;
    case 'O': return kO;
    case 'V': return kV;
    case 'A': return kA;
    case 'L': return kL;
    case 'I': return kI;
    case 'M': return kM;
    case 'D': return kD;
    default: return nullptr;
  }
}

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;

// The width a word takes: `cell` pixels per font pixel, `gap` pixels between letters.
inline double TextWidth(std::string_view text, double cell, double gap) {
  if (text.empty()) return 0;
  return static_cast<double>(text.size()) * kGlyphWidth * cell +
         static_cast<double>(text.size() - 1) * gap;
}

// The word's letters as a shape, its top-left corner at (left, top). Letters the font lacks
// leave a space.
inline auto Text(std::string text, double left, double top, double cell, double gap) {
  return [=](double x, double y) {
    if (y < top || y >= top + kGlyphHeight * cell || x < left) return false;
    const double advance = kGlyphWidth * cell + gap;
    const auto index = static_cast<std::size_t>((x - left) / advance);
    if (index >= text.size()) return false;
    const double gx = (x - left - static_cast<double>(index) * advance) / cell;
    if (gx >= kGlyphWidth) return false;
    const char* const* glyph = Glyph(text[index]);
    if (glyph == nullptr) return false;
    const int row = static_cast<int>((y - top) / cell);
    return glyph[row][static_cast<int>(gx)] == 'X';
  };
}

// ---- file formats ----------------------------------------------------------------------------

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;  // top row first
};

inline Image ImageOf(const Canvas& canvas) { return {canvas.Width(), canvas.Height(), canvas.Argb()}; }

namespace detail {

inline void Put16(std::string& out, unsigned v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}

inline void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// BITMAPINFOHEADER, then the rows bottom-up as B, G, R, A.
inline void PutDib(std::string& out, const Image& image, int headerHeight, std::uint32_t extraSize) {
  const auto rowBytes = static_cast<std::uint32_t>(image.width) * 4;
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(image.width));
  Put32(out, static_cast<std::uint32_t>(headerHeight));
  Put16(out, 1);   // planes
  Put16(out, 32);  // bits per pixel
  Put32(out, 0);   // BI_RGB
  Put32(out, rowBytes * static_cast<std::uint32_t>(image.height) + extraSize);
  Put32(out, 2835);  // 72 DPI, in pixels per metre
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = image.height - 1; y >= 0; --y) {
    for (int x = 0; x < image.width; ++x) {
      Put32(out, image.argb[static_cast<std::size_t>(y * image.width + x)]);
    }
  }
}

}  // namespace detail

// A .bmp file: 32 bits per pixel with the alpha channel in the fourth byte.
inline std::string EncodeBmp(const Image& image) {
  std::string out;
  const auto pixelBytes = static_cast<std::uint32_t>(image.width * image.height * 4);
  out += "BM";
  detail::Put32(out, 14 + 40 + pixelBytes);
  detail::Put32(out, 0);
  detail::Put32(out, 14 + 40);
  detail::PutDib(out, image, image.height, 0);
  return out;
}

// A .ico file holding the images in order, each 32 bits per pixel with its AND mask (set where
// the pixel is fully transparent, for systems that draw icons without alpha).
inline std::string EncodeIco(const std::vector<Image>& images) {
  std::string out;
  detail::Put16(out, 0);
  detail::Put16(out, 1);  // icon
  detail::Put16(out, static_cast<unsigned>(images.size()));
  std::vector<std::string> bodies;
  for (const Image& image : images) {
    const auto maskRow = static_cast<std::uint32_t>((image.width + 31) / 32 * 4);
    const std::uint32_t maskBytes = maskRow * static_cast<std::uint32_t>(image.height);
    std::string body;
    detail::PutDib(body, image, image.height * 2, maskBytes);
    for (int y = image.height - 1; y >= 0; --y) {
      std::string row(maskRow, '\0');
      for (int x = 0; x < image.width; ++x) {
        if ((image.argb[static_cast<std::size_t>(y * image.width + x)] >> 24) == 0) {
          row[static_cast<std::size_t>(x / 8)] =
              static_cast<char>(row[static_cast<std::size_t>(x / 8)] | (0x80 >> (x % 8)));
        }
      }
      body += row;
    }
    bodies.push_back(std::move(body));
  }
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    out += static_cast<char>(images[i].width >= 256 ? 0 : images[i].width);
    out += static_cast<char>(images[i].height >= 256 ? 0 : images[i].height);
    out += '\0';  // colours in a palette: none
    out += '\0';
    detail::Put16(out, 1);
    detail::Put16(out, 32);
    detail::Put32(out, static_cast<std::uint32_t>(bodies[i].size()));
    detail::Put32(out, offset);
    offset += static_cast<std::uint32_t>(bodies[i].size());
  }
  for (const std::string& body : bodies) out += body;
  return out;
}

}  // namespace ombrant::resgen
