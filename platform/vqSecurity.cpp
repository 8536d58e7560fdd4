#include "platform/vqSecurity.h"

#include <algorithm>

namespace ombrant {
namespace {

[[noreturn]] void Raise(port::ISecurity& security, std::string_view routine, std::string_view call,
                        port::Status code) {
  throw ESecurityError(std::string(routine) + "." + std::string(call) + " failed (" +
                       SysErrorMessage(security, code) + ")!");
}

// True when an entry's account field names the SID `sidText`: the same text, or another
// spelling of the same SID (an SDDL alias such as "LA", lower-case letters).
bool NamesSid(port::ISecurity& security, const std::string& field, const std::string& sidText) {
  if (field == sidText) return true;
  if (field.empty()) return false;
  port::Sid sid;
  std::string canonical;
  return security.ConvertStringSidToSid(field, &sid) == port::kErrorSuccess &&
         security.ConvertSidToStringSid(sid, &canonical) == port::kErrorSuccess &&
         canonical == sidText;
}

// An entry the object took from its parent: "ID" among its flags (flags are two letters each).
bool IsInheritedAce(const std::string& entry) {
  const std::string flags = SplitAceString(entry).aceFlags;
  for (std::size_t i = 0; i + 1 < flags.size(); i += 2) {
    if (flags.compare(i, 2, "ID") == 0) return true;
  }
  return false;
}

}  // namespace

std::string SysErrorMessage(port::ISecurity& security, port::Status code) {
  std::string text;
  if (security.FormatMessage(code, &text) != port::kErrorSuccess) {
    return "error " + std::to_string(code);
  }
  while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.')) {
    text.pop_back();
  }
  return text;
}

std::string vqGetFileSecurityString(port::ISecurity& security, std::string_view path,
                                    std::uint32_t information) {
  port::SecurityDescriptor descriptor;
  port::Status status = security.GetFileSecurity(path, information, &descriptor);
  if (status != port::kErrorSuccess) {
    Raise(security, "vqGetFileSecurityString", "GetFileSecurity", status);
  }
  std::string text;
  status = security.ConvertSecurityDescriptorToStringSecurityDescriptor(
      descriptor, port::kSddlRevision1, information, &text);
  if (status != port::kErrorSuccess) {
    Raise(security, "vqGetFileSecurityString",
          "ConvertSecurityDescriptorToStringSecurityDescriptor", status);
  }
  return text;
}

port::SecurityDescriptor vqConvertSecurityDescriptor(port::ISecurity& security,
                                                     std::string_view sddl) {
  port::SecurityDescriptor descriptor;
  port::Status status = security.ConvertStringSecurityDescriptorToSecurityDescriptor(
      sddl, port::kSddlRevision1, &descriptor);
  if (status != port::kErrorSuccess) {
    Raise(security, "vqConvertSecurityDescriptor",
          "ConvertStringSecurityDescriptorToSecurityDescriptor", status);
  }
  return descriptor;
}

bool vqSetFileSecurityString(port::ISecurity& security, std::string_view path,
                             std::string_view sddl, std::uint32_t information) {
  const port::SecurityDescriptor descriptor = vqConvertSecurityDescriptor(security, sddl);
  return security.SetFileSecurity(path, information, descriptor) == port::kErrorSuccess;
}

port::Sid vqLookupAccountName(port::ISecurity& security, std::string_view account,
                              std::string_view systemName) {
  port::Sid sid;
  std::string domain;
  std::uint32_t use = 0;
  port::Status status = security.LookupAccountName(systemName, account, &sid, &domain, &use);
  if (status != port::kErrorSuccess) {
    Raise(security, "vqLookupAccountName", "LookupAccountName", status);
  }
  return sid;
}

std::string vqConvertSidToStringSid(port::ISecurity& security, const port::Sid& sid) {
  std::string text;
  port::Status status = security.ConvertSidToStringSid(sid, &text);
  if (status != port::kErrorSuccess) {
    Raise(security, "vqConvertSidToStringSid", "ConvertSidToStringSid", status);
  }
  return text;
}

void SplitSecurityDescriptorString(std::string_view sddl, std::string& section, std::string& flags,
                                   std::vector<std::string>& entries) {
  const std::size_t open = sddl.find('(');
  const std::string_view header =
      open == std::string_view::npos ? std::string_view() : sddl.substr(0, open);
  if (const std::size_t colon = header.find(':'); colon != std::string_view::npos) {
    section = std::string(header.substr(0, colon));
    flags = std::string(header.substr(colon + 1));
  } else {
    section = std::string(header);
    flags.clear();
  }
  entries.clear();
  std::string_view rest = sddl.substr(std::min(sddl.size(), section.size() + flags.size() + 1));
  for (std::size_t close = rest.find(')'); close != std::string_view::npos;
       close = rest.find(')')) {
    entries.emplace_back(rest.substr(0, close + 1));
    rest.remove_prefix(close + 1);
  }
}

std::string JoinSecurityDescriptorString(std::string_view section, std::string_view flags,
                                         const std::vector<std::string>& entries) {
  std::string out = std::string(section) + ":" + std::string(flags);
  for (const std::string& entry : entries) out += entry;
  return out;
}

TAceFields SplitAceString(std::string_view ace) {
  TAceFields fields;
  if (ace.size() <= 2 || ace.front() != '(' || ace.back() != ')') return fields;
  std::string_view body = ace.substr(1, ace.size() - 2);
  std::string* targets[] = {&fields.aceType,
                            &fields.aceFlags,
                            &fields.rights,
                            &fields.objectGuid,
                            &fields.inheritedObjectGuid,
                            &fields.accountSid};
  for (std::string* target : targets) {
    const std::size_t semicolon = body.find(';');
    *target = std::string(body.substr(0, semicolon));
    if (semicolon == std::string_view::npos) break;
    body.remove_prefix(semicolon + 1);
  }
  return fields;
}

std::string GrantEntryFor(std::string_view sidText) {
  return "(A;OICI;" + std::string(kGrantRights) + ";;;" + std::string(sidText) + ")";
}

bool vqGrantUserModifyAccess(port::ISecurity& security, std::string_view path,
                             std::string_view account) noexcept {
  try {
    const std::string sddl =
        vqGetFileSecurityString(security, path, port::kDaclSecurityInformation);
    std::string section;
    std::string flags;
    std::vector<std::string> entries;
    SplitSecurityDescriptorString(sddl, section, flags, entries);
    const std::string sid =
        vqConvertSidToStringSid(security, vqLookupAccountName(security, account, ""));
    for (const std::string& entry : entries) {
      if (NamesSid(security, SplitAceString(entry).accountSid, sid)) return false;
    }
    // A DACL the split does not reproduce (one without entries, say) is not written: what
    // would go back could lose entries.
    if (JoinSecurityDescriptorString(section, flags, entries) != sddl) return false;
    // Explicit entries come before inherited ones, or the list is no longer in canonical order
    // and an inherited deny would be weighed before the grant.
    entries.insert(std::find_if(entries.begin(), entries.end(), IsInheritedAce),
                   GrantEntryFor(sid));
    return vqSetFileSecurityString(security, path,
                                   JoinSecurityDescriptorString(section, flags, entries),
                                   port::kDaclSecurityInformation);
  } catch (...) {
    return false;
  }
}

}  // namespace ombrant
