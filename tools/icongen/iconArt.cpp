#include "tools/icongen/iconArt.h"

#include <png.h>

#include <algorithm>
#include <cmath>

namespace ombrant {

const std::array<TIconArt, 54> kIconArt = {{
    {"APPLICATION", "?", 0x6E7781},
    {"INTERNETEXPLORER", "IE", 0x1E6FD9},
    {"OUTLOOKEXPRESS", "OE", 0x2B7CD3},
    {"WINDOWSLIVEMESSENGER", "MS", 0x3FA535},
    {"WINDOWSLIVEMAIL", "LM", 0x1A8FC9},
    {"WINDOWSMEDIAPLAYER", "MP", 0xE06C12},
    {"BEONEX", "BX", 0x5B6AB0},
    {"FIREFOX", "FF", 0xE66000},
    {"KMELEON", "KM", 0x3C8D2F},
    {"LOLIFOX", "LF", 0xD14D8B},
    {"NETSCAPE", "NS", 0x00747A},
    {"SEAMONKEY", "SM", 0x2D6E9E},
    {"THUNDERBIRD", "TB", 0x0A84FF},
    {"WYZO", "WY", 0x7A3FB0},
    {"SONGBIRD", "SB", 0x4A4A4A},
    {"QTRAX", "QT", 0xB8202A},
    {"OPERA", "O", 0xCC0F16},
    {"SAFARI", "SF", 0x1B9AF7},
    {"QUICKTIME", "Q", 0x2F5FA8},
    {"EUDORA", "EU", 0x8C5A2B},
    {"EVOLUTION", "EV", 0x3465A4},
    {"MULBERRY", "MU", 0x7B1E4F},
    {"PEGASUSMAIL", "PM", 0x205F8F},
    {"POSTME", "PO", 0xC98A00, false},  // PostMe's own icon has no 16-pixel size
    {"SYLPHEED", "SY", 0x4E9A06},
    {"THEBAT", "BA", 0x5C3566},
    {"1UND1MMGMX", "GX", 0x1C449B},
    {"1UND1MMWEBDE", "WD", 0xD9A400},
    {"AIM6", "A6", 0xF0B400},
    {"DIGSBY", "DG", 0x4C9F38},
    {"GADUGADU", "GG", 0xF29400},
    {"GOOGLETALK", "GT", 0x4285F4},
    {"ICQ2003B", "IQ", 0x5FB81E},
    {"ICQ6", "I6", 0x3E9A1B},
    {"MIRANDA", "MI", 0x2F6EB5},
    {"PIDGIN", "PI", 0x7E57C2},
    {"SKYPE", "S", 0x00AFF0},
    {"TLENPL", "TL", 0x2A9FD6},
    {"TRILLIAN", "TR", 0x2E7D32},
    {"VOIPBUSTER", "VB", 0xE53935},
    {"VOIPSTUNT", "VS", 0x8E24AA},
    {"YAHOOMESSENGER", "Y!", 0x6001D2},
    {"QQ2003", "QQ", 0x12B7F5},
    {"DIVXPLAYER", "DX", 0x1D1D1B},
    {"FOOBAR2000", "FB", 0x3B3B3B},
    {"LIGHTALLOY", "LA", 0x0F7B8A},
    {"QCD", "QC", 0x6D4C41},
    {"REALPLAYER", "RP", 0x0058A3},
    {"VIDEOLANCLIENT", "VL", 0xFF8800},
    {"WINAMP", "WA", 0xC0A000},
    {"ZOOMPLAYER", "ZP", 0x546E7A},
    {"CHROME", "GC", 0x1A73E8},
    {"EDGE", "E", 0x0C8484},
    {"BRAVE", "BR", 0xFB542B},
}};

namespace {

// 5 x 7 glyphs, one byte per row, the low five bits from left (bit 4) to right (bit 0).
struct TGlyph {
  char ch;
  std::array<std::uint8_t, 7> rows;
};

constexpr TGlyph kGlyphs[] = {
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
    {'D', {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
    {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}},
    {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},
    {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}},
    {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
    {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}},
    {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x0A, 0x04, 0x04, 0x04, 0x04}},
    {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'!', {0x04, 0x04, 0x04, 0x04, 0x04, 0x00, 0x04}},
    {'?', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x00, 0x04}},
};

const TGlyph* FindGlyph(char ch) {
  for (const TGlyph& glyph : kGlyphs) {
    if (glyph.ch == ch) return &glyph;
  }
  return nullptr;
}

std::uint32_t Channel(std::uint32_t colour, int shift) { return (colour >> shift) & 0xFF; }

std::uint32_t Shade(std::uint32_t colour, double factor) {
  std::uint32_t result = 0;
  for (int shift : {16, 8, 0}) {
    const double c = static_cast<double>(Channel(colour, shift));
    const double v = factor >= 1.0 ? c + (255.0 - c) * (factor - 1.0) : c * factor;
    result |= static_cast<std::uint32_t>(std::clamp(v, 0.0, 255.0) + 0.5) << shift;
  }
  return result;
}

// How much of the pixel (x, y) lies inside the rounded square, sampled 4 x 4.
double TileCoverage(int x, int y, int size) {
  const double radius = size / 5.0;
  const double lo = 0.5;
  const double hi = size - 0.5;
  int inside = 0;
  for (int sy = 0; sy < 4; ++sy) {
    for (int sx = 0; sx < 4; ++sx) {
      const double px = x + (sx + 0.5) / 4.0;
      const double py = y + (sy + 0.5) / 4.0;
      if (px < lo || px > hi || py < lo || py > hi) continue;
      const double cx = std::clamp(px, lo + radius, hi - radius);
      const double cy = std::clamp(py, lo + radius, hi - radius);
      if ((px - cx) * (px - cx) + (py - cy) * (py - cy) <= radius * radius) ++inside;
    }
  }
  return inside / 16.0;
}

}  // namespace

const TIconArt* FindIconArt(std::string_view resourceName) {
  for (const TIconArt& art : kIconArt) {
    if (art.resourceName == resourceName) return &art;
  }
  return nullptr;
}

std::vector<std::uint32_t> RenderIcon(const TIconArt& art, int size) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size) * size, 0);
  // The tile, a little lighter at the top.
  for (int y = 0; y < size; ++y) {
    const std::uint32_t rgb = Shade(art.colour, 1.18 - 0.3 * y / size);
    for (int x = 0; x < size; ++x) {
      const double coverage = TileCoverage(x, y, size);
      if (coverage <= 0.0) continue;
      const auto alpha = static_cast<std::uint32_t>(coverage * 255.0 + 0.5);
      pixels[static_cast<std::size_t>(y) * size + x] = alpha << 24 | rgb;
    }
  }
  // The initials, white on dark tiles and near black on light ones.
  const double luminance = 0.299 * Channel(art.colour, 16) + 0.587 * Channel(art.colour, 8) +
                           0.114 * Channel(art.colour, 0);
  const std::uint32_t ink = luminance > 170.0 ? 0x202020u : 0xFFFFFFu;
  const int scale = size >= 32 ? 2 : 1;
  const int count = static_cast<int>(art.initials.size());
  const int width = count * 5 * scale + (count - 1) * scale;
  const int left = (size - width) / 2;
  const int top = (size - 7 * scale) / 2;
  for (int i = 0; i < count; ++i) {
    const TGlyph* glyph = FindGlyph(art.initials[static_cast<std::size_t>(i)]);
    if (!glyph) continue;
    const int glyphLeft = left + i * 6 * scale;
    for (int row = 0; row < 7; ++row) {
      for (int column = 0; column < 5; ++column) {
        if ((glyph->rows[static_cast<std::size_t>(row)] >> (4 - column) & 1) == 0) continue;
        for (int dy = 0; dy < scale; ++dy) {
          for (int dx = 0; dx < scale; ++dx) {
            const int x = glyphLeft + column * scale + dx;
            const int y = top + row * scale + dy;
            if (x < 0 || y < 0 || x >= size || y >= size) continue;
            std::uint32_t& pixel = pixels[static_cast<std::size_t>(y) * size + x];
            pixel = (pixel & 0xFF000000u) | ink;
          }
        }
      }
    }
  }
  return pixels;
}

std::string EncodePng(int width, int height, const std::vector<std::uint32_t>& pixels) {
  if (width <= 0 || height <= 0 ||
      pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    return {};
  }
  std::vector<png_byte> rgba(pixels.size() * 4);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    rgba[i * 4] = static_cast<png_byte>(pixels[i] >> 16);
    rgba[i * 4 + 1] = static_cast<png_byte>(pixels[i] >> 8);
    rgba[i * 4 + 2] = static_cast<png_byte>(pixels[i]);
    rgba[i * 4 + 3] = static_cast<png_byte>(pixels[i] >> 24);
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  if (png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr) == 0) {
    png_image_free(&image);
    return {};
  }
  std::string png(size, '\0');
  if (png_image_write_to_memory(&image, png.data(), &size, 0, rgba.data(), 0, nullptr) == 0) {
    png_image_free(&image);
    return {};
  }
  png.resize(size);
  return png;
}

}  // namespace ombrant
