// The simulated machine's security: file DACLs, SIDs and account look-ups, SDDL conversions and
// the system's message texts.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/port/kvrPortFiles.h"
#include "platform/port/kvrPortSecurity.h"
#include "platform/sim/simSddl.h"
#include "platform/vqStrings.h"

namespace ombrant::sim {

class SimAccounts;

// The DACL of every path. Explicit DACLs are kept per path; a path without one gets the
// machine's default for it, or else inherits from its parent as NTFS would have built it.
// Paths are compared ignoring case and stored without a trailing backslash ("C:" is the root).
class SimFileAcls {
 public:
  // `files` tells which paths exist and which are folders.
  explicit SimFileAcls(port::IFileSystem& files);

  void SetMachineSid(std::string machineSid) { machineSid_ = std::move(machineSid); }
  [[nodiscard]] const std::string& MachineSid() const { return machineSid_; }

  // The standard DACLs of the drive root and the program folders for a Windows version, in
  // place of the defaults set before.
  void InstallDefaults(std::uint32_t majorVersion, const std::vector<std::string>& programFolders);
  // A DACL used when the path has no explicit one (not saved). False for malformed SDDL.
  [[nodiscard]] bool SetDefault(std::string_view path, std::string_view sddl);
  // An explicit DACL, as machine.ini's [acl] section gives it. False for malformed SDDL.
  [[nodiscard]] bool SetExplicit(std::string_view path, std::string_view sddl);
  // The explicit DACL of a path as SDDL, if it has one.
  [[nodiscard]] std::optional<std::string> Explicit(std::string_view path) const;

  // The DACL of an existing path (only its DACL parts are set); the file system's status when
  // the path does not exist.
  [[nodiscard]] port::Status Effective(std::string_view path, SecurityParts* dacl) const;
  // Gives an existing path an explicit DACL. Existing files and folders below it keep the DACL
  // they have now, as with SetFileSecurity: they get theirs written down first.
  [[nodiscard]] port::Status Write(std::string_view path, const SecurityParts& dacl);

  // [acl] entries: every explicit DACL as (path, SDDL), in path order.
  [[nodiscard]] std::vector<std::pair<std::string, std::string>> SaveEntries() const;

  [[nodiscard]] static std::string NormalizePath(std::string_view path);

 private:
  [[nodiscard]] const SecurityParts* Own(const std::string& key) const;
  [[nodiscard]] SecurityParts Resolve(const std::string& key, bool isFolder) const;
  void FixDescendants(const std::string& key, const SecurityParts& current);
  [[nodiscard]] bool Parse(std::string_view sddl, SecurityParts* parts) const;

  port::IFileSystem& files_;
  std::string machineSid_;
  std::map<std::string, SecurityParts, TextLess> explicit_;
  std::map<std::string, SecurityParts, TextLess> defaults_;
};

struct SimSecuritySettings {
  // ConvertStringSidToSid and the other conversions (with MakeAbsoluteSD and
  // MakeSelfRelativeSD) exist: false on Windows NT 4.
  bool hasSddlFunctions = true;
};

class SimSecurity final : public port::ISecurity {
 public:
  SimSecurity(SimAccounts& accounts, SimFileAcls& acls, SimSecuritySettings settings = {});

  [[nodiscard]] SimSecuritySettings& Settings() { return settings_; }

  // --- port::ISecurity ---
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
  [[nodiscard]] bool German() const;
  [[nodiscard]] bool IsLocalSystem(std::string_view systemName) const;
  // The SIDs the running account's token holds.
  [[nodiscard]] std::vector<port::Sid> TokenSids() const;
  [[nodiscard]] bool Allowed(const SecurityParts& dacl, std::uint32_t desired) const;

  SimAccounts& accounts_;
  SimFileAcls& acls_;
  SimSecuritySettings settings_;
};

}  // namespace ombrant::sim
