// The accounts area of the real Windows port: netapi32, LogonUserW and userenv.dll's profile
// functions, bound at first use.
#pragma once

#include "platform/port/kvrPortAccounts.h"

namespace ombrant::win32 {

class WinAccounts final : public port::IAccounts {
 public:
  WinAccounts() = default;
  ~WinAccounts() override;
  WinAccounts(const WinAccounts&) = delete;
  WinAccounts& operator=(const WinAccounts&) = delete;

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
  // "LoadUserProfileA" binds LoadUserProfileW (the port's text is Unicode), "UnloadUserProfile"
  // itself.
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

 private:
  using LoadUserProfileFn = int(__stdcall*)(void* token, void* profileInfo);
  using UnloadUserProfileFn = int(__stdcall*)(void* token, void* profile);

  // The module, loaded when it was not loaded yet (then freed with this object).
  port::Status Userenv(void** module);

  void* userenv_ = nullptr;
  bool userenvLoadedHere_ = false;
  LoadUserProfileFn loadUserProfile_ = nullptr;
  UnloadUserProfileFn unloadUserProfile_ = nullptr;
};

}  // namespace ombrant::win32
