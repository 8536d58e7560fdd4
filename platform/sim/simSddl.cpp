#include "platform/sim/simSddl.h"

#include <cstdio>
#include <span>

namespace ombrant::sim {
namespace {

using port::Sid;
using port::Status;

constexpr std::size_t kMaxSubAuthorities = 15;

// Parses a decimal or "0x" hexadecimal number no larger than `max`.
bool ParseNumber(std::string_view text, std::uint64_t max, std::uint64_t* value) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return false;
  std::uint64_t v = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return false;
    }
    if (v > (max - static_cast<std::uint64_t>(digit)) / static_cast<std::uint64_t>(base)) {
      return false;
    }
    v = v * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
  }
  *value = v;
  return true;
}

std::uint32_t ReadLe32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint16_t ReadLe16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
void PutLe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void PutLe16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void SetLe32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void SetLe16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t v) {
  out[at] = static_cast<std::uint8_t>(v);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

// --- SDDL vocabulary ---

struct SidAlias {
  const char* alias;
  const char* sid;  // null: relative to the machine SID, see `rid`
  std::uint32_t rid;
};
constexpr SidAlias kSidAliases[] = {
    {"AN", "S-1-5-7", 0},      {"AO", "S-1-5-32-548", 0}, {"AU", "S-1-5-11", 0},
    {"BA", "S-1-5-32-544", 0}, {"BG", "S-1-5-32-546", 0}, {"BO", "S-1-5-32-551", 0},
    {"BU", "S-1-5-32-545", 0}, {"CG", "S-1-3-1", 0},      {"CO", "S-1-3-0", 0},
    {"ED", "S-1-5-9", 0},      {"IU", "S-1-5-4", 0},      {"LS", "S-1-5-19", 0},
    {"NO", "S-1-5-32-556", 0}, {"NS", "S-1-5-20", 0},     {"NU", "S-1-5-2", 0},
    {"PO", "S-1-5-32-550", 0}, {"PS", "S-1-5-10", 0},     {"PU", "S-1-5-32-547", 0},
    {"RC", "S-1-5-12", 0},     {"RD", "S-1-5-32-555", 0}, {"RE", "S-1-5-32-552", 0},
    {"RU", "S-1-5-32-554", 0}, {"SO", "S-1-5-32-549", 0}, {"SU", "S-1-5-6", 0},
    {"SY", "S-1-5-18", 0},     {"WD", "S-1-1-0", 0},      {"OW", "S-1-3-4", 0},
    {"LW", "S-1-16-4096", 0},  {"ME", "S-1-16-8192", 0},  {"HI", "S-1-16-12288", 0},
    {"SI", "S-1-16-16384", 0}, {"LA", nullptr, 500},      {"LG", nullptr, 501},
};

struct Token {
  const char* text;
  std::uint32_t value;
};

// Checked first, in this order: the combined file and key rights.
constexpr Token kCombinedRights[] = {
    {"FA", 0x1F01FF}, {"FR", 0x120089}, {"FW", 0x120116}, {"FX", 0x1200A0},
    {"KA", 0xF003F},  {"KR", 0x20019},  {"KW", 0x20006},  {"KX", 0x20019},
};
// Single rights, in the bit order Windows writes them.
constexpr Token kSingleRights[] = {
    {"CC", 0x1},        {"DC", 0x2},        {"LC", 0x4},     {"SW", 0x8},        {"RP", 0x10},
    {"WP", 0x20},       {"DT", 0x40},       {"LO", 0x80},    {"CR", 0x100},      {"SD", 0x10000},
    {"RC", 0x20000},    {"WD", 0x40000},    {"WO", 0x80000}, {"GA", 0x10000000}, {"GX", 0x20000000},
    {"GW", 0x40000000}, {"GR", 0x80000000},
};
constexpr Token kLabelRights[] = {{"NR", 0x1}, {"NW", 0x2}, {"NX", 0x4}};

constexpr Token kAceTypes[] = {
    {"A", kAceAccessAllowed},         {"D", kAceAccessDenied},
    {"AU", kAceSystemAudit},          {"AL", kAceSystemAlarm},
    {"OA", kAceAccessAllowedObject},  {"OD", kAceAccessDeniedObject},
    {"OU", kAceSystemAuditObject},    {"OL", kAceSystemAlarmObject},
    {"ML", kAceSystemMandatoryLabel},
};

constexpr Token kAceFlags[] = {
    {"OI", kAceObjectInherit}, {"CI", kAceContainerInherit}, {"NP", kAceNoPropagateInherit},
    {"IO", kAceInheritOnly},   {"ID", kAceInherited},        {"SA", kAceSuccessfulAccess},
    {"FA", kAceFailedAccess},
};

bool IsObjectAce(std::uint8_t type) {
  return type >= kAceAccessAllowedObject && type <= kAceSystemAlarmObject;
}

// Splits a text made of two-letter tokens; false when something is left over.
template <std::size_t N>
bool ParseTokens(std::string_view text, const Token (&table)[N], std::uint32_t* value) {
  std::uint32_t v = 0;
  while (!text.empty()) {
    bool found = false;
    for (const Token& t : table) {
      std::string_view name = t.text;
      if (text.substr(0, name.size()) == name) {
        v |= t.value;
        text.remove_prefix(name.size());
        found = true;
        break;
      }
    }
    if (!found) return false;
  }
  *value = v;
  return true;
}

bool LookUpRight(std::string_view name, std::uint32_t* value) {
  for (const auto& table :
       {std::span<const Token>(kCombinedRights), std::span<const Token>(kSingleRights),
        std::span<const Token>(kLabelRights)}) {
    for (const Token& t : table) {
      if (name == t.text) {
        *value = t.value;
        return true;
      }
    }
  }
  return false;
}

bool ParseRights(std::string_view text, std::uint32_t* mask) {
  if (text.empty()) {
    *mask = 0;
    return true;
  }
  if (text[0] >= '0' && text[0] <= '9') {
    std::uint64_t v = 0;
    if (!ParseNumber(text, 0xFFFFFFFFu, &v)) return false;
    *mask = static_cast<std::uint32_t>(v);
    return true;
  }
  // Every two-letter right, combined ones included, may be concatenated.
  std::uint32_t v = 0;
  while (text.size() >= 2) {
    std::uint32_t right = 0;
    if (!LookUpRight(text.substr(0, 2), &right)) return false;
    v |= right;
    text.remove_prefix(2);
  }
  if (!text.empty()) return false;
  *mask = v;
  return true;
}

std::string FormatRights(std::uint32_t mask, std::uint8_t aceType) {
  if (aceType == kAceSystemMandatoryLabel && (mask & ~0x7u) == 0 && mask != 0) {
    std::string out;
    for (const Token& t : kLabelRights) {
      if (mask & t.value) out += t.text;
    }
    return out;
  }
  for (const Token& t : kCombinedRights) {
    if (mask == t.value) return t.text;
  }
  std::string out;
  std::uint32_t rest = mask;
  for (const Token& t : kSingleRights) {
    if (mask & t.value) {
      out += t.text;
      rest &= ~t.value;
    }
  }
  if (rest == 0 && mask != 0) return out;
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%x", static_cast<unsigned>(mask));
  return buffer;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx" into the GUID's binary layout.
bool ParseGuid(std::string_view text, Guid* guid) {
  if (text.size() != 36) return false;
  std::uint8_t bytes[16];
  std::size_t b = 0;
  for (std::size_t i = 0; i < text.size();) {
    if (i == 8 || i == 13 || i == 18 || i == 23) {
      if (text[i] != '-') return false;
      ++i;
      continue;
    }
    int hi = HexValue(text[i]);
    int lo = HexValue(text[i + 1]);
    if (hi < 0 || lo < 0) return false;
    bytes[b++] = static_cast<std::uint8_t>(hi << 4 | lo);
    i += 2;
  }
  // Data1, Data2 and Data3 are stored little-endian.
  Guid g{};
  const int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  for (int i = 0; i < 16; ++i) g[static_cast<std::size_t>(i)] = bytes[order[i]];
  *guid = g;
  return true;
}

std::string FormatGuid(const Guid& g) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer,
                "%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x", g[3], g[2],
                g[1], g[0], g[5], g[4], g[7], g[6], g[8], g[9], g[10], g[11], g[12], g[13], g[14],
                g[15]);
  return buffer;
}

std::vector<std::string_view> SplitAt(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t at = text.find(separator, start);
    if (at == std::string_view::npos) {
      parts.push_back(text.substr(start));
      return parts;
    }
    parts.push_back(text.substr(start, at - start));
    start = at + 1;
  }
}

Status ParseAce(std::string_view body, std::string_view machineSid, Ace* ace) {
  std::vector<std::string_view> fields = SplitAt(body, ';');
  if (fields.size() != 6) return port::kErrorInvalidAcl;
  Ace a;
  std::uint32_t type = 0;
  bool typeFound = false;
  for (const Token& t : kAceTypes) {
    if (fields[0] == t.text) {
      type = t.value;
      typeFound = true;
    }
  }
  if (!typeFound) return port::kErrorInvalidAcl;
  a.type = static_cast<std::uint8_t>(type);
  std::uint32_t flags = 0;
  if (!ParseTokens(fields[1], kAceFlags, &flags)) return port::kErrorInvalidAcl;
  a.flags = static_cast<std::uint8_t>(flags);
  if (!ParseRights(fields[2], &a.mask)) return port::kErrorInvalidAcl;
  for (int i = 0; i < 2; ++i) {
    std::string_view text = fields[static_cast<std::size_t>(3 + i)];
    if (text.empty()) continue;
    Guid g;
    if (!IsObjectAce(a.type) || !ParseGuid(text, &g)) return port::kErrorInvalidAcl;
    (i == 0 ? a.objectType : a.inheritedObjectType) = g;
  }
  if (SidFromSddl(fields[5], machineSid, &a.sid) != port::kErrorSuccess) {
    return port::kErrorInvalidAcl;
  }
  *ace = std::move(a);
  return port::kErrorSuccess;
}

std::string FormatAce(const Ace& ace, std::string_view machineSid) {
  std::string out = "(";
  for (const Token& t : kAceTypes) {
    if (t.value == ace.type) out += t.text;
  }
  out += ';';
  for (const Token& t : kAceFlags) {
    if (ace.flags & t.value) out += t.text;
  }
  out += ';';
  out += FormatRights(ace.mask, ace.type);
  out += ';';
  if (ace.objectType) out += FormatGuid(*ace.objectType);
  out += ';';
  if (ace.inheritedObjectType) out += FormatGuid(*ace.inheritedObjectType);
  out += ';';
  out += SidToSddl(ace.sid, machineSid);
  out += ')';
  return out;
}

// The position of the next "X:" section start at or after `from`, or the end of the text.
std::size_t NextSection(std::string_view text, std::size_t from) {
  for (std::size_t i = from; i + 1 < text.size(); ++i) {
    char c = text[i];
    if ((c == 'O' || c == 'G' || c == 'D' || c == 'S') && text[i + 1] == ':') return i;
  }
  return text.size();
}

bool AtSectionOrEnd(std::string_view text, std::size_t pos) {
  return pos == text.size() || NextSection(text, pos) == pos;
}

// Parses the flags and entries of a "D:" or "S:" section starting at `pos`.
Status ParseAclSection(std::string_view text, std::size_t* pos, bool dacl,
                       std::string_view machineSid, SecurityParts* parts) {
  std::size_t p = *pos;
  std::uint16_t control = dacl ? kSeDaclPresent : kSeSaclPresent;
  bool nullAcl = false;
  while (p < text.size() && text[p] != '(' && !AtSectionOrEnd(text, p)) {
    std::string_view rest = text.substr(p);
    if (rest.starts_with("NO_ACCESS_CONTROL")) {
      nullAcl = true;
      p += 17;
    } else if (rest.starts_with("AI")) {
      control |= dacl ? kSeDaclAutoInherited : kSeSaclAutoInherited;
      p += 2;
    } else if (rest.starts_with("AR")) {
      control |= dacl ? kSeDaclAutoInheritReq : kSeSaclAutoInheritReq;
      p += 2;
    } else if (rest.starts_with("P")) {
      control |= dacl ? kSeDaclProtected : kSeSaclProtected;
      p += 1;
    } else {
      return port::kErrorInvalidAcl;
    }
  }
  Acl acl;
  while (p < text.size() && text[p] == '(') {
    std::size_t close = text.find(')', p);
    if (close == std::string_view::npos) return port::kErrorInvalidAcl;
    Ace ace;
    Status status = ParseAce(text.substr(p + 1, close - p - 1), machineSid, &ace);
    if (status != port::kErrorSuccess) return status;
    acl.push_back(std::move(ace));
    p = close + 1;
  }
  if (!AtSectionOrEnd(text, p)) return port::kErrorInvalidAcl;
  if (nullAcl && !acl.empty()) return port::kErrorInvalidAcl;
  parts->control |= control;
  std::optional<Acl>& target = dacl ? parts->dacl : parts->sacl;
  if (nullAcl) {
    target.reset();
  } else {
    target = std::move(acl);
  }
  *pos = p;
  return port::kErrorSuccess;
}

std::string FormatAclSection(const SecurityParts& parts, bool dacl, std::string_view machineSid) {
  std::string out = dacl ? "D:" : "S:";
  std::uint16_t c = parts.control;
  if (c & (dacl ? kSeDaclProtected : kSeSaclProtected)) out += "P";
  if (c & (dacl ? kSeDaclAutoInheritReq : kSeSaclAutoInheritReq)) out += "AR";
  if (c & (dacl ? kSeDaclAutoInherited : kSeSaclAutoInherited)) out += "AI";
  const std::optional<Acl>& acl = dacl ? parts.dacl : parts.sacl;
  if (!acl) return out + "NO_ACCESS_CONTROL";
  for (const Ace& ace : *acl) out += FormatAce(ace, machineSid);
  return out;
}

void EncodeAcl(const Acl& acl, std::vector<std::uint8_t>& out) {
  bool objectAces = false;
  for (const Ace& ace : acl) objectAces = objectAces || IsObjectAce(ace.type);
  std::size_t start = out.size();
  out.push_back(objectAces ? 4 : 2);  // ACL_REVISION_DS for object entries, else ACL_REVISION
  out.push_back(0);
  PutLe16(out, 0);  // size, set below
  PutLe16(out, static_cast<std::uint16_t>(acl.size()));
  PutLe16(out, 0);
  for (const Ace& ace : acl) {
    std::size_t aceStart = out.size();
    out.push_back(ace.type);
    out.push_back(ace.flags);
    PutLe16(out, 0);
    PutLe32(out, ace.mask);
    if (IsObjectAce(ace.type)) {
      std::uint32_t present = (ace.objectType ? 1u : 0u) | (ace.inheritedObjectType ? 2u : 0u);
      PutLe32(out, present);
      if (ace.objectType) out.insert(out.end(), ace.objectType->begin(), ace.objectType->end());
      if (ace.inheritedObjectType) {
        out.insert(out.end(), ace.inheritedObjectType->begin(), ace.inheritedObjectType->end());
      }
    }
    out.insert(out.end(), ace.sid.begin(), ace.sid.end());
    SetLe16(out, aceStart + 2, static_cast<std::uint16_t>(out.size() - aceStart));
  }
  SetLe16(out, start + 2, static_cast<std::uint16_t>(out.size() - start));
}

// Reads a SID at `offset` that must end within `limit`.
bool DecodeSid(const std::vector<std::uint8_t>& d, std::size_t offset, std::size_t limit,
               Sid* sid) {
  // Offsets come from the data: compare by subtraction so that none can wrap around.
  if (limit > d.size() || offset > limit || limit - offset < 8) return false;
  std::size_t size = 8 + 4 * static_cast<std::size_t>(d[offset + 1]);
  if (limit - offset < size) return false;
  Sid s(d.begin() + static_cast<std::ptrdiff_t>(offset),
        d.begin() + static_cast<std::ptrdiff_t>(offset + size));
  if (!IsValidSid(s)) return false;
  *sid = std::move(s);
  return true;
}

bool DecodeAcl(const std::vector<std::uint8_t>& d, std::size_t offset, Acl* acl) {
  if (offset > d.size() || d.size() - offset < 8) return false;
  std::uint8_t revision = d[offset];
  if (revision != 2 && revision != 4) return false;
  std::size_t size = ReadLe16(&d[offset + 2]);
  std::size_t count = ReadLe16(&d[offset + 4]);
  if (size < 8 || d.size() - offset < size) return false;
  std::size_t end = offset + size;
  std::size_t p = offset + 8;
  Acl result;
  for (std::size_t i = 0; i < count; ++i) {
    if (end - p < 8) return false;
    Ace ace;
    ace.type = d[p];
    ace.flags = d[p + 1];
    std::size_t aceSize = ReadLe16(&d[p + 2]);
    if (aceSize < 8 || end - p < aceSize) return false;
    std::size_t aceEnd = p + aceSize;
    ace.mask = ReadLe32(&d[p + 4]);
    std::size_t q = p + 8;
    bool known = false;
    for (const Token& t : kAceTypes) known = known || t.value == ace.type;
    if (!known) return false;
    if (IsObjectAce(ace.type)) {
      if (aceEnd - q < 4) return false;
      std::uint32_t present = ReadLe32(&d[q]);
      q += 4;
      for (int k = 0; k < 2; ++k) {
        if (!(present & (1u << k))) continue;
        if (aceEnd - q < 16) return false;
        Guid g;
        for (std::size_t j = 0; j < 16; ++j) g[j] = d[q + j];
        (k == 0 ? ace.objectType : ace.inheritedObjectType) = g;
        q += 16;
      }
    }
    if (!DecodeSid(d, q, aceEnd, &ace.sid)) return false;
    result.push_back(std::move(ace));
    p = aceEnd;
  }
  *acl = std::move(result);
  return true;
}

}  // namespace

// --- SIDs ---

bool IsValidSid(const Sid& sid) {
  return sid.size() >= 8 && sid[0] == 1 && sid[1] <= kMaxSubAuthorities &&
         sid.size() == 8 + 4 * static_cast<std::size_t>(sid[1]);
}

Sid MakeSid(std::uint64_t authority, const std::vector<std::uint32_t>& subs) {
  Sid sid;
  sid.push_back(1);
  sid.push_back(static_cast<std::uint8_t>(subs.size()));
  for (int i = 5; i >= 0; --i) sid.push_back(static_cast<std::uint8_t>(authority >> (8 * i)));
  for (std::uint32_t s : subs) PutLe32(sid, s);
  return sid;
}

std::string SidToString(const Sid& sid) {
  std::uint64_t authority = 0;
  for (int i = 0; i < 6; ++i) authority = authority << 8 | sid[static_cast<std::size_t>(2 + i)];
  std::string out = "S-1-";
  if (authority >= (1ull << 32)) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "0x%012llX", static_cast<unsigned long long>(authority));
    out += buffer;
  } else {
    out += std::to_string(authority);
  }
  for (std::size_t i = 0; i < sid[1]; ++i) {
    out += '-';
    out += std::to_string(ReadLe32(&sid[8 + 4 * i]));
  }
  return out;
}

Status SidFromString(std::string_view text, Sid* sid) {
  if (text.size() < 2 || (text[0] != 'S' && text[0] != 's') || text[1] != '-') {
    return port::kErrorInvalidSid;
  }
  std::vector<std::string_view> parts = SplitAt(text.substr(2), '-');
  if (parts.size() < 2 || parts.size() - 2 > kMaxSubAuthorities || parts[0] != "1") {
    return port::kErrorInvalidSid;
  }
  std::uint64_t authority = 0;
  if (!ParseNumber(parts[1], 0xFFFFFFFFFFFFull, &authority)) return port::kErrorInvalidSid;
  std::vector<std::uint32_t> subs;
  for (std::size_t i = 2; i < parts.size(); ++i) {
    std::uint64_t v = 0;
    if (!ParseNumber(parts[i], 0xFFFFFFFFu, &v)) return port::kErrorInvalidSid;
    subs.push_back(static_cast<std::uint32_t>(v));
  }
  *sid = MakeSid(authority, subs);
  return port::kErrorSuccess;
}

Status SidFromSddl(std::string_view text, std::string_view machineSid, Sid* sid) {
  if (text.size() == 2) {
    for (const SidAlias& a : kSidAliases) {
      if (text != a.alias) continue;
      if (a.sid != nullptr) return SidFromString(a.sid, sid);
      if (machineSid.empty()) return port::kErrorInvalidSid;
      return SidFromString(std::string(machineSid) + "-" + std::to_string(a.rid), sid);
    }
    return port::kErrorInvalidSid;
  }
  return SidFromString(text, sid);
}

std::string SidToSddl(const Sid& sid, std::string_view machineSid) {
  std::string text = SidToString(sid);
  for (const SidAlias& a : kSidAliases) {
    if (a.sid != nullptr ? text == a.sid
                         : !machineSid.empty() &&
                               text == std::string(machineSid) + "-" + std::to_string(a.rid)) {
      return a.alias;
    }
  }
  return text;
}

// --- security descriptors ---

Status ParseSddl(std::string_view text, std::string_view machineSid, SecurityParts* parts) {
  SecurityParts result;
  bool seen[4] = {false, false, false, false};
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (pos + 1 >= text.size() || text[pos + 1] != ':') return port::kErrorInvalidParameter;
    char section = text[pos];
    int index = section == 'O'   ? 0
                : section == 'G' ? 1
                : section == 'D' ? 2
                : section == 'S' ? 3
                                 : -1;
    if (index < 0 || seen[index]) return port::kErrorInvalidParameter;
    seen[index] = true;
    pos += 2;
    if (section == 'O' || section == 'G') {
      std::size_t end = NextSection(text, pos);
      Sid sid;
      if (SidFromSddl(text.substr(pos, end - pos), machineSid, &sid) != port::kErrorSuccess) {
        return port::kErrorInvalidSid;
      }
      (section == 'O' ? result.owner : result.group) = std::move(sid);
      pos = end;
    } else {
      Status status = ParseAclSection(text, &pos, section == 'D', machineSid, &result);
      if (status != port::kErrorSuccess) return status;
    }
  }
  *parts = std::move(result);
  return port::kErrorSuccess;
}

std::string FormatSddl(const SecurityParts& parts, std::uint32_t information,
                       std::string_view machineSid) {
  std::string out;
  if ((information & port::kOwnerSecurityInformation) && parts.owner) {
    out += "O:" + SidToSddl(*parts.owner, machineSid);
  }
  if ((information & port::kGroupSecurityInformation) && parts.group) {
    out += "G:" + SidToSddl(*parts.group, machineSid);
  }
  if ((information & port::kDaclSecurityInformation) && parts.DaclPresent()) {
    out += FormatAclSection(parts, true, machineSid);
  }
  if ((information & port::kSaclSecurityInformation) && parts.SaclPresent()) {
    out += FormatAclSection(parts, false, machineSid);
  }
  return out;
}

port::SecurityDescriptor EncodeSecurityDescriptor(const SecurityParts& parts) {
  std::vector<std::uint8_t> out;
  out.push_back(1);  // SECURITY_DESCRIPTOR_REVISION
  out.push_back(0);
  PutLe16(out, static_cast<std::uint16_t>(parts.control | kSeSelfRelative));
  for (int i = 0; i < 4; ++i) PutLe32(out, 0);
  // Offsets: owner at 4, group at 8, SACL at 12, DACL at 16.
  if (parts.SaclPresent() && parts.sacl) {
    SetLe32(out, 12, static_cast<std::uint32_t>(out.size()));
    EncodeAcl(*parts.sacl, out);
  }
  if (parts.DaclPresent() && parts.dacl) {
    SetLe32(out, 16, static_cast<std::uint32_t>(out.size()));
    EncodeAcl(*parts.dacl, out);
  }
  if (parts.owner) {
    SetLe32(out, 4, static_cast<std::uint32_t>(out.size()));
    out.insert(out.end(), parts.owner->begin(), parts.owner->end());
  }
  if (parts.group) {
    SetLe32(out, 8, static_cast<std::uint32_t>(out.size()));
    out.insert(out.end(), parts.group->begin(), parts.group->end());
  }
  return out;
}

Status DecodeSecurityDescriptor(const port::SecurityDescriptor& d, SecurityParts* parts) {
  if (d.size() < 20 || d[0] != 1) return port::kErrorInvalidSecurityDescr;
  std::uint16_t control = ReadLe16(&d[2]);
  if (!(control & kSeSelfRelative)) return port::kErrorInvalidSecurityDescr;
  SecurityParts result;
  result.control = static_cast<std::uint16_t>(control & ~kSeSelfRelative);
  std::uint32_t owner = ReadLe32(&d[4]);
  std::uint32_t group = ReadLe32(&d[8]);
  std::uint32_t sacl = ReadLe32(&d[12]);
  std::uint32_t dacl = ReadLe32(&d[16]);
  if (owner != 0) {
    Sid sid;
    if (!DecodeSid(d, owner, d.size(), &sid)) return port::kErrorInvalidSecurityDescr;
    result.owner = std::move(sid);
  }
  if (group != 0) {
    Sid sid;
    if (!DecodeSid(d, group, d.size(), &sid)) return port::kErrorInvalidSecurityDescr;
    result.group = std::move(sid);
  }
  if (result.SaclPresent() && sacl != 0) {
    Acl acl;
    if (!DecodeAcl(d, sacl, &acl)) return port::kErrorInvalidSecurityDescr;
    result.sacl = std::move(acl);
  }
  if (result.DaclPresent() && dacl != 0) {
    Acl acl;
    if (!DecodeAcl(d, dacl, &acl)) return port::kErrorInvalidSecurityDescr;
    result.dacl = std::move(acl);
  }
  *parts = std::move(result);
  return port::kErrorSuccess;
}

Acl InheritAcl(const Acl& parent, bool childIsContainer) {
  constexpr std::uint8_t kInheritFlags =
      kAceObjectInherit | kAceContainerInherit | kAceNoPropagateInherit | kAceInheritOnly;
  constexpr std::uint32_t kGenericAll = 0x10000000, kGenericExecute = 0x20000000,
                          kGenericWrite = 0x40000000, kGenericRead = 0x80000000;
  auto mapGeneric = [](std::uint32_t mask) {
    std::uint32_t out = mask & 0x0FFFFFFFu;
    if (mask & kGenericRead) out |= 0x120089;
    if (mask & kGenericWrite) out |= 0x120116;
    if (mask & kGenericExecute) out |= 0x1200A0;
    if (mask & kGenericAll) out |= 0x1F01FF;
    return out;
  };
  const Sid creatorOwner = MakeSid(3, {0});
  const Sid creatorGroup = MakeSid(3, {1});

  Acl child;
  for (const Ace& ace : parent) {
    const bool oi = ace.flags & kAceObjectInherit;
    const bool ci = ace.flags & kAceContainerInherit;
    const bool np = ace.flags & kAceNoPropagateInherit;
    const std::uint8_t audit = ace.flags & (kAceSuccessfulAccess | kAceFailedAccess);
    bool effective = false;   // the entry applies to the child itself
    std::uint8_t onward = 0;  // inheritance flags it carries further down
    if (childIsContainer) {
      if (ci) {
        effective = true;
        if (!np) onward = ace.flags & (kAceObjectInherit | kAceContainerInherit);
      } else if (oi && !np) {
        onward = kAceObjectInherit | kAceInheritOnly;
      }
    } else if (oi) {
      effective = true;
    }
    // The creator entries name whoever creates the child; the effective part would need the
    // child's owner, so only the part that travels on is kept.
    if (ace.sid == creatorOwner || ace.sid == creatorGroup) effective = false;
    if (!effective && onward == 0) continue;

    const bool generic = (ace.mask & 0xF0000000u) != 0;
    if (effective && onward != 0 && generic) {
      // Windows splits such an entry: the mapped rights for the child, the generic ones onward.
      Ace own = ace;
      own.flags = static_cast<std::uint8_t>(kAceInherited | audit);
      own.mask = mapGeneric(ace.mask);
      child.push_back(std::move(own));
      effective = false;
    }
    Ace copy = ace;
    std::uint8_t flags = effective ? onward : static_cast<std::uint8_t>(onward | kAceInheritOnly);
    copy.flags = static_cast<std::uint8_t>((flags & kInheritFlags) | kAceInherited | audit);
    if (effective && generic) copy.mask = mapGeneric(ace.mask);
    child.push_back(std::move(copy));
  }
  return child;
}

}  // namespace ombrant::sim
