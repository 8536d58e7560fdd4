// AIM 6, the AOL Instant Messenger client.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

// The arguments AIM 6 is always started with: English locale, and the client's own address of
// its instant-messaging application (without it aim6.exe starts only its background host).
inline constexpr std::string_view kAim6RunParameters = "/d locale=en-US ee://aol/imApp";

class TInstalledSoftwareAIM6 : public TInstalledSoftwareAllDataFiles {
 public:
  TInstalledSoftwareAIM6(const TSoftwareContext& context, std::string displayName,
                         std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  // "<$LOCALAPPDATA>\AOL OCP\AIM\".
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  void GetRegistryKeys(TWideStringList& list) override;
  void GetSupportNotes(TWideStringList& list) override;
};

void RegisterAIMSoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
