// The Bat!: every file of its data folder but the machine-bound "Events.CFG", each labelled by
// what it holds, and its settings key.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

// The label of a file of The Bat!'s data folder (path relative to it): the name of a known file
// directly in the folder ("Settings" for the others), or for a file in an account's folder what
// it holds, followed by the account in parentheses ("Messages (Work)").
[[nodiscard]] std::string GetTheBatItemLabel(std::string_view relativePath);

class TInstalledSoftwareTheBat : public TInstalledSoftware {
 public:
  TInstalledSoftwareTheBat(const TSoftwareContext& context, std::string displayName,
                           std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  // One labelled line per file below the running account's data folder, at any depth, in scan
  // order, but for "Events.CFG" directly in it; the folder index is not used.
  void GetExistingDataItems(TWideStringList& list, std::int32_t folderIndex) override;
  void GetRegistryKeys(TWideStringList& list) override;
  void GetSupportNotes(TWideStringList& list) override;
};

void RegisterTheBatSoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
