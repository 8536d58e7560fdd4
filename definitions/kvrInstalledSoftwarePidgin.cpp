#include "definitions/kvrInstalledSoftwarePidgin.h"

#include <utility>

#include "platform/vqFileSys.h"
#include "platform/vqStrings.h"

namespace ombrant {
namespace {

struct TLabelRow {
  std::string_view name;
  std::string_view label;
};

constexpr TLabelRow kFileLabels[] = {
    {"accels", "Accelerators"},
    {"accounts.xml", "Account settings"},
    {"blist.xml", "Buddy list"},
    {"otr.fingerprints", "OTR: Fingerprints"},
    {"otr.private_key", "OTR: Private Keys"},
    {"pounces.xml", "Buddy pounces"},
    {"prefs.xml", "Preferences"},
    {"status.xml", "Stored Stati"},
    {"xmpp-caps.xml", "Jabber settings"},
};

constexpr TLabelRow kFolderLabels[] = {
    {"certificates", "Certificate"}, {"guifications", "GUI enhancement"},
    {"icons", "Buddy icon"},         {"log", "Chat log"},
    {"smileys", "Smiley"},
};

}  // namespace

std::string GetPidginItemLabel(std::string_view relativePath) {
  const std::size_t slash = relativePath.find('\\');
  if (slash == std::string_view::npos) {
    for (const TLabelRow& row : kFileLabels) {
      if (SameText(relativePath, row.name)) return std::string(row.label);
    }
  } else {
    const std::string_view top = relativePath.substr(0, slash);
    for (const TLabelRow& row : kFolderLabels) {
      if (top == row.name) return std::string(row.label);
    }
  }
  return "Settings";
}

TInstalledSoftwarePidgin::TInstalledSoftwarePidgin(const TSoftwareContext& context,
                                                   std::string displayName, std::string executable)
    : TInstalledSoftware(context, std::move(displayName), std::move(executable)) {
  FCategory = scChat;
}

std::string TInstalledSoftwarePidgin::GetIconResourceName() { return "PIDGIN"; }

void TInstalledSoftwarePidgin::FindInstallations(const TSoftwareContext& context,
                                                 TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "pidgin.exe", "Pidgin", list,
                         TUninstallPathSource::upsUninstallStringFolder,
                         TUninstallMatchOn::umoKeyName);
}

std::string TInstalledSoftwarePidgin::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\.purple\)");
}

void TInstalledSoftwarePidgin::GetDataItems(TWideStringList& list) {
  list.Clear();
  TStringList files;
  FindFiles(Context().port.files, IncludeTrailingBackslash(GetCurrentUserDataFolder()) + "*.*",
            files, true, false, false, true, true);
  for (const std::string& file : files) list.Add(GetPidginItemLabel(file) + "=" + file);
}

void TInstalledSoftwarePidgin::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  AddChatSupportNote(list, true, true);
}

void RegisterPidginSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwarePidgin>("TInstalledSoftwarePidgin"));
}

}  // namespace ombrant
