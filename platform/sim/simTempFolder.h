// A private host folder that lives as long as its owner: a simulated machine's drives, a test's
// scratch space.
#pragma once

#include <filesystem>
#include <string_view>

namespace ombrant::sim {

class SimTempFolder {
 public:
  // Creates a new, empty folder below the host's temporary folder; throws std::filesystem_error
  // when it cannot.
  explicit SimTempFolder(std::string_view prefix = "ombrant");
  ~SimTempFolder();
  SimTempFolder(const SimTempFolder&) = delete;
  SimTempFolder& operator=(const SimTempFolder&) = delete;

  [[nodiscard]] const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace ombrant::sim
