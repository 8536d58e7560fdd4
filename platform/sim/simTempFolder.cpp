#include "platform/sim/simTempFolder.h"

#include <random>
#include <string>
#include <system_error>

namespace ombrant::sim {

SimTempFolder::SimTempFolder(std::string_view prefix) {
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  std::random_device seed;
  std::mt19937_64 random(seed());
  // create_directory reports whether it made the folder, so a name taken by another process
  // (or another test running in parallel) is simply tried again.
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path candidate =
        base / (std::string(prefix) + "-" + std::to_string(random() % 1000000000000ull));
    if (std::filesystem::create_directory(candidate)) {
      path_ = std::move(candidate);
      return;
    }
  }
  throw std::filesystem::filesystem_error("cannot create a temporary folder", base,
                                          std::make_error_code(std::errc::file_exists));
}

SimTempFolder::~SimTempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace ombrant::sim
