#include "platform/vqNetInfo.h"

namespace ombrant {

TUserList::TUserList(port::IAccounts& accounts, bool fillNow) : accounts_(accounts) {
  if (fillNow) {
    Refresh({port::kUserPrivGuest, port::kUserPrivUser, port::kUserPrivAdmin});
  }
}

bool TUserList::Refresh(TPrivilegeSet privileges) {
  records_.clear();
  try {
    std::vector<port::UserInfo3> users;
    if (accounts_.NetUserEnum("", port::kFilterAll, &users) == port::kErrorSuccess) {
      for (const port::UserInfo3& user : users) {
        if (privileges.Contains(user.priv)) records_.push_back({user.name, user.fullName, user.flags});
      }
    }
    return true;
  } catch (...) {
    return false;
  }
}

TUserRecord TUserList::Items(int index) const {
  if (index < 0 || index >= Count()) throw std::out_of_range("TUserList index out of range");
  return records_[static_cast<std::size_t>(index)];
}

std::string GetCurrentUserName(port::IAccounts& accounts) {
  std::string name;
  if (accounts.GetUserName(&name) != port::kErrorSuccess) return {};
  return name;
}

bool GetCurrentUserPrivilege(port::IAccounts& accounts, std::uint32_t* privilege) {
  port::UserInfo3 info;
  if (accounts.NetUserGetInfo("", GetCurrentUserName(accounts), &info) != port::kErrorSuccess) {
    return false;
  }
  *privilege = info.priv;
  return true;
}

bool GetLocalUserNames(port::IAccounts& accounts, std::vector<std::string>& names) {
  try {
    std::vector<port::UserInfo3> users;
    if (accounts.NetUserEnum("", port::kFilterAll, &users) == port::kErrorSuccess) {
      for (const port::UserInfo3& user : users) names.push_back(user.name);
    }
    return true;
  } catch (...) {
    return false;
  }
}

std::string GetUsersGroupName(port::ISecurity& security) {
  port::Sid sid;
  const port::Status status = security.CreateWellKnownSid(port::kWinBuiltinUsersSid, nullptr, &sid);
  if (status == port::kErrorProcNotFound) {
    throw ENetInfoError("Function not found: advapi32.dll.CreateWellKnownSid");
  }
  if (status != port::kErrorSuccess) return {};
  // The SID must also have a text form; systems without the conversion get no name.
  std::string text;
  if (security.ConvertSidToStringSid(sid, &text) != port::kErrorSuccess || text.empty()) return {};
  std::string name;
  std::string domain;
  std::uint32_t use = 0;
  if (security.LookupAccountSid("", sid, &name, &domain, &use) != port::kErrorSuccess) return {};
  return name;
}

namespace {

// One policy handle, closed however the call ends.
class TLsaPolicy {
 public:
  explicit TLsaPolicy(port::IAccounts& accounts) : accounts_(accounts) {}
  ~TLsaPolicy() {
    if (policy_ != port::kNoPolicy) (void)accounts_.LsaClose(policy_);
  }
  TLsaPolicy(const TLsaPolicy&) = delete;
  TLsaPolicy& operator=(const TLsaPolicy&) = delete;

  [[nodiscard]] port::Status Open() {
    port::HPolicy policy = port::kNoPolicy;
    const port::Status status = accounts_.LsaOpenPolicy(
        "", port::kPolicyCreateAccount | port::kPolicyLookupNames, &policy);
    if (status == port::kErrorSuccess) policy_ = policy;
    return status;
  }
  [[nodiscard]] port::HPolicy Get() const { return policy_; }

 private:
  port::IAccounts& accounts_;
  port::HPolicy policy_ = port::kNoPolicy;
};

}  // namespace

port::Status AddAccountRights(port::IAccounts& accounts, const port::Sid& account,
                              const std::vector<std::string>& rights) {
  TLsaPolicy policy(accounts);
  if (const port::Status status = policy.Open(); status != port::kErrorSuccess) return status;
  return accounts.LsaAddAccountRights(policy.Get(), account, rights);
}

port::Status RemoveAllAccountRights(port::IAccounts& accounts, const port::Sid& account) {
  TLsaPolicy policy(accounts);
  if (const port::Status status = policy.Open(); status != port::kErrorSuccess) return status;
  const port::Status status = accounts.LsaRemoveAccountRights(policy.Get(), account, true, {});
  return status == port::kErrorFileNotFound ? port::kErrorSuccess : status;
}

port::Status EnumerateAccountRights(port::IAccounts& accounts, const port::Sid& account,
                                    std::vector<std::string>* rights) {
  TLsaPolicy policy(accounts);
  if (const port::Status status = policy.Open(); status != port::kErrorSuccess) return status;
  std::vector<std::string> held;
  const port::Status status = accounts.LsaEnumerateAccountRights(policy.Get(), account, &held);
  if (status != port::kErrorSuccess && status != port::kErrorFileNotFound) return status;
  *rights = std::move(held);
  return port::kErrorSuccess;
}

}  // namespace ombrant
