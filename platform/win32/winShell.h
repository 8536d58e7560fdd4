// The shell area of the real Windows port: special folders and the shell-link object.
#pragma once

#include <memory>

#include "platform/port/kvrPortShell.h"

namespace ombrant::win32 {

// Each shell-link object initialises COM for the calling thread while it lives, so that every
// operation on links is one COM initialisation and one release. The shell-link class factory is
// got with the first link and kept, with COM initialised, while the shell lives: CoCreateInstance
// looks the class up in the registry on every call, which under Wine costs more than reading the
// link itself.
class WinShell final : public port::IShell {
 public:
  WinShell();
  ~WinShell() override;
  WinShell(const WinShell&) = delete;
  WinShell& operator=(const WinShell&) = delete;

  // The 64-bit build answers for the program-files folders as the 32-bit program would.
  port::Status GetSpecialFolderPath(int csidl, std::string* path) override;
  std::unique_ptr<port::IShellLink> CreateShellLink() override;
  port::Status ShellExecute(port::HWnd owner, std::string_view operation, std::string_view file,
                            std::string_view parameters, std::string_view directory,
                            int showCommand) override;
  int SHFileOperation(port::HWnd owner, std::uint32_t operation, std::string_view from,
                      std::string_view to, std::uint16_t flags, bool* anyAborted) override;

  // The program's window: the copy's progress window, asked for without an owner, is owned by
  // it, so that the window takes no input while the copy runs. 0: none.
  void SetOwnerWindow(port::HWnd window) { ownerWindow_ = window; }

 private:
  struct LinkClass;
  port::HWnd ownerWindow_ = 0;
  std::unique_ptr<LinkClass> linkClass_;
};

}  // namespace ombrant::win32
