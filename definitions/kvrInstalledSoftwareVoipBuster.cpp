#include "definitions/kvrInstalledSoftwareVoipBuster.h"

#include <utility>

namespace ombrant {

// ---- VoipBuster

TInstalledSoftwareVoipBuster::TInstalledSoftwareVoipBuster(const TSoftwareContext& context,
                                                           std::string displayName,
                                                           std::string executable)
    : TInstalledSoftwareAllDataFiles(context, std::move(displayName), std::move(executable)) {
  FCategory = scChat;
}

std::string TInstalledSoftwareVoipBuster::GetIconResourceName() { return "VOIPBUSTER"; }

void TInstalledSoftwareVoipBuster::FindInstallations(const TSoftwareContext& context,
                                                     TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "VoipBuster.exe", "VoipBuster", list,
                         TUninstallPathSource::upsInstallLocation,
                         TUninstallMatchOn::umoDisplayName);
}

std::string TInstalledSoftwareVoipBuster::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\VoipBuster\)");
}

void TInstalledSoftwareVoipBuster::GetRegistryKeys(TWideStringList& list) {
  list.Clear();
  list.Add(R"(Settings=\Software\VoipBuster\VoipBuster\)");
}

void TInstalledSoftwareVoipBuster::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  AddChatSupportNote(list, true, true);
}

// ---- VoipStunt

TInstalledSoftwareVoipStunt::TInstalledSoftwareVoipStunt(const TSoftwareContext& context,
                                                         std::string displayName,
                                                         std::string executable)
    : TInstalledSoftwareAllDataFiles(context, std::move(displayName), std::move(executable)) {
  FCategory = scChat;
}

std::string TInstalledSoftwareVoipStunt::GetIconResourceName() { return "VOIPSTUNT"; }

void TInstalledSoftwareVoipStunt::FindInstallations(const TSoftwareContext& context,
                                                    TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "VoipStunt.exe", "VoipStunt", list,
                         TUninstallPathSource::upsInstallLocation,
                         TUninstallMatchOn::umoDisplayName);
}

std::string TInstalledSoftwareVoipStunt::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\VoipStunt\)");
}

void TInstalledSoftwareVoipStunt::GetRegistryKeys(TWideStringList& list) {
  list.Clear();
  list.Add(R"(Settings=\Software\VoipStunt\VoipStunt\)");
}

void TInstalledSoftwareVoipStunt::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  AddChatSupportNote(list, true, true);
}

// ---- registration

void RegisterVoipBusterSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareVoipBuster>("TInstalledSoftwareVoipBuster"));
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareVoipStunt>("TInstalledSoftwareVoipStunt"));
}

}  // namespace ombrant
