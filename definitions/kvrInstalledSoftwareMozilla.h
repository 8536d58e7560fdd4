// The Mozilla family: ten applications that keep their settings alike, in profile folders below
// a data folder per user, with a common set of profile files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

// What the members share: the profile folders, the profile files, the mail and music databases,
// and the profile path inside "prefs.js". Not registered; the members are.
class TInstalledMozillaSoftware : public TInstalledSoftware {
 public:
  TInstalledMozillaSoftware(const TSoftwareContext& context, std::string displayName,
                            std::string executable);

  // The folder, relative to the data folder and ending in "\" (or empty), whose sub-folders are
  // the profile folders.
  [[nodiscard]] const std::string& ProfilesSubfolder() const { return FProfilesSubfolder; }

  // The program makes its own profile on its first start; ours is copied over it.
  [[nodiscard]] bool GetStartRequiredBeforeDataCopy() override;
  // Every sub-folder of the profiles folder, as the file system lists them, full paths without
  // a trailing "\". No profile list of the application is read.
  void GetDataFolders(std::string_view userName, TWideStringList& list) override;
  // The profile files, the older and the newer file of each kind, today's after the others.
  void GetDataItems(TWideStringList& list) override;
  // The existing profile files of profile `folderIndex` of the running account, then
  // "Mail file=" for every file below its "Mail" folder and "Music Database=" for every ".db"
  // file below its "db" folder, relative to the profile folder.
  void GetExistingDataItems(TWideStringList& list, std::int32_t folderIndex) override;
  // Rewrites the administrator's profile folder into the target's inside "prefs.js", which
  // stores paths with doubled backslashes. True for that file only.
  bool AdjustCopiedFile(std::string_view sourceFolder, std::string_view targetFolder,
                        std::string_view relativeFile) override;
  void GetSupportNotes(TWideStringList& list) override;

 protected:
  std::string FProfilesSubfolder;
};

class TInstalledSoftwareBeonex : public TInstalledMozillaSoftware {
 public:
  TInstalledSoftwareBeonex(const TSoftwareContext& context, std::string displayName,
                           std::string executable);
  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
};

class TInstalledSoftwareFirefox : public TInstalledMozillaSoftware {
 public:
  using TInstalledMozillaSoftware::TInstalledMozillaSoftware;
  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
};

// Its "default" folder holds the profile folders directly.
class TInstalledSoftwareKMeleon : public TInstalledMozillaSoftware {
 public:
  TInstalledSoftwareKMeleon(const TSoftwareContext& context, std::string displayName,
                            std::string executable);
  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
};

class TInstalledSoftwareLolifox : public TInstalledMozillaSoftware {
 public:
  using TInstalledMozillaSoftware::TInstalledMozillaSoftware;
  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
};

class TInstalledSoftwareNetscape : public TInstalledMozillaSoftware {
 public:
  using TInstalledMozillaSoftware::TInstalledMozillaSoftware;
  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
};

class TInstalledSoftwareSeaMonkey : public TInstalledMozillaSoftware {
 public:
  TInstalledSoftwareSeaMonkey(const TSoftwareContext& context, std::string displayName,
                              std::string executable);
  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
};

class TInstalledSoftwareThunderbird : public TInstalledMozillaSoftware {
 public:
  TInstalledSoftwareThunderbird(const TSoftwareContext& context, std::string displayName,
                                std::string executable);
  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
};

class TInstalledSoftwareWyzo : public TInstalledMozillaSoftware {
 public:
  using TInstalledMozillaSoftware::TInstalledMozillaSoftware;
  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  // The common note and one on Wyzo's start-up trouble.
  void GetSupportNotes(TWideStringList& list) override;
};

class TInstalledSoftwareSongbird : public TInstalledMozillaSoftware {
 public:
  TInstalledSoftwareSongbird(const TSoftwareContext& context, std::string displayName,
                             std::string executable);
  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
};

// Built on Songbird: its program is "songbird.exe" as well.
class TInstalledSoftwareQtrax : public TInstalledMozillaSoftware {
 public:
  TInstalledSoftwareQtrax(const TSoftwareContext& context, std::string displayName,
                          std::string executable);
  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
};

// Appends the ten classes in catalogue order.
void RegisterMozillaSoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
