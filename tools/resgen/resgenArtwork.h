// The program's artwork, drawn in code: the maker's logo, the account picture and the program's
// icon. The motif is a person with a shadow twin beside them: the restricted account that goes
// online in the administrator's place.
#pragma once

#include <vector>

#include "tools/resgen/resgenImage.h"

namespace ombrant::resgen {

inline constexpr Colour kNavy = Rgb(0x1F4E79);
inline constexpr Colour kBlue = Rgb(0x2E75B6);
inline constexpr Colour kShadow = Rgb(0x5B6B7A, 0.85);
inline constexpr Colour kGrey = Rgb(0x595959);
inline constexpr Colour kWhite = Rgb(0xFFFFFF);

inline constexpr int kLogoWidth = 141;
inline constexpr int kLogoHeight = 66;

// A badge `size` across at (left, top): a disc with a person and its shadow twin.
inline void DrawBadge(Canvas& canvas, double left, double top, double size) {
  const double r = size / 2;
  const double cx = left + r;
  const double cy = top + r;
  canvas.Fill(Circle(cx, cy, r), kNavy);
  canvas.Fill(Circle(cx, cy, r * 0.86), kBlue);
  // The twin stands a little behind and to the right; both are cut off by the disc.
  const auto inDisc = Circle(cx, cy, r * 0.86);
  const auto twin = Person(cx + 0.2 * size, top + 0.2 * size, 0.62 * size);
  const auto person = Person(cx - 0.08 * size, top + 0.26 * size, 0.62 * size);
  canvas.Fill([&](double x, double y) { return inDisc(x, y) && twin(x, y); }, kShadow);
  canvas.Fill([&](double x, double y) { return inDisc(x, y) && person(x, y); }, kWhite);
}

inline Image Logo() {
  Canvas canvas(kLogoWidth, kLogoHeight);
  DrawBadge(canvas, 5, 8, 50);
  const double left = 62;
  const double nameCell = 1.6;
  canvas.Fill(Text("KESTROVA", left, 18, nameCell, 1.6), kNavy);
  const double nameRight = left + TextWidth("KESTROVA", nameCell, 1.6);
  canvas.Fill(Box(left, 33, nameRight, 34), Rgb(0x2E75B6, 0.6));
  const double word = TextWidth("LIMITED", 1.25, 2.0);
  canvas.Fill(Text("LIMITED", nameRight - word, 38, 1.25, 2.0), kGrey);
  return ImageOf(canvas);
}

// The account picture: a person with the shadow twin beside them, on no background.
inline Image AccountPicture(int size) {
  Canvas canvas(size, size);
  const double s = size;
  canvas.Fill(Person(s * 0.64, s * 0.04, s * 0.9), kShadow);
  canvas.Fill(Person(s * 0.40, s * 0.10, s * 0.9), kBlue);
  // A light outline keeps the front person apart from the twin at small sizes.
  const auto front = Person(s * 0.40, s * 0.10, s * 0.9);
  const auto inner = Person(s * 0.40, s * 0.10 + s * 0.06, s * 0.78);
  canvas.Fill([&](double x, double y) { return front(x, y) && !inner(x, y) && y < s * 0.94; },
              Rgb(0x1F4E79, 0.9));
  return ImageOf(canvas);
}

inline Image ProgramIcon(int size) {
  Canvas canvas(size, size);
  DrawBadge(canvas, 0, 0, size);
  return ImageOf(canvas);
}

inline std::vector<Image> AccountIcon() { return {AccountPicture(16), AccountPicture(32)}; }

inline std::vector<Image> ProgramIcons() { return {ProgramIcon(16), ProgramIcon(32), ProgramIcon(48)}; }

}  // namespace ombrant::resgen
