#include "platform/win32/winHeaders.h"
// After windows.h: the network-management and profile declarations.
#include <lm.h>
#include <userenv.h>
#undef LoadUserProfile
#include <ntsecapi.h>

#include <vector>

#include "platform/win32/winAccounts.h"
#include "platform/win32/winText.h"

namespace ombrant::win32 {
namespace {

static_assert(sizeof(NET_API_STATUS) == sizeof(port::Status));

// A buffer netapi32 allocated, freed with NetApiBufferFree in every case.
class NetBuffer {
 public:
  NetBuffer() = default;
  ~NetBuffer() {
    if (buffer_) NetApiBufferFree(buffer_);
  }
  NetBuffer(const NetBuffer&) = delete;
  NetBuffer& operator=(const NetBuffer&) = delete;
  LPBYTE* Out() { return &buffer_; }
  template <typename T>
  T* As() const {
    return reinterpret_cast<T*>(buffer_);
  }

 private:
  LPBYTE buffer_ = nullptr;
};

port::UserInfo3 FromUserInfo3(const USER_INFO_3& u) {
  port::UserInfo3 info;
  info.name = Narrow(u.usri3_name);
  info.fullName = Narrow(u.usri3_full_name);
  info.comment = Narrow(u.usri3_comment);
  info.priv = u.usri3_priv;
  info.flags = u.usri3_flags;
  info.userId = u.usri3_user_id;
  info.primaryGroupId = u.usri3_primary_group_id;
  return info;
}

HANDLE ToHandle(port::HToken token) { return reinterpret_cast<HANDLE>(token); }

}  // namespace

WinAccounts::~WinAccounts() {
  if (userenvLoadedHere_ && userenv_) FreeLibrary(static_cast<HMODULE>(userenv_));
}

port::Status WinAccounts::NetUserAdd(std::string_view server, const port::UserInfo1& info,
                                     std::uint32_t* parmError) {
  Wide name(info.name), password(info.password), homeDir(info.homeDir), comment(info.comment),
      scriptPath(info.scriptPath);
  USER_INFO_1 u{};
  u.usri1_name = name.Mutable();
  u.usri1_password = password.Mutable();
  u.usri1_password_age = info.passwordAge;
  u.usri1_priv = info.priv;
  u.usri1_home_dir = homeDir.MutableNull();
  u.usri1_comment = comment.MutableNull();
  u.usri1_flags = info.flags;
  u.usri1_script_path = scriptPath.MutableNull();
  DWORD error = 0;
  const NET_API_STATUS status =
      ::NetUserAdd(Wide(server).Null(), 1, reinterpret_cast<LPBYTE>(&u), &error);
  if (status == ERROR_INVALID_PARAMETER && parmError) *parmError = error;
  return static_cast<port::Status>(status);
}

port::Status WinAccounts::NetUserDel(std::string_view server, std::string_view user) {
  return static_cast<port::Status>(::NetUserDel(Wide(server).Null(), Wide(user).Get()));
}

port::Status WinAccounts::NetUserEnum(std::string_view server, std::uint32_t filter,
                                      std::vector<port::UserInfo3>* users) {
  NetBuffer buffer;
  DWORD read = 0, total = 0;
  const NET_API_STATUS status = ::NetUserEnum(Wide(server).Null(), 3, filter, buffer.Out(),
                                              MAX_PREFERRED_LENGTH, &read, &total, nullptr);
  if (status != NERR_Success) return static_cast<port::Status>(status);
  std::vector<port::UserInfo3> out;
  const USER_INFO_3* entries = buffer.As<USER_INFO_3>();
  for (DWORD i = 0; entries && i < read; ++i) out.push_back(FromUserInfo3(entries[i]));
  *users = std::move(out);
  return port::kErrorSuccess;
}

port::Status WinAccounts::NetUserGetInfo(std::string_view server, std::string_view user,
                                         port::UserInfo3* info) {
  NetBuffer buffer;
  const NET_API_STATUS status =
      ::NetUserGetInfo(Wide(server).Null(), Wide(user).Get(), 3, buffer.Out());
  if (status != NERR_Success) return static_cast<port::Status>(status);
  if (!buffer.As<USER_INFO_3>()) return port::kErrorInvalidParameter;
  *info = FromUserInfo3(*buffer.As<USER_INFO_3>());
  return port::kErrorSuccess;
}

port::Status WinAccounts::NetLocalGroupAddMembers(std::string_view server, std::string_view group,
                                                  const std::vector<std::string>& members) {
  std::vector<Wide> names;
  names.reserve(members.size());
  for (const std::string& member : members) names.emplace_back(member);
  std::vector<LOCALGROUP_MEMBERS_INFO_3> entries(names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    entries[i].lgrmi3_domainandname = names[i].Mutable();
  }
  return static_cast<port::Status>(::NetLocalGroupAddMembers(
      Wide(server).Null(), Wide(group).Get(), 3, reinterpret_cast<LPBYTE>(entries.data()),
      static_cast<DWORD>(entries.size())));
}

port::Status WinAccounts::GetUserName(std::string* name) {
  DWORD length = 0;
  ::GetUserNameW(nullptr, &length);
  if (length == 0) return static_cast<port::Status>(GetLastError());
  std::vector<wchar_t> buffer(length + 1);
  length = static_cast<DWORD>(buffer.size());
  if (!::GetUserNameW(buffer.data(), &length)) return static_cast<port::Status>(GetLastError());
  *name = Narrow(buffer.data());
  return port::kErrorSuccess;
}

port::Status WinAccounts::LogonUser(std::string_view user, std::string_view domain,
                                    std::string_view password, std::uint32_t logonType,
                                    std::uint32_t provider, port::HToken* token) {
  HANDLE handle = nullptr;
  Wide pass(password);
  if (!::LogonUserW(Wide(user).Get(), Wide(domain).Null(), pass.Get(), logonType, provider,
                    &handle)) {
    return static_cast<port::Status>(GetLastError());
  }
  *token = reinterpret_cast<port::HToken>(handle);
  return port::kErrorSuccess;
}

port::Status WinAccounts::CloseHandle(port::HToken token) {
  return ::CloseHandle(ToHandle(token)) ? port::kErrorSuccess
                                        : static_cast<port::Status>(GetLastError());
}

port::Status WinAccounts::Userenv(void** module) {
  if (!userenv_) {
    HMODULE loaded = GetModuleHandleW(L"userenv.dll");
    if (!loaded) {
      loaded = LoadLibraryW(L"userenv.dll");
      if (!loaded) return port::kErrorModNotFound;
      userenvLoadedHere_ = true;
    }
    userenv_ = loaded;
  }
  *module = userenv_;
  return port::kErrorSuccess;
}

port::Status WinAccounts::BindProfileFunction(std::string_view functionName) {
  void* module = nullptr;
  port::Status status = Userenv(&module);
  if (status != port::kErrorSuccess) return status;
  auto lookUp = [&](const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
  };
  if (functionName == "LoadUserProfileA") {
    loadUserProfile_ = reinterpret_cast<LoadUserProfileFn>(lookUp("LoadUserProfileW"));
    return loadUserProfile_ ? port::kErrorSuccess : port::kErrorProcNotFound;
  }
  if (functionName == "UnloadUserProfile") {
    unloadUserProfile_ = reinterpret_cast<UnloadUserProfileFn>(lookUp("UnloadUserProfile"));
    return unloadUserProfile_ ? port::kErrorSuccess : port::kErrorProcNotFound;
  }
  return port::kErrorProcNotFound;
}

port::Status WinAccounts::LoadUserProfile(port::HToken token, port::ProfileInfo* profile) {
  if (!loadUserProfile_) {
    const port::Status status = BindProfileFunction("LoadUserProfileA");
    if (status != port::kErrorSuccess) return status;
  }
  Wide user(profile->userName), profilePath(profile->profilePath),
      defaultPath(profile->defaultPath), serverName(profile->serverName),
      policyPath(profile->policyPath);
  PROFILEINFOW info{};
  info.dwSize = sizeof(info);
  info.dwFlags = profile->flags;
  info.lpUserName = user.MutableNull();
  info.lpProfilePath = profilePath.MutableNull();
  info.lpDefaultPath = defaultPath.MutableNull();
  info.lpServerName = serverName.MutableNull();
  info.lpPolicyPath = policyPath.MutableNull();
  if (!loadUserProfile_(ToHandle(token), &info)) return static_cast<port::Status>(GetLastError());
  profile->profile = reinterpret_cast<port::HKey>(info.hProfile);
  return port::kErrorSuccess;
}

port::Status WinAccounts::UnloadUserProfile(port::HToken token, port::HKey profile) {
  if (!unloadUserProfile_) {
    const port::Status status = BindProfileFunction("UnloadUserProfile");
    if (status != port::kErrorSuccess) return status;
  }
  return unloadUserProfile_(ToHandle(token), reinterpret_cast<HANDLE>(profile))
             ? port::kErrorSuccess
             : static_cast<port::Status>(GetLastError());
}

namespace {

// The UNICODE_STRING the LSA calls take; it points into `text`, which must outlive it.
LSA_UNICODE_STRING LsaString(const std::wstring& text) {
  LSA_UNICODE_STRING out;
  out.Buffer = const_cast<PWSTR>(text.c_str());
  out.Length = static_cast<USHORT>(text.size() * sizeof(wchar_t));
  out.MaximumLength = static_cast<USHORT>(out.Length + sizeof(wchar_t));
  return out;
}

port::Status FromNtStatus(NTSTATUS status) {
  return static_cast<port::Status>(LsaNtStatusToWinError(status));
}

PSID SidPointer(const port::Sid& sid) {
  return const_cast<PSID>(static_cast<const void*>(sid.data()));
}

// The rights as UNICODE_STRINGs over their wide texts.
struct LsaStrings {
  explicit LsaStrings(const std::vector<std::string>& rights) {
    for (const std::string& right : rights) texts.push_back(Wide(right).Get());
    for (const std::wstring& text : texts) strings.push_back(LsaString(text));
  }
  std::vector<std::wstring> texts;
  std::vector<LSA_UNICODE_STRING> strings;
};

}  // namespace

port::Status WinAccounts::LsaOpenPolicy(std::string_view systemName, std::uint32_t access,
                                        port::HPolicy* policy) {
  if (policy == nullptr) return ERROR_INVALID_PARAMETER;
  LSA_OBJECT_ATTRIBUTES attributes{};
  attributes.Length = sizeof attributes;
  const std::wstring system = Wide(systemName).Get();
  LSA_UNICODE_STRING systemString = LsaString(system);
  LSA_HANDLE handle = nullptr;
  const NTSTATUS status = ::LsaOpenPolicy(systemName.empty() ? nullptr : &systemString,
                                          &attributes, access, &handle);
  if (status != 0) return FromNtStatus(status);
  *policy = reinterpret_cast<port::HPolicy>(handle);
  return ERROR_SUCCESS;
}

port::Status WinAccounts::LsaClose(port::HPolicy policy) {
  return FromNtStatus(::LsaClose(reinterpret_cast<LSA_HANDLE>(policy)));
}

port::Status WinAccounts::LsaAddAccountRights(port::HPolicy policy, const port::Sid& account,
                                              const std::vector<std::string>& rights) {
  LsaStrings strings(rights);
  return FromNtStatus(::LsaAddAccountRights(reinterpret_cast<LSA_HANDLE>(policy),
                                            SidPointer(account), strings.strings.data(),
                                            static_cast<ULONG>(strings.strings.size())));
}

port::Status WinAccounts::LsaRemoveAccountRights(port::HPolicy policy, const port::Sid& account,
                                                 bool allRights,
                                                 const std::vector<std::string>& rights) {
  LsaStrings strings(rights);
  return FromNtStatus(::LsaRemoveAccountRights(
      reinterpret_cast<LSA_HANDLE>(policy), SidPointer(account), allRights ? TRUE : FALSE,
      allRights ? nullptr : strings.strings.data(),
      allRights ? 0 : static_cast<ULONG>(strings.strings.size())));
}

port::Status WinAccounts::LsaEnumerateAccountRights(port::HPolicy policy, const port::Sid& account,
                                                    std::vector<std::string>* rights) {
  PLSA_UNICODE_STRING buffer = nullptr;
  ULONG count = 0;
  const NTSTATUS status = ::LsaEnumerateAccountRights(reinterpret_cast<LSA_HANDLE>(policy),
                                                      SidPointer(account), &buffer, &count);
  if (status != 0) return FromNtStatus(status);
  std::vector<std::string> out;
  for (ULONG i = 0; i < count; ++i) {
    out.push_back(Narrow(buffer[i].Buffer, buffer[i].Length / sizeof(wchar_t)));
  }
  ::LsaFreeMemory(buffer);
  if (rights == nullptr) return ERROR_INVALID_PARAMETER;
  *rights = std::move(out);
  return ERROR_SUCCESS;
}

}  // namespace ombrant::win32
