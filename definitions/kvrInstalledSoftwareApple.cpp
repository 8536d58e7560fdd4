#include "definitions/kvrInstalledSoftwareApple.h"

namespace ombrant {

// ---- Safari

TInstalledSoftwareSafari::TInstalledSoftwareSafari(const TSoftwareContext& context,
                                                   std::string displayName, std::string executable)
    : TInstalledSoftware(context, std::move(displayName), std::move(executable)) {
  FCategory = scBrowser;
}

std::string TInstalledSoftwareSafari::GetIconResourceName() { return "SAFARI"; }

void TInstalledSoftwareSafari::FindInstallations(const TSoftwareContext& context,
                                                 TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "Safari.exe", "Safari", list,
                         TUninstallPathSource::upsInstallLocation,
                         TUninstallMatchOn::umoDisplayName);
}

std::string TInstalledSoftwareSafari::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\Apple Computer\Safari\)");
}

void TInstalledSoftwareSafari::GetDataItems(TWideStringList& list) {
  list.Clear();
  list.Add(R"(Cookies=Cookies\Cookies.plist)");
  list.Add("Bookmarks=Bookmarks.plist");
  list.Add("Form values=Form Values.plist");
  list.Add("History=History.plist");
  list.Add("LastSession=LastSession.plist");
  list.Add("Preferences=Preferences.plist");
  list.Add(R"(Subscription preferences=Preferences\PubSub.plist)");
  list.Add("WebKit Preferences=WebKitPreferences.plist");
}

void TInstalledSoftwareSafari::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  list.Add(
      "Safari is fully supported in that bookmarks, cookies, form values, history and preferences "
      "are copied to your impersonated Ombrant.");
}

// ---- QuickTime

TInstalledSoftwareQuickTime::TInstalledSoftwareQuickTime(const TSoftwareContext& context,
                                                         std::string displayName,
                                                         std::string executable)
    : TInstalledSoftwareAllDataFiles(context, std::move(displayName), std::move(executable)) {
  FCategory = scMultimedia;
}

std::string TInstalledSoftwareQuickTime::GetIconResourceName() { return "QUICKTIME"; }

void TInstalledSoftwareQuickTime::FindInstallations(const TSoftwareContext& context,
                                                    TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "QuickTimePlayer.exe", "QuickTime", list,
                         TUninstallPathSource::upsInstallLocation,
                         TUninstallMatchOn::umoDisplayName);
}

std::string TInstalledSoftwareQuickTime::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\Apple Computer\QuickTime\)");
}

// ---- registration

void RegisterAppleSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareSafari>("TInstalledSoftwareSafari"));
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareQuickTime>("TInstalledSoftwareQuickTime"));
}

}  // namespace ombrant
