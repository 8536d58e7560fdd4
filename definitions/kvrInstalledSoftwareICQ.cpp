#include "definitions/kvrInstalledSoftwareICQ.h"

#include <utility>

namespace ombrant {
namespace {

// Creates `folder` and the folders above it that are missing. Failures are left to show in the
// grant that follows, which then changes nothing.
void ForceFolders(port::IFileSystem& files, std::string_view folder) {
  const std::string path(folder);
  // From the first folder below the drive's root ("C:\" + ...) down to the folder itself.
  for (std::size_t at = path.find('\\', 3);; at = path.find('\\', at + 1)) {
    const std::string part = path.substr(0, at);
    if (!part.empty() && part.back() != '\\' && !DirectoryExists(files, part)) {
      (void)files.CreateDirectory(part);
    }
    if (at == std::string::npos) break;
  }
}

}  // namespace

// ---- ICQ Pro 2003b

TInstalledSoftwareICQ::TInstalledSoftwareICQ(const TSoftwareContext& context,
                                             std::string displayName, std::string executable)
    : TInstalledSoftware(context, std::move(displayName), std::move(executable)) {
  FCategory = scChat;
}

std::string TInstalledSoftwareICQ::GetIconResourceName() { return "ICQ2003B"; }

void TInstalledSoftwareICQ::FindInstallations(const TSoftwareContext& context,
                                              TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "Icq.exe", "ICQ", list,
                         TUninstallPathSource::upsUninstallStringFolder,
                         TUninstallMatchOn::umoDisplayName);
}

std::string TInstalledSoftwareICQ::GetDataFolder(std::string_view) {
  return ExtractFilePath(FExecutable);
}

bool TInstalledSoftwareICQ::AfterMigration() {
  const std::string programFolder = ExtractFilePath(FExecutable);
  // A program path without a folder would make these relative to the current folder.
  if (programFolder.empty()) return true;
  for (const std::string_view name : kIcq2003bDataFolders) {
    const std::string folder = programFolder + std::string(name);
    try {
      if (!DirectoryExists(Context().port.files, folder)) {
        ForceFolders(Context().port.files, folder);
      }
    } catch (...) {
      // One folder that cannot be made does not keep the others closed.
    }
    (void)GrantTargetUserAccess(folder);
  }
  return true;
}

void TInstalledSoftwareICQ::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  list.Add(
      "ICQ Pro 2003b stores a lot of information inside its program files folder. Not even "
      "adjusting access rights there satisfies it. Since there seems to be no way to run this "
      "impersonated, we strongly recommend that you use a free alternative like Pidgin or "
      "Miranda, or, if you want to stay in the ICQ line, use ICQ 6.");
}

// ---- ICQ 6

TInstalledSoftwareICQ6::TInstalledSoftwareICQ6(const TSoftwareContext& context,
                                               std::string displayName, std::string executable)
    : TInstalledSoftwareAllDataFiles(context, std::move(displayName), std::move(executable)) {
  FCategory = scChat;
}

std::string TInstalledSoftwareICQ6::GetIconResourceName() { return "ICQ6"; }

void TInstalledSoftwareICQ6::FindInstallations(const TSoftwareContext& context,
                                               TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "ICQ.exe", "ICQ6", list, TUninstallPathSource::upsInstallLocation,
                         TUninstallMatchOn::umoDisplayName);
}

std::string TInstalledSoftwareICQ6::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\ICQ\)");
}

void TInstalledSoftwareICQ6::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  AddChatSupportNote(list, true, true);
}

// ---- registration

void RegisterICQSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(SoftwareClassOf<TInstalledSoftwareICQ>("TInstalledSoftwareICQ"));
  registry.RegisterSoftwareClass(SoftwareClassOf<TInstalledSoftwareICQ6>("TInstalledSoftwareICQ6"));
}

}  // namespace ombrant
