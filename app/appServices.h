// What the wizard window needs from the real system, for WinMain to hand it over.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/port/kvrPort.h"
#include "platform/win32/winHeaders.h"
#include "wizard/FormUnitMain.h"

namespace ombrant::win32 {

// The running account and the local accounts, from the port's account database.
class PortAccountFacts final : public IAccountFacts {
 public:
  explicit PortAccountFacts(port::IAccounts& accounts) : accounts_(accounts) {}

  std::string GetCurrentUserName() override;
  std::vector<std::string> GetLocalUserNames() override;
  bool GetCurrentUserPrivilege(std::uint32_t* privilege) override;

 private:
  port::IAccounts& accounts_;
};

// The bytes of resource `name` of type `type` in `module`. Throws std::runtime_error when the
// module has no such resource.
[[nodiscard]] std::string LoadResourceBytes(HMODULE module, std::string_view name,
                                            std::string_view type);

}  // namespace ombrant::win32
