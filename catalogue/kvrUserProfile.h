// Loading and unloading another account's user profile through userenv.dll, bound at first use,
// and owners for the logon token and the loaded profile.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

#include "platform/port/kvrPortAccounts.h"

namespace ombrant {

// "Library not found: userenv.dll" or "Function not found: userenv.dll.LoadUserProfileA".
class EProfileFunctionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The two profile functions. Each is looked up at its first call and remembered; a missing
// module or function raises EProfileFunctionError, and the call is looked up again next time.
class TUserProfileFunctions {
 public:
  explicit TUserProfileFunctions(port::IAccounts& accounts) : accounts_(accounts) {}

  // Fills profile.profile with the handle of the account's hive (the profile is created on
  // first use); false when the system refuses.
  bool LoadUserProfileA(port::HToken token, port::ProfileInfo& profile);
  bool UnloadUserProfile(port::HToken token, port::HKey profile);

 private:
  void Bind(const char* function, bool& bound);

  port::IAccounts& accounts_;
  bool loadBound_ = false;
  bool unloadBound_ = false;
};

// A logon token, closed when the owner goes.
class TLogonToken {
 public:
  explicit TLogonToken(port::IAccounts& accounts, port::HToken token = port::kNoToken)
      : accounts_(&accounts), token_(token) {}
  ~TLogonToken() { Close(); }
  TLogonToken(TLogonToken&& other) noexcept
      : accounts_(other.accounts_), token_(std::exchange(other.token_, port::kNoToken)) {}
  TLogonToken& operator=(TLogonToken&& other) noexcept;
  TLogonToken(const TLogonToken&) = delete;
  TLogonToken& operator=(const TLogonToken&) = delete;

  // LogonUser into this owner (closing what it held); false when the logon fails.
  bool Logon(std::string_view user, std::string_view domain, std::string_view password,
             std::uint32_t logonType, std::uint32_t provider);
  [[nodiscard]] bool Valid() const { return token_ != port::kNoToken; }
  [[nodiscard]] port::HToken Get() const { return token_; }
  void Close();

 private:
  port::IAccounts* accounts_;
  port::HToken token_;
};

// A profile loaded through TUserProfileFunctions, unloaded when the owner goes. The token must
// outlive it.
class TLoadedUserProfile {
 public:
  TLoadedUserProfile(TUserProfileFunctions& functions, port::HToken token)
      : functions_(functions), token_(token) {}
  ~TLoadedUserProfile() { Unload(); }
  TLoadedUserProfile(const TLoadedUserProfile&) = delete;
  TLoadedUserProfile& operator=(const TLoadedUserProfile&) = delete;

  // PROFILEINFO with size 32, flags 0 and the user name; may raise EProfileFunctionError.
  bool Load(std::string_view userName);
  [[nodiscard]] bool Loaded() const { return info_.profile != port::kNoKey; }
  [[nodiscard]] port::ProfileInfo& Info() { return info_; }
  // Unloads now; the result of UnloadUserProfile (true when nothing was loaded).
  bool Unload() noexcept;

 private:
  TUserProfileFunctions& functions_;
  port::HToken token_;
  port::ProfileInfo info_;
};

}  // namespace ombrant
