#include "orchestration/UnitShellFolderPaths.h"

#include "platform/vqStrings.h"

namespace ombrant {
namespace {

constexpr std::string_view kQuickLaunch = "\\Microsoft\\Internet Explorer\\Quick Launch";

struct FolderVariable {
  std::string_view name;
  int csidl;
  std::string_view suffix;
};

constexpr FolderVariable kVariables[] = {
    {"DESKTOP", port::kCsidlDesktopDirectory, ""},
    {"COMMONDESKTOP", port::kCsidlCommonDesktopDirectory, ""},
    {"PROGRAMS", port::kCsidlPrograms, ""},
    {"COMMONPROGRAMS", port::kCsidlCommonPrograms, ""},
    {"STARTMENU", port::kCsidlStartMenu, ""},
    {"COMMONSTARTMENU", port::kCsidlCommonStartMenu, ""},
    {"APPDATA", port::kCsidlAppData, ""},
    {"COMMONAPPDATA", port::kCsidlCommonAppData, ""},
    {"QUICKLAUNCH", port::kCsidlAppData, kQuickLaunch},
    {"COMMONQUICKLAUNCH", port::kCsidlCommonAppData, kQuickLaunch},
};

}  // namespace

TPathResolver ShellFolderPathResolver(port::Port& port) {
  return [&port](std::string_view pathTemplate) {
    std::string out;
    std::size_t pos = 0;
    while (pos < pathTemplate.size()) {
      const std::size_t open = pathTemplate.find("<$", pos);
      const std::size_t close =
          open == std::string_view::npos ? open : pathTemplate.find('>', open);
      if (close == std::string_view::npos) {
        out += pathTemplate.substr(pos);
        break;
      }
      out += pathTemplate.substr(pos, open - pos);
      const std::string_view name = pathTemplate.substr(open + 2, close - open - 2);
      const FolderVariable* variable = nullptr;
      for (const FolderVariable& v : kVariables) {
        if (SameText(v.name, name)) variable = &v;
      }
      if (variable == nullptr) {
        out += pathTemplate.substr(open, close - open + 1);
      } else {
        std::string folder;
        if (port.shell.GetSpecialFolderPath(variable->csidl, &folder) == port::kErrorSuccess &&
            !folder.empty()) {
          out += folder;
          out += variable->suffix;
        }
      }
      pos = close + 1;
    }
    return out;
  };
}

}  // namespace ombrant
