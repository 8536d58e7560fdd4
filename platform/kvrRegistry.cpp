#include "platform/kvrRegistry.h"

#include <utility>

#include "platform/vqStrings.h"

namespace ombrant {

namespace {

using port::HKey;
using port::Status;

constexpr Status kOk = port::kErrorSuccess;

std::string Quoted(std::string_view format, std::string_view name) {
  std::string text(format);
  text.replace(text.find("%s"), 2, name);
  return text;
}

[[noreturn]] void ThrowGetData(std::string_view name) {
  throw ERegistryException(Quoted("Failed to get data for '%s'", name));
}
[[noreturn]] void ThrowSetData(std::string_view name) {
  throw ERegistryException(Quoted("Failed to set data for '%s'", name));
}
[[noreturn]] void ThrowDataType(std::string_view name) {
  throw ERegistryException(Quoted("Invalid data type for '%s'", name));
}

bool IsStringType(std::uint32_t type) {
  return type == port::kRegSz || type == port::kRegExpandSz;
}

// A path as the port takes it: no leading or trailing "\" (Windows refuses a leading one).
struct KeyPath {
  bool relative = true;
  std::string subKey;
};

KeyPath ParseKeyPath(std::string_view path) {
  KeyPath result;
  result.relative = path.empty() || path.front() != '\\';
  while (!path.empty() && path.front() == '\\') path.remove_prefix(1);
  while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  result.subKey = std::string(path);
  return result;
}

std::string JoinPath(std::string_view parent, std::string_view child) {
  if (parent.empty()) return std::string(child);
  if (child.empty()) return std::string(parent);
  return std::string(parent) + "\\" + std::string(child);
}

// Names of the sub-keys or values of an open key, in enumeration order.
std::vector<std::string> EnumerateNames(port::IRegistry& registry, HKey key, bool values) {
  std::vector<std::string> names;
  port::RegKeyInfo info;
  if (key == port::kNoKey || registry.RegQueryInfoKey(key, &info) != kOk) return names;
  const std::uint32_t count = values ? info.values : info.subKeys;
  for (std::uint32_t i = 0; i < count; ++i) {
    std::string name;
    const Status status =
        values ? registry.RegEnumValue(key, i, &name) : registry.RegEnumKeyEx(key, i, &name);
    if (status == port::kErrorNoMoreItems) break;
    if (status == kOk) names.push_back(std::move(name));
  }
  return names;
}

// UTF-16LE bytes up to the first NUL character, as UTF-8.
std::string StringFromData(const std::vector<std::uint8_t>& data) {
  std::size_t end = 0;
  while (end + 1 < data.size() && (data[end] != 0 || data[end + 1] != 0)) end += 2;
  return Utf16LeBytesToUtf8(
      std::string_view(reinterpret_cast<const char*>(data.data()), end));
}

std::vector<std::uint8_t> DataFromString(std::string_view text) {
  const std::string bytes = Utf8ToUtf16LeBytes(text);
  std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
  data.push_back(0);
  data.push_back(0);
  return data;
}

Status DeleteTree(port::IRegistry& registry, HKey parent, const std::string& subKey,
                  std::uint32_t access, std::uint32_t viewFlag) {
  {
    HKey raw = port::kNoKey;
    const Status status = registry.RegOpenKeyEx(parent, subKey, access, &raw);
    if (status != kOk) return status;
    TRegKey key(registry, raw);
    for (const std::string& child : EnumerateNames(registry, key.Get(), false)) {
      // A child that stays makes the final delete fail, which is what the caller sees.
      (void)DeleteTree(registry, key.Get(), child, access, viewFlag);
    }
  }
  return registry.RegDeleteKeyEx(parent, subKey, viewFlag);
}

}  // namespace

// --- TRegKey ---

TRegKey::TRegKey(TRegKey&& other) noexcept
    : registry_(other.registry_), key_(std::exchange(other.key_, port::kNoKey)) {}

TRegKey& TRegKey::operator=(TRegKey&& other) noexcept {
  if (this != &other) {
    Close();
    registry_ = other.registry_;
    key_ = std::exchange(other.key_, port::kNoKey);
  }
  return *this;
}

void TRegKey::Close() {
  if (key_ != port::kNoKey && registry_ != nullptr && !port::IsPredefinedKey(key_)) {
    registry_->RegCloseKey(key_);
  }
  key_ = port::kNoKey;
}

// --- TMyRegistry: keys ---

TMyRegistry::TMyRegistry(port::IRegistry& registry) : registry_(registry) {}

void TMyRegistry::SetView(int view) {
  if (view != 32 && view != 64) {
    throw ERegistryException("Windows Registry only supported with 32 or 64 bits!");
  }
  view_ = view;
  access_ = ViewedAccess();
}

std::uint32_t TMyRegistry::ViewedAccess() const {
  if (view_ == 64) return (access_ | port::kKeyWow64_64Key) & ~port::kKeyWow64_32Key;
  return access_ & ~port::kKeyWow64_64Key;
}

void TMyRegistry::SetRootKey(HKey root) {
  if (root == rootKey_) return;
  rootKey_ = root;
  CloseKey();
}

HKey TMyRegistry::BaseKey(bool relative) const {
  return relative && currentKey_.Valid() ? currentKey_.Get() : rootKey_;
}

bool TMyRegistry::OpenWith(std::string_view path, bool canCreate, std::uint32_t access) {
  const KeyPath parsed = ParseKeyPath(path);
  const HKey base = BaseKey(parsed.relative);
  HKey raw = port::kNoKey;
  const Status status =
      canCreate && !parsed.subKey.empty()
          ? registry_.RegCreateKeyEx(base, parsed.subKey, access, &raw, nullptr)
          : registry_.RegOpenKeyEx(base, parsed.subKey, access, &raw);
  if (status != kOk) return false;
  TRegKey opened(registry_, raw);
  std::string newPath = parsed.relative && currentKey_.Valid()
                            ? JoinPath(currentPath_, parsed.subKey)
                            : parsed.subKey;
  currentKey_ = std::move(opened);  // closes the previous key
  currentPath_ = std::move(newPath);
  return true;
}

bool TMyRegistry::OpenKey(std::string_view path, bool canCreate) {
  access_ = ViewedAccess();
  return OpenWith(path, canCreate, access_);
}

bool TMyRegistry::OpenKeyReadOnly(std::string_view path) {
  const std::uint32_t view = ViewFlag();
  for (std::uint32_t access : {port::kKeyRead,
                               port::kStandardRightsRead | port::kKeyQueryValue |
                                   port::kKeyEnumerateSubKeys,
                               port::kKeyQueryValue}) {
    if (OpenWith(path, false, access | view)) return true;
  }
  return false;
}

void TMyRegistry::CloseKey() {
  currentKey_.Close();
  currentPath_.clear();
}

bool TMyRegistry::KeyExists(std::string_view path) {
  const KeyPath parsed = ParseKeyPath(path);
  const std::uint32_t access =
      port::kStandardRightsRead | port::kKeyQueryValue | port::kKeyEnumerateSubKeys | ViewFlag();
  HKey raw = port::kNoKey;
  if (registry_.RegOpenKeyEx(BaseKey(parsed.relative), parsed.subKey, access, &raw) != kOk) {
    return false;
  }
  TRegKey closeIt(registry_, raw);
  return true;
}

bool TMyRegistry::DeleteKey(std::string_view path) {
  const KeyPath parsed = ParseKeyPath(path);
  if (parsed.subKey.empty()) return false;  // never the base key itself
  return DeleteTree(registry_, BaseKey(parsed.relative), parsed.subKey, ViewedAccess(),
                    ViewFlag()) == kOk;
}

void TMyRegistry::GetKeyNames(TStringList& list) {
  list.Clear();
  for (std::string& name : EnumerateNames(registry_, currentKey_.Get(), false)) {
    list.Add(std::move(name));
  }
}

void TMyRegistry::GetValueNames(TStringList& list) {
  list.Clear();
  for (std::string& name : EnumerateNames(registry_, currentKey_.Get(), true)) {
    list.Add(std::move(name));
  }
}

// --- TMyRegistry: values ---

bool TMyRegistry::GetDataInfo(std::string_view name, TRegDataInfo& info) {
  if (!currentKey_.Valid()) return false;
  std::uint32_t type = port::kRegNone;
  std::uint32_t size = 0;
  if (registry_.RegQueryValueEx(currentKey_.Get(), name, &type, nullptr, &size) != kOk) {
    return false;
  }
  info = {type, size};
  return true;
}

bool TMyRegistry::ValueExists(std::string_view name) {
  TRegDataInfo info;
  return GetDataInfo(name, info);
}

int TMyRegistry::GetDataSize(std::string_view name) {
  TRegDataInfo info;
  return GetDataInfo(name, info) ? static_cast<int>(info.size) : -1;
}

Status TMyRegistry::QueryRaw(std::string_view name, std::uint32_t& type,
                             std::vector<std::uint8_t>& data) {
  if (!currentKey_.Valid()) return port::kErrorInvalidHandle;
  // The value may grow between the size query and the read; ask again then.
  for (int attempt = 0; attempt < 4; ++attempt) {
    std::uint32_t size = 0;
    std::uint32_t t = port::kRegNone;
    Status status = registry_.RegQueryValueEx(currentKey_.Get(), name, &t, nullptr, &size);
    if (status != kOk) return status;
    std::vector<std::uint8_t> buffer(size);
    if (size > 0) {
      status = registry_.RegQueryValueEx(currentKey_.Get(), name, &t, buffer.data(), &size);
      if (status == port::kErrorMoreData) continue;
      if (status != kOk) return status;
      buffer.resize(size);
    }
    type = t;
    data = std::move(buffer);
    return kOk;
  }
  return port::kErrorMoreData;
}

void TMyRegistry::ReadRawOrThrow(std::string_view name, std::uint32_t& type,
                                 std::vector<std::uint8_t>& data) {
  if (QueryRaw(name, type, data) != kOk) ThrowGetData(name);
}

void TMyRegistry::WriteRawOrThrow(std::string_view name, std::uint32_t type,
                                  const std::vector<std::uint8_t>& data) {
  if (!currentKey_.Valid() ||
      registry_.RegSetValueEx(currentKey_.Get(), name, type, data.data(),
                              static_cast<std::uint32_t>(data.size())) != kOk) {
    ThrowSetData(name);
  }
}

std::string TMyRegistry::ReadString(std::string_view name) {
  if (GetDataSize(name) <= 0) return {};
  std::uint32_t type = port::kRegNone;
  std::vector<std::uint8_t> data;
  ReadRawOrThrow(name, type, data);
  if (!IsStringType(type)) ThrowDataType(name);
  return StringFromData(data);
}

std::string TMyRegistry::ReadWideString(std::string_view name) {
  if (GetDataSize(name) < 0) return {};
  std::uint32_t type = port::kRegNone;
  std::vector<std::uint8_t> data;
  ReadRawOrThrow(name, type, data);
  if (!IsStringType(type)) ThrowDataType(name);
  return StringFromData(data);
}

std::string TMyRegistry::ReadMultiSz(std::string_view name) {
  if (GetDataSize(name) <= 0) return {};
  std::uint32_t type = port::kRegNone;
  std::vector<std::uint8_t> data;
  ReadRawOrThrow(name, type, data);
  if (type != port::kRegMultiSz) ThrowDataType(name);
  // Every NUL but the final one separates two strings; the final one ends the text.
  const std::size_t units = data.size() / 2;
  std::u16string text;
  text.reserve(units + 8);
  for (std::size_t i = 0; i < units; ++i) {
    const auto unit = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    if (unit != 0) {
      text += unit;
    } else if (i + 1 < units) {
      text += u"\r\n";
    }
  }
  return Utf16ToUtf8(text);
}

std::int32_t TMyRegistry::ReadInteger(std::string_view name) {
  std::uint32_t type = port::kRegNone;
  std::vector<std::uint8_t> data;
  ReadRawOrThrow(name, type, data);
  if (type != port::kRegDword || data.size() != 4) ThrowDataType(name);
  return static_cast<std::int32_t>(data[0] | (data[1] << 8) | (data[2] << 16) |
                                   (static_cast<std::uint32_t>(data[3]) << 24));
}

void TMyRegistry::WriteString(std::string_view name, std::string_view value) {
  WriteRawOrThrow(name, port::kRegSz, DataFromString(value));
}

void TMyRegistry::WriteExpandString(std::string_view name, std::string_view value) {
  WriteRawOrThrow(name, port::kRegExpandSz, DataFromString(value));
}

void TMyRegistry::WriteInteger(std::string_view name, std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  WriteRawOrThrow(name, port::kRegDword,
                  {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                   static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)});
}

void TMyRegistry::WriteMultiSz(std::string_view name, std::string_view text) {
  std::string joined;
  joined.reserve(text.size() + 1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      joined += '\0';
      ++i;
    } else {
      joined += text[i];
    }
  }
  WriteRawOrThrow(name, port::kRegMultiSz, DataFromString(joined));  // adds the final NUL
}

bool TMyRegistry::DeleteValue(std::string_view name) {
  return currentKey_.Valid() && registry_.RegDeleteValue(currentKey_.Get(), name) == kOk;
}

// --- TMyRegistry: copying ---

void TMyRegistry::CopyValue(std::string_view name, TMyRegistry& destination, bool overwrite) {
  try {
    TRegDataInfo info;
    if (!GetDataInfo(name, info)) return;
    if (!overwrite && destination.ValueExists(name)) return;
    std::uint32_t type = port::kRegNone;
    std::vector<std::uint8_t> data;
    if (QueryRaw(name, type, data) != kOk) return;
    // Every type keeps its number (REG_RESOURCE_LIST and the rest above REG_QWORD too).
    // Raw bytes, never through text, so strings of any script stay as they were.
    destination.WriteRawOrThrow(name, type, data);
  } catch (const std::exception&) {
    // One value that cannot be copied must not stop the copy of the others.
  }
}

void TMyRegistry::CopyKey(TMyRegistry& destination, bool withSubKeys, bool overwrite) {
  TStringList names;
  GetValueNames(names);
  for (const std::string& name : names) CopyValue(name, destination, overwrite);
  if (!withSubKeys || !currentKey_.Valid() || !destination.currentKey_.Valid()) return;

  GetKeyNames(names);
  // Fresh objects (view 32, full access) rooted at the two current keys: a source sub-key
  // that does not open with full access is skipped with everything below it.
  TMyRegistry source(registry_);
  TMyRegistry target(destination.registry_);
  source.SetRootKey(currentKey_.Get());
  target.SetRootKey(destination.currentKey_.Get());
  for (const std::string& name : names) {
    if (source.OpenKey(name, false)) {
      if (target.OpenKey(name, true)) {
        source.CopyKey(target, true, overwrite);
        target.CloseKey();
      }
      source.CloseKey();
    }
  }
}

std::optional<std::string> StringOfValue(const port::RegValueData& value) {
  if (value.status != kOk || value.data.empty()) return std::string();
  if (!IsStringType(value.type)) return std::nullopt;
  return StringFromData(value.data);
}

}  // namespace ombrant
