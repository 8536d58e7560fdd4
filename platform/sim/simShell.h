// The simulated shell: special folders per machine flavour, and shell links kept in real .lnk
// files on the simulated drives.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/port/kvrPortShell.h"
#include "platform/port/kvrPortSystem.h"

namespace ombrant::sim {

class SimFileSystem;
class SimSystem;

// What the special folders of a machine follow from.
struct SimFolderLayout {
  std::string profiles = "C:\\Documents and Settings";  // the profile root
  std::string windows = "C:\\WINDOWS";
  std::string language = "en";  // "en" or "de": localised folder names before Vista
  std::uint32_t majorVersion = 5;  // XP layout below 6, Vista layout from 6 on
  bool is64BitWindows = false;     // the program-files folders a 32-bit program sees
};

// The path Windows gives for one special folder of `account`, or nothing for a folder without
// a file-system path (CSIDL_CONTROLS, the alternate start-up folders) or an unknown id.
[[nodiscard]] std::optional<std::string> SpecialFolderPath(const SimFolderLayout& layout,
                                                           std::string_view account, int csidl);

// The shell's own settings; the Windows folder, version and bitness are the machine's.
struct SimShellSettings {
  std::string profiles = "C:\\Documents and Settings";
  std::string language = "en";
  std::string runningAccount = "Admin";
  // Folders searched after the system and Windows folders for a link target given as a bare
  // name (the PATH).
  std::vector<std::string> searchPath;
};

class SimShell final : public port::IShell {
 public:
  // Version and bitness come from `system`, the Windows folder from `files`, where links live
  // too; both must outlive the shell and every link it makes.
  SimShell(SimFileSystem& files, const SimSystem& system, SimShellSettings settings = {});

  SimShellSettings& Settings() { return settings_; }
  const SimShellSettings& Settings() const { return settings_; }

  // For error tests: CreateShellLink fails as when COM or the class is unavailable.
  void SetShellLinkAvailable(bool available) { shellLinkAvailable_ = available; }

  [[nodiscard]] SimFolderLayout Layout() const;

  port::Status GetSpecialFolderPath(int csidl, std::string* path) override;
  std::unique_ptr<port::IShellLink> CreateShellLink() override;

  // What SetPath stores for `path`: a bare name found in the system folder, the Windows folder
  // or the search path (".exe" added when it has no extension) becomes that folder + "\\" +
  // the name; anything else stays as given.
  [[nodiscard]] std::string ResolveLinkTarget(std::string_view path) const;

 private:
  SimFileSystem& files_;
  const SimSystem& system_;
  SimShellSettings settings_;
  bool shellLinkAvailable_ = true;
};

}  // namespace ombrant::sim
