// The simulated shell: special folders per machine flavour, and shell links kept in real .lnk
// files on the simulated drives.
#pragma once

#include <cstdint>
#include <functional>
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

// One ShellExecute call as the shell received it.
struct ShellExecuteRecord {
  port::HWnd owner = 0;
  std::string operation;
  std::string file;
  std::string parameters;
  std::string directory;
  int showCommand = 0;
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
  // FO_COPY only. Each source (a file, or a folder with everything in it) goes to its own
  // destination with FOF_MULTIDESTFILES, else into the one destination folder; existing files
  // are overwritten, missing folders created. An item that fails is left out and the copy goes
  // on with the next, as when the user skips it in the shell's error box; the result is then the
  // first failure's code and `anyAborted` is set. No window is shown.
  int SHFileOperation(port::HWnd owner, std::uint32_t operation, std::string_view from,
                      std::string_view to, std::uint16_t flags, bool* anyAborted) override;
  // The items a shell copy left out, with their codes (for tests).
  struct FailedCopy {
    std::string from;
    port::Status status;
  };
  [[nodiscard]] const std::vector<FailedCopy>& FailedCopies() const { return failedCopies_; }

  // What SetPath stores for `path`: a bare name found in the system folder, the Windows folder
  // or the search path (".exe" added when it has no extension) becomes that folder + "\\" +
  // the name; anything else stays as given.
  [[nodiscard]] std::string ResolveLinkTarget(std::string_view path) const;

  // Every call is recorded. The hook, when set, plays the started program (it may create its
  // folders, for example) and gives the call's result; without one the call succeeds.
  port::Status ShellExecute(port::HWnd owner, std::string_view operation, std::string_view file,
                            std::string_view parameters, std::string_view directory,
                            int showCommand) override;
  [[nodiscard]] const std::vector<ShellExecuteRecord>& Executed() const { return executed_; }
  void ClearExecuted() { executed_.clear(); }
  std::function<port::Status(const ShellExecuteRecord&)> OnShellExecute;

 private:
  SimFileSystem& files_;
  const SimSystem& system_;
  SimShellSettings settings_;
  bool shellLinkAvailable_ = true;
  std::vector<ShellExecuteRecord> executed_;
  std::vector<FailedCopy> failedCopies_;
};

}  // namespace ombrant::sim
