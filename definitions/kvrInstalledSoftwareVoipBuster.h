// VoipBuster and VoipStunt, two brands of one Internet telephony client.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

class TInstalledSoftwareVoipBuster : public TInstalledSoftwareAllDataFiles {
 public:
  TInstalledSoftwareVoipBuster(const TSoftwareContext& context, std::string displayName,
                               std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  // "<$APPDATA>\VoipBuster\".
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  void GetRegistryKeys(TWideStringList& list) override;
  void GetSupportNotes(TWideStringList& list) override;
};

class TInstalledSoftwareVoipStunt : public TInstalledSoftwareAllDataFiles {
 public:
  TInstalledSoftwareVoipStunt(const TSoftwareContext& context, std::string displayName,
                              std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  // "<$APPDATA>\VoipStunt\".
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  void GetRegistryKeys(TWideStringList& list) override;
  void GetSupportNotes(TWideStringList& list) override;
};

// Appends VoipBuster, then VoipStunt.
void RegisterVoipBusterSoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
