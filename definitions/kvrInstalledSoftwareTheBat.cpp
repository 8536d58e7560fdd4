#include "definitions/kvrInstalledSoftwareTheBat.h"

#include "platform/vqFileSys.h"
#include "platform/vqStrings.h"

namespace ombrant {
namespace {

struct TKnownFile {
  std::string_view name;
  std::string_view label;
};

// The files directly in the data folder that have a name of their own.
constexpr TKnownFile kKnownFiles[] = {
    {"AccOrder.CFG", "Account order"},
    {"ADDRBOOK.INI", "Address book"},
    {"LDAP#1.ADB", "LDAP address book #1"},
    {"LDAP#2.ADB", "LDAP address book #2"},
    {"LDAP#3.ADB", "LDAP address book #3"},
    {"LDAP#4.ADB", "LDAP address book #4"},
    {"RootCA.ADB", "Root authority certificates"},
    {"IntermCA.ADB", "Intermediate authority certificates"},
};

}  // namespace

std::string GetTheBatItemLabel(std::string_view relativePath) {
  const std::size_t slash = relativePath.find('\\');
  if (slash == std::string_view::npos) {
    for (const TKnownFile& known : kKnownFiles) {
      if (SameText(relativePath, known.name)) return std::string(known.label);
    }
    return "Settings";
  }
  const std::string account(relativePath.substr(0, slash));
  const std::string_view rest = relativePath.substr(slash + 1);
  // The message bases' extensions are written in capitals by The Bat! itself.
  if (rest.ends_with(".TBB")) return "Messages (" + account + ")";
  if (rest.ends_with(".TBI")) return "Message Index (" + account + ")";
  if (SameText(rest, "Account.CFN")) return "Account configuration (" + account + ")";
  if (SameText(rest, "Account.FLB")) return "Folders (" + account + ")";
  return "Profile (" + account + ")";
}

TInstalledSoftwareTheBat::TInstalledSoftwareTheBat(const TSoftwareContext& context,
                                                   std::string displayName, std::string executable)
    : TInstalledSoftware(context, std::move(displayName), std::move(executable)) {
  FCategory = scEmail;
}

std::string TInstalledSoftwareTheBat::GetIconResourceName() { return "THEBAT"; }

void TInstalledSoftwareTheBat::FindInstallations(const TSoftwareContext& context,
                                                 TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "thebat.exe", "TheBat!*", list,
                         TUninstallPathSource::upsInstallLocation,
                         TUninstallMatchOn::umoDisplayName);
}

std::string TInstalledSoftwareTheBat::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\The Bat!\)");
}

void TInstalledSoftwareTheBat::GetExistingDataItems(TWideStringList& list, std::int32_t) {
  list.Clear();
  const std::string folder = IncludeTrailingBackslash(GetCurrentUserDataFolder());
  TStringList files;
  FindFiles(Context().port.files, folder + "*.*", files, true, false, false, true, true);
  for (const std::string& file : files) {
    // Only the event log lying directly in the folder stays with the administrator.
    if (SameText(file, "Events.CFG")) continue;
    list.Add(GetTheBatItemLabel(file) + "=" + file);
  }
}

void TInstalledSoftwareTheBat::GetRegistryKeys(TWideStringList& list) {
  list.Clear();
  list.Add(R"(Settings=\Software\RIT\The Bat!\)");
}

void TInstalledSoftwareTheBat::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  AddMailSupportNote(list, true, true);
}

void RegisterTheBatSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareTheBat>("TInstalledSoftwareTheBat"));
}

}  // namespace ombrant
