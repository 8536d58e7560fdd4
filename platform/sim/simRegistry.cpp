#include "platform/sim/simRegistry.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <map>
#include <stdexcept>

#include "platform/vqStrings.h"

namespace ombrant::sim {

using port::HKey;
using port::Status;

namespace {

// KEY_ALL_ACCESS plus SYNCHRONIZE: every right a key can grant.
constexpr std::uint32_t kAllRights = 0x001F003F;
constexpr std::uint32_t kGenericRead = 0x80000000u;
constexpr std::uint32_t kGenericWrite = 0x40000000u;
constexpr std::uint32_t kGenericExecute = 0x20000000u;
constexpr std::uint32_t kGenericAll = 0x10000000u;
constexpr std::uint32_t kMaximumAllowed = 0x02000000u;

// Handle values look like Windows' (multiples of 4) and are never reused.
constexpr HKey kFirstHandle = 0x1000;
constexpr HKey kHandleStep = 4;

constexpr std::string_view kWow6432Node = "Wow6432Node";

std::vector<std::string_view> SplitPath(std::string_view path) {
  std::vector<std::string_view> parts;
  std::size_t i = 0;
  while (i < path.size()) {
    const std::size_t end = std::min(path.find('\\', i), path.size());
    if (end > i) parts.push_back(path.substr(i, end - i));  // empty parts are skipped, as NT does
    i = end + 1;
  }
  return parts;
}

std::size_t Utf16Length(std::string_view text) { return Utf8ToUtf16(text).size(); }

// The rights a requested access mask stands for, generic rights mapped as the registry does.
std::uint32_t RequestedRights(std::uint32_t access, std::uint32_t granted) {
  std::uint32_t rights = access & ~port::kKeyWow64Res;
  if (rights & kGenericRead) rights |= port::kKeyRead;
  if (rights & kGenericWrite) rights |= port::kKeyWrite;
  if (rights & kGenericExecute) rights |= port::kKeyRead;
  if (rights & kGenericAll) rights |= port::kKeyAllAccess;
  if (rights & kMaximumAllowed) rights |= granted;
  return rights & kAllRights;
}

std::vector<std::uint8_t> StringBytes(std::string_view utf8) {
  const std::string bytes = Utf8ToUtf16LeBytes(utf8);
  std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
  data.push_back(0);
  data.push_back(0);
  return data;
}

}  // namespace

struct SimKeyNode {
  std::string name;
  SimKeyNode* parent = nullptr;  // null for a hive root and for a deleted key
  std::size_t depth = 0;
  bool deleted = false;
  bool hiveRoot = false;
  std::uint32_t granted = kAllRights;
  std::map<std::string, std::shared_ptr<SimKeyNode>, TextLess> subKeys;
  std::vector<SimValue> values;

  // Where the last sub-key enumeration stood, so that enumerating index 0, 1, 2, ... costs one
  // step per call instead of a walk from the first key. Any change to subKeys drops it.
  struct EnumCursor {
    bool valid = false;
    std::uint32_t index = 0;
    std::map<std::string, std::shared_ptr<SimKeyNode>, TextLess>::const_iterator at;
  };
  EnumCursor cursor;

  void SubKeysChanged() { cursor.valid = false; }

  const std::string& SubKeyAt(std::uint32_t index) {
    if (cursor.valid && index == cursor.index + 1) {
      ++cursor.at;
    } else if (!cursor.valid || index != cursor.index) {
      cursor.at = std::next(subKeys.cbegin(), index);
    }
    cursor.valid = true;
    cursor.index = index;
    return cursor.at->first;
  }

  std::shared_ptr<SimKeyNode> Child(std::string_view childName) const {
    const auto it = subKeys.find(childName);
    return it == subKeys.end() ? nullptr : it->second;
  }

  std::shared_ptr<SimKeyNode> AddChild(std::string_view childName) {
    auto child = std::make_shared<SimKeyNode>();
    child->name = std::string(childName);
    child->parent = this;
    child->depth = depth + 1;
    subKeys.emplace(child->name, child);
    SubKeysChanged();
    return child;
  }

  SimValue* FindValue(std::string_view valueName) {
    for (SimValue& v : values) {
      if (SameText(v.name, valueName)) return &v;
    }
    return nullptr;
  }

  void MarkDeleted() {
    deleted = true;
    parent = nullptr;
    for (auto& [childName, child] : subKeys) child->MarkDeleted();
  }

  // Takes the key out of its parent; handles that still hold it see it as deleted.
  void Detach() {
    SimKeyNode* from = parent;
    auto keepAlive = from ? from->Child(name) : nullptr;
    MarkDeleted();
    if (from) {
      from->subKeys.erase(name);
      from->SubKeysChanged();
    }
  }

  void SetValue(std::string_view valueName, std::uint32_t type, std::vector<std::uint8_t> data) {
    if (SimValue* existing = FindValue(valueName)) {
      existing->type = type;
      existing->data = std::move(data);
      return;
    }
    values.push_back(SimValue{std::string(valueName), type, std::move(data)});
  }
};

namespace {

std::shared_ptr<SimKeyNode> FindNode(const std::shared_ptr<SimKeyNode>& root,
                                     std::string_view path) {
  std::shared_ptr<SimKeyNode> node = root;
  for (std::string_view part : SplitPath(path)) {
    node = node->Child(part);
    if (!node) return nullptr;
  }
  return node;
}

std::shared_ptr<SimKeyNode> EnsureNode(const std::shared_ptr<SimKeyNode>& root,
                                       std::string_view path) {
  const auto parts = SplitPath(path);
  if (parts.size() > kMaxKeyDepth) throw std::invalid_argument("registry path too deep");
  for (std::string_view part : parts) {
    if (Utf16Length(part) > kMaxKeyNameLength) {
      throw std::invalid_argument("registry key name too long: " + std::string(part));
    }
  }
  std::shared_ptr<SimKeyNode> node = root;
  for (std::string_view part : parts) {
    auto next = node->Child(part);
    node = next ? next : node->AddChild(part);
  }
  return node;
}

}  // namespace

// --- SimHive ---

SimHive::SimHive() : root_(std::make_shared<SimKeyNode>()) { root_->hiveRoot = true; }

SimHive::~SimHive() = default;

void SimHive::AddKey(std::string_view path) { EnsureNode(root_, path); }

bool SimHive::HasKey(std::string_view path) const { return FindNode(root_, path) != nullptr; }

void SimHive::DeleteTree(std::string_view path) {
  const auto node = FindNode(root_, path);
  if (!node) return;
  if (node == root_) {
    for (auto& [name, child] : root_->subKeys) child->MarkDeleted();
    root_->subKeys.clear();
    root_->SubKeysChanged();
    root_->values.clear();
    return;
  }
  node->Detach();
}

void SimHive::SetValue(std::string_view keyPath, std::string_view name, std::uint32_t type,
                       std::vector<std::uint8_t> data) {
  EnsureNode(root_, keyPath)->SetValue(name, type, std::move(data));
}

bool SimHive::DeleteValue(std::string_view keyPath, std::string_view name) {
  const auto node = FindNode(root_, keyPath);
  if (!node) return false;
  auto& values = node->values;
  const auto it = std::find_if(values.begin(), values.end(),
                               [&](const SimValue& v) { return SameText(v.name, name); });
  if (it == values.end()) return false;
  values.erase(it);
  return true;
}

std::optional<SimValue> SimHive::GetValue(std::string_view keyPath, std::string_view name) const {
  const auto node = FindNode(root_, keyPath);
  if (!node) return std::nullopt;
  if (const SimValue* v = node->FindValue(name)) return *v;
  return std::nullopt;
}

std::vector<std::string> SimHive::SubKeyNames(std::string_view path) const {
  std::vector<std::string> names;
  if (const auto node = FindNode(root_, path)) {
    for (const auto& [name, child] : node->subKeys) names.push_back(name);
  }
  return names;
}

std::vector<SimValue> SimHive::Values(std::string_view path) const {
  const auto node = FindNode(root_, path);
  return node ? node->values : std::vector<SimValue>{};
}

bool SimHive::LimitAccess(std::string_view path, std::uint32_t grantedAccess) {
  const auto node = FindNode(root_, path);
  if (!node) return false;
  node->granted = grantedAccess & kAllRights;
  return true;
}

// --- SimRegistry ---

struct SimRegistry::Impl {
  struct Handle {
    std::shared_ptr<SimKeyNode> node;
    std::uint32_t access = 0;
  };

  bool is64 = false;
  std::shared_ptr<SimHive> machine = std::make_shared<SimHive>();
  std::shared_ptr<SimHive> currentUser = std::make_shared<SimHive>();
  // HKEY_USERS: its sub-keys are the roots of the mounted hives.
  std::shared_ptr<SimKeyNode> users = std::make_shared<SimKeyNode>();
  std::map<std::string, std::shared_ptr<SimHive>, TextLess> mounted;
  std::map<HKey, Handle> handles;
  HKey nextHandle = kFirstHandle;
  // Keys whose values may not change: the hive's root and the upper-cased path in it.
  std::vector<std::pair<const SimKeyNode*, std::string>> refusedWrites;

  bool WritesRefused(const SimKeyNode& node) const {
    if (refusedWrites.empty()) return false;
    std::string path;
    const SimKeyNode* at = &node;
    for (; at->parent != nullptr; at = at->parent) {
      path = path.empty() ? UpperCase(at->name) : UpperCase(at->name) + "\\" + path;
    }
    return std::any_of(refusedWrites.begin(), refusedWrites.end(),
                       [&](const auto& refused) { return refused.first == at && refused.second == path; });
  }

  // What a handle or a predefined root stands for and the rights it carries.
  Status Lookup(HKey key, Handle* out) const {
    auto root = [&](const std::shared_ptr<SimKeyNode>& node) {
      *out = Handle{node, node->granted};
      return port::kErrorSuccess;
    };
    auto linked = [&](std::string_view path) {
      auto node = FindNode(machine->root_, path);
      return node ? root(node) : port::kErrorFileNotFound;
    };
    switch (key) {
      case port::kHKeyLocalMachine:
        return root(machine->root_);
      case port::kHKeyCurrentUser:
        return root(currentUser->root_);
      case port::kHKeyUsers:
        return root(users);
      case port::kHKeyClassesRoot:
        return linked("SOFTWARE\\Classes");
      case port::kHKeyCurrentConfig:
        return linked("SYSTEM\\CurrentControlSet\\Hardware Profiles\\Current");
      case port::kHKeyDynData:
        return port::kErrorFileNotFound;
      case port::kHKeyPerformanceData:
        return port::kErrorInvalidHandle;
      default:
        break;
    }
    const auto it = handles.find(key);
    if (it == handles.end()) return port::kErrorInvalidHandle;
    *out = it->second;
    return port::kErrorSuccess;
  }

  // Looks the handle up and checks that it carries `rights` and that its key still exists.
  Status Use(HKey key, std::uint32_t rights, Handle* out) const {
    if (const Status s = Lookup(key, out); s != port::kErrorSuccess) return s;
    if ((out->access & rights) != rights) return port::kErrorAccessDenied;
    if (out->node->deleted) return port::kErrorKeyDeleted;
    return port::kErrorSuccess;
  }

  static Status CanCreateBelow(const SimKeyNode& parent) {
    if (!(parent.granted & port::kKeyCreateSubKey)) return port::kErrorAccessDenied;
    if (parent.depth + 1 > kMaxKeyDepth) return port::kErrorInvalidParameter;
    return port::kErrorSuccess;
  }

  // Walks `subKey` from `start`, creating missing keys when asked. In the 32-bit view of a
  // 64-bit machine, stepping from the HKLM root into SOFTWARE lands in SOFTWARE\Wow6432Node.
  Status Walk(HKey startKey, const Handle& start, std::string_view subKey, std::uint32_t access,
              bool create, std::shared_ptr<SimKeyNode>* out, bool* created) {
    if (start.node->deleted) return port::kErrorKeyDeleted;
    if (!subKey.empty() && subKey.front() == '\\') {
      // NT refuses a leading backslash, except below HKEY_CLASSES_ROOT.
      if (startKey != port::kHKeyClassesRoot) return port::kErrorBadPathname;
      subKey.remove_prefix(1);
    }
    const auto parts = SplitPath(subKey);
    for (std::string_view part : parts) {
      if (Utf16Length(part) > kMaxKeyNameLength) {
        return create ? port::kErrorInvalidParameter : port::kErrorFileNotFound;
      }
    }
    const bool redirect = is64 && !(access & port::kKeyWow64_64Key);
    auto step = [&](const std::shared_ptr<SimKeyNode>& from, std::string_view name,
                    std::shared_ptr<SimKeyNode>* to, bool* made) {
      *to = from->Child(name);
      *made = false;
      if (*to) return port::kErrorSuccess;
      if (!create) return port::kErrorFileNotFound;
      if (const Status s = CanCreateBelow(*from); s != port::kErrorSuccess) return s;
      *to = from->AddChild(name);
      *made = true;
      return port::kErrorSuccess;
    };
    std::shared_ptr<SimKeyNode> node = start.node;
    bool made = false;
    for (std::size_t i = 0; i < parts.size(); ++i) {
      std::shared_ptr<SimKeyNode> next;
      if (const Status s = step(node, parts[i], &next, &made); s != port::kErrorSuccess) return s;
      if (redirect && node == machine->root_ && SameText(parts[i], "SOFTWARE")) {
        std::shared_ptr<SimKeyNode> wow;
        if (const Status s = step(next, kWow6432Node, &wow, &made); s != port::kErrorSuccess) {
          return s;
        }
        next = wow;
        if (i + 1 < parts.size() && SameText(parts[i + 1], kWow6432Node)) ++i;
      }
      node = next;
    }
    *out = node;
    if (created) *created = made;
    return port::kErrorSuccess;
  }

  HKey NewHandle(std::shared_ptr<SimKeyNode> node, std::uint32_t access) {
    const HKey key = nextHandle;
    nextHandle += kHandleStep;
    handles.emplace(key, Handle{std::move(node), access});
    return key;
  }

  Status OpenOrCreate(HKey key, std::string_view subKey, std::uint32_t access, bool create,
                      HKey* result, bool* created) {
    if (!result) return port::kErrorInvalidParameter;
    Handle start;
    if (const Status s = Lookup(key, &start); s != port::kErrorSuccess) return s;
    // Windows gives the predefined handle itself back for an empty sub-key.
    if (!create && subKey.empty() && port::IsPredefinedKey(key)) {
      *result = key;
      return port::kErrorSuccess;
    }
    std::shared_ptr<SimKeyNode> node;
    bool made = false;
    if (const Status s = Walk(key, start, subKey, access, create, &node, &made);
        s != port::kErrorSuccess) {
      return s;
    }
    const std::uint32_t rights = RequestedRights(access, node->granted);
    if (rights & ~node->granted) return port::kErrorAccessDenied;
    *result = NewHandle(std::move(node), rights);
    if (created) *created = made;
    return port::kErrorSuccess;
  }

  // The hive and the path inside it for a physical path with a root name.
  std::shared_ptr<SimHive> Resolve(std::string_view path, std::string* inHive) const {
    const std::size_t slash = path.find('\\');
    const std::string_view rootName = path.substr(0, slash);
    std::string_view rest = slash == std::string_view::npos ? "" : path.substr(slash + 1);
    if (SameText(rootName, "HKEY_LOCAL_MACHINE") || SameText(rootName, "HKLM")) {
      *inHive = std::string(rest);
      return machine;
    }
    if (SameText(rootName, "HKEY_CURRENT_USER") || SameText(rootName, "HKCU")) {
      *inHive = std::string(rest);
      return currentUser;
    }
    if (SameText(rootName, "HKEY_CLASSES_ROOT") || SameText(rootName, "HKCR")) {
      *inHive = "SOFTWARE\\Classes";
      if (!rest.empty()) *inHive += "\\" + std::string(rest);
      return machine;
    }
    if (SameText(rootName, "HKEY_USERS") || SameText(rootName, "HKU")) {
      while (!rest.empty() && rest.front() == '\\') rest.remove_prefix(1);
      const std::size_t end = rest.find('\\');
      const auto it = mounted.find(rest.substr(0, end));
      if (rest.empty() || it == mounted.end()) return nullptr;
      *inHive = end == std::string_view::npos ? "" : std::string(rest.substr(end + 1));
      return it->second;
    }
    return nullptr;
  }

  std::pair<SimHive*, std::string> ResolveOrThrow(std::string_view path) const {
    std::string inHive;
    const auto hive = Resolve(path, &inHive);
    if (!hive) throw std::invalid_argument("no such registry root: " + std::string(path));
    return {hive.get(), std::move(inHive)};
  }
};

SimRegistry::SimRegistry(bool is64BitWindows) : impl_(std::make_unique<Impl>()) {
  impl_->is64 = is64BitWindows;
  // Keys every Windows has and the roots and views depend on.
  impl_->machine->AddKey("SOFTWARE\\Classes");
  if (is64BitWindows) impl_->machine->AddKey("SOFTWARE\\Wow6432Node");
  // HKEY_USERS only lists hives; nothing is created or set there directly.
  impl_->users->granted = port::kKeyRead;
}

SimRegistry::~SimRegistry() = default;

void SimRegistry::AddKey(std::string_view path) {
  auto [hive, inHive] = impl_->ResolveOrThrow(path);
  hive->AddKey(inHive);
}

void SimRegistry::SetValue(std::string_view keyPath, std::string_view name, std::uint32_t type,
                           std::vector<std::uint8_t> data) {
  auto [hive, inHive] = impl_->ResolveOrThrow(keyPath);
  hive->SetValue(inHive, name, type, std::move(data));
}

void SimRegistry::SetString(std::string_view keyPath, std::string_view name, std::string_view utf8,
                            std::uint32_t type) {
  SetValue(keyPath, name, type, StringBytes(utf8));
}

void SimRegistry::SetDword(std::string_view keyPath, std::string_view name, std::uint32_t value) {
  SetValue(keyPath, name, port::kRegDword,
           {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)});
}

void SimRegistry::SetMultiString(std::string_view keyPath, std::string_view name,
                                 const std::vector<std::string>& strings) {
  std::vector<std::uint8_t> data;
  for (const std::string& s : strings) {
    const auto bytes = StringBytes(s);
    data.insert(data.end(), bytes.begin(), bytes.end());
  }
  data.push_back(0);
  data.push_back(0);
  SetValue(keyPath, name, port::kRegMultiSz, std::move(data));
}

std::optional<SimValue> SimRegistry::GetValue(std::string_view keyPath,
                                              std::string_view name) const {
  std::string inHive;
  const auto hive = impl_->Resolve(keyPath, &inHive);
  return hive ? hive->GetValue(inHive, name) : std::nullopt;
}

bool SimRegistry::HasKey(std::string_view path) const {
  std::string inHive;
  const auto hive = impl_->Resolve(path, &inHive);
  return hive && hive->HasKey(inHive);
}

void SimRegistry::DeleteTree(std::string_view path) {
  auto [hive, inHive] = impl_->ResolveOrThrow(path);
  hive->DeleteTree(inHive);
}

void SimRegistry::RefuseValueWrites(std::string_view keyPath) {
  std::string inHive;
  const std::shared_ptr<SimHive> hive = ResolveHivePath(keyPath, &inHive);
  if (!hive) throw std::invalid_argument("no such hive: " + std::string(keyPath));
  while (!inHive.empty() && inHive.back() == '\\') inHive.pop_back();
  impl_->refusedWrites.emplace_back(hive->root_.get(), UpperCase(inHive));
}

void SimRegistry::LimitAccess(std::string_view keyPath, std::uint32_t grantedAccess) {
  auto [hive, inHive] = impl_->ResolveOrThrow(keyPath);
  if (!hive->LimitAccess(inHive, grantedAccess)) {
    throw std::invalid_argument("no such registry key: " + std::string(keyPath));
  }
}

std::shared_ptr<SimHive> SimRegistry::ResolveHivePath(std::string_view path,
                                                      std::string* pathInHive) const {
  std::string inHive;
  auto hive = impl_->Resolve(path, &inHive);
  if (hive && pathInHive) *pathInHive = std::move(inHive);
  return hive;
}

SimHive& SimRegistry::MachineHive() { return *impl_->machine; }
const SimHive& SimRegistry::MachineHive() const { return *impl_->machine; }

std::shared_ptr<SimHive> SimRegistry::NewHive() { return std::make_shared<SimHive>(); }

void SimRegistry::SetCurrentUserHive(std::shared_ptr<SimHive> hive) {
  impl_->currentUser = hive ? std::move(hive) : std::make_shared<SimHive>();
}

std::shared_ptr<SimHive> SimRegistry::CurrentUserHive() const { return impl_->currentUser; }

port::Status SimRegistry::LoadUserHive(std::string_view sid, std::shared_ptr<SimHive> hive,
                                       port::HKey* root) {
  if (!root || !hive || sid.empty() || sid.find('\\') != std::string_view::npos) {
    return port::kErrorInvalidParameter;
  }
  const auto it = impl_->mounted.find(sid);
  if (it != impl_->mounted.end() && it->second != hive) return port::kErrorAlreadyExists;
  if (it == impl_->mounted.end()) {
    impl_->mounted.emplace(std::string(sid), hive);
    impl_->users->subKeys.emplace(std::string(sid), hive->root_);
    impl_->users->SubKeysChanged();
  }
  *root = impl_->NewHandle(hive->root_, hive->root_->granted);
  return port::kErrorSuccess;
}

void SimRegistry::UnloadUserHive(std::string_view sid) {
  const auto it = impl_->mounted.find(sid);
  if (it == impl_->mounted.end()) return;
  impl_->users->subKeys.erase(it->first);
  impl_->users->SubKeysChanged();
  impl_->mounted.erase(it);
}

std::shared_ptr<SimHive> SimRegistry::UserHive(std::string_view sid) const {
  const auto it = impl_->mounted.find(sid);
  return it == impl_->mounted.end() ? nullptr : it->second;
}

bool SimRegistry::Is64BitWindows() const { return impl_->is64; }

std::size_t SimRegistry::OpenHandleCount() const { return impl_->handles.size(); }

// --- port::IRegistry ---

port::Status SimRegistry::RegOpenKeyEx(port::HKey key, std::string_view subKey,
                                       std::uint32_t access, port::HKey* result) {
  return impl_->OpenOrCreate(key, subKey, access, false, result, nullptr);
}

port::Status SimRegistry::RegCreateKeyEx(port::HKey key, std::string_view subKey,
                                         std::uint32_t access, port::HKey* result, bool* created) {
  return impl_->OpenOrCreate(key, subKey, access, true, result, created);
}

port::Status SimRegistry::RegCloseKey(port::HKey key) {
  if (port::IsPredefinedKey(key)) return port::kErrorSuccess;
  return impl_->handles.erase(key) ? port::kErrorSuccess : port::kErrorInvalidHandle;
}

port::Status SimRegistry::RegQueryValueEx(port::HKey key, std::string_view valueName,
                                          std::uint32_t* type, std::uint8_t* data,
                                          std::uint32_t* size) {
  if (data && !size) return port::kErrorInvalidParameter;
  Impl::Handle h;
  if (const Status s = impl_->Use(key, port::kKeyQueryValue, &h); s != port::kErrorSuccess) {
    return s;
  }
  const SimValue* v = h.node->FindValue(valueName);
  if (!v) return port::kErrorFileNotFound;
  const auto needed = static_cast<std::uint32_t>(v->data.size());
  if (data) {
    if (*size < needed) {
      // As Windows: the type and the size needed are reported, the buffer is not touched.
      if (type) *type = v->type;
      *size = needed;
      return port::kErrorMoreData;
    }
    if (needed) std::memcpy(data, v->data.data(), needed);
  }
  if (type) *type = v->type;
  if (size) *size = needed;
  return port::kErrorSuccess;
}

port::Status SimRegistry::RegSetValueEx(port::HKey key, std::string_view valueName,
                                        std::uint32_t type, const std::uint8_t* data,
                                        std::uint32_t size) {
  Impl::Handle h;
  if (const Status s = impl_->Use(key, port::kKeySetValue, &h); s != port::kErrorSuccess) {
    return s;
  }
  if (impl_->WritesRefused(*h.node)) return port::kErrorAccessDenied;
  if (!data && size) return port::kErrorNoAccess;
  if (Utf16Length(valueName) > kMaxValueNameLength) return port::kErrorInvalidParameter;
  h.node->SetValue(valueName, type, std::vector<std::uint8_t>(data, data + size));
  return port::kErrorSuccess;
}

port::Status SimRegistry::RegQueryInfoKey(port::HKey key, port::RegKeyInfo* info) {
  Impl::Handle h;
  if (const Status s = impl_->Use(key, port::kKeyQueryValue, &h); s != port::kErrorSuccess) {
    return s;
  }
  if (!info) return port::kErrorInvalidParameter;
  port::RegKeyInfo result;
  result.subKeys = static_cast<std::uint32_t>(h.node->subKeys.size());
  for (const auto& [name, child] : h.node->subKeys) {
    result.maxSubKeyLen =
        std::max(result.maxSubKeyLen, static_cast<std::uint32_t>(Utf16Length(name)));
  }
  result.values = static_cast<std::uint32_t>(h.node->values.size());
  for (const SimValue& v : h.node->values) {
    result.maxValueNameLen =
        std::max(result.maxValueNameLen, static_cast<std::uint32_t>(Utf16Length(v.name)));
    result.maxValueLen = std::max(result.maxValueLen, static_cast<std::uint32_t>(v.data.size()));
  }
  *info = result;
  return port::kErrorSuccess;
}

port::Status SimRegistry::RegEnumKeyEx(port::HKey key, std::uint32_t index, std::string* name) {
  Impl::Handle h;
  if (const Status s = impl_->Use(key, port::kKeyEnumerateSubKeys, &h); s != port::kErrorSuccess) {
    return s;
  }
  if (!name) return port::kErrorInvalidParameter;
  if (index >= h.node->subKeys.size()) return port::kErrorNoMoreItems;
  *name = h.node->SubKeyAt(index);
  return port::kErrorSuccess;
}

port::Status SimRegistry::RegEnumValue(port::HKey key, std::uint32_t index, std::string* name) {
  Impl::Handle h;
  if (const Status s = impl_->Use(key, port::kKeyQueryValue, &h); s != port::kErrorSuccess) {
    return s;
  }
  if (!name) return port::kErrorInvalidParameter;
  if (index >= h.node->values.size()) return port::kErrorNoMoreItems;
  *name = h.node->values[index].name;
  return port::kErrorSuccess;
}

port::Status SimRegistry::RegDeleteValue(port::HKey key, std::string_view valueName) {
  Impl::Handle h;
  if (const Status s = impl_->Use(key, port::kKeySetValue, &h); s != port::kErrorSuccess) {
    return s;
  }
  if (impl_->WritesRefused(*h.node)) return port::kErrorAccessDenied;
  auto& values = h.node->values;
  const auto it = std::find_if(values.begin(), values.end(),
                               [&](const SimValue& v) { return SameText(v.name, valueName); });
  if (it == values.end()) return port::kErrorFileNotFound;
  values.erase(it);
  return port::kErrorSuccess;
}

port::Status SimRegistry::RegDeleteKeyEx(port::HKey key, std::string_view subKey,
                                         std::uint32_t access) {
  Impl::Handle start;
  if (const Status s = impl_->Lookup(key, &start); s != port::kErrorSuccess) return s;
  std::shared_ptr<SimKeyNode> node;
  // Only the view flags of `access` count: the key itself is opened for DELETE, as Windows does.
  if (const Status s =
          impl_->Walk(key, start, subKey, access & port::kKeyWow64Res, false, &node, nullptr);
      s != port::kErrorSuccess) {
    return s;
  }
  if (node->hiveRoot || node == impl_->users) return port::kErrorAccessDenied;
  if (!(node->granted & port::kDelete)) return port::kErrorAccessDenied;
  // Windows deletes only keys without sub-keys.
  if (!node->subKeys.empty()) return port::kErrorAccessDenied;
  node->Detach();
  return port::kErrorSuccess;
}

}  // namespace ombrant::sim
