// Image lists of the window system, made from the models' image lists.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app/winHandles.h"

namespace ombrant::ui {
class ImageList;
}

namespace ombrant::win32 {

// What an image list holds, as one number: equal for lists with equal pictures.
[[nodiscard]] std::size_t ImageListSignature(const ui::ImageList& list);

// One picture per entry, in order, so that the models' indexes hold: an entry's own pixels (32-bit
// with alpha), else the icon or bitmap resource its id names in `instance`, else an empty
// (transparent) picture.
[[nodiscard]] UniqueImageList BuildImageList(const ui::ImageList& list, HINSTANCE instance);

// A top-down 32-bit DIB section of `width` × `height` ARGB pixels (straight alpha).
[[nodiscard]] UniqueBitmap ArgbBitmap(int width, int height, const std::uint32_t* pixels);

}  // namespace ombrant::win32
