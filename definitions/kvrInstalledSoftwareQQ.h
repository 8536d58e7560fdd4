// QQ 2003, QQ 2005 and QQ 2007, the Tencent messengers. They keep their users' data in folders
// named by the QQ number inside the program folder, which every account shares.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

// Whether a folder name is a QQ number: decimal digits only, any length (numbers past 2^31 are
// QQ numbers all the same).
[[nodiscard]] bool IsQQNumberFolderName(std::string_view name);

class TInstalledSoftwareQQ2003 : public TInstalledSoftware {
 public:
  TInstalledSoftwareQQ2003(const TSoftwareContext& context, std::string displayName,
                           std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  // The program folder, the same for every user.
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  // Opens the numbered folders and the shared data files of the program folder to the target
  // account.
  bool AfterMigration() override;
  void GetSupportNotes(TWideStringList& list) override;
};

// QQ 2005 keeps its data as QQ 2003 does; only its registration differs.
class TInstalledSoftwareQQ2005 : public TInstalledSoftware {
 public:
  TInstalledSoftwareQQ2005(const TSoftwareContext& context, std::string displayName,
                           std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  bool AfterMigration() override;
  void GetSupportNotes(TWideStringList& list) override;
};

class TInstalledSoftwareQQ2007 : public TInstalledSoftware {
 public:
  TInstalledSoftwareQQ2007(const TSoftwareContext& context, std::string displayName,
                           std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  // "<$APPDATA>\QQ\"; nothing of it is copied.
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  // As QQ 2003, with the files QQ 2007 keeps in the program folder.
  bool AfterMigration() override;
  void GetSupportNotes(TWideStringList& list) override;
};

// Appends QQ 2003, QQ 2005, QQ 2007.
void RegisterQQSoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
