// The user-interaction area of the Windows port: message boxes.
#pragma once

#include <cstdint>
#include <string_view>

namespace ombrant::port {

using HWnd = std::uintptr_t;

// MessageBox types and answers (MB_*, ID*).
inline constexpr std::uint32_t kMbOk = 0x00;
inline constexpr std::uint32_t kMbOkCancel = 0x01;
inline constexpr std::uint32_t kMbYesNoCancel = 0x03;
inline constexpr std::uint32_t kMbYesNo = 0x04;
inline constexpr std::uint32_t kMbIconError = 0x10;
inline constexpr std::uint32_t kMbIconQuestion = 0x20;
inline constexpr std::uint32_t kMbIconWarning = 0x30;
inline constexpr std::uint32_t kMbIconInformation = 0x40;
// No owner window, yet modal to every window of the thread (MB_TASKMODAL).
inline constexpr std::uint32_t kMbTaskModal = 0x2000;
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

class IUi {
 public:
  virtual ~IUi() = default;

  // MessageBoxW: returns the answer (kIdOk, kIdYes, ...).
  virtual int MessageBox(HWnd owner, std::string_view text, std::string_view caption,
                         std::uint32_t type) = 0;
};

}  // namespace ombrant::port
