#include "platform/win32/winHeaders.h"
// After windows.h: the SDDL declarations.
#include <sddl.h>
#undef ConvertSidToStringSid
#undef ConvertStringSidToSid
#undef ConvertSecurityDescriptorToStringSecurityDescriptor
#undef ConvertStringSecurityDescriptorToSecurityDescriptor

#include <vector>

#include "platform/win32/winSecurity.h"
#include "platform/win32/winText.h"

namespace ombrant::win32 {
namespace {

port::Status LastError() { return static_cast<port::Status>(GetLastError()); }

// Memory the system allocated with LocalAlloc.
class LocalMemory {
 public:
  LocalMemory() = default;
  ~LocalMemory() {
    if (memory_) LocalFree(memory_);
  }
  LocalMemory(const LocalMemory&) = delete;
  LocalMemory& operator=(const LocalMemory&) = delete;
  template <typename T>
  T** Out() {
    return reinterpret_cast<T**>(&memory_);
  }
  template <typename T>
  T* As() const {
    return static_cast<T*>(memory_);
  }

 private:
  void* memory_ = nullptr;
};

// The self-relative header; SECURITY_DESCRIPTOR_MIN_LENGTH is the larger absolute layout in the
// 64-bit build.
constexpr std::size_t kMinDescriptor = sizeof(SECURITY_DESCRIPTOR_RELATIVE);

port::Sid CopySid(PSID sid) {
  const auto* bytes = static_cast<const std::uint8_t*>(sid);
  return port::Sid(bytes, bytes + GetLengthSid(sid));
}

// A SID from the port, checked before the system reads it.
bool ValidSid(const port::Sid& sid) {
  return sid.size() >= 8 && IsValidSid(const_cast<std::uint8_t*>(sid.data())) &&
         GetLengthSid(const_cast<std::uint8_t*>(sid.data())) == sid.size();
}

template <typename Fn>
Fn Lookup(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}

}  // namespace

WinSecurity::WinSecurity() {
  const HMODULE advapi = GetModuleHandleW(L"advapi32.dll");
  createWellKnownSid_ = Lookup<CreateWellKnownSidFn>(advapi, "CreateWellKnownSid");
  auto sidToString = Lookup<ConvertSidToStringSidFn>(advapi, "ConvertSidToStringSidW");
  auto stringToSid = Lookup<ConvertStringSidToSidFn>(advapi, "ConvertStringSidToSidW");
  auto sdToString =
      Lookup<SdToStringFn>(advapi, "ConvertSecurityDescriptorToStringSecurityDescriptorW");
  auto stringToSd =
      Lookup<StringToSdFn>(advapi, "ConvertStringSecurityDescriptorToSecurityDescriptorW");
  // The conversions count only as a set, with the two descriptor-layout functions.
  const bool all = sidToString && stringToSid && sdToString && stringToSd &&
                   Lookup<void*>(advapi, "MakeAbsoluteSD") &&
                   Lookup<void*>(advapi, "MakeSelfRelativeSD");
  if (all) {
    convertSidToStringSid_ = sidToString;
    convertStringSidToSid_ = stringToSid;
    sdToString_ = sdToString;
    stringToSd_ = stringToSd;
  }
}

port::Status WinSecurity::CreateWellKnownSid(int type, const port::Sid* domainSid, port::Sid* sid) {
  if (!createWellKnownSid_) return port::kErrorProcNotFound;
  if (domainSid && !ValidSid(*domainSid)) return port::kErrorInvalidSid;
  std::uint8_t buffer[SECURITY_MAX_SID_SIZE];
  unsigned long size = sizeof buffer;
  void* domain = domainSid ? const_cast<std::uint8_t*>(domainSid->data()) : nullptr;
  if (!createWellKnownSid_(type, domain, buffer, &size)) return LastError();
  *sid = CopySid(buffer);
  return port::kErrorSuccess;
}

port::Status WinSecurity::LookupAccountSid(std::string_view systemName, const port::Sid& sid,
                                           std::string* name, std::string* domain,
                                           std::uint32_t* use) {
  if (!ValidSid(sid)) return port::kErrorInvalidSid;
  PSID raw = const_cast<std::uint8_t*>(sid.data());
  const Wide system(systemName);
  DWORD nameLength = 0, domainLength = 0;
  SID_NAME_USE kind = SidTypeUnknown;
  ::LookupAccountSidW(system.Null(), raw, nullptr, &nameLength, nullptr, &domainLength, &kind);
  if (nameLength == 0) return LastError();
  std::vector<wchar_t> nameBuffer(nameLength + 1), domainBuffer(domainLength + 1);
  nameLength = static_cast<DWORD>(nameBuffer.size());
  domainLength = static_cast<DWORD>(domainBuffer.size());
  if (!::LookupAccountSidW(system.Null(), raw, nameBuffer.data(), &nameLength, domainBuffer.data(),
                           &domainLength, &kind)) {
    return LastError();
  }
  *name = Narrow(nameBuffer.data());
  *domain = Narrow(domainBuffer.data());
  *use = static_cast<std::uint32_t>(kind);
  return port::kErrorSuccess;
}

port::Status WinSecurity::LookupAccountName(std::string_view systemName, std::string_view name,
                                            port::Sid* sid, std::string* domain,
                                            std::uint32_t* use) {
  const Wide system(systemName), account(name);
  DWORD sidSize = 0, domainLength = 0;
  SID_NAME_USE kind = SidTypeUnknown;
  ::LookupAccountNameW(system.Null(), account.Get(), nullptr, &sidSize, nullptr, &domainLength,
                       &kind);
  if (sidSize == 0) return LastError();
  std::vector<std::uint8_t> sidBuffer(sidSize);
  // Twice the reported length: some systems under-report it.
  std::vector<wchar_t> domainBuffer(2 * static_cast<std::size_t>(domainLength) + 1);
  domainLength = static_cast<DWORD>(domainBuffer.size());
  if (!::LookupAccountNameW(system.Null(), account.Get(), sidBuffer.data(), &sidSize,
                            domainBuffer.data(), &domainLength, &kind)) {
    return LastError();
  }
  *sid = CopySid(sidBuffer.data());
  *domain = Narrow(domainBuffer.data());
  *use = static_cast<std::uint32_t>(kind);
  return port::kErrorSuccess;
}

port::Status WinSecurity::ConvertSidToStringSid(const port::Sid& sid, std::string* text) {
  if (!convertSidToStringSid_) return port::kErrorProcNotFound;
  if (!ValidSid(sid)) return port::kErrorInvalidSid;
  LocalMemory converted;
  if (!convertSidToStringSid_(const_cast<std::uint8_t*>(sid.data()), converted.Out<wchar_t>())) {
    return LastError();
  }
  *text = Narrow(converted.As<wchar_t>());
  return port::kErrorSuccess;
}

port::Status WinSecurity::ConvertStringSidToSid(std::string_view text, port::Sid* sid) {
  if (!convertStringSidToSid_) return port::kErrorProcNotFound;
  LocalMemory converted;
  if (!convertStringSidToSid_(Wide(text).Get(), converted.Out<void>())) return LastError();
  *sid = CopySid(converted.As<void>());
  return port::kErrorSuccess;
}

port::Status WinSecurity::ConvertSecurityDescriptorToStringSecurityDescriptor(
    const port::SecurityDescriptor& descriptor, std::uint32_t revision, std::uint32_t information,
    std::string* text) {
  if (!sdToString_) return port::kErrorProcNotFound;
  std::vector<std::uint8_t> copy(descriptor);
  if (copy.size() < kMinDescriptor || !IsValidSecurityDescriptor(copy.data())) {
    return port::kErrorInvalidSecurityDescr;
  }
  LocalMemory converted;
  unsigned long length = 0;
  if (!sdToString_(copy.data(), revision, information, converted.Out<wchar_t>(), &length)) {
    return LastError();
  }
  *text = Narrow(converted.As<wchar_t>());
  return port::kErrorSuccess;
}

port::Status WinSecurity::ConvertStringSecurityDescriptorToSecurityDescriptor(
    std::string_view text, std::uint32_t revision, port::SecurityDescriptor* descriptor) {
  if (!stringToSd_) return port::kErrorProcNotFound;
  LocalMemory converted;
  unsigned long size = 0;
  if (!stringToSd_(Wide(text).Get(), revision, converted.Out<void>(), &size)) return LastError();
  const auto* bytes = converted.As<std::uint8_t>();
  *descriptor = port::SecurityDescriptor(bytes, bytes + size);
  return port::kErrorSuccess;
}

port::Status WinSecurity::GetFileSecurity(std::string_view path, std::uint32_t information,
                                          port::SecurityDescriptor* descriptor) {
  const Wide file(path);
  DWORD needed = 0;
  if (::GetFileSecurityW(file.Get(), information, nullptr, 0, &needed) || needed == 0) {
    const DWORD error = GetLastError();
    return error == ERROR_SUCCESS ? port::kErrorInvalidSecurityDescr
                                  : static_cast<port::Status>(error);
  }
  std::vector<std::uint8_t> buffer(needed);
  if (!::GetFileSecurityW(file.Get(), information, buffer.data(), needed, &needed)) {
    return LastError();
  }
  buffer.resize(GetSecurityDescriptorLength(buffer.data()));
  *descriptor = std::move(buffer);
  return port::kErrorSuccess;
}

port::Status WinSecurity::SetFileSecurity(std::string_view path, std::uint32_t information,
                                          const port::SecurityDescriptor& descriptor) {
  std::vector<std::uint8_t> copy(descriptor);
  if (copy.size() < kMinDescriptor || !IsValidSecurityDescriptor(copy.data())) {
    return port::kErrorInvalidSecurityDescr;
  }
  return ::SetFileSecurityW(Wide(path).Get(), information, copy.data()) ? port::kErrorSuccess
                                                                        : LastError();
}

port::Status WinSecurity::FormatMessage(port::Status code, std::string* text) {
  LocalMemory message;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<LPWSTR>(message.Out<wchar_t>()), 0,
      nullptr);
  if (length == 0) return LastError();
  *text = Narrow(message.As<wchar_t>(), length);
  return port::kErrorSuccess;
}

}  // namespace ombrant::win32
