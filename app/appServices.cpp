#include "app/appServices.h"

#include <stdexcept>

#include "app/appText.h"
#include "platform/vqNetInfo.h"

namespace ombrant::win32 {

std::string PortAccountFacts::GetCurrentUserName() { return ombrant::GetCurrentUserName(accounts_); }

std::vector<std::string> PortAccountFacts::GetLocalUserNames() {
  std::vector<std::string> names;
  ombrant::GetLocalUserNames(accounts_, names);
  return names;
}

bool PortAccountFacts::GetCurrentUserPrivilege(std::uint32_t* privilege) {
  return ombrant::GetCurrentUserPrivilege(accounts_, privilege);
}

std::string LoadResourceBytes(HMODULE module, std::string_view name, std::string_view type) {
  HRSRC found = FindResourceW(module, ToWide(name).c_str(), ToWide(type).c_str());
  if (found == nullptr) throw std::runtime_error("no resource " + std::string(name));
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  const DWORD size = SizeofResource(module, found);
  if (data == nullptr) throw std::runtime_error("cannot load the resource " + std::string(name));
  return std::string(static_cast<const char*>(data), size);
}

}  // namespace ombrant::win32
