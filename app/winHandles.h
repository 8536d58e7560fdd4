// One owner per window-system handle: fonts, bitmaps, brushes, image lists, menus, modules, and
// the main thread's COM apartment.
#pragma once

#include <utility>

#include "platform/win32/winHeaders.h"

#include <commctrl.h>
#include <objbase.h>

namespace ombrant::win32 {

template <typename Handle, typename Traits>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  [[nodiscard]] Handle get() const { return handle_; }
  [[nodiscard]] explicit operator bool() const { return handle_ != nullptr; }
  Handle release() { return std::exchange(handle_, nullptr); }
  void reset(Handle handle = nullptr) {
    if (handle_ != nullptr) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = nullptr;
};

struct GdiObjectTraits {
  static void Close(HGDIOBJ object) { DeleteObject(object); }
};
struct ImageListTraits {
  static void Close(HIMAGELIST list) { ImageList_Destroy(list); }
};
struct MenuTraits {
  static void Close(HMENU menu) { DestroyMenu(menu); }
};
struct ModuleTraits {
  static void Close(HMODULE module) { FreeLibrary(module); }
};

using UniqueFont = UniqueHandle<HFONT, GdiObjectTraits>;
using UniqueBitmap = UniqueHandle<HBITMAP, GdiObjectTraits>;
using UniqueBrush = UniqueHandle<HBRUSH, GdiObjectTraits>;
using UniqueImageList = UniqueHandle<HIMAGELIST, ImageListTraits>;
using UniqueMenu = UniqueHandle<HMENU, MenuTraits>;
using UniqueModule = UniqueHandle<HMODULE, ModuleTraits>;

// COM for the calling thread, single-threaded apartment, for as long as this lives. A thread that
// has COM already (in either model) keeps it; only a successful initialisation is undone.
class ComApartment {
 public:
  ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

  [[nodiscard]] HRESULT Result() const { return result_; }

 private:
  HRESULT result_;
};

}  // namespace ombrant::win32
