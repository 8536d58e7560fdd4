// SIDs and security descriptors for the simulated machine: the binary layouts Windows uses and
// the SDDL text form, parsed as strictly as Windows parses it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/port/kvrPortSecurity.h"

namespace ombrant::sim {

// ACE types.
inline constexpr std::uint8_t kAceAccessAllowed = 0x00;
inline constexpr std::uint8_t kAceAccessDenied = 0x01;
inline constexpr std::uint8_t kAceSystemAudit = 0x02;
inline constexpr std::uint8_t kAceSystemAlarm = 0x03;
inline constexpr std::uint8_t kAceAccessAllowedObject = 0x05;
inline constexpr std::uint8_t kAceAccessDeniedObject = 0x06;
inline constexpr std::uint8_t kAceSystemAuditObject = 0x07;
inline constexpr std::uint8_t kAceSystemAlarmObject = 0x08;
inline constexpr std::uint8_t kAceSystemMandatoryLabel = 0x11;

// ACE flags.
inline constexpr std::uint8_t kAceObjectInherit = 0x01;
inline constexpr std::uint8_t kAceContainerInherit = 0x02;
inline constexpr std::uint8_t kAceNoPropagateInherit = 0x04;
inline constexpr std::uint8_t kAceInheritOnly = 0x08;
inline constexpr std::uint8_t kAceInherited = 0x10;
inline constexpr std::uint8_t kAceSuccessfulAccess = 0x40;
inline constexpr std::uint8_t kAceFailedAccess = 0x80;

// Security descriptor control bits.
inline constexpr std::uint16_t kSeOwnerDefaulted = 0x0001;
inline constexpr std::uint16_t kSeGroupDefaulted = 0x0002;
inline constexpr std::uint16_t kSeDaclPresent = 0x0004;
inline constexpr std::uint16_t kSeSaclPresent = 0x0010;
inline constexpr std::uint16_t kSeDaclAutoInheritReq = 0x0100;
inline constexpr std::uint16_t kSeSaclAutoInheritReq = 0x0200;
inline constexpr std::uint16_t kSeDaclAutoInherited = 0x0400;
inline constexpr std::uint16_t kSeSaclAutoInherited = 0x0800;
inline constexpr std::uint16_t kSeDaclProtected = 0x1000;
inline constexpr std::uint16_t kSeSaclProtected = 0x2000;
inline constexpr std::uint16_t kSeSelfRelative = 0x8000;

using Guid = std::array<std::uint8_t, 16>;

struct Ace {
  std::uint8_t type = kAceAccessAllowed;
  std::uint8_t flags = 0;
  std::uint32_t mask = 0;
  std::optional<Guid> objectType;           // object ACE types only
  std::optional<Guid> inheritedObjectType;  // object ACE types only
  port::Sid sid;

  bool operator==(const Ace&) const = default;
};

using Acl = std::vector<Ace>;

// A security descriptor taken apart. A present ACL without a value is a null ACL.
struct SecurityParts {
  std::uint16_t control = 0;  // without kSeSelfRelative
  std::optional<port::Sid> owner;
  std::optional<port::Sid> group;
  std::optional<Acl> dacl;
  std::optional<Acl> sacl;

  [[nodiscard]] bool DaclPresent() const { return (control & kSeDaclPresent) != 0; }
  [[nodiscard]] bool SaclPresent() const { return (control & kSeSaclPresent) != 0; }
};

// --- SIDs ---
[[nodiscard]] bool IsValidSid(const port::Sid& sid);
// "S-1-..."; the SID must be valid.
[[nodiscard]] std::string SidToString(const port::Sid& sid);
// Only the "S-1-..." form; kErrorInvalidSid otherwise.
[[nodiscard]] port::Status SidFromString(std::string_view text, port::Sid* sid);
// The SID form or a two-letter SDDL alias. `machineSid` ("S-1-5-21-a-b-c") gives the local
// aliases LA and LG.
[[nodiscard]] port::Status SidFromSddl(std::string_view text, std::string_view machineSid,
                                       port::Sid* sid);
// The alias when one names the SID, the SID form otherwise, as Windows writes SDDL.
[[nodiscard]] std::string SidToSddl(const port::Sid& sid, std::string_view machineSid);
// A SID from its parts.
[[nodiscard]] port::Sid MakeSid(std::uint64_t authority, const std::vector<std::uint32_t>& subs);

// --- security descriptors ---
// ConvertStringSecurityDescriptorToSecurityDescriptor's parser. Malformed text fails with
// kErrorInvalidParameter (sections), kErrorInvalidAcl (ACL flags and entries) or
// kErrorInvalidSid (owner, group).
[[nodiscard]] port::Status ParseSddl(std::string_view text, std::string_view machineSid,
                                     SecurityParts* parts);
// ConvertSecurityDescriptorToStringSecurityDescriptor's writer, for the parts `information`
// names.
[[nodiscard]] std::string FormatSddl(const SecurityParts& parts, std::uint32_t information,
                                     std::string_view machineSid);
// The self-relative binary form and back (kErrorInvalidSecurityDescr for malformed input).
[[nodiscard]] port::SecurityDescriptor EncodeSecurityDescriptor(const SecurityParts& parts);
[[nodiscard]] port::Status DecodeSecurityDescriptor(const port::SecurityDescriptor& descriptor,
                                                    SecurityParts* parts);

// The ACL a new child object receives from its parent's DACL, as NTFS builds it: entries that
// reach the child, marked inherited.
[[nodiscard]] Acl InheritAcl(const Acl& parent, bool childIsContainer);

}  // namespace ombrant::sim
