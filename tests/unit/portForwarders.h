// Port areas that pass every call on to another implementation; tests derive from them and
// override the one call they want to fail.
#pragma once

#include "platform/port/kvrPortAccounts.h"
#include "platform/port/kvrPortSecurity.h"

namespace ombrant::test {

class ForwardingAccounts : public port::IAccounts {
 public:
  explicit ForwardingAccounts(port::IAccounts& inner) : inner_(inner) {}

  port::Status NetUserAdd(std::string_view server, const port::UserInfo1& info,
                          std::uint32_t* parmError) override {
    return inner_.NetUserAdd(server, info, parmError);
  }
  port::Status NetUserDel(std::string_view server, std::string_view user) override {
    return inner_.NetUserDel(server, user);
  }
  port::Status NetUserEnum(std::string_view server, std::uint32_t filter,
                           std::vector<port::UserInfo3>* users) override {
    return inner_.NetUserEnum(server, filter, users);
  }
  port::Status NetUserGetInfo(std::string_view server, std::string_view user,
                              port::UserInfo3* info) override {
    return inner_.NetUserGetInfo(server, user, info);
  }
  port::Status NetLocalGroupAddMembers(std::string_view server, std::string_view group,
                                       const std::vector<std::string>& members) override {
    return inner_.NetLocalGroupAddMembers(server, group, members);
  }
  port::Status GetUserName(std::string* name) override { return inner_.GetUserName(name); }
  port::Status LogonUser(std::string_view user, std::string_view domain, std::string_view password,
                         std::uint32_t logonType, std::uint32_t provider,
                         port::HToken* token) override {
    return inner_.LogonUser(user, domain, password, logonType, provider, token);
  }
  port::Status CloseHandle(port::HToken token) override { return inner_.CloseHandle(token); }
  port::Status BindProfileFunction(std::string_view functionName) override {
    return inner_.BindProfileFunction(functionName);
  }
  port::Status LoadUserProfile(port::HToken token, port::ProfileInfo* profile) override {
    return inner_.LoadUserProfile(token, profile);
  }
  port::Status UnloadUserProfile(port::HToken token, port::HKey profile) override {
    return inner_.UnloadUserProfile(token, profile);
  }
  port::Status LsaOpenPolicy(std::string_view systemName, std::uint32_t access,
                             port::HPolicy* policy) override {
    return inner_.LsaOpenPolicy(systemName, access, policy);
  }
  port::Status LsaClose(port::HPolicy policy) override { return inner_.LsaClose(policy); }
  port::Status LsaAddAccountRights(port::HPolicy policy, const port::Sid& account,
                                   const std::vector<std::string>& rights) override {
    return inner_.LsaAddAccountRights(policy, account, rights);
  }
  port::Status LsaRemoveAccountRights(port::HPolicy policy, const port::Sid& account,
                                      bool allRights,
                                      const std::vector<std::string>& rights) override {
    return inner_.LsaRemoveAccountRights(policy, account, allRights, rights);
  }
  port::Status LsaEnumerateAccountRights(port::HPolicy policy, const port::Sid& account,
                                         std::vector<std::string>* rights) override {
    return inner_.LsaEnumerateAccountRights(policy, account, rights);
  }

 private:
  port::IAccounts& inner_;
};

class ForwardingSecurity : public port::ISecurity {
 public:
  explicit ForwardingSecurity(port::ISecurity& inner) : inner_(inner) {}

  port::Status CreateWellKnownSid(int type, const port::Sid* domainSid, port::Sid* sid) override {
    return inner_.CreateWellKnownSid(type, domainSid, sid);
  }
  port::Status LookupAccountSid(std::string_view systemName, const port::Sid& sid,
                                std::string* name, std::string* domain,
                                std::uint32_t* use) override {
    return inner_.LookupAccountSid(systemName, sid, name, domain, use);
  }
  port::Status LookupAccountName(std::string_view systemName, std::string_view name, port::Sid* sid,
                                 std::string* domain, std::uint32_t* use) override {
    return inner_.LookupAccountName(systemName, name, sid, domain, use);
  }
  port::Status ConvertSidToStringSid(const port::Sid& sid, std::string* text) override {
    return inner_.ConvertSidToStringSid(sid, text);
  }
  port::Status ConvertStringSidToSid(std::string_view text, port::Sid* sid) override {
    return inner_.ConvertStringSidToSid(text, sid);
  }
  port::Status ConvertSecurityDescriptorToStringSecurityDescriptor(
      const port::SecurityDescriptor& descriptor, std::uint32_t revision, std::uint32_t information,
      std::string* text) override {
    return inner_.ConvertSecurityDescriptorToStringSecurityDescriptor(descriptor, revision,
                                                                      information, text);
  }
  port::Status ConvertStringSecurityDescriptorToSecurityDescriptor(
      std::string_view text, std::uint32_t revision,
      port::SecurityDescriptor* descriptor) override {
    return inner_.ConvertStringSecurityDescriptorToSecurityDescriptor(text, revision, descriptor);
  }
  port::Status GetFileSecurity(std::string_view path, std::uint32_t information,
                               port::SecurityDescriptor* descriptor) override {
    return inner_.GetFileSecurity(path, information, descriptor);
  }
  port::Status SetFileSecurity(std::string_view path, std::uint32_t information,
                               const port::SecurityDescriptor& descriptor) override {
    return inner_.SetFileSecurity(path, information, descriptor);
  }
  port::Status FormatMessage(port::Status code, std::string* text) override {
    return inner_.FormatMessage(code, text);
  }

 private:
  port::ISecurity& inner_;
};

}  // namespace ombrant::test
