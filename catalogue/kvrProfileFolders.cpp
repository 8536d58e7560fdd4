#include "catalogue/kvrProfileFolders.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "platform/kvrRegHives.h"
#include "platform/vqFileSys.h"
#include "platform/vqSecurity.h"
#include "platform/vqStringList.h"
#include "platform/vqStrings.h"

namespace ombrant {
namespace {

std::string WithoutBackslash(std::string folder) {
  while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  return folder;
}

// %SystemDrive% and %SystemRoot%, the variables ProfileList values use.
std::string ExpandSystemVariables(const port::Port& port, std::string text) {
  std::string windows;
  if (port.files.GetWindowsDirectory(&windows) != port::kErrorSuccess || windows.size() < 2) {
    return text;
  }
  auto replace = [&text](std::string_view name, const std::string& value) {
    for (std::size_t at = FindText(text, name); at != std::string::npos;
         at = FindText(text, name)) {
      text.replace(at, name.size(), value);
    }
  };
  replace("%SystemDrive%", windows.substr(0, 2));
  replace("%SystemRoot%", windows);
  return text;
}

std::string ProfileListValue(const port::Port& port, std::string_view subKey,
                             std::string_view name) {
  std::string text;
  if (!ReadRegistryString(port.registry, port::kHKeyLocalMachine,
                          std::string(kProfileListKey) + std::string(subKey), name, 32, text)) {
    return {};
  }
  return text;
}

// The files below `folder`, relative to it, in capitals, sorted.
bool RelativeFiles(const port::Port& port, const std::string& folder,
                   std::vector<std::string>& names) {
  TStringList found;
  FindFiles(port.files, folder + "\\*.*", found, true, false, false, true, true);
  for (const std::string& name : found) names.push_back(name);
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return CompareText(a, b) < 0;
  });
  return true;
}

}  // namespace

std::string ProfileFolderOfAccount(const port::Port& port, std::string_view userName) {
  if (userName.empty()) return {};
  try {
    const std::string sid =
        vqConvertSidToStringSid(port.security, vqLookupAccountName(port.security, userName, ""));
    const std::string path = ProfileListValue(port, sid, "ProfileImagePath");
    if (path.empty()) return {};
    return WithoutBackslash(ExpandSystemVariables(port, path));
  } catch (const std::exception&) {
    return {};
  }
}

std::string DefaultProfileFolder(const port::Port& port) {
  std::string folder = ProfileListValue(port, "", "Default");
  if (folder.empty()) {
    const std::string root = ProfileListValue(port, "", "ProfilesDirectory");
    const std::string name = ProfileListValue(port, "", "DefaultUserProfile");
    if (root.empty() || name.empty()) return {};
    folder = WithoutBackslash(root) + "\\" + name;
  }
  return WithoutBackslash(ExpandSystemVariables(port, folder));
}

bool HoldsOnlyDefaultProfileContent(const port::Port& port, std::string_view profileFolder,
                                    std::string_view folder) {
  try {
    const std::string profile = WithoutBackslash(std::string(profileFolder)) + "\\";
    const std::string inside = WithoutBackslash(std::string(folder));
    if (profile.size() < 2 || inside.size() < profile.size() ||
        !SameText(std::string_view(inside).substr(0, profile.size()), profile)) {
      return false;
    }
    const std::string defaults = DefaultProfileFolder(port);
    if (defaults.empty()) return false;
    const std::string counterpart = defaults + "\\" + inside.substr(profile.size());
    std::uint32_t attributes = 0;
    if (port.files.GetFileAttributes(counterpart, &attributes) != port::kErrorSuccess ||
        (attributes & port::kFileAttributeDirectory) == 0) {
      return false;
    }
    std::vector<std::string> own;
    std::vector<std::string> standard;
    if (!RelativeFiles(port, inside, own) || !RelativeFiles(port, counterpart, standard)) {
      return false;
    }
    if (own.size() != standard.size()) return false;
    for (std::size_t i = 0; i < own.size(); ++i) {
      if (!SameText(own[i], standard[i])) return false;
      std::string mine;
      std::string theirs;
      if (port.files.ReadWholeFile(inside + "\\" + own[i], &mine) != port::kErrorSuccess ||
          port.files.ReadWholeFile(counterpart + "\\" + standard[i], &theirs) !=
              port::kErrorSuccess ||
          mine != theirs) {
        return false;
      }
    }
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace ombrant
