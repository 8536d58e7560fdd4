// The application model: one definition object per detected installation of a supported
// Internet application, the registry of definition classes, and the catalogue that detects
// the installed applications and gives each its icons.
//
// A definition describes where its application keeps its settings for any user and which files
// and registry data make them up; the migration engine drives it through the virtual operations
// below. Definitions reach the machine only through the context the catalogue hands them.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/port/kvrPort.h"
#include "platform/vqStringList.h"
#include "ui/uiImages.h"

namespace ombrant {

class TPathSolver;
class TMyRegistry;
class TUninstallRegistrations;

// The ordinal is the list-view group id.
enum TSoftwareCategory { scOther = 0, scBrowser = 1, scEmail = 2, scChat = 3, scMultimedia = 4 };

inline constexpr std::array<std::string_view, 5> SoftwareCategoryNames = {
    "Other", "Browser", "Email", "Chat", "Multimedia"};

// Where AddUninstallCandidates takes the program path from.
enum class TUninstallPathSource : int {
  upsInstallLocation = 0,        // "InstallLocation" + "\" + the executable file name
  upsUninstallString = 1,        // the program of "UninstallString"
  upsUninstallStringFolder = 2,  // its folder + the executable file name
  upsDisplayIcon = 3,            // the program of "DisplayIcon"
  upsDisplayIconFolder = 4,      // its folder + the executable file name
};

// Which name of an Uninstall registration the pattern is matched against and is shown.
enum class TUninstallMatchOn : int {
  umoKeyName = 0,      // the name of the Uninstall sub-key
  umoDisplayName = 1,  // its "DisplayName" value
};

// What a definition needs of the machine. The catalogue owns one and hands it to every
// definition and every detection; it must outlive them.
struct TSoftwareContext {
  port::Port port;
  const TPathSolver& paths;
  // The 32-bit program runs on 64-bit Windows (IsWow64Process; false when the system lacks it).
  bool isWow64 = false;
  // The Uninstall registrations read once for a whole detection run; null: read anew per call.
  TUninstallRegistrations* uninstall = nullptr;
};

// Files that exist: a folder is no file, a file no folder. A trailing "\" on a folder is fine.
[[nodiscard]] bool FileExists(port::IFileSystem& files, std::string_view path);
[[nodiscard]] bool DirectoryExists(port::IFileSystem& files, std::string_view path);
// `path` with a "\" at its end.
[[nodiscard]] std::string IncludeTrailingBackslash(std::string_view path);
// Everything up to and including the last "\" (empty when there is none).
[[nodiscard]] std::string ExtractFilePath(std::string_view path);

// What the migration list says of a program installed inside the administrator's own profile.
inline constexpr std::string_view kInstalledForOneAccountNote =
    "installed for your account only: install it for all users, or install it under your "
    "Ombrant";

// The texts a definition hands out, as the wizard and the engine read them.
//
// Item lists (TWideStringList) hold lines of a label, "=" and a value; the label is free text
// for people, the value everything after the first "=":
//   GetDataItems / GetExistingDataItems: a file relative to the data folder ("mail\a.ini");
//   GetRegistryValues: "\Key\Path\ValueName" under HKEY_CURRENT_USER;
//   GetRegistryKeys: "\Key\Path\" under HKEY_CURRENT_USER.
// Detection lists hold executable path, "=", display name.
class TInstalledSoftware {
 public:
  // The virtual constructor: every registered class is built with these arguments.
  TInstalledSoftware(const TSoftwareContext& context, std::string displayName,
                     std::string executable);
  virtual ~TInstalledSoftware() = default;
  TInstalledSoftware(const TInstalledSoftware&) = delete;
  TInstalledSoftware& operator=(const TInstalledSoftware&) = delete;

  // ---- properties
  [[nodiscard]] bool Active() const { return FActive; }
  void SetActive(bool active) { FActive = active; }
  [[nodiscard]] TSoftwareCategory Category() const { return FCategory; }
  [[nodiscard]] const std::string& DisplayName() const { return FDisplayName; }
  [[nodiscard]] const std::string& Executable() const { return FExecutable; }
  [[nodiscard]] const std::string& RunParameters() const { return FRunParameters; }
  // Index into the catalogue's two image lists; -1 until the catalogue sets it.
  [[nodiscard]] std::int32_t ImageIndex() const { return FImageIndex; }
  [[nodiscard]] bool StartRequiredBeforeDataCopy() { return GetStartRequiredBeforeDataCopy(); }
  [[nodiscard]] bool ShutdownRequiredBeforeDataCopy() {
    return GetShutdownRequiredBeforeDataCopy();
  }

  // AfterMigration also runs for a user without a data folder (the data live in the program's
  // folder).
  [[nodiscard]] bool AlwaysRunAfterMigration() const { return FAlwaysRunAfterMigration; }
  // The profile of the account being migrated to; all zero outside a migration. The migration
  // engine sets it at the start and clears it at the end.
  [[nodiscard]] const port::ProfileInfo& TargetProfile() const { return FTargetProfile; }
  void SetTargetProfile(const port::ProfileInfo& profile) { FTargetProfile = profile; }
  void ClearTargetProfile() { FTargetProfile = ZeroProfile(); }

  // ---- virtual operations, in slot order
  // The program must not run while its data are copied.
  [[nodiscard]] virtual bool GetShutdownRequiredBeforeDataCopy();
  // The program has to run once under the target account before the copy, so that it makes its
  // data folder.
  [[nodiscard]] virtual bool GetStartRequiredBeforeDataCopy();
  // Called once per copied file after all are copied; both folders end in "\". True when the
  // file was changed.
  virtual bool AdjustCopiedFile(std::string_view sourceFolder, std::string_view targetFolder,
                                std::string_view relativeFile);
  // The engine's last step.
  virtual bool AfterMigration();
  // Copy even when the folder tests would skip the copy.
  [[nodiscard]] virtual bool ForceDataCopy();
  // Class-level: the resource name of the icon pair.
  [[nodiscard]] static std::string GetIconResourceName();
  // Class-level: the default clears the list, makes it sorted, case-insensitive and free of
  // duplicate lines. Definitions call it first, then the detection helpers below.
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  // The folder of the application's settings for `userName`, normally with a trailing "\".
  [[nodiscard]] virtual std::string GetDataFolder(std::string_view userName) = 0;
  // Whether `folder` holds the application's data; the default: the folder exists.
  [[nodiscard]] virtual bool HasData(std::string_view folder);
  // Clears the list and adds the one folder GetDataFolder gives.
  virtual void GetDataFolders(std::string_view userName, TWideStringList& list);
  // The setting files, relative to the data folder; the default has none.
  virtual void GetDataItems(TWideStringList& list);
  // The items whose file exists in data folder number `folderIndex` of the account the program
  // runs under; empty for an index outside its folders.
  virtual void GetExistingDataItems(TWideStringList& list, std::int32_t folderIndex);
  virtual void GetRegistryValues(TWideStringList& list);
  virtual void GetRegistryKeys(TWideStringList& list);
  // Sentences on how far the application is supported, one per line.
  virtual void GetSupportNotes(TWideStringList& list);

  // ---- helpers
  // The path of `pathTemplate` for another user: resolved for the running account, then its
  // third element (the profile folder's name below the profiles root) replaced by `userName`.
  // For the running account itself the resolved path is kept as it is.
  [[nodiscard]] std::string ResolvePathForUser(std::string_view userName,
                                               std::string_view pathTemplate) const;
  // GetDataFolder for the account the program runs under.
  [[nodiscard]] std::string GetCurrentUserDataFolder();

  void AddChatSupportNote(TWideStringList& list, bool accounts, bool history) const;
  void AddMailSupportNote(TWideStringList& list, bool accounts, bool mails) const;
  void AddProgramFolderSupportNote(TWideStringList& list) const;

  // A shortcut that starts the program under `userName` through runas with saved credentials.
  // True when the link file exists afterwards; never throws.
  bool CreateRestrictedShortcut(std::string_view linkFile, std::string_view userName);
  // A shortcut that starts the program directly. True when the link file exists afterwards.
  bool CreateDirectShortcut(std::string_view linkFile);
  // Starts the program once under `userName` through runas; returns at once.
  void RunAsUser(std::string_view userName);
  // The runas arguments for `userName`: /user:NAME /savecred "\"PROGRAM\" PARAMETERS".
  [[nodiscard]] std::string RunAsArguments(std::string_view userName) const;

  // The program lies inside the running account's own profile (its profile, roaming or local
  // application data folder), as programs installed for one account do. The restricted account
  // cannot even read it there, so no shortcut may start it under that account.
  [[nodiscard]] bool InstalledForOneAccount() const;

  // Whether the program runs (a path differing only in letter case counts).
  [[nodiscard]] bool IsRunning() const;
  // Waits for the program to end, warning the user while it runs; see WaitUntilProgramClosed.
  // True when it no longer runs, false when the user cancelled.
  bool WaitUntilClosed(std::uint32_t delayMs) const;

  // ---- helpers for AfterMigration and AdjustCopiedFile, during a migration
  // Gives the target account modify rights on a file or folder, once. False, with nothing
  // changed, outside a migration or on any failure.
  bool GrantTargetUserAccess(std::string_view path) const noexcept;
  // The source folder rewritten into the target folder inside a copied text or INI file
  // (targetFolder + relativeFile); see kvrMigration.h.
  bool ReplacePathInTextFile(std::string_view sourceFolder, std::string_view targetFolder,
                             bool escape, std::string_view relativeFile) const noexcept;
  bool ReplacePathInIniFile(std::string_view sourceFolder, std::string_view targetFolder,
                            std::string_view relativeFile) const noexcept;

  // ---- detection helpers, class-level; each adds nothing for a path the list already names
  // The default value of the program's App Paths registration (the file is not checked).
  static void AddAppPathCandidate(const TSoftwareContext& context, std::string_view exeFileName,
                                  std::string_view displayName, TWideStringList& list);
  // Every existing file the mask expands to; on 64-bit Windows the display name gets
  // " (32 bit)" for a path with "x86" in it, else " (64 bit)".
  static void AddFileCandidates(const TSoftwareContext& context, std::string_view pathMask,
                                std::string_view displayName, TWideStringList& list);
  // The Uninstall registrations whose key name or display name matches `namePattern`, with the
  // program path built from `pathSource`; only existing files count.
  static void AddUninstallCandidates(const TSoftwareContext& context, std::string_view exeFileName,
                                     std::string_view namePattern, TWideStringList& list,
                                     TUninstallPathSource pathSource, TUninstallMatchOn matchOn);

 protected:
  [[nodiscard]] const TSoftwareContext& Context() const { return context_; }
  // The running account's name.
  [[nodiscard]] std::string CurrentUserName() const;

  std::string FDisplayName;
  std::string FExecutable;
  bool FActive = true;
  std::int32_t FImageIndex = -1;
  std::string FRunParameters;
  TSoftwareCategory FCategory = scOther;
  bool FAlwaysRunAfterMigration = false;
  port::ProfileInfo FTargetProfile = ZeroProfile();

 private:
  friend class TInstalledSoftwareManager;
  [[nodiscard]] static port::ProfileInfo ZeroProfile() {
    port::ProfileInfo zero;
    zero.size = 0;
    return zero;
  }

  const TSoftwareContext& context_;
};

// Definitions whose data folder holds nothing but their settings: every file below it is one.
class TInstalledSoftwareAllDataFiles : public TInstalledSoftware {
 public:
  using TInstalledSoftware::TInstalledSoftware;

  // Appends "Setting=" + the path relative to the folder for every file below data folder
  // number `folderIndex`, at any depth, breadth-first; the list is not cleared first.
  void GetExistingDataItems(TWideStringList& list, std::int32_t folderIndex) override;
};

// One registered definition class: its name (the icon entries carry it) and its class-level
// operations.
struct TSoftwareClass {
  std::string_view Name;
  std::string (*GetIconResourceName)();
  void (*FindInstallations)(const TSoftwareContext& context, TWideStringList& list);
  std::unique_ptr<TInstalledSoftware> (*Create)(const TSoftwareContext& context,
                                                std::string displayName, std::string executable);
};

// The descriptor of definition class T, registered under `name`.
template <class T>
[[nodiscard]] TSoftwareClass SoftwareClassOf(std::string_view name) {
  return TSoftwareClass{name, &T::GetIconResourceName, &T::FindInstallations,
                        [](const TSoftwareContext& context, std::string displayName,
                           std::string executable) -> std::unique_ptr<TInstalledSoftware> {
                          return std::make_unique<T>(context, std::move(displayName),
                                                     std::move(executable));
                        }};
}

// The definition classes in catalogue order, which is the order of every application list.
// Filled once at start-up by the definition modules, then only read.
class TSoftwareClassRegistry {
 public:
  void RegisterSoftwareClass(TSoftwareClass softwareClass);
  [[nodiscard]] const std::vector<TSoftwareClass>& Classes() const { return classes_; }
  [[nodiscard]] int Count() const { return static_cast<int>(classes_.size()); }

 private:
  std::vector<TSoftwareClass> classes_;
};

// The Uninstall registrations of the machine (HKEY_LOCAL_MACHINE, 32-bit view), as the
// detection reads them: one entry per sub-key that opens, in the registry's order.
class TUninstallRegistrations {
 public:
  struct Entry {
    std::string keyName;
    // "DisplayName" as a string; the key name when the value is of another type.
    std::string displayName;
    // As strings; nothing when the value is of another type (a missing value reads empty).
    // Read by Details() on first use: most registrations match no class, and under Wine every
    // value read is a round trip to the server.
    bool detailsRead = false;
    std::optional<std::string> installLocation;
    std::optional<std::string> uninstallString;
    std::optional<std::string> displayIcon;
  };

  TUninstallRegistrations();
  ~TUninstallRegistrations();
  TUninstallRegistrations(const TUninstallRegistrations&) = delete;
  TUninstallRegistrations& operator=(const TUninstallRegistrations&) = delete;

  // Reads the sub-key names and display names once; later calls keep what the first one read.
  // False when the Uninstall key does not open.
  bool Read(port::IRegistry& registry);
  [[nodiscard]] bool Loaded() const { return loaded_; }
  [[nodiscard]] const std::vector<Entry>& Entries() const { return entries_; }
  // Entry `index` with its other values, read once through the key the names came from.
  const Entry& Details(std::size_t index);

 private:
  bool loaded_ = false;
  bool opened_ = false;
  std::vector<Entry> entries_;
  // The Uninstall key, open while the registrations live.
  port::IRegistry* registry_ = nullptr;
  std::unique_ptr<TMyRegistry> key_;
  std::uint32_t access_ = 0;
};

// The catalogue: one definition per detected installation, in class order, and the two image
// lists (16 and 32 pixels) whose entries stay in step, index for index.
class TInstalledSoftwareManager {
 public:
  // Detects every registered class's installations. `context` is copied; the catalogue hands
  // its copy to the definitions. The fallback icon pair "APPLICATION" is entry 0 of both lists
  // when its resources load.
  TInstalledSoftwareManager(const TSoftwareContext& context, const TSoftwareClassRegistry& classes);
  ~TInstalledSoftwareManager();
  TInstalledSoftwareManager(const TInstalledSoftwareManager&) = delete;
  TInstalledSoftwareManager& operator=(const TInstalledSoftwareManager&) = delete;

  [[nodiscard]] int Count() const { return static_cast<int>(items_.size()); }
  // Throws std::out_of_range for an index outside 0..Count()-1.
  [[nodiscard]] TInstalledSoftware& Items(int index) const;
  [[nodiscard]] ui::ImageList& SmallIcons() { return smallIcons_; }
  [[nodiscard]] ui::ImageList& LargeIcons() { return largeIcons_; }
  [[nodiscard]] const ui::ImageList& SmallIcons() const { return smallIcons_; }
  [[nodiscard]] const ui::ImageList& LargeIcons() const { return largeIcons_; }
  // The index of the fallback pair (0), or -1 when even the fallback icons are missing.
  [[nodiscard]] int DefaultImageIndex() const { return defaultImageIndex_; }
  // The name of the class that detected definition `index` (as the icon entries carry it).
  [[nodiscard]] std::string_view ClassNameOf(int index) const;

 private:
  // Appends the icon pair of `resourceName` to both lists under `entryName`; the index of the
  // new entries, or -1 (nothing added) when the 32-pixel image does not load. A missing
  // 16-pixel image is replaced by the fallback's, so that the lists stay in step.
  int LoadIconPair(std::string_view resourceName, const std::string& entryName);

  TSoftwareContext context_;
  // Declared before the items: destruction releases the definitions first, then the 32-pixel
  // list, then the 16-pixel list.
  ui::ImageList smallIcons_;
  ui::ImageList largeIcons_;
  std::vector<std::unique_ptr<TInstalledSoftware>> items_;
  std::vector<std::string_view> itemClasses_;
  int defaultImageIndex_ = -1;
};

}  // namespace ombrant
