// Skype: its account settings; the chat history is left to the user.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

class TInstalledSoftwareSkype : public TInstalledSoftwareAllDataFiles {
 public:
  TInstalledSoftwareSkype(const TSoftwareContext& context, std::string displayName,
                          std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  // The program lies in "Phone" below the installation folder.
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  // "<$APPDATA>\Skype\".
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  void GetRegistryKeys(TWideStringList& list) override;
  void GetSupportNotes(TWideStringList& list) override;
};

void RegisterSkypeSoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
