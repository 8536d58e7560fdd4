// The migration engine: copies one application's settings from the account the program runs
// under into the profile and loaded hive of the restricted account, driven by the definition's
// virtual operations. It knows no particular application.
//
// `TDefinition` is the application model (TInstalledSoftware or a test definition); the engine
// calls DisplayName, Executable, GetDataFolders, HasData, Get...RequiredBeforeDataCopy,
// RunAsUser, ForceDataCopy, GetExistingDataItems, GetRegistryKeys, GetRegistryValues,
// AdjustCopiedFile, AfterMigration, AlwaysRunAfterMigration and Set/ClearTargetProfile.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "catalogue/kvrProcessList.h"
#include "catalogue/kvrProfileFolders.h"
#include "platform/port/kvrPort.h"
#include "platform/vqStringList.h"
#include "resources/OmbrantStrings.h"

namespace ombrant {

inline constexpr std::string_view kCloseAllInstancesWarning =
    "You need to close all instances of %s before proceeding!";
inline constexpr std::string_view kStartOnceNotice =
    "%s needs to be started once before your settings can be migrated. Please close it once it "
    "has finished loading, then click OK.";
// The grace delay after the user closed a program.
inline constexpr std::uint32_t kCloseGraceDelayMs = 3000;
// The shell copy's flags: one destination per source, no questions, undo, folders made.
inline constexpr std::uint16_t kDataCopyFlags = port::kFofMultiDestFiles |
                                                port::kFofNoConfirmation | port::kFofAllowUndo |
                                                port::kFofNoConfirmMkdir;

// Every line replaced by the text after its first "=" (a line without one becomes empty).
void StripItemLabels(TStringList& list);

// One shell copy of S + f to T + f for every file f (both folders get a trailing "\"). The
// shell's result is returned for tests; the migration does not use it. Nothing for an empty list.
int CopyDataFilesWithShell(const port::Port& port, std::string_view sourceFolder,
                           std::string_view targetFolder, const TStringList& files);

// Whole keys ("\Key\Path\") from HKEY_CURRENT_USER into the hive of `target` (its loaded root),
// with sub-keys; values the target already has keep their data. Keys that do not open are
// skipped.
void CopyRegistryKeys(const port::Port& port, const port::ProfileInfo& target,
                      const TStringList& keys);
// Single values ("\Key\Path\ValueName") the same way; the target key is created only when the
// source has the value.
void CopyRegistryValues(const port::Port& port, const port::ProfileInfo& target,
                        const TStringList& values);

// Gives the target account modify rights on a file or folder (the grant entry is appended to its
// DACL unless the account already has an entry). False, with the path unchanged, on any failure.
// A folder's grant also reaches what it already holds, as an inherited entry on each file and
// folder below that takes inherited entries and has none for the account.
bool GrantTargetUserAccess(const port::Port& port, const port::ProfileInfo& target,
                           std::string_view path) noexcept;

// The rewriting of the two functions below on a file's bytes; nothing when nothing changed.
// Paths are UTF-8; a file that is not UTF-8 is searched in the ANSI code page (Windows-1252)
// and one that starts with a UTF-16LE byte order mark as Unicode text.
[[nodiscard]] std::optional<std::string> RewritePathInText(std::string_view bytes,
                                                           std::string_view sourceFolder,
                                                           std::string_view targetFolder,
                                                           bool escape);
[[nodiscard]] std::optional<std::string> RewritePathInIni(std::string_view bytes,
                                                          std::string_view sourceFolder,
                                                          std::string_view targetFolder);

// Writes the new content beside the file and puts it in the file's place only once it is
// complete, so that a full disk or a refused write leaves the file as it was.
bool ReplaceFileContent(port::IFileSystem& files, const std::string& path,
                        std::string_view content);

// Rewrites `sourceFolder` into `targetFolder` in the copied text file targetFolder + file
// (ASCII letters compared ignoring case; with `escape` both paths with doubled backslashes).
// When anything changed every line is written back ending in CR LF; no other byte changes. The
// new text goes to a file beside it that then replaces the file, so a failed write (a full
// disk) leaves it as copied. False when nothing was changed or the file could not be read or
// written.
bool ReplacePathInTextFile(port::IFileSystem& files, std::string_view sourceFolder,
                           std::string_view targetFolder, bool escape,
                           std::string_view relativeFile) noexcept;
// The same for the values of an INI file: a value that holds `sourceFolder` (same case) gets
// every occurrence, in any case, replaced. Only those values change; every other byte, line ends
// included, stays. False when nothing was changed or on failure.
bool ReplacePathInIniFile(port::IFileSystem& files, std::string_view sourceFolder,
                          std::string_view targetFolder, std::string_view relativeFile) noexcept;

// Copies the setting files, then lets the definition adjust each copied file.
template <class TDefinition>
void CopyDataFiles(const port::Port& port, TDefinition& definition, std::string_view sourceFolder,
                   std::string_view targetFolder, const TStringList& files) {
  if (files.Count() == 0) return;
  (void)CopyDataFilesWithShell(port, sourceFolder, targetFolder, files);
  std::string source(sourceFolder);
  std::string target(targetFolder);
  if (source.empty() || source.back() != '\\') source += '\\';
  if (target.empty() || target.back() != '\\') target += '\\';
  for (const std::string& file : files.Strings()) definition.AdjustCopiedFile(source, target, file);
}

// Whether the data folder `folder` of the account `user` holds data of the account's own: what
// the default profile put there when Windows made the profile does not count.
template <class TDefinition>
bool HasOwnData(const port::Port& port, TDefinition& definition, std::string_view user,
                const std::string& folder) {
  return definition.HasData(folder) &&
         !HoldsOnlyDefaultProfileContent(port, ProfileFolderOfAccount(port, user), folder);
}

// Migrates one application into the account `targetUser`, whose loaded profile is `profile`.
// Prompts the user when the program must be started once first, and before anything is copied
// while the program runs under any account; a cancelled prompt ends this application's
// migration silently, the next one goes on.
template <class TDefinition>
void MigrateSettings(const port::Port& port, TDefinition& definition, std::string_view targetUser,
                     const port::ProfileInfo& profile) {
  // The definition sees the target's profile only while it is being migrated, however this ends.
  struct ProfileScope {
    TDefinition& definition;
    ~ProfileScope() { definition.ClearTargetProfile(); }
  } scope{definition};
  definition.SetTargetProfile(profile);

  std::string currentUser;
  (void)port.accounts.GetUserName(&currentUser);
  TStringList sourceFolders;
  TStringList targetFolders;
  definition.GetDataFolders(currentUser, sourceFolders);
  definition.GetDataFolders(std::string(targetUser), targetFolders);

  const std::string& name = definition.DisplayName();
  const std::string& executable = definition.Executable();
  const bool targetMissing =
      targetFolders.Count() == 0 || !HasOwnData(port, definition, targetUser, targetFolders[0]);
  bool startedForTarget = false;
  if (targetMissing) {
    if (definition.GetShutdownRequiredBeforeDataCopy() && IsProgramRunning(port, executable)) {
      if (port.ui.MessageBox(0, FormatOne(kCloseAllInstancesWarning, name), kApplicationTitle,
                             port::kMbOkCancel | port::kMbIconWarning) != port::kIdOk) {
        return;
      }
      if (!WaitUntilProgramClosed(port, name, executable, kCloseGraceDelayMs)) return;
    }
    // A program inside the administrator's profile cannot start under the target account.
    bool startable = true;
    if constexpr (requires { definition.InstalledForOneAccount(); }) {
      startable = !definition.InstalledForOneAccount();
    }
    if (startable && definition.GetStartRequiredBeforeDataCopy()) {
      definition.RunAsUser(std::string(targetUser));
      (void)port.ui.MessageBox(0, FormatOne(kStartOnceNotice, name), kApplicationTitle,
                               port::kMbOk | port::kMbIconInformation);
      if (!WaitUntilProgramClosed(port, name, executable, kCloseGraceDelayMs)) return;
      definition.GetDataFolders(std::string(targetUser), targetFolders);
      startedForTarget = true;
    }
  }

  if (sourceFolders.Count() > 0 && targetFolders.Count() > 0) {
    // Only the first folder of each account is migrated.
    const std::string source = sourceFolders[0];
    const std::string target = targetFolders[0];
    const bool copy = definition.ForceDataCopy() ||
                      (definition.HasData(source) &&
                       !(HasOwnData(port, definition, targetUser, target) && !startedForTarget));
    // Files copied while the program has them open are torn copies: whoever runs it (the
    // administrator, or the restricted account that just started it) closes it first.
    if (copy && IsProgramRunning(port, executable)) {
      if (port.ui.MessageBox(0, FormatOne(kCloseAllInstancesWarning, name), kApplicationTitle,
                             port::kMbOkCancel | port::kMbIconWarning) != port::kIdOk) {
        return;
      }
      if (!WaitUntilProgramClosed(port, name, executable, kCloseGraceDelayMs)) return;
    }
    if (copy) {
      TStringList items;
      definition.GetExistingDataItems(items, 0);
      StripItemLabels(items);
      CopyDataFiles(port, definition, source, target, items);
      items.Clear();
      definition.GetRegistryKeys(items);
      StripItemLabels(items);
      CopyRegistryKeys(port, profile, items);
      items.Clear();
      definition.GetRegistryValues(items);
      StripItemLabels(items);
      CopyRegistryValues(port, profile, items);
    }
    if (!definition.AlwaysRunAfterMigration()) definition.AfterMigration();
  }
  if (definition.AlwaysRunAfterMigration()) definition.AfterMigration();
}

}  // namespace ombrant
