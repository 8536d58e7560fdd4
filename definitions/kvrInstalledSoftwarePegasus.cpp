#include "definitions/kvrInstalledSoftwarePegasus.h"

namespace ombrant {
namespace {

// "C:\..." or "\\server\...": a path that does not depend on the current folder.
bool IsRooted(std::string_view path) {
  if (path.starts_with(R"(\\)")) return true;
  return path.size() >= 3 && path[1] == ':' && path[2] == '\\';
}

}  // namespace

TInstalledSoftwarePegasus::TInstalledSoftwarePegasus(const TSoftwareContext& context,
                                                     std::string displayName,
                                                     std::string executable)
    : TInstalledSoftwareAllDataFiles(context, std::move(displayName), std::move(executable)) {
  FCategory = scEmail;
}

std::string TInstalledSoftwarePegasus::GetIconResourceName() { return "PEGASUSMAIL"; }

void TInstalledSoftwarePegasus::FindInstallations(const TSoftwareContext& context,
                                                  TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "winpm-32.exe", "Pegasus Mail", list,
                         TUninstallPathSource::upsUninstallStringFolder,
                         TUninstallMatchOn::umoKeyName);
}

std::string TInstalledSoftwarePegasus::GetDataFolder(std::string_view) {
  // The installer puts the programs into ...\PROGRAMS\ and the mail into ...\MAIL\.
  constexpr std::size_t kProgramsFolderLength = 9;
  const std::string programFolder = ExtractFilePath(FExecutable);
  if (programFolder.size() < kProgramsFolderLength) return {};
  const std::string base = programFolder.substr(0, programFolder.size() - kProgramsFolderLength);
  // A short folder would leave a relative path, which names whatever folder is current.
  if (!IsRooted(base)) return {};
  return base + R"(MAIL\)";
}

void TInstalledSoftwarePegasus::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  list.Add(
      "Pegasus mail stores mail inboxes in the Program Files structure. Even when assigning "
      "modify & write access to the MAIL folder, it will just crash.");
}

void RegisterPegasusSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwarePegasus>("TInstalledSoftwarePegasus"));
}

}  // namespace ombrant
