// PostMe: keeps its mail in its program folder; the restricted account is given write access to
// the mail folders instead of a copy.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

class TInstalledSoftwarePostMe : public TInstalledSoftware {
 public:
  TInstalledSoftwarePostMe(const TSoftwareContext& context, std::string displayName,
                           std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  // The program folder, the same for every user.
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  // Grants the target account modify rights on every "user*" folder of the program folder and
  // on its "temp" folder; runs on every migration.
  bool AfterMigration() override;
  void GetSupportNotes(TWideStringList& list) override;
};

void RegisterPostMeSoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
