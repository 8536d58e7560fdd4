// The security area of the real Windows port: advapi32's W functions. CreateWellKnownSid and
// the SDDL conversions (with MakeAbsoluteSD and MakeSelfRelativeSD, all or none) are looked up
// when the object is made, so that the program starts on systems that lack them.
#pragma once

#include "platform/port/kvrPortSecurity.h"

namespace ombrant::win32 {

class WinSecurity final : public port::ISecurity {
 public:
  WinSecurity();
  WinSecurity(const WinSecurity&) = delete;
  WinSecurity& operator=(const WinSecurity&) = delete;

  port::Status CreateWellKnownSid(int type, const port::Sid* domainSid, port::Sid* sid) override;
  port::Status LookupAccountSid(std::string_view systemName, const port::Sid& sid,
                                std::string* name, std::string* domain,
                                std::uint32_t* use) override;
  port::Status LookupAccountName(std::string_view systemName, std::string_view name, port::Sid* sid,
                                 std::string* domain, std::uint32_t* use) override;
  port::Status ConvertSidToStringSid(const port::Sid& sid, std::string* text) override;
  port::Status ConvertStringSidToSid(std::string_view text, port::Sid* sid) override;
  port::Status ConvertSecurityDescriptorToStringSecurityDescriptor(
      const port::SecurityDescriptor& descriptor, std::uint32_t revision, std::uint32_t information,
      std::string* text) override;
  port::Status ConvertStringSecurityDescriptorToSecurityDescriptor(
      std::string_view text, std::uint32_t revision, port::SecurityDescriptor* descriptor) override;
  port::Status GetFileSecurity(std::string_view path, std::uint32_t information,
                               port::SecurityDescriptor* descriptor) override;
  port::Status SetFileSecurity(std::string_view path, std::uint32_t information,
                               const port::SecurityDescriptor& descriptor) override;
  port::Status FormatMessage(port::Status code, std::string* text) override;

 private:
  using CreateWellKnownSidFn = int(__stdcall*)(int type, void* domainSid, void* sid,
                                               unsigned long* size);
  using ConvertSidToStringSidFn = int(__stdcall*)(void* sid, wchar_t** text);
  using ConvertStringSidToSidFn = int(__stdcall*)(const wchar_t* text, void** sid);
  using SdToStringFn = int(__stdcall*)(void* descriptor, unsigned long revision,
                                       unsigned long information, wchar_t** text,
                                       unsigned long* length);
  using StringToSdFn = int(__stdcall*)(const wchar_t* text, unsigned long revision,
                                       void** descriptor, unsigned long* size);

  CreateWellKnownSidFn createWellKnownSid_ = nullptr;
  ConvertSidToStringSidFn convertSidToStringSid_ = nullptr;
  ConvertStringSidToSidFn convertStringSidToSid_ = nullptr;
  SdToStringFn sdToString_ = nullptr;
  StringToSdFn stringToSd_ = nullptr;
};

}  // namespace ombrant::win32
