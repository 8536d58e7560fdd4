// The resource generator: string literals for resource scripts, and the BMP and ICO files of the
// artwork. (That windres and the system read them back as meant is checked under Wine.)
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/resgen/resgenImage.h"
#include "tools/resgen/resgenRcText.h"

namespace ombrant::resgen {
namespace {

TEST(RcWideLiteral, KeepsPrintableAsciiAndEscapesEverythingElse) {
  struct Case {
    const char* utf8;
    const char* literal;
  };
  const Case cases[] = {
      {"Exit", R"(L"Exit")"},
      {"", R"(L"")"},
      {R"(/user:%s /savecred "\"%s\" %s")", R"(L"/user:%s /savecred ""\\""%s\\"" %s""")"},
      {R"(\Software\Kestrova Limited\Ombrant\)", R"(L"\\Software\\Kestrova Limited\\Ombrant\\")"},
      // Four hex digits always, so that a digit after the escape stays a digit.
      {"caf\xC3\xA9" "1", R"(L"caf\x00e91")"},
      {"a\r\nb\t", R"(L"a\x000d\x000ab\x0009")"},
      // Beyond the basic plane: two code units.
      {"\xF0\x9F\x98\x80", R"(L"\xd83d\xde00")"},
  };
  for (const Case& c : cases) EXPECT_EQ(RcWideLiteral(c.utf8), c.literal) << c.utf8;
}

std::uint32_t Read32(const std::string& bytes, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes.at(at + static_cast<std::size_t>(i)));
  return v;
}

unsigned Read16(const std::string& bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes.at(at)) | static_cast<unsigned char>(bytes.at(at + 1)) << 8;
}

TEST(EncodeBmp, WritesBottomUpRowsWithTheAlphaInTheFourthByte) {
  // Top row: red, green. Bottom row: half-transparent blue, transparent.
  const Image image{2, 2, {0xFFFF0000u, 0xFF00FF00u, 0x800000FFu, 0x00000000u}};
  const std::string bmp = EncodeBmp(image);
  ASSERT_EQ(bmp.size(), 14u + 40u + 16u);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(Read32(bmp, 2), bmp.size());
  EXPECT_EQ(Read32(bmp, 10), 54u) << "pixels start after both headers";
  EXPECT_EQ(Read32(bmp, 18), 2u);
  EXPECT_EQ(Read32(bmp, 22), 2u) << "positive height: bottom row first";
  EXPECT_EQ(Read16(bmp, 28), 32u);
  // Bottom row first, each pixel B, G, R, A.
  EXPECT_EQ(bmp.substr(54, 4), std::string("\xFF\x00\x00\x80", 4));
  EXPECT_EQ(bmp.substr(62, 4), std::string("\x00\x00\xFF\xFF", 4)) << "then the top row: red";
}

TEST(EncodeIco, HoldsEachSizeWithItsMaskAndConsistentOffsets) {
  Canvas small(16, 16);
  small.Fill(Box(0, 0, 8, 16), Rgb(0x2E75B6));
  Canvas large(32, 32);
  large.Fill(Circle(16, 16, 10), Rgb(0x1F4E79));
  const std::string ico = EncodeIco({ImageOf(small), ImageOf(large)});

  EXPECT_EQ(Read16(ico, 0), 0u);
  EXPECT_EQ(Read16(ico, 2), 1u) << "an icon";
  ASSERT_EQ(Read16(ico, 4), 2u);
  std::size_t end = 6 + 2 * 16;
  const int sizes[] = {16, 32};
  for (int i = 0; i < 2; ++i) {
    const std::size_t entry = 6 + 16 * static_cast<std::size_t>(i);
    const int size = sizes[i];
    EXPECT_EQ(static_cast<unsigned char>(ico[entry]), size);
    EXPECT_EQ(Read16(ico, entry + 6), 32u) << "bits per pixel";
    const std::uint32_t bytes = Read32(ico, entry + 8);
    const std::uint32_t offset = Read32(ico, entry + 12);
    EXPECT_EQ(offset, end) << "images follow each other";
    const std::size_t maskRow = static_cast<std::size_t>((size + 31) / 32 * 4);
    EXPECT_EQ(bytes, 40 + static_cast<std::size_t>(size * size * 4) + maskRow * static_cast<std::size_t>(size));
    EXPECT_EQ(Read32(ico, offset + 8), static_cast<std::uint32_t>(2 * size)) << "colour and mask halves";
    end = offset + bytes;
  }
  EXPECT_EQ(end, ico.size());

  // The small icon's mask: the left half is painted (bits clear), the right half is not (set).
  const std::size_t mask = Read32(ico, 6 + 12) + 40 + 16 * 16 * 4;
  EXPECT_EQ(static_cast<unsigned char>(ico[mask]), 0x00);
  EXPECT_EQ(static_cast<unsigned char>(ico[mask + 1]), 0xFF);
}

TEST(Canvas, EdgesAreBlendedAndColoursKeptApartFromTheirAlpha) {
  Canvas canvas(4, 1);
  // Covers pixel 0 fully, half of pixel 1, nothing of pixels 2 and 3.
  canvas.Fill(Box(0, 0, 1.5, 1), Rgb(0xFF0000));
  canvas.Fill(Box(3, 0, 4, 1), Rgb(0x0000FF, 0.5));
  const std::vector<std::uint32_t> px = canvas.Argb();
  EXPECT_EQ(px[0], 0xFFFF0000u);
  EXPECT_EQ(px[1], 0x80FF0000u) << "half covered: half alpha, the colour itself unchanged";
  EXPECT_EQ(px[2], 0x00000000u);
  EXPECT_EQ(px[3], 0x800000FFu);
}

}  // namespace
}  // namespace ombrant::resgen
