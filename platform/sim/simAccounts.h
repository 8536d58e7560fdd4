// The simulated machine's local account database, logon and user profiles.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/port/kvrPortAccounts.h"
#include "platform/port/kvrPortFiles.h"
#include "platform/port/kvrPortSecurity.h"
#include "platform/vqStrings.h"

namespace ombrant::sim {

class SimHive;
class SimRegistry;
class SimFileAcls;
struct SimFolderLayout;

// One INI section's entries in order (name, value), as machine.ini holds them.
using SimIniEntries = std::vector<std::pair<std::string, std::string>>;

struct SimAccountSettings {
  std::string computerName = "OMBRANT-PC";
  // The machine's own domain SID; accounts are this + "-" + RID.
  std::string machineSid = "S-1-5-21-1715567821-926492609-725345543";
  std::string language = "en";  // "en" or "de": the names of the built-in groups
  std::uint32_t majorVersion = 5;  // profile layout: XP below 6, Vista and later from 6
  std::string profilesRoot = "C:\\Documents and Settings";
  std::uint32_t minPasswordLength = 0;
  std::string runningAccount;  // who runs the program (GetUserName, administrator checks)
  bool hasUserenv = true;            // userenv.dll can be loaded
  bool hasProfileFunctions = true;   // ... and exports the profile functions
};

// A built-in local group: English name (the key machine.ini uses), local names, RID.
struct SimBuiltinGroup {
  const char* englishName;
  const char* germanName;
  std::uint32_t rid;  // S-1-5-32-RID
};
[[nodiscard]] const std::vector<SimBuiltinGroup>& SimBuiltinGroups();

struct SimUser {
  std::string name;
  std::string password;
  std::uint32_t privilege = port::kUserPrivUser;  // any number: tests may set odd ones
  std::uint32_t flags = port::kUfNormalAccount;
  std::string comment;
  std::string fullName;
  std::uint32_t rid = 0;
  std::vector<std::string> groups;  // English names of the built-in groups it belongs to
  bool hasProfile = false;          // its profile folder and hive exist
  std::string profilePath;          // set once the profile exists
  std::shared_ptr<SimHive> hive;    // its registry hive, kept while unloaded
};

class SimAccounts final : public port::IAccounts {
 public:
  // The profile functions create folders through `files`, hives in `registry` and the profile
  // folder's DACL in `acls`.
  SimAccounts(SimRegistry& registry, port::IFileSystem& files, SimFileAcls& acls,
              SimAccountSettings settings = {});
  ~SimAccounts() override;
  SimAccounts(const SimAccounts&) = delete;
  SimAccounts& operator=(const SimAccounts&) = delete;

  [[nodiscard]] SimAccountSettings& Settings() { return settings_; }
  [[nodiscard]] const SimAccountSettings& Settings() const { return settings_; }

  // --- builders and inspection ---
  // Adds an account (RID: the user's own when set, else 500 for Administrator, 501 for Guest,
  // else the next free one from 1000); returns it for further setup.
  SimUser& AddUser(SimUser user);
  [[nodiscard]] SimUser* FindUser(std::string_view name);
  [[nodiscard]] const SimUser* FindUser(std::string_view name) const;
  [[nodiscard]] const SimUser* FindUserBySid(const port::Sid& sid) const;
  // In enumeration order (by name, ignoring case).
  [[nodiscard]] std::vector<const SimUser*> Users() const;
  [[nodiscard]] std::string UserSid(const SimUser& user) const;
  [[nodiscard]] bool IsMember(const SimUser& user, std::string_view englishGroup) const;
  // The running account, or null when it is not in the database.
  [[nodiscard]] const SimUser* RunningUser() const;
  [[nodiscard]] bool RunningUserIsAdmin() const;
  // The local name of a built-in group on this machine ("Benutzer" for Users in German).
  [[nodiscard]] std::string LocalGroupName(const SimBuiltinGroup& group) const;
  [[nodiscard]] const SimBuiltinGroup* FindLocalGroup(std::string_view localName) const;
  // The folders a new profile in profiles root + "\" + `folderName` gets.
  [[nodiscard]] std::vector<std::string> ProfileFolders(std::string_view folderName) const;
  [[nodiscard]] std::string TempFolder(std::string_view folderName) const;
  // Logon tokens and loaded profiles not yet released (tests check that nothing leaks).
  [[nodiscard]] std::size_t OpenTokenCount() const { return tokens_.size(); }
  [[nodiscard]] std::size_t LoadedProfileCount() const { return profileHandles_.size(); }
  // How often BindProfileFunction looked a function up.
  [[nodiscard]] int ProfileFunctionLookups() const { return profileLookups_; }

  // --- machine.ini: [account:NAME] sections ---
  // Fails with a message naming the bad entry.
  [[nodiscard]] bool LoadAccountSection(std::string_view name, const SimIniEntries& entries,
                                        std::string* error);
  [[nodiscard]] SimIniEntries SaveAccountSection(const SimUser& user) const;

  // --- port::IAccounts ---
  port::Status NetUserAdd(std::string_view server, const port::UserInfo1& info,
                          std::uint32_t* parmError) override;
  port::Status NetUserDel(std::string_view server, std::string_view user) override;
  port::Status NetUserEnum(std::string_view server, std::uint32_t filter,
                           std::vector<port::UserInfo3>* users) override;
  port::Status NetUserGetInfo(std::string_view server, std::string_view user,
                              port::UserInfo3* info) override;
  port::Status NetLocalGroupAddMembers(std::string_view server, std::string_view group,
                                       const std::vector<std::string>& members) override;
  port::Status GetUserName(std::string* name) override;
  port::Status LogonUser(std::string_view user, std::string_view domain,
                         std::string_view password, std::uint32_t logonType,
                         std::uint32_t provider, port::HToken* token) override;
  port::Status CloseHandle(port::HToken token) override;
  port::Status BindProfileFunction(std::string_view functionName) override;
  port::Status LoadUserProfile(port::HToken token, port::ProfileInfo* profile) override;
  port::Status UnloadUserProfile(port::HToken token, port::HKey profile) override;

 private:
  struct LoadedHive {
    int count = 0;
  };

  [[nodiscard]] SimFolderLayout Layout() const;
  [[nodiscard]] bool IsLocalServer(std::string_view server) const;
  [[nodiscard]] port::UserInfo3 Info(const SimUser& user) const;
  [[nodiscard]] std::uint32_t NextRid() const;
  [[nodiscard]] port::Status CreateProfile(SimUser& user, std::string_view userName);
  [[nodiscard]] port::Status ProfileFunctionsPresent() const;

  SimRegistry& registry_;
  port::IFileSystem& files_;
  SimFileAcls& acls_;
  SimAccountSettings settings_;
  std::vector<std::unique_ptr<SimUser>> users_;
  std::map<port::HToken, std::uint32_t> tokens_;  // token -> RID of its account
  port::HToken nextToken_ = 0x104;
  std::map<port::HKey, std::uint32_t> profileHandles_;  // hive handle -> RID
  std::map<std::uint32_t, LoadedHive> loaded_;           // RID -> loads not yet undone
  int profileLookups_ = 0;
  bool machineSidFromAccounts_ = false;  // an account's SID has fixed the machine's
};

}  // namespace ombrant::sim
