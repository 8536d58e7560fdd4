// ICQ Pro 2003b, which keeps everything in its program folder, and ICQ 6.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

// The folders of the program folder ICQ Pro 2003b writes to, in the order they are opened.
inline constexpr std::array<std::string_view, 7> kIcq2003bDataFolders = {
    "2003b", "CL", "Contact List", "ICQ Downloads", "Received Files", "Shared files", "UIN"};

class TInstalledSoftwareICQ : public TInstalledSoftware {
 public:
  TInstalledSoftwareICQ(const TSoftwareContext& context, std::string displayName,
                        std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  // The program folder, the same for every user.
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  // Makes each of its data folders that is missing and opens it to the target account.
  bool AfterMigration() override;
  void GetSupportNotes(TWideStringList& list) override;
};

class TInstalledSoftwareICQ6 : public TInstalledSoftwareAllDataFiles {
 public:
  TInstalledSoftwareICQ6(const TSoftwareContext& context, std::string displayName,
                         std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  // "<$APPDATA>\ICQ\".
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  void GetSupportNotes(TWideStringList& list) override;
};

// Appends ICQ Pro 2003b, then ICQ 6.
void RegisterICQSoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
