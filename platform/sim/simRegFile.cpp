#include "platform/sim/simRegFile.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "platform/vqStrings.h"

namespace ombrant::sim {
namespace {

constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeader4 = "REGEDIT4";
// regedit wraps hex data once a line reaches this many characters.
constexpr std::size_t kMaxHexLine = 77;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      lines.push_back(text.substr(start, i - start));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// 1 to 8 hex digits, nothing else.
bool ParseHex32(std::string_view s, std::uint32_t* value) {
  if (s.empty() || s.size() > 8) return false;
  std::uint32_t v = 0;
  for (char c : s) {
    const int d = HexDigit(c);
    if (d < 0) return false;
    v = (v << 4) | static_cast<std::uint32_t>(d);
  }
  *value = v;
  return true;
}

// Text up to a ';' comment, trimmed.
std::string_view StripComment(std::string_view s) {
  const std::size_t semicolon = s.find(';');
  return Trim(s.substr(0, semicolon));
}

std::string Quoted(std::string_view s) { return "\"" + std::string(s) + "\""; }

struct Op {
  enum class Kind { kAddKey, kDeleteKey, kSetValue, kDeleteValue };
  Kind kind;
  std::shared_ptr<SimHive> hive;
  std::string path;
  std::string name;
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
};

class Parser {
 public:
  Parser(std::string_view fileName, const RegImportTarget& target, RegFileError* error)
      : fileName_(fileName), target_(target), error_(error) {}

  bool Parse(std::string_view bytes) {
    std::string text;
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
      text = Utf16LeBytesToUtf8(bytes.substr(2));
    } else if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF') {
      return Error(1, "UTF-16 big-endian files are not supported");
    } else if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
      text = std::string(bytes.substr(3));
    } else {
      text = std::string(bytes);
    }
    lines_ = SplitLines(text);
    const std::string_view header = lines_.empty() ? std::string_view{} : Trim(lines_[0]);
    if (header == kHeader5) {
      regedit4_ = false;
    } else if (header == kHeader4) {
      regedit4_ = true;
    } else {
      return Error(1, "not a registry file: the first line must be \"" + std::string(kHeader5) +
                          "\" or \"" + std::string(kHeader4) + "\"");
    }
    for (index_ = 1; index_ < lines_.size(); ++index_) {
      const std::string_view line = Trim(lines_[index_]);
      if (line.empty() || line.front() == ';') continue;
      bool ok = false;
      if (line.front() == '[') {
        ok = ParseKey(line);
      } else if (line.front() == '"' || line.front() == '@') {
        ok = ParseValue(line);
      } else {
        ok = Error(LineNumber(), "unrecognised line " + Quoted(line));
      }
      if (!ok) return false;
    }
    return true;
  }

  void Apply() {
    for (Op& op : ops_) {
      switch (op.kind) {
        case Op::Kind::kAddKey:
          op.hive->AddKey(op.path);
          break;
        case Op::Kind::kDeleteKey:
          op.hive->DeleteTree(op.path);
          break;
        case Op::Kind::kSetValue:
          op.hive->SetValue(op.path, op.name, op.type, std::move(op.data));
          break;
        case Op::Kind::kDeleteValue:
          op.hive->DeleteValue(op.path, op.name);
          break;
      }
    }
  }

 private:
  std::size_t LineNumber() const { return index_ + 1; }

  bool Error(std::size_t line, std::string message) {
    return Fail(error_, std::string(fileName_), line, std::move(message));
  }

  // [ROOT\path] or [-ROOT\path].
  bool ParseKey(std::string_view line) {
    if (line.back() != ']') return Error(LineNumber(), "key line without a closing ']'");
    std::string_view inner = line.substr(1, line.size() - 2);
    const bool remove = !inner.empty() && inner.front() == '-';
    if (remove) inner.remove_prefix(1);

    std::vector<std::string_view> parts;
    for (std::size_t i = 0; i <= inner.size();) {
      const std::size_t end = std::min(inner.find('\\', i), inner.size());
      if (end > i) parts.push_back(inner.substr(i, end - i));
      i = end + 1;
    }
    if (parts.empty()) return Error(LineNumber(), "key line without a key");
    const std::string_view root = parts[0];
    std::size_t first = 1;
    std::shared_ptr<SimHive> hive;
    std::string path;
    bool machine = false;
    if (SameText(root, "HKEY_LOCAL_MACHINE") || SameText(root, "HKLM")) {
      hive = target_.registry.ResolveHivePath("HKEY_LOCAL_MACHINE", nullptr);
      machine = true;
    } else if (SameText(root, "HKEY_CLASSES_ROOT") || SameText(root, "HKCR")) {
      hive = target_.registry.ResolveHivePath("HKEY_LOCAL_MACHINE", nullptr);
      path = "SOFTWARE\\Classes";
      machine = true;
    } else if (SameText(root, "HKEY_CURRENT_USER") || SameText(root, "HKCU")) {
      hive = target_.currentUser ? target_.currentUser : target_.registry.CurrentUserHive();
    } else if (SameText(root, "HKEY_USERS") || SameText(root, "HKU")) {
      if (parts.size() < 2) return Error(LineNumber(), "HKEY_USERS needs the SID of a loaded hive");
      hive = target_.registry.UserHive(parts[1]);
      if (!hive) {
        return Error(LineNumber(), "no hive is loaded as HKEY_USERS\\" + std::string(parts[1]));
      }
      first = 2;
    } else {
      return Error(LineNumber(), "unsupported root key " + Quoted(root));
    }
    const bool userRoot = !machine && first == 1;
    if (target_.roots == RegRoots::kMachine && !machine) {
      return Error(LineNumber(), "only HKEY_LOCAL_MACHINE keys belong in this file");
    }
    if (target_.roots == RegRoots::kCurrentUser && !userRoot) {
      return Error(LineNumber(), "only HKEY_CURRENT_USER keys belong in this file");
    }
    std::size_t depth = path.empty() ? 0 : 2;
    for (std::size_t i = first; i < parts.size(); ++i) {
      if (Utf16Length(parts[i]) > kMaxKeyNameLength) {
        return Error(LineNumber(), "key name longer than 255 characters");
      }
      if (++depth > kMaxKeyDepth) return Error(LineNumber(), "key nested too deep");
      if (!path.empty()) path += '\\';
      path += parts[i];
    }
    if (remove && path.empty()) return Error(LineNumber(), "a root key cannot be deleted");

    ops_.push_back(Op{remove ? Op::Kind::kDeleteKey : Op::Kind::kAddKey, hive, path, {}, 0, {}});
    current_ = remove ? nullptr : hive;
    currentPath_ = path;
    inKey_ = true;
    return true;
  }

  static std::size_t Utf16Length(std::string_view s) { return Utf8ToUtf16(s).size(); }

  // A quoted string from s[pos] == '"'; the position after the closing quote, or npos.
  static std::size_t ParseQuoted(std::string_view s, std::size_t pos, std::string* out) {
    for (std::size_t i = pos + 1; i < s.size(); ++i) {
      const char c = s[i];
      if (c == '"') return i + 1;
      if (c == '\\' && i + 1 < s.size()) {
        const char next = s[++i];
        switch (next) {
          case '\\':
          case '"':
            *out += next;
            break;
          case 'n':  // written by Wine's regedit
            *out += '\n';
            break;
          case 'r':
            *out += '\r';
            break;
          case '0':
            *out += '\0';
            break;
          default:  // not an escape: kept as written, as regedit does
            *out += '\\';
            *out += next;
            break;
        }
        continue;
      }
      *out += c;
    }
    return std::string_view::npos;
  }

  bool ParseValue(std::string_view line) {
    const std::size_t lineNumber = LineNumber();
    if (!inKey_) return Error(lineNumber, "value outside of any key");
    std::string name;
    std::size_t pos = 1;
    if (line.front() == '"') {
      pos = ParseQuoted(line, 0, &name);
      if (pos == std::string_view::npos) {
        return Error(lineNumber, "value name without a closing quote");
      }
    }
    if (Utf16Length(name) > kMaxValueNameLength) {
      return Error(lineNumber, "value name longer than 16383 characters");
    }
    std::string_view rest = Trim(line.substr(pos));
    if (rest.empty() || rest.front() != '=') {
      return Error(lineNumber, "expected '=' after the value name");
    }
    rest = Trim(rest.substr(1));

    Op op{Op::Kind::kSetValue, current_, currentPath_, name, port::kRegSz, {}};
    if (!rest.empty() && rest.front() == '"') {
      std::string text;
      const std::size_t end = ParseQuoted(rest, 0, &text);
      if (end == std::string_view::npos) return Error(lineNumber, "string without a closing quote");
      if (!StripComment(rest.substr(end)).empty()) {
        return Error(lineNumber, "unexpected text after the closing quote");
      }
      const std::string bytes = Utf8ToUtf16LeBytes(text);
      op.data.assign(bytes.begin(), bytes.end());
      op.data.insert(op.data.end(), {0, 0});
    } else if (StripComment(rest) == "-") {
      op.kind = Op::Kind::kDeleteValue;
    } else if (StartsText("dword:", rest)) {
      std::uint32_t value = 0;
      if (!ParseHex32(StripComment(rest.substr(6)), &value)) {
        return Error(lineNumber, "dword data must be 1 to 8 hex digits");
      }
      op.type = port::kRegDword;
      op.data = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                 static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    } else if (StartsText("hex", rest)) {
      if (!ParseHexValue(rest.substr(3), &op)) return false;
    } else {
      return Error(lineNumber, "unrecognised value data " + Quoted(rest));
    }
    if (current_) ops_.push_back(std::move(op));  // values of a deleted key are ignored
    return true;
  }

  // After "hex": ":" or "(N):", then bytes, continued on the next lines after a trailing "\".
  bool ParseHexValue(std::string_view rest, Op* op) {
    const std::size_t lineNumber = LineNumber();
    op->type = port::kRegBinary;
    if (!rest.empty() && rest.front() == '(') {
      const std::size_t close = rest.find(')');
      if (close == std::string_view::npos || !ParseHex32(rest.substr(1, close - 1), &op->type)) {
        return Error(lineNumber, "hex(N) needs a type N of 1 to 8 hex digits");
      }
      rest.remove_prefix(close + 1);
    }
    if (rest.empty() || rest.front() != ':') return Error(lineNumber, "expected ':' after hex");
    rest.remove_prefix(1);

    for (;;) {
      std::string_view segment = StripComment(rest);
      const bool continued = !segment.empty() && segment.back() == '\\';
      if (continued) segment.remove_suffix(1);
      if (!ParseHexBytes(segment, &op->data)) return false;
      if (!continued) break;
      // The next line that is not a comment goes on with the data.
      do {
        if (++index_ >= lines_.size()) {
          return Error(lineNumber, "hex data continued past the end of the file");
        }
        rest = Trim(lines_[index_]);
      } while (!rest.empty() && rest.front() == ';');
      if (rest.empty()) break;  // a blank line ends the data
    }
    if (regedit4_ && (op->type == port::kRegExpandSz || op->type == port::kRegMultiSz)) {
      // REGEDIT4 writes these as 8-bit text; the registry holds UTF-16LE.
      const std::string bytes = Utf8ToUtf16LeBytes(
          std::string_view(reinterpret_cast<const char*>(op->data.data()), op->data.size()));
      op->data.assign(bytes.begin(), bytes.end());
    }
    return true;
  }

  // "xx,xx,..." on one line; a trailing comma is allowed.
  bool ParseHexBytes(std::string_view segment, std::vector<std::uint8_t>* data) {
    segment = Trim(segment);
    if (segment.empty()) return true;
    std::size_t i = 0;
    while (i <= segment.size()) {
      const std::size_t end = std::min(segment.find(',', i), segment.size());
      const std::string_view token = Trim(segment.substr(i, end - i));
      const bool last = end == segment.size();
      if (token.empty()) {
        if (last) break;  // "01,02," and "01,02,\"
        return Error(LineNumber(), "missing hex byte between commas");
      }
      std::uint32_t value = 0;
      if (token.size() > 2 || !ParseHex32(token, &value)) {
        return Error(LineNumber(), Quoted(token) + " is not a hex byte");
      }
      data->push_back(static_cast<std::uint8_t>(value));
      i = end + 1;
    }
    return true;
  }

  std::string_view fileName_;
  const RegImportTarget& target_;
  RegFileError* error_;
  std::vector<std::string_view> lines_;
  std::size_t index_ = 0;
  bool regedit4_ = false;
  bool inKey_ = false;
  std::shared_ptr<SimHive> current_;  // null inside a [-key] section
  std::string currentPath_;
  std::vector<Op> ops_;
};

// --- export ---

std::string Escape(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out;
}

// The text of a REG_SZ that regedit's quoted form keeps byte for byte: one NUL-terminated
// UTF-16 string with no NUL, line break or unpaired surrogate inside.
bool PlainString(const std::vector<std::uint8_t>& data, std::string* text) {
  if (data.size() < 2 || data.size() % 2 != 0) return false;
  if (data[data.size() - 1] != 0 || data[data.size() - 2] != 0) return false;
  const std::string body(data.begin(), data.end() - 2);
  for (std::size_t i = 0; i < body.size(); i += 2) {
    if (body[i + 1] == 0 && (body[i] == 0 || body[i] == '\r' || body[i] == '\n')) return false;
  }
  std::string utf8 = Utf16LeBytesToUtf8(body);
  if (Utf8ToUtf16LeBytes(utf8) != body) return false;
  *text = std::move(utf8);
  return true;
}

std::string HexByte(std::uint8_t b) {
  static constexpr char kDigits[] = "0123456789abcdef";
  return {kDigits[b >> 4], kDigits[b & 15]};
}

void ExportValue(const SimValue& v, std::string* out) {
  const std::string prefix = v.name.empty() ? "@=" : "\"" + Escape(v.name) + "\"=";
  *out += prefix;
  std::string text;
  if (v.type == port::kRegSz && PlainString(v.data, &text)) {
    *out += "\"" + Escape(text) + "\"\r\n";
    return;
  }
  if (v.type == port::kRegDword && v.data.size() == 4) {
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08x",
                  static_cast<unsigned>(v.data[0] | v.data[1] << 8 | v.data[2] << 16 |
                                        static_cast<std::uint32_t>(v.data[3]) << 24));
    *out += "dword:" + std::string(digits) + "\r\n";
    return;
  }
  std::string type = "hex:";
  if (v.type != port::kRegBinary) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%x", static_cast<unsigned>(v.type));
    type = "hex(" + std::string(digits) + "):";
  }
  *out += type;
  std::size_t lineLength = Utf8ToUtf16(prefix).size() + type.size();
  for (std::size_t i = 0; i < v.data.size(); ++i) {
    *out += HexByte(v.data[i]);
    if (i + 1 == v.data.size()) break;
    *out += ',';
    lineLength += 3;
    if (lineLength >= kMaxHexLine) {
      *out += "\\\r\n  ";
      lineLength = 2;
    }
  }
  *out += "\r\n";
}

void ExportKey(const SimHive& hive, const std::string& path, const std::string& shownPath,
               std::string* out) {
  *out += "[" + shownPath + "]\r\n";
  for (const SimValue& v : hive.Values(path)) ExportValue(v, out);
  *out += "\r\n";
  for (const std::string& name : hive.SubKeyNames(path)) {
    ExportKey(hive, path.empty() ? name : path + "\\" + name, shownPath + "\\" + name, out);
  }
}

}  // namespace

bool ImportRegText(std::string_view bytes, std::string_view fileName, const RegImportTarget& target,
                   RegFileError* error) {
  Parser parser(fileName, target, error);
  if (!parser.Parse(bytes)) return false;
  parser.Apply();
  return true;
}

bool ImportRegFile(const std::filesystem::path& file, const RegImportTarget& target,
                   RegFileError* error) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  if (in) bytes << in.rdbuf();
  if (!in || in.bad()) return Fail(error, file.string(), 0, "cannot be read");
  return ImportRegText(bytes.str(), file.string(), target, error);
}

std::string ExportRegText(const SimHive& hive, std::string_view rootName,
                          std::string_view keyPath) {
  std::string text = std::string(kHeader5) + "\r\n\r\n";
  std::string path;
  for (std::size_t i = 0; i <= keyPath.size();) {
    const std::size_t end = std::min(keyPath.find('\\', i), keyPath.size());
    if (end > i) path += (path.empty() ? "" : "\\") + std::string(keyPath.substr(i, end - i));
    i = end + 1;
  }
  if (hive.HasKey(path)) {
    ExportKey(hive, path,
              path.empty() ? std::string(rootName) : std::string(rootName) + "\\" + path, &text);
  }
  return "\xFF\xFE" + Utf8ToUtf16LeBytes(text);
}

bool ExportRegFile(const std::filesystem::path& file, const SimHive& hive,
                   std::string_view rootName, RegFileError* error) {
  const std::string bytes = ExportRegText(hive, rootName);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (out) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) return Fail(error, file.string(), 0, "cannot be written");
  return true;
}

}  // namespace ombrant::sim
