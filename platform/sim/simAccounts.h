// The simulated machine's local account database, logon and user profiles.
#pragma once

#include <cstdint>
#include <functional>
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
#include "platform/sim/simIni.h"
#include "platform/vqStrings.h"

namespace ombrant::sim {

class SimHive;
class SimRegistry;
class SimFileAcls;
struct SimFolderLayout;

struct SimAccountSettings {
  std::string computerName = "OMBRANT-PC";
  // The machine's own domain SID; accounts are this + "-" + RID.
  std::string machineSid = "S-1-5-21-1715567821-926492609-725345543";
  std::string language = "en";     // "en" or "de": the names of the built-in groups
  std::uint32_t majorVersion = 5;  // profile layout: XP below 6, Vista and later from 6
  std::string profilesRoot = "C:\\Documents and Settings";
  std::uint32_t minPasswordLength = 0;
  std::string runningAccount;       // who runs the program (GetUserName, administrator checks)
  bool hasUserenv = true;           // userenv.dll can be loaded
  bool hasProfileFunctions = true;  // ... and exports the profile functions
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
  std::string sid;                  // "S-1-5-21-...-RID"; given by the database when empty
  std::vector<std::string> groups;  // English names of the built-in groups it belongs to
  bool hasProfile = false;          // its profile folder and hive exist
  std::string profilePath;          // where its profile is (profiles root + name by default)
  std::shared_ptr<SimHive> hive;    // its registry hive (HKCU while it runs), kept while unloaded
  IniSection settings;              // its machine.ini section as read, comments included
  // Calls refused with access denied for this account: "delete" (NetUserDel), "logon"
  // (LogonUser), "rights" (the account-rights calls).
  std::vector<std::string> refuse;
  // The user rights the local security policy holds for its SID, in the order granted.
  std::vector<std::string> rights;

  [[nodiscard]] bool Refuses(std::string_view call) const;

  // The last part of the SID.
  [[nodiscard]] std::uint32_t Rid() const;
};

// The simulated machine's accounts are its users.
using SimAccount = SimUser;

class SimAccounts final : public port::IAccounts {
 public:
  // The profile functions create folders through `files`, hives in `registry` and the profile
  // folder's DACL in `acls`.
  SimAccounts(SimRegistry& registry, port::IFileSystem& files, SimFileAcls& acls,
              SimAccountSettings settings = {});
  ~SimAccounts() override;
  SimAccounts(const SimAccounts&) = delete;
  SimAccounts& operator=(const SimAccounts&) = delete;

  // Runs when a profile is made, after its folder exists and before the standard folders are
  // added: the machine copies its default profile (folder and hive) into the new one.
  using NewProfileHook = std::function<port::Status(const std::string& profilePath, SimHive& hive)>;
  void SetNewProfileHook(NewProfileHook hook) { newProfile_ = std::move(hook); }

  [[nodiscard]] SimAccountSettings& Settings() { return settings_; }
  [[nodiscard]] const SimAccountSettings& Settings() const { return settings_; }

  // --- builders and inspection ---
  // Adds an account; without a SID it gets the machine's SID and the RID 500 (Administrator),
  // 501 (Guest) or the next free one from 1000. Returns it for further setup.
  SimUser& AddUser(SimUser user);
  [[nodiscard]] const std::vector<std::unique_ptr<SimUser>>& All() const { return users_; }
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
  // Reads password, privilege, full_name, comment, flags, groups and profile (the machine reads
  // the name and sid). Without privilege it follows from groups and the other way round. False
  // with a message and the entry's line for a bad entry.
  [[nodiscard]] bool ApplyAccountSection(SimUser& user, const IniSection& section,
                                         std::string* error, std::size_t* line) const;
  // The section as the account is now: the section it was read from with its values brought up
  // to date (comments and order kept), sid and groups always written.
  [[nodiscard]] IniSection SaveAccountSection(const SimUser& user) const;

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
  port::Status LogonUser(std::string_view user, std::string_view domain, std::string_view password,
                         std::uint32_t logonType, std::uint32_t provider,
                         port::HToken* token) override;
  port::Status CloseHandle(port::HToken token) override;
  port::Status BindProfileFunction(std::string_view functionName) override;
  port::Status LoadUserProfile(port::HToken token, port::ProfileInfo* profile) override;
  port::Status UnloadUserProfile(port::HToken token, port::HKey profile) override;
  port::Status LsaOpenPolicy(std::string_view systemName, std::uint32_t access,
                             port::HPolicy* policy) override;
  port::Status LsaClose(port::HPolicy policy) override;
  port::Status LsaAddAccountRights(port::HPolicy policy, const port::Sid& account,
                                   const std::vector<std::string>& rights) override;
  port::Status LsaRemoveAccountRights(port::HPolicy policy, const port::Sid& account,
                                      bool allRights,
                                      const std::vector<std::string>& rights) override;
  port::Status LsaEnumerateAccountRights(port::HPolicy policy, const port::Sid& account,
                                         std::vector<std::string>* rights) override;

  // The rights the policy holds for a SID (string form), also after its account was deleted:
  // Windows keeps them until they are removed.
  [[nodiscard]] std::vector<std::string> AccountRights(std::string_view sid) const;
  // Policy handles not yet closed.
  [[nodiscard]] std::size_t OpenPolicyCount() const { return policies_.size(); }

 private:
  // The policy's entry of a SID that belongs to no account any more.
  struct OrphanRights {
    std::vector<std::string> rights;
    bool refused = false;
  };
  // The policy's list of rights of a SID: invalid handle, invalid SID, or access denied when
  // its account refuses the rights calls.
  [[nodiscard]] port::Status PolicyEntry(port::HPolicy policy, const port::Sid& account,
                                         std::vector<std::string>** rights);

  struct LoadedHive {
    int count = 0;
    bool mountedHere = false;  // false: it was loaded already (the running account's)
  };

  [[nodiscard]] SimFolderLayout Layout() const;
  [[nodiscard]] bool IsLocalServer(std::string_view server) const;
  [[nodiscard]] port::UserInfo3 Info(const SimUser& user) const;
  [[nodiscard]] std::uint32_t NextRid() const;
  [[nodiscard]] SimUser* UserOfToken(port::HToken token);
  [[nodiscard]] std::string ProfilePathOf(const SimUser& user) const;
  [[nodiscard]] port::Status CreateProfile(SimUser& user, std::string_view userName);
  [[nodiscard]] port::Status ProfileFunctionsPresent() const;

  SimRegistry& registry_;
  port::IFileSystem& files_;
  SimFileAcls& acls_;
  SimAccountSettings settings_;
  std::vector<std::unique_ptr<SimUser>> users_;
  std::map<port::HToken, std::string> tokens_;  // token -> SID of its account
  port::HToken nextToken_ = 0x104;
  std::map<port::HKey, std::string> profileHandles_;  // hive handle -> SID
  std::map<std::string, LoadedHive> loaded_;          // SID -> loads not yet undone
  int profileLookups_ = 0;
  std::map<port::HPolicy, std::uint32_t> policies_;  // open policy handle -> its access
  port::HPolicy nextPolicy_ = 0x2000;
  std::map<std::string, OrphanRights> orphanRights_;  // upper-cased SID -> what stays
  NewProfileHook newProfile_;
};

}  // namespace ombrant::sim
