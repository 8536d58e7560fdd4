// libFuzzer target for the shell-link reader. Besides memory safety (the sanitizers), it checks
// that whatever the reader accepts can be written again and reads back the same.
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstdio>

#include "platform/sim/simLnkFile.h"

using ombrant::sim::ParseShellLink;
using ombrant::sim::ShellLinkData;
using ombrant::sim::WriteShellLink;

namespace {

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "round trip changed %s\n", what);
  std::abort();
}

// A drive path; anything else is written without volume information.
bool IsLocal(const std::string& path) {
  return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
         path[2] == '\\';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::optional<ShellLinkData> link = ParseShellLink({data, size});
  if (!link) return 0;
  const std::vector<std::uint8_t> bytes = WriteShellLink(*link);
  if (bytes.empty()) return 0;  // e.g. a string holding a NUL, which the writer refuses
  const std::optional<ShellLinkData> again = ParseShellLink(bytes);
  Check(again.has_value(), "a written link into not a link");
  Check(again->targetPath == link->targetPath, "the target path");
  Check(again->arguments == link->arguments, "the arguments");
  Check(again->workingDir == link->workingDir, "the working folder");
  Check(again->description == link->description, "the description");
  Check(again->iconLocation == link->iconLocation, "the icon location");
  Check(again->iconIndex == link->iconIndex, "the icon index");
  Check(again->showCommand == link->showCommand, "the show command");
  Check(again->hotKey == link->hotKey, "the hot key");
  Check(again->fileAttributes == link->fileAttributes, "the attributes");
  Check(again->creationTime == link->creationTime && again->accessTime == link->accessTime &&
            again->writeTime == link->writeTime,
        "the times");
  Check(again->fileSize == link->fileSize, "the file size");
  // A bare target is stored as the relative path, so that one may appear.
  if (!link->relativePath.empty()) Check(again->relativePath == link->relativePath, "the relative path");
  if (IsLocal(link->targetPath)) {
    Check(again->volumeLabel == link->volumeLabel && again->driveType == link->driveType &&
              again->driveSerialNumber == link->driveSerialNumber,
          "the volume");
  }
  return 0;
}
