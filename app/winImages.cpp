#include "app/winImages.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/appText.h"
#include "ui/uiImages.h"

namespace ombrant::win32 {

std::size_t ImageListSignature(const ui::ImageList& list) {
  std::size_t seed = std::hash<int>{}(list.Width()) ^ (std::hash<int>{}(list.Height()) << 1);
  const auto mix = [&seed](std::size_t value) {
    seed ^= value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
  };
  mix(static_cast<std::size_t>(list.Count()));
  for (int i = 0; i < list.Count(); ++i) {
    const ui::ImageEntry& entry = list.Entry(i);
    mix(std::hash<std::string>{}(entry.id));
    mix(entry.pixels.size());
    for (std::uint32_t pixel : entry.pixels) mix(pixel);
  }
  return seed;
}

UniqueBitmap ArgbBitmap(int width, int height, const std::uint32_t* pixels) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first, as the models store it
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (bitmap && bits != nullptr) {
    // 0xAARRGGBB in memory is B, G, R, A: the DIB's own order.
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (pixels != nullptr) {
      std::memcpy(bits, pixels, count * sizeof(std::uint32_t));
    } else {
      std::memset(bits, 0, count * sizeof(std::uint32_t));
    }
  }
  return bitmap;
}

namespace {

// An image list takes a picture whose alpha is zero everywhere for one without alpha, and draws
// it black. One corner pixel at the lowest alpha keeps a fully transparent picture transparent.
std::vector<std::uint32_t> VisibleAlpha(std::vector<std::uint32_t> pixels) {
  const bool anyAlpha =
      std::any_of(pixels.begin(), pixels.end(), [](std::uint32_t p) { return (p >> 24) != 0; });
  if (!anyAlpha && !pixels.empty()) pixels.front() |= 0x01000000u;
  return pixels;
}

}  // namespace

UniqueImageList BuildImageList(const ui::ImageList& list, HINSTANCE instance) {
  const int width = list.Width();
  const int height = list.Height();
  UniqueImageList images(ImageList_Create(width, height, ILC_COLOR32, list.Count(), 4));
  if (!images) return images;
  const std::size_t pixelCount = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  for (int i = 0; i < list.Count(); ++i) {
    const ui::ImageEntry& entry = list.Entry(i);
    bool added = false;
    if (entry.pixels.size() == pixelCount && pixelCount > 0) {
      UniqueBitmap bitmap = ArgbBitmap(width, height, VisibleAlpha(entry.pixels).data());
      added = bitmap && ImageList_Add(images.get(), bitmap.get(), nullptr) >= 0;
    } else if (!entry.id.empty()) {
      const std::wstring name = ToWide(entry.id);
      if (HICON icon = static_cast<HICON>(
              LoadImageW(instance, name.c_str(), IMAGE_ICON, width, height, LR_DEFAULTCOLOR))) {
        added = ImageList_ReplaceIcon(images.get(), -1, icon) >= 0;
        DestroyIcon(icon);
      } else if (HBITMAP loaded = static_cast<HBITMAP>(LoadImageW(
                     instance, name.c_str(), IMAGE_BITMAP, width, height, LR_CREATEDIBSECTION))) {
        UniqueBitmap bitmap(loaded);
        added = ImageList_Add(images.get(), bitmap.get(), nullptr) >= 0;
      }
    }
    if (!added) {
      // Keep the indexes of the pictures after this one.
      UniqueBitmap empty =
          ArgbBitmap(width, height, VisibleAlpha(std::vector<std::uint32_t>(pixelCount, 0)).data());
      if (empty) ImageList_Add(images.get(), empty.get(), nullptr);
    }
  }
  return images;
}

}  // namespace ombrant::win32
