#include "app/appServices.h"

#include <stdexcept>

#include "app/appText.h"

#include <lm.h>

namespace ombrant::win32 {

namespace {

// Frees what a NetApi call allocated.
class NetBuffer {
 public:
  NetBuffer() = default;
  ~NetBuffer() {
    if (buffer_ != nullptr) NetApiBufferFree(buffer_);
  }
  NetBuffer(const NetBuffer&) = delete;
  NetBuffer& operator=(const NetBuffer&) = delete;
  LPBYTE* Out() { return &buffer_; }
  [[nodiscard]] LPBYTE Get() const { return buffer_; }

 private:
  LPBYTE buffer_ = nullptr;
};

}  // namespace

std::string SystemAccountFacts::GetCurrentUserName() {
  wchar_t name[UNLEN + 1] = {};
  DWORD size = UNLEN + 1;
  if (!GetUserNameW(name, &size)) return {};
  return Narrow(name);
}

std::vector<std::string> SystemAccountFacts::GetLocalUserNames() {
  std::vector<std::string> names;
  DWORD resume = 0;
  NET_API_STATUS status = 0;
  do {
    NetBuffer buffer;
    DWORD read = 0;
    DWORD total = 0;
    status = NetUserEnum(nullptr, 0, FILTER_NORMAL_ACCOUNT, buffer.Out(), MAX_PREFERRED_LENGTH,
                         &read, &total, &resume);
    if (status != NERR_Success && status != ERROR_MORE_DATA) break;
    const auto* users = reinterpret_cast<const USER_INFO_0*>(buffer.Get());
    for (DWORD i = 0; users != nullptr && i < read; ++i) names.push_back(Narrow(users[i].usri0_name));
  } while (status == ERROR_MORE_DATA);
  return names;
}

bool SystemAccountFacts::GetCurrentUserPrivilege(std::uint32_t* privilege) {
  wchar_t name[UNLEN + 1] = {};
  DWORD size = UNLEN + 1;
  if (!GetUserNameW(name, &size)) return false;
  NetBuffer buffer;
  if (NetUserGetInfo(nullptr, name, 3, buffer.Out()) != NERR_Success || buffer.Get() == nullptr) {
    return false;
  }
  *privilege = reinterpret_cast<const USER_INFO_3*>(buffer.Get())->usri3_priv;
  return true;
}

std::string LoadResourceBytes(HMODULE module, std::string_view name, std::string_view type) {
  HRSRC found = FindResourceW(module, Wide(name).c_str(), Wide(type).c_str());
  if (found == nullptr) throw std::runtime_error("no resource " + std::string(name));
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  const DWORD size = SizeofResource(module, found);
  if (data == nullptr) throw std::runtime_error("cannot load the resource " + std::string(name));
  return std::string(static_cast<const char*>(data), size);
}

}  // namespace ombrant::win32
