#include "definitions/kvrInstalledSoftwareQQ.h"

#include <initializer_list>
#include <utility>

#include "platform/vqFileSys.h"

namespace ombrant {
namespace {

// Grants the target account access to every numbered folder directly in the program folder,
// then to `files` of the program folder, in their order.
void GrantQQProgramFolder(const TInstalledSoftware& definition, port::IFileSystem& files,
                          const std::string& programFolder,
                          std::initializer_list<const char*> dataFiles) {
  // A program path without a folder would make the scan list the current folder.
  if (programFolder.empty()) return;
  TStringList folders;
  FindFiles(files, programFolder, folders, false, true, true, false, false);
  for (const std::string& folder : folders) {
    if (IsQQNumberFolderName(folder.substr(ExtractFilePath(folder).size()))) {
      (void)definition.GrantTargetUserAccess(folder);
    }
  }
  for (const char* file : dataFiles) (void)definition.GrantTargetUserAccess(programFolder + file);
}

}  // namespace

bool IsQQNumberFolderName(std::string_view name) {
  if (name.empty()) return false;
  for (const char c : name) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// ---- QQ 2003

TInstalledSoftwareQQ2003::TInstalledSoftwareQQ2003(const TSoftwareContext& context,
                                                   std::string displayName, std::string executable)
    : TInstalledSoftware(context, std::move(displayName), std::move(executable)) {
  FCategory = scChat;
  FAlwaysRunAfterMigration = true;
}

std::string TInstalledSoftwareQQ2003::GetIconResourceName() { return "QQ2003"; }

void TInstalledSoftwareQQ2003::FindInstallations(const TSoftwareContext& context,
                                                 TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "QQ.exe", "QQ2003*", list,
                         TUninstallPathSource::upsUninstallStringFolder,
                         TUninstallMatchOn::umoDisplayName);
}

std::string TInstalledSoftwareQQ2003::GetDataFolder(std::string_view) {
  return ExtractFilePath(FExecutable);
}

bool TInstalledSoftwareQQ2003::AfterMigration() {
  GrantQQProgramFolder(*this, Context().port.files, ExtractFilePath(FExecutable),
                       {"LoginUinList.dat", "QQlog", "QQGlobal.db", "AutoLogin.dat"});
  return true;
}

void TInstalledSoftwareQQ2003::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  AddProgramFolderSupportNote(list);
}

// ---- QQ 2005

TInstalledSoftwareQQ2005::TInstalledSoftwareQQ2005(const TSoftwareContext& context,
                                                   std::string displayName, std::string executable)
    : TInstalledSoftware(context, std::move(displayName), std::move(executable)) {
  FCategory = scChat;
  FAlwaysRunAfterMigration = true;
}

std::string TInstalledSoftwareQQ2005::GetIconResourceName() { return "QQ2003"; }

void TInstalledSoftwareQQ2005::FindInstallations(const TSoftwareContext& context,
                                                 TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "QQ.exe", "QQ2005*", list,
                         TUninstallPathSource::upsDisplayIconFolder,
                         TUninstallMatchOn::umoDisplayName);
}

std::string TInstalledSoftwareQQ2005::GetDataFolder(std::string_view) {
  return ExtractFilePath(FExecutable);
}

bool TInstalledSoftwareQQ2005::AfterMigration() {
  GrantQQProgramFolder(*this, Context().port.files, ExtractFilePath(FExecutable),
                       {"LoginUinList.dat", "QQlog", "QQGlobal.db", "AutoLogin.dat"});
  return true;
}

void TInstalledSoftwareQQ2005::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  AddProgramFolderSupportNote(list);
}

// ---- QQ 2007

TInstalledSoftwareQQ2007::TInstalledSoftwareQQ2007(const TSoftwareContext& context,
                                                   std::string displayName, std::string executable)
    : TInstalledSoftware(context, std::move(displayName), std::move(executable)) {
  FCategory = scChat;
  FAlwaysRunAfterMigration = true;
}

std::string TInstalledSoftwareQQ2007::GetIconResourceName() { return "QQ2003"; }

void TInstalledSoftwareQQ2007::FindInstallations(const TSoftwareContext& context,
                                                 TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "QQ.exe", "QQ2007*", list,
                         TUninstallPathSource::upsUninstallStringFolder,
                         TUninstallMatchOn::umoKeyName);
}

std::string TInstalledSoftwareQQ2007::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\QQ\)");
}

bool TInstalledSoftwareQQ2007::AfterMigration() {
  GrantQQProgramFolder(*this, Context().port.files, ExtractFilePath(FExecutable),
                       {"LoginUinList.dat", "QQ.tlg", "QQlog.txl", "QQGlobal.db", "AutoLogin.dat"});
  return true;
}

void TInstalledSoftwareQQ2007::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  AddProgramFolderSupportNote(list);
}

// ---- registration

void RegisterQQSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareQQ2003>("TInstalledSoftwareQQ2003"));
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareQQ2005>("TInstalledSoftwareQQ2005"));
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareQQ2007>("TInstalledSoftwareQQ2007"));
}

}  // namespace ombrant
