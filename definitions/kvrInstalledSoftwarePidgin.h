// Pidgin: its whole data folder, each file labelled by what it holds.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

// The label of a file of Pidgin's data folder (path relative to it): files directly in the
// folder by their name (letter case ignored), files below it by their top folder (letter case
// counts); "Settings" for anything else.
[[nodiscard]] std::string GetPidginItemLabel(std::string_view relativePath);

class TInstalledSoftwarePidgin : public TInstalledSoftware {
 public:
  TInstalledSoftwarePidgin(const TSoftwareContext& context, std::string displayName,
                           std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  // "<$APPDATA>\.purple\".
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  // One labelled line per file below the running account's data folder, at any depth.
  void GetDataItems(TWideStringList& list) override;
  void GetSupportNotes(TWideStringList& list) override;
};

void RegisterPidginSoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
