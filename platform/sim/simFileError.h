// Where a file of the simulated machine is wrong: the file, the line and what is wrong.
#pragma once

#include <cstddef>
#include <string>

namespace ombrant::sim {

struct SimFileError {
  std::string file;
  std::size_t line = 0;  // 1-based; 0 when the file as a whole is at fault
  std::string message;

  // "machine.ini, line 3: bits must be 32 or 64"
  [[nodiscard]] std::string ToString() const {
    return line ? file + ", line " + std::to_string(line) + ": " + message : file + ": " + message;
  }
};

// Fills `error` (when given) and returns false, for the `return Fail(...)` idiom.
inline bool Fail(SimFileError* error, std::string file, std::size_t line, std::string message) {
  if (error) *error = SimFileError{std::move(file), line, std::move(message)};
  return false;
}

}  // namespace ombrant::sim
