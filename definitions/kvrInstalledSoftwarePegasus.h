// Pegasus Mail: keeps its mail beside its program folder, shared by every account.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

class TInstalledSoftwarePegasus : public TInstalledSoftwareAllDataFiles {
 public:
  TInstalledSoftwarePegasus(const TSoftwareContext& context, std::string displayName,
                            std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  // The program folder without its last nine characters ("PROGRAMS\"), then "MAIL\": for
  // C:\PMAIL\PROGRAMS\winpm-32.exe the folder C:\PMAIL\MAIL\. The same for every user. Empty (no
  // data folder) when what is left would not be a rooted path.
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  void GetSupportNotes(TWideStringList& list) override;
};

void RegisterPegasusSoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
