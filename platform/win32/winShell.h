// The shell area of the real Windows port: special folders and the shell-link object.
#pragma once

#include "platform/port/kvrPortShell.h"

namespace ombrant::win32 {

// Each shell-link object initialises COM for the calling thread while it lives, so that every
// operation on links is one COM initialisation and one release.
class WinShell final : public port::IShell {
 public:
  WinShell() = default;
  WinShell(const WinShell&) = delete;
  WinShell& operator=(const WinShell&) = delete;

  // The 64-bit build answers for the program-files folders as the 32-bit program would.
  port::Status GetSpecialFolderPath(int csidl, std::string* path) override;
  std::unique_ptr<port::IShellLink> CreateShellLink() override;
  port::Status ShellExecute(port::HWnd owner, std::string_view operation, std::string_view file,
                            std::string_view parameters, std::string_view directory,
                            int showCommand) override;
};

}  // namespace ombrant::win32
