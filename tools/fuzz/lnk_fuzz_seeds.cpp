// Writes a seed corpus for lnk_fuzzer: one link per shape the codec writes.
// Usage: lnk_fuzz_seeds FOLDER
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/sim/simLnkFile.h"

using ombrant::sim::ShellLinkData;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::filesystem::create_directories(folder);

  std::vector<ShellLinkData> links;
  ShellLinkData full;
  full.targetPath = "C:\\Program Files\\Mozilla Firefox\\firefox.exe";
  full.arguments = "-P default";
  full.workingDir = "C:\\Program Files\\Mozilla Firefox\\";
  full.description = "Mozilla Firefox";
  full.relativePath = "..\\..\\Program Files\\Mozilla Firefox\\firefox.exe";
  full.iconLocation = "C:\\Program Files\\Mozilla Firefox\\firefox.exe";
  full.iconIndex = 2;
  full.showCommand = ombrant::sim::kShowMaximized;
  full.hotKey = 0x0646;
  full.fileAttributes = 0x20;
  full.writeTime = 0x01D5ABCDEF012345;
  full.volumeLabel = "SYSTEM";
  links.push_back(full);

  ShellLinkData foreign;
  foreign.targetPath = "C:\\Dokumente und Einstellungen\\M\xC3\xBCller\\\xD0\x96 \xF0\x9F\x98\x80.exe";
  foreign.description = "Caf\xC3\xA9";
  foreign.volumeLabel = "Syst\xC3\xA8me";
  links.push_back(foreign);

  ShellLinkData runas;
  runas.targetPath = "runas";
  runas.arguments = "/user:george-online /savecred \"\\\"C:\\Program Files\\Opera\\opera.exe\\\" \"";
  runas.iconLocation = "C:\\Program Files\\Opera\\opera.exe";
  links.push_back(runas);

  ShellLinkData unc;
  unc.targetPath = "\\\\server\\share\\Pr\xC3\xB6gramme\\mail.exe";
  links.push_back(unc);

  ShellLinkData folderLink;
  folderLink.targetPath = "D:\\Daten\\";
  folderLink.fileAttributes = ombrant::sim::kFileAttributeDirectory;
  links.push_back(folderLink);

  int index = 0;
  for (const ShellLinkData& link : links) {
    const std::vector<std::uint8_t> bytes = ombrant::sim::WriteShellLink(link);
    std::ofstream out(folder / ("seed" + std::to_string(index++) + ".lnk"), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::fprintf(stderr, "cannot write into %s\n", folder.string().c_str());
      return 1;
    }
  }
  return 0;
}
