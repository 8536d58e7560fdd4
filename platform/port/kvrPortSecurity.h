// The security area of the Windows port: SIDs, account look-ups, file security and the SDDL
// conversions, plus the system's message text for an error code.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/port/kvrPortTypes.h"

namespace ombrant::port {

// Status codes of the security calls.
inline constexpr Status kErrorMrMidNotFound = 317;  // FormatMessage: no text for the code
inline constexpr Status kErrorPrivilegeNotHeld = 1314;
inline constexpr Status kErrorNoneMapped = 1332;
inline constexpr Status kErrorInvalidAcl = 1336;
inline constexpr Status kErrorInvalidSid = 1337;
inline constexpr Status kErrorInvalidSecurityDescr = 1338;

// SECURITY_INFORMATION bits.
inline constexpr std::uint32_t kOwnerSecurityInformation = 0x1;
inline constexpr std::uint32_t kGroupSecurityInformation = 0x2;
inline constexpr std::uint32_t kDaclSecurityInformation = 0x4;
inline constexpr std::uint32_t kSaclSecurityInformation = 0x8;

inline constexpr std::uint32_t kSddlRevision1 = 1;

// WELL_KNOWN_SID_TYPE values.
inline constexpr int kWinWorldSid = 1;
inline constexpr int kWinCreatorOwnerSid = 3;
inline constexpr int kWinInteractiveSid = 11;
inline constexpr int kWinAuthenticatedUserSid = 17;
inline constexpr int kWinLocalSystemSid = 22;
inline constexpr int kWinBuiltinAdministratorsSid = 26;
inline constexpr int kWinBuiltinUsersSid = 27;
inline constexpr int kWinBuiltinGuestsSid = 28;
inline constexpr int kWinBuiltinPowerUsersSid = 29;
inline constexpr int kWinAccountAdministratorSid = 38;  // needs the domain SID

// SID_NAME_USE.
inline constexpr std::uint32_t kSidTypeUser = 1;
inline constexpr std::uint32_t kSidTypeGroup = 2;
inline constexpr std::uint32_t kSidTypeDomain = 3;
inline constexpr std::uint32_t kSidTypeAlias = 4;
inline constexpr std::uint32_t kSidTypeWellKnownGroup = 5;

// SECURITY_MAX_SID_SIZE.
inline constexpr std::size_t kSecurityMaxSidSize = 68;

// A SID in its binary form, exactly as Windows lays it out.
using Sid = std::vector<std::uint8_t>;
// A self-relative security descriptor in its binary form.
using SecurityDescriptor = std::vector<std::uint8_t>;

// The security calls the program makes. Text is UTF-8; the real port calls the W functions.
// An empty system name is the local machine. Out-parameters stay untouched on failure.
//
// The four conversion functions are bound at run time, together with MakeAbsoluteSD and
// MakeSelfRelativeSD: when any of the six is missing, all four report kErrorProcNotFound.
class ISecurity {
 public:
  virtual ~ISecurity() = default;

  // `domainSid` may be null; types that need a domain fail with kErrorInvalidParameter without.
  [[nodiscard]] virtual Status CreateWellKnownSid(int type, const Sid* domainSid, Sid* sid) = 0;
  [[nodiscard]] virtual Status LookupAccountSid(std::string_view systemName, const Sid& sid,
                                                std::string* name, std::string* domain,
                                                std::uint32_t* use) = 0;
  // `name` is "account" or "DOMAIN\account".
  [[nodiscard]] virtual Status LookupAccountName(std::string_view systemName, std::string_view name,
                                                 Sid* sid, std::string* domain,
                                                 std::uint32_t* use) = 0;

  [[nodiscard]] virtual Status ConvertSidToStringSid(const Sid& sid, std::string* text) = 0;
  [[nodiscard]] virtual Status ConvertStringSidToSid(std::string_view text, Sid* sid) = 0;
  [[nodiscard]] virtual Status ConvertSecurityDescriptorToStringSecurityDescriptor(
      const SecurityDescriptor& descriptor, std::uint32_t revision, std::uint32_t information,
      std::string* text) = 0;
  [[nodiscard]] virtual Status ConvertStringSecurityDescriptorToSecurityDescriptor(
      std::string_view text, std::uint32_t revision, SecurityDescriptor* descriptor) = 0;

  // The parts of a file's or folder's security that `information` names, self-relative.
  [[nodiscard]] virtual Status GetFileSecurity(std::string_view path, std::uint32_t information,
                                               SecurityDescriptor* descriptor) = 0;
  // Writes the parts `information` names on this one path; nothing below it changes.
  [[nodiscard]] virtual Status SetFileSecurity(std::string_view path, std::uint32_t information,
                                               const SecurityDescriptor& descriptor) = 0;

  // FormatMessage from the system table (no inserts): the text as the system gives it, line end
  // included; kErrorMrMidNotFound when the system has no text for the code.
  [[nodiscard]] virtual Status FormatMessage(Status code, std::string* text) = 0;
};

}  // namespace ombrant::port
