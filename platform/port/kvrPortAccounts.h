// The accounts area of the Windows port: the local account database (netapi32), logon and the
// user-profile functions of userenv.dll.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/port/kvrPortRegistry.h"
#include "platform/port/kvrPortSecurity.h"
#include "platform/port/kvrPortTypes.h"

namespace ombrant::port {

// Status codes of the account calls (Win32 and NERR_* values).
inline constexpr Status kErrorBadNetpath = 53;
inline constexpr Status kErrorModNotFound = 126;
inline constexpr Status kErrorLogonFailure = 1326;
inline constexpr Status kErrorAccountDisabled = 1331;
inline constexpr Status kErrorNoSuchMember = 1387;
inline constexpr Status kErrorMemberInAlias = 1378;
inline constexpr Status kErrorAliasExists = 1379;
inline constexpr Status kNerrBadUsername = 2202;
inline constexpr Status kNerrGroupNotFound = 2220;
inline constexpr Status kNerrUserNotFound = 2221;
inline constexpr Status kNerrUserExists = 2224;
inline constexpr Status kNerrNotPrimary = 2226;
inline constexpr Status kNerrPasswordTooShort = 2245;
inline constexpr Status kNerrInvalidComputer = 2351;

// Privilege levels (usri_priv).
inline constexpr std::uint32_t kUserPrivGuest = 0;
inline constexpr std::uint32_t kUserPrivUser = 1;
inline constexpr std::uint32_t kUserPrivAdmin = 2;

// Account flags (usri_flags).
inline constexpr std::uint32_t kUfAccountDisable = 0x0002;
inline constexpr std::uint32_t kUfNormalAccount = 0x0200;
inline constexpr std::uint32_t kUfDontExpirePasswd = 0x10000;

// NetUserEnum filter 0: every kind of account.
inline constexpr std::uint32_t kFilterAll = 0;

// LogonUser.
inline constexpr std::uint32_t kLogon32LogonInteractive = 2;
inline constexpr std::uint32_t kLogon32ProviderDefault = 0;

// A logon token. The real port hands out the Win32 HANDLE as a number.
using HToken = std::uintptr_t;
inline constexpr HToken kNoToken = 0;

// A policy handle of the local security authority (LSA_HANDLE).
using HPolicy = std::uintptr_t;
inline constexpr HPolicy kNoPolicy = 0;

// LsaOpenPolicy access: what adding, removing and listing account rights needs.
inline constexpr std::uint32_t kPolicyCreateAccount = 0x0010;
inline constexpr std::uint32_t kPolicyLookupNames = 0x0800;

// User rights that keep an account from logging on through the network (file sharing) and
// through remote desktop.
inline constexpr std::string_view kSeDenyNetworkLogonRight = "SeDenyNetworkLogonRight";
inline constexpr std::string_view kSeDenyRemoteInteractiveLogonRight =
    "SeDenyRemoteInteractiveLogonRight";

// ERROR_NO_SUCH_PRIVILEGE: a right or privilege name the system does not know.
inline constexpr Status kErrorNoSuchPrivilege = 1313;

// USER_INFO_1, the fields NetUserAdd reads.
struct UserInfo1 {
  std::string name;
  std::string password;
  std::uint32_t passwordAge = 0;
  std::uint32_t priv = kUserPrivUser;
  std::string homeDir;
  std::string comment;
  std::uint32_t flags = 0;
  std::string scriptPath;
};

// The USER_INFO_3 fields the program and the tests read.
struct UserInfo3 {
  std::string name;
  std::string fullName;
  std::string comment;
  std::uint32_t priv = kUserPrivUser;
  std::uint32_t flags = 0;
  std::uint32_t userId = 0;  // the account's RID
  std::uint32_t primaryGroupId = 0;
};

// PROFILEINFO: the user name goes in, the handle of the loaded hive comes out. The other text
// fields are passed on when not empty. `size` is what the caller sets (32, as for the 32-bit
// structure); the real port fills in the size of its own structure.
struct ProfileInfo {
  std::uint32_t size = 32;
  std::uint32_t flags = 0;
  std::string userName;
  std::string profilePath;
  std::string defaultPath;
  std::string serverName;
  std::string policyPath;
  HKey profile = kNoKey;  // hProfile: the root of the loaded hive, a registry handle
};

// The account calls the program makes. Text is UTF-8; the real port calls the W functions.
// An empty server name is the local machine. Out-parameters stay untouched on failure.
class IAccounts {
 public:
  virtual ~IAccounts() = default;

  // NetUserAdd at level 1. `parmError` (may be null) receives the index of a bad field.
  [[nodiscard]] virtual Status NetUserAdd(std::string_view server, const UserInfo1& info,
                                          std::uint32_t* parmError) = 0;
  [[nodiscard]] virtual Status NetUserDel(std::string_view server, std::string_view user) = 0;
  // NetUserEnum at level 3 with MAX_PREFERRED_LENGTH: every entry at once, in the order the
  // system enumerates them. The buffer is released inside (NetApiBufferFree).
  [[nodiscard]] virtual Status NetUserEnum(std::string_view server, std::uint32_t filter,
                                           std::vector<UserInfo3>* users) = 0;
  [[nodiscard]] virtual Status NetUserGetInfo(std::string_view server, std::string_view user,
                                              UserInfo3* info) = 0;
  // NetLocalGroupAddMembers at level 3: each member is "name" or "DOMAIN\name".
  [[nodiscard]] virtual Status NetLocalGroupAddMembers(std::string_view server,
                                                       std::string_view group,
                                                       const std::vector<std::string>& members) = 0;

  [[nodiscard]] virtual Status GetUserName(std::string* name) = 0;
  // LogonUser; an empty domain is passed as none. The token must be closed with CloseHandle.
  [[nodiscard]] virtual Status LogonUser(std::string_view user, std::string_view domain,
                                         std::string_view password, std::uint32_t logonType,
                                         std::uint32_t provider, HToken* token) = 0;
  virtual Status CloseHandle(HToken token) = 0;

  // The profile functions of userenv.dll are bound at run time. BindProfileFunction takes the
  // module if it is loaded, loads it otherwise, and looks the function up by name
  // ("LoadUserProfileA" binds the port's LoadUserProfile, "UnloadUserProfile" its
  // UnloadUserProfile): kErrorModNotFound without the module, kErrorProcNotFound without the
  // function. The two calls below bind themselves when needed and report the same codes.
  [[nodiscard]] virtual Status BindProfileFunction(std::string_view functionName) = 0;
  [[nodiscard]] virtual Status LoadUserProfile(HToken token, ProfileInfo* profile) = 0;
  // Unloads the hive and releases the handle that LoadUserProfile returned.
  [[nodiscard]] virtual Status UnloadUserProfile(HToken token, HKey profile) = 0;

  // The account-rights calls of the local security policy (advapi32). Their NTSTATUS results
  // come back as Win32 codes (LsaNtStatusToWinError): an account without rights is
  // kErrorFileNotFound for enumerating and removing. An empty system name is the local machine.
  // The policy must be closed with LsaClose.
  [[nodiscard]] virtual Status LsaOpenPolicy(std::string_view systemName, std::uint32_t access,
                                             HPolicy* policy) = 0;
  virtual Status LsaClose(HPolicy policy) = 0;
  [[nodiscard]] virtual Status LsaAddAccountRights(HPolicy policy, const Sid& account,
                                                   const std::vector<std::string>& rights) = 0;
  // `allRights` removes every right and the account's entry in the policy; `rights` is then
  // ignored.
  [[nodiscard]] virtual Status LsaRemoveAccountRights(HPolicy policy, const Sid& account,
                                                      bool allRights,
                                                      const std::vector<std::string>& rights) = 0;
  [[nodiscard]] virtual Status LsaEnumerateAccountRights(HPolicy policy, const Sid& account,
                                                         std::vector<std::string>* rights) = 0;
};

}  // namespace ombrant::port
