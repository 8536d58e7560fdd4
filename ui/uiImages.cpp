#include "ui/uiImages.h"

#include <algorithm>

namespace ombrant::ui {

ImageList::ImageList(std::string name, int width, int height)
    : Component(std::move(name)), width_(std::max(width, 0)), height_(std::max(height, 0)) {}

int ImageList::Add(ImageEntry entry) {
  if (!entry.pixels.empty() &&
      entry.pixels.size() != static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_)) {
    return -1;
  }
  entries_.push_back(std::move(entry));
  Notify(Aspect::Items);
  return Count() - 1;
}

const ImageEntry& ImageList::Entry(int index) const {
  return entries_.at(static_cast<std::size_t>(index));
}

int ImageList::IndexOf(const std::string& id) const {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].id == id) return static_cast<int>(i);
  }
  return -1;
}

void ImageList::Clear() {
  if (entries_.empty()) return;
  entries_.clear();
  Notify(Aspect::Items);
}

Picture::Picture(std::string name) : Control(std::move(name)) {}

void Picture::SetImageName(std::string imageName) {
  if (imageName == imageName_) return;
  imageName_ = std::move(imageName);
  Notify(Aspect::Images);
}

void Picture::SetTransparent(bool transparent) {
  if (transparent == transparent_) return;
  transparent_ = transparent;
  Notify(Aspect::Options);
}

}  // namespace ombrant::ui
