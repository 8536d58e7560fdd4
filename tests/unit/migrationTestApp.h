// A definition for migration tests: its data folder is "Application Data\<folder>" of each
// profile; flags, items and hooks are set by the test, calls are recorded.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/port/kvrPort.h"
#include "platform/vqStringList.h"

namespace ombrant::test {

class TMigrationTestApp {
 public:
  TMigrationTestApp(port::Port& port, std::string profiles, std::string displayName,
                    std::string executable, std::string folder)
      : port_(port),
        profiles_(std::move(profiles)),
        displayName_(std::move(displayName)),
        executable_(std::move(executable)),
        folder_(std::move(folder)) {}

  // ---- what the test sets
  bool shutdownRequired = false;
  bool startRequired = false;
  bool forceCopy = false;
  bool alwaysRunAfterMigration = false;
  bool noDataFolders = false;  // GetDataFolders lists nothing
  bool active = true;
  TStringList dataItems;       // "label=relative file"
  TStringList registryKeys;    // "label=\Key\"
  TStringList registryValues;  // "label=\Key\Value"
  std::function<void(const std::string& user)> onRunAsUser;
  std::function<void()> onAfterMigration;

  // ---- what the engine did
  int afterMigrationCalls = 0;
  std::vector<std::string> runAsUsers;
  std::vector<std::string> adjusted;  // source|target|file
  std::string profileUserDuringAfterMigration;

  // ---- the operations the engine calls
  const std::string& DisplayName() const { return displayName_; }
  const std::string& Executable() const { return executable_; }
  bool Active() const { return active; }
  std::string GetDataFolder(const std::string& user) const {
    return profiles_ + "\\" + user + "\\Application Data\\" + folder_ + "\\";
  }
  void GetDataFolders(const std::string& user, TStringList& list) {
    list.Clear();
    if (!noDataFolders) list.Add(GetDataFolder(user));
  }
  bool HasData(const std::string& folder) {
    std::uint32_t attributes = 0;
    return port_.files.GetFileAttributes(folder, &attributes) == port::kErrorSuccess &&
           (attributes & port::kFileAttributeDirectory) != 0;
  }
  std::string GetCurrentUserDataFolder() {
    std::string user;
    (void)port_.accounts.GetUserName(&user);
    return GetDataFolder(user);
  }
  bool GetShutdownRequiredBeforeDataCopy() { return shutdownRequired; }
  bool GetStartRequiredBeforeDataCopy() { return startRequired; }
  bool ForceDataCopy() { return forceCopy; }
  bool AlwaysRunAfterMigration() const { return alwaysRunAfterMigration; }
  void RunAsUser(const std::string& user) {
    runAsUsers.push_back(user);
    if (onRunAsUser) onRunAsUser(user);
  }
  // As the base class: the items whose file exists in the running account's folder.
  void GetExistingDataItems(TStringList& list, int folderIndex) {
    list.Clear();
    std::string user;
    (void)port_.accounts.GetUserName(&user);
    TStringList folders;
    GetDataFolders(user, folders);
    if (folderIndex >= folders.Count()) return;
    for (const std::string& line : dataItems.Strings()) {
      std::uint32_t attributes = 0;
      const std::string file = folders[folderIndex] + line.substr(line.find('=') + 1);
      if (port_.files.GetFileAttributes(file, &attributes) == port::kErrorSuccess &&
          (attributes & port::kFileAttributeDirectory) == 0) {
        list.Add(line);
      }
    }
  }
  void GetRegistryKeys(TStringList& list) { list = registryKeys; }
  void GetRegistryValues(TStringList& list) { list = registryValues; }
  bool AdjustCopiedFile(const std::string& source, const std::string& target,
                        const std::string& file) {
    adjusted.push_back(source + "|" + target + "|" + file);
    return false;
  }
  bool AfterMigration() {
    ++afterMigrationCalls;
    profileUserDuringAfterMigration = profile_.userName;
    if (onAfterMigration) onAfterMigration();
    return false;
  }
  const port::ProfileInfo& TargetProfile() const { return profile_; }
  void SetTargetProfile(const port::ProfileInfo& profile) { profile_ = profile; }
  void ClearTargetProfile() {
    profile_ = port::ProfileInfo{};
    profile_.size = 0;
  }

 private:
  port::Port& port_;
  std::string profiles_;
  std::string displayName_;
  std::string executable_;
  std::string folder_;
  port::ProfileInfo profile_ = [] {
    port::ProfileInfo zero;
    zero.size = 0;
    return zero;
  }();
};

}  // namespace ombrant::test
