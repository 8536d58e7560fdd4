// Security descriptors as SDDL text: reading and writing a file's DACL, taking the text apart
// and putting it together, account SIDs, and granting an account modify rights on a folder.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/port/kvrPortSecurity.h"

namespace ombrant {

// Raised by the routines below; the message is routine name, ".", the failed platform call,
// " failed (", the system's text for the error, ")!".
class ESecurityError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The modify rights the grant gives: read, write, execute and delete, without the right to
// delete children or to change permissions or owner.
inline constexpr const char* kGrantRights = "0x1301bf";

// The system's text for an error code as messages quote it: without the line end and the
// closing full stop; "error N" when the system has no text for the code.
[[nodiscard]] std::string SysErrorMessage(port::ISecurity& security, port::Status code);

// The parts of a file's or folder's security that `information` names, as SDDL.
[[nodiscard]] std::string vqGetFileSecurityString(port::ISecurity& security, std::string_view path,
                                                  std::uint32_t information);
// Raises when the text cannot be converted; false when the system refuses the write. Only the
// named path is written; nothing below it changes.
[[nodiscard]] bool vqSetFileSecurityString(port::ISecurity& security, std::string_view path,
                                           std::string_view sddl, std::uint32_t information);
// A self-relative security descriptor from SDDL (revision 1).
[[nodiscard]] port::SecurityDescriptor vqConvertSecurityDescriptor(port::ISecurity& security,
                                                                   std::string_view sddl);
// The SID of an account; an empty system name is the local machine.
[[nodiscard]] port::Sid vqLookupAccountName(port::ISecurity& security, std::string_view account,
                                            std::string_view systemName);
[[nodiscard]] std::string vqConvertSidToStringSid(port::ISecurity& security, const port::Sid& sid);

// "D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)" -> "D", "PAI" and the two entries with their
// parentheses. Text after the last ")" is not part of any entry.
void SplitSecurityDescriptorString(std::string_view sddl, std::string& section, std::string& flags,
                                   std::vector<std::string>& entries);
// section + ":" + flags + the entries, without separators.
[[nodiscard]] std::string JoinSecurityDescriptorString(std::string_view section,
                                                       std::string_view flags,
                                                       const std::vector<std::string>& entries);

// The six fields of one entry "(type;flags;rights;object;inherited object;account)".
struct TAceFields {
  std::string aceType;
  std::string aceFlags;
  std::string rights;
  std::string objectGuid;
  std::string inheritedObjectGuid;
  std::string accountSid;

  bool operator==(const TAceFields&) const = default;
};
// All fields empty unless the text is longer than two characters and starts with "(" and ends
// with ")"; missing fields stay empty, fields beyond the sixth are ignored.
[[nodiscard]] TAceFields SplitAceString(std::string_view ace);

// The entry the grant appends: "(A;OICI;0x1301bf;;;" + SID + ")".
[[nodiscard]] std::string GrantEntryFor(std::string_view sidText);

// Gives a local account modify rights on a file or folder, inherited by files and folders
// created in it later, by appending the grant entry to its DACL. Nothing is written when the
// DACL already has an entry of any kind for the account (allowing or denying), or when any step
// fails; the path is then left as it was. True when the entry was written.
//
// The DACL is written back only when taking it apart and joining it again gives exactly the
// text that was read, so that no existing entry can be lost on the way.
bool vqGrantUserModifyAccess(port::ISecurity& security, std::string_view path,
                             std::string_view account) noexcept;

}  // namespace ombrant
