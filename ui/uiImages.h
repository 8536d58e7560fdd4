// Image lists and pictures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/uiControl.h"

namespace ombrant::ui {

// One picture of a list: an id (a resource name, say) and, optionally, its pixels as 32-bit
// ARGB values, top row first, exactly width × height of them.
struct ImageEntry {
  std::string id;
  std::vector<std::uint32_t> pixels;
};

class ImageList : public Component {
 public:
  ImageList(std::string name, int width, int height);

  [[nodiscard]] int Width() const { return width_; }
  [[nodiscard]] int Height() const { return height_; }

  // The new index, or -1 (nothing added) if pixels are given but not width × height of them.
  int Add(ImageEntry entry);
  [[nodiscard]] int Count() const { return static_cast<int>(entries_.size()); }
  // Throws std::out_of_range for a bad index.
  [[nodiscard]] const ImageEntry& Entry(int index) const;
  // The first entry with that id, or -1.
  [[nodiscard]] int IndexOf(const std::string& id) const;
  void Clear();

 private:
  int width_;
  int height_;
  std::vector<ImageEntry> entries_;
};

// A picture shown from the program's resources.
class Picture : public Control {
 public:
  explicit Picture(std::string name = {});
  [[nodiscard]] bool TakesFocus() const override { return false; }

  [[nodiscard]] const std::string& ImageName() const { return imageName_; }
  void SetImageName(std::string imageName);
  [[nodiscard]] bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent);

 private:
  std::string imageName_;
  bool transparent_ = false;
};

}  // namespace ombrant::ui
