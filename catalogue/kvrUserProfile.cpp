#include "catalogue/kvrUserProfile.h"

namespace ombrant {
namespace {

constexpr const char* kUserenv = "userenv.dll";

}  // namespace

void TUserProfileFunctions::Bind(const char* function, bool& bound) {
  if (bound) return;
  const port::Status status = accounts_.BindProfileFunction(function);
  if (status == port::kErrorModNotFound) {
    throw EProfileFunctionError(std::string("Library not found: ") + kUserenv);
  }
  if (status != port::kErrorSuccess) {
    throw EProfileFunctionError(std::string("Function not found: ") + kUserenv + "." + function);
  }
  bound = true;
}

bool TUserProfileFunctions::LoadUserProfileA(port::HToken token, port::ProfileInfo& profile) {
  Bind("LoadUserProfileA", loadBound_);
  return accounts_.LoadUserProfile(token, &profile) == port::kErrorSuccess;
}

bool TUserProfileFunctions::UnloadUserProfile(port::HToken token, port::HKey profile) {
  Bind("UnloadUserProfile", unloadBound_);
  return accounts_.UnloadUserProfile(token, profile) == port::kErrorSuccess;
}

TLogonToken& TLogonToken::operator=(TLogonToken&& other) noexcept {
  if (this != &other) {
    Close();
    accounts_ = other.accounts_;
    token_ = std::exchange(other.token_, port::kNoToken);
  }
  return *this;
}

bool TLogonToken::Logon(std::string_view user, std::string_view domain, std::string_view password,
                        std::uint32_t logonType, std::uint32_t provider) {
  Close();
  port::HToken token = port::kNoToken;
  if (accounts_->LogonUser(user, domain, password, logonType, provider, &token) !=
      port::kErrorSuccess) {
    return false;
  }
  token_ = token;
  return true;
}

void TLogonToken::Close() {
  if (token_ != port::kNoToken) accounts_->CloseHandle(std::exchange(token_, port::kNoToken));
}

bool TLoadedUserProfile::Load(std::string_view userName) {
  Unload();
  info_ = port::ProfileInfo{};
  info_.size = 32;
  info_.userName = std::string(userName);
  return functions_.LoadUserProfileA(token_, info_);
}

bool TLoadedUserProfile::Unload() noexcept {
  if (info_.profile == port::kNoKey) return true;
  const port::HKey hive = std::exchange(info_.profile, port::kNoKey);
  try {
    return functions_.UnloadUserProfile(token_, hive);
  } catch (...) {
    return false;
  }
}

}  // namespace ombrant
