// Local accounts: who runs the program, which accounts exist and with which privilege, and the
// local name of the built-in Users group.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/port/kvrPortAccounts.h"
#include "platform/port/kvrPortSecurity.h"

namespace ombrant {

// Raised when a function the system should export is missing: "Function not found: " +
// library + "." + function.
class ENetInfoError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A set of privilege levels (USER_PRIV_GUEST, _USER, _ADMIN) over 0..7; levels outside that
// range are never in a set.
class TPrivilegeSet {
 public:
  constexpr TPrivilegeSet() = default;
  constexpr TPrivilegeSet(std::initializer_list<std::uint32_t> levels) {
    for (std::uint32_t level : levels) {
      if (level < 8) bits_ = static_cast<std::uint8_t>(bits_ | 1u << level);
    }
  }
  [[nodiscard]] constexpr bool Contains(std::uint32_t level) const {
    return level < 8 && (bits_ >> level & 1u) != 0;
  }

 private:
  std::uint8_t bits_ = 0;
};

struct TUserRecord {
  std::string UserName;
  std::string FullName;
  std::uint32_t Flags = 0;  // usri3_flags: UF_ACCOUNTDISABLE and the others
};

// The local accounts whose privilege is in a set, in the order the system enumerates them.
class TUserList {
 public:
  // With `fillNow`, refreshed at once with every level: {guest, user, admin}.
  TUserList(port::IAccounts& accounts, bool fillNow);

  // Replaces the records. A failing enumeration gives an empty list and still true; false only
  // when something threw (the records added so far stay).
  bool Refresh(TPrivilegeSet privileges);
  [[nodiscard]] int Count() const { return static_cast<int>(records_.size()); }
  // A copy; throws std::out_of_range for an index outside 0..Count()-1.
  [[nodiscard]] TUserRecord Items(int index) const;

 private:
  port::IAccounts& accounts_;
  std::vector<TUserRecord> records_;
};

// The account running the program; empty when the system cannot tell.
[[nodiscard]] std::string GetCurrentUserName(port::IAccounts& accounts);
// The running account's privilege level; false (and `privilege` untouched) on failure.
[[nodiscard]] bool GetCurrentUserPrivilege(port::IAccounts& accounts, std::uint32_t* privilege);
// Appends the name of every local account, unfiltered. True unless something threw.
bool GetLocalUserNames(port::IAccounts& accounts, std::vector<std::string>& names);
// The local name of the built-in Users group ("Users", "Benutzer"); empty when its SID cannot be
// built or converted. Raises ENetInfoError when the system lacks CreateWellKnownSid.
[[nodiscard]] std::string GetUsersGroupName(port::ISecurity& security);

// The account-rights calls of the local security policy on the local machine, each with its own
// policy handle. Win32 status codes.
[[nodiscard]] port::Status AddAccountRights(port::IAccounts& accounts, const port::Sid& account,
                                            const std::vector<std::string>& rights);
// Every right of the SID and its entry in the policy; a SID that holds none is no failure.
[[nodiscard]] port::Status RemoveAllAccountRights(port::IAccounts& accounts,
                                                  const port::Sid& account);
// None held reads as an empty list.
[[nodiscard]] port::Status EnumerateAccountRights(port::IAccounts& accounts,
                                                  const port::Sid& account,
                                                  std::vector<std::string>* rights);

}  // namespace ombrant
