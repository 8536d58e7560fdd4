#include "definitions/kvrInstalledSoftwareGoogleTalk.h"

#include <utility>

#include "platform/vqFileSys.h"

namespace ombrant {

TInstalledSoftwareGoogleTalk::TInstalledSoftwareGoogleTalk(const TSoftwareContext& context,
                                                           std::string displayName,
                                                           std::string executable)
    : TInstalledSoftware(context, std::move(displayName), std::move(executable)) {
  FCategory = scChat;
}

std::string TInstalledSoftwareGoogleTalk::GetIconResourceName() { return "GOOGLETALK"; }

void TInstalledSoftwareGoogleTalk::FindInstallations(const TSoftwareContext& context,
                                                     TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  // The installer names its Uninstall key after its product GUID; the catalogue shows the name
  // after "}-".
  AddUninstallCandidates(
      context, "googletalk.exe", "{226b64e8-dc75-4eea-a6c8-abcb496320f2}-Google Talk", list,
      TUninstallPathSource::upsUninstallStringFolder, TUninstallMatchOn::umoKeyName);
}

std::string TInstalledSoftwareGoogleTalk::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$LOCALAPPDATA>\Google\Google Talk\)");
}

void TInstalledSoftwareGoogleTalk::GetExistingDataItems(TWideStringList& list, std::int32_t) {
  list.Clear();
  const std::string folder = IncludeTrailingBackslash(GetCurrentUserDataFolder());
  const struct {
    const char* subfolder;
    const char* label;
  } kinds[] = {{"chatlogs", "Chat log"}, {"avatars", "Cached avatar"}};
  for (const auto& kind : kinds) {
    TStringList found;
    FindFiles(Context().port.files, folder + kind.subfolder + "\\*.*", found, true, false, false,
              true, true);
    for (const std::string& file : found) {
      list.Add(std::string(kind.label) + "=" + kind.subfolder + "\\" + file);
    }
  }
}

void TInstalledSoftwareGoogleTalk::GetRegistryKeys(TWideStringList& list) {
  list.Clear();
  list.Add(R"(Settings=\Software\Google\Google Talk\)");
}

void TInstalledSoftwareGoogleTalk::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  AddChatSupportNote(list, true, true);
}

void RegisterGoogleTalkSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareGoogleTalk>("TInstalledSoftwareGoogleTalk"));
}

}  // namespace ombrant
