#include "platform/kvrRegHives.h"

#include "platform/kvrRegistry.h"

namespace ombrant {

namespace {

struct HiveName {
  std::string_view longName;
  std::string_view shortName;
  port::HKey root;
};

constexpr HiveName kHives[] = {
    {"HKEY_CLASSES_ROOT", "HKCR", port::kHKeyClassesRoot},
    {"HKEY_CURRENT_USER", "HKCU", port::kHKeyCurrentUser},
    {"HKEY_LOCAL_MACHINE", "HKLM", port::kHKeyLocalMachine},
    {"HKEY_USERS", "HKUS", port::kHKeyUsers},
    {"HKEY_PERFORMANCE_DATA", "HKPD", port::kHKeyPerformanceData},
    {"HKEY_CURRENT_CONFIG", "HKCC", port::kHKeyCurrentConfig},
    {"HKEY_DYN_DATA", "HKDD", port::kHKeyDynData},
};

}  // namespace

bool WriteRegistryValue(port::IRegistry& registry, port::HKey root, std::string_view keyPath,
                        std::string_view valueName, int view, std::uint32_t kind,
                        std::string_view text) {
  if (kind != port::kRegSz && kind != port::kRegExpandSz && kind != port::kRegMultiSz) {
    return false;
  }
  TMyRegistry reg(registry);
  reg.SetView(view);
  reg.SetRootKey(root);
  if (!reg.OpenKey(keyPath, true)) return false;
  try {
    if (kind == port::kRegSz) {
      reg.WriteString(valueName, text);
    } else if (kind == port::kRegExpandSz) {
      reg.WriteExpandString(valueName, text);
    } else {
      reg.WriteMultiSz(valueName, text);
    }
  } catch (const ERegistryException&) {
    return false;  // a refused write is a failure, not a success
  }
  return true;
}

bool WriteRegistryString(port::IRegistry& registry, port::HKey root, std::string_view keyPath,
                         std::string_view valueName, int view, std::string_view text) {
  return WriteRegistryValue(registry, root, keyPath, valueName, view, port::kRegSz, text);
}

bool WriteRegistryStringList(port::IRegistry& registry, port::HKey root,
                             std::string_view keyPath, std::string_view valueName,
                             const TStringList& list) {
  return WriteRegistryValue(registry, root, keyPath, valueName, 32, port::kRegMultiSz,
                            list.Text());
}

bool ReadRegistryStringList(port::IRegistry& registry, port::HKey root, std::string_view keyPath,
                            std::string_view valueName, TStringList& list) {
  TMyRegistry reg(registry);
  reg.SetView(32);
  reg.SetRootKey(root);
  if (!reg.OpenKeyReadOnly(keyPath)) return false;
  TRegDataInfo info;
  if (!reg.GetDataInfo(valueName, info) || info.type != port::kRegMultiSz) return false;
  try {
    // Fill a copy so that the list keeps its lines if anything fails half-way.
    TStringList read = list;
    read.SetText(reg.ReadMultiSz(valueName));
    list = std::move(read);
  } catch (const std::runtime_error&) {
    return false;
  }
  return true;
}

bool ReadRegistryString(port::IRegistry& registry, port::HKey root, std::string_view keyPath,
                        std::string_view valueName, int view, std::string& text) {
  TMyRegistry reg(registry);
  reg.SetView(view);
  reg.SetRootKey(root);
  if (!reg.OpenKeyReadOnly(keyPath)) return false;
  TRegDataInfo info;
  if (!reg.GetDataInfo(valueName, info)) return false;
  try {
    if (info.type == port::kRegSz || info.type == port::kRegExpandSz) {
      text = reg.ReadString(valueName);
      return true;
    }
    if (info.type == port::kRegMultiSz) {
      text = reg.ReadMultiSz(valueName);
      return true;
    }
  } catch (const ERegistryException&) {
    // The value changed its type between the query and the read.
  }
  return false;
}

bool ReadRegistryWideString(port::IRegistry& registry, port::HKey root, std::string_view keyPath,
                            std::string_view valueName, int view, std::string& text) {
  TMyRegistry reg(registry);
  reg.SetView(view);
  reg.SetRootKey(root);
  if (!reg.OpenKeyReadOnly(keyPath)) return false;
  TRegDataInfo info;
  if (!reg.GetDataInfo(valueName, info) || info.type != port::kRegSz) return false;
  try {
    text = reg.ReadWideString(valueName);
    return true;
  } catch (const ERegistryException&) {
    return false;
  }
}

bool WriteRegistryInteger(port::IRegistry& registry, port::HKey root, std::string_view keyPath,
                          std::string_view valueName, int view, std::uint32_t value) {
  TMyRegistry reg(registry);
  reg.SetView(view);
  reg.SetRootKey(root);
  if (!reg.OpenKey(keyPath, true)) return false;
  try {
    reg.WriteInteger(valueName, static_cast<std::int32_t>(value));
  } catch (const ERegistryException&) {
    return false;
  }
  return true;
}

bool GetRegistrySubKeyNames(port::IRegistry& registry, port::HKey root, std::string_view keyPath,
                            TStringList& list, bool use64BitView) {
  try {
    TMyRegistry reg(registry);
    if (use64BitView) reg.SetView(64);
    reg.SetRootKey(root);
    (void)reg.OpenKey(keyPath, false);
    reg.GetKeyNames(list);  // no key open: the list is only cleared
    return true;
  } catch (const std::exception&) {
    list.Clear();
    return false;
  }
}

bool RegistryKeyExists(port::IRegistry& registry, port::HKey root, std::string_view keyPath,
                       int viewSelector) {
  try {
    TMyRegistry reg(registry);
    if (viewSelector == 0) reg.SetView(32);
    if (viewSelector == 1) reg.SetView(64);
    reg.SetRootKey(root);
    return reg.KeyExists(keyPath);
  } catch (const std::exception&) {
    return false;
  }
}

bool SplitRegistryValuePath(std::string_view valuePath, port::HKey& root, std::string& keyPath,
                            std::string& valueName) {
  const std::size_t first = valuePath.find('\\');
  if (first == std::string_view::npos) return false;
  const port::HKey hive = HiveFromName(valuePath.substr(0, first));
  if (hive == port::kNoKey) return false;
  const std::size_t last = valuePath.rfind('\\');
  root = hive;
  keyPath = std::string(valuePath.substr(first, last - first + 1));
  valueName = std::string(valuePath.substr(last + 1));
  return true;
}

port::HKey HiveFromName(std::string_view name) {
  for (const HiveName& hive : kHives) {
    if (name == hive.longName || name == hive.shortName) return hive.root;
  }
  return port::kNoKey;
}

}  // namespace ombrant
