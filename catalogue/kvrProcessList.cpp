#include "catalogue/kvrProcessList.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/vqStrings.h"
#include "resources/OmbrantStrings.h"

namespace ombrant {

namespace {

// The id buffer starts where the system's own tools start and grows until every id fits.
constexpr std::uint32_t kFirstIdBufferBytes = 4100;
// Long enough for any Win32 path, so that no image path is cut short and then fails to match.
constexpr std::uint32_t kImagePathChars = 32768;

// Closes a kernel handle of the processes area when it goes.
class TProcessHandle {
 public:
  explicit TProcessHandle(port::IProcesses& processes) : processes_(processes) {}
  ~TProcessHandle() {
    if (handle_ != port::kNoHandle) (void)processes_.CloseHandle(handle_);
  }
  TProcessHandle(const TProcessHandle&) = delete;
  TProcessHandle& operator=(const TProcessHandle&) = delete;

  [[nodiscard]] port::HHandle* Put() { return &handle_; }
  [[nodiscard]] port::HHandle Get() const { return handle_; }

 private:
  port::IProcesses& processes_;
  port::HHandle handle_ = port::kNoHandle;
};

bool ListFromSnapshot(port::IProcesses& processes, TStringList& list) {
  TProcessHandle snapshot(processes);
  if (processes.CreateToolhelp32Snapshot(port::kTh32csSnapProcess, 0, snapshot.Put()) !=
      port::kErrorSuccess) {
    return false;
  }
  port::ProcessEntry entry;
  for (port::Status status = processes.Process32First(snapshot.Get(), &entry);
       status == port::kErrorSuccess; status = processes.Process32Next(snapshot.Get(), &entry)) {
    list.AddObject(entry.exeFile, static_cast<std::intptr_t>(entry.processId));
  }
  return true;
}

// The image path of one process, or nothing. The module list of a 64-bit process is out of a
// 32-bit program's reach; QueryFullProcessImageName reads it across bitness where the system has
// it, also with the limited rights a process of another account grants.
bool ReadImagePath(port::IProcesses& processes, std::uint32_t id, std::string& path, bool& opened) {
  TProcessHandle process(processes);
  opened = processes.OpenProcess(port::kProcessQueryInformation | port::kProcessVmRead, false, id,
                                 process.Put()) == port::kErrorSuccess;
  if (opened &&
      processes.GetModuleFileNameEx(process.Get(), &path, kImagePathChars) == port::kErrorSuccess &&
      !path.empty()) {
    return true;
  }
  if (!opened) {
    opened = processes.OpenProcess(port::kProcessQueryLimitedInformation, false, id,
                                   process.Put()) == port::kErrorSuccess;
    if (!opened) return false;
  }
  return processes.QueryFullProcessImageName(process.Get(), 0, &path) == port::kErrorSuccess &&
         !path.empty();
}

// SeDebugPrivilege enabled while it lives, then put back as it was: with it the administrator
// opens the processes of other accounts (the restricted account's among them).
class TDebugPrivilege {
 public:
  explicit TDebugPrivilege(port::IProcesses& processes) : processes_(processes) {
    changed_ = processes_.SetDebugPrivilege(true, &wasEnabled_) == port::kErrorSuccess &&
               !wasEnabled_;
  }
  ~TDebugPrivilege() {
    bool ignored = false;
    if (changed_) (void)processes_.SetDebugPrivilege(false, &ignored);
  }
  TDebugPrivilege(const TDebugPrivilege&) = delete;
  TDebugPrivilege& operator=(const TDebugPrivilege&) = delete;

 private:
  port::IProcesses& processes_;
  bool wasEnabled_ = false;
  bool changed_ = false;
};

bool ListFromModules(port::IProcesses& processes, TStringList& list) {
  TDebugPrivilege privilege(processes);
  std::vector<std::uint32_t> ids;
  for (std::uint32_t bufferBytes = kFirstIdBufferBytes;; bufferBytes *= 2) {
    std::uint32_t returned = 0;
    if (processes.EnumProcesses(bufferBytes, &ids, &returned) != port::kErrorSuccess) return false;
    // A full buffer may have cut the list short.
    if (returned < bufferBytes || bufferBytes >= (1u << 30)) break;
  }
  std::vector<std::uint32_t> closed;
  for (const std::uint32_t id : ids) {
    if (id == 0) continue;
    std::string path;
    bool opened = false;
    if (ReadImagePath(processes, id, path, opened)) {
      list.AddObject(path, static_cast<std::intptr_t>(id));
    } else if (opened) {
      list.AddObject(std::string(kUnreadableProcess), -1);
    } else {
      closed.push_back(id);
    }
  }
  // A process that does not open (a protected one, or another account's without the
  // privilege) still shows its executable's name in the tool-help snapshot.
  if (!closed.empty()) {
    TStringList names;
    if (ListFromSnapshot(processes, names)) {
      for (int i = 0; i < names.Count(); ++i) {
        const auto id = static_cast<std::uint32_t>(names.Objects(i));
        if (std::find(closed.begin(), closed.end(), id) != closed.end()) {
          list.AddObject(names[i], names.Objects(i));
        }
      }
    }
  }
  return true;
}

// The file name of a path (all of it when it has no folder).
std::string_view FileNameOf(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string FormatOne(std::string_view pattern, std::string_view text) {
  std::string result(pattern);
  const std::size_t at = result.find("%s");
  if (at != std::string::npos) result.replace(at, 2, text);
  return result;
}

bool IsWinNT(port::ISystem& system) {
  port::OsVersionInfo version;
  if (system.GetVersionEx(&version) != port::kErrorSuccess) return false;
  return version.platformId == 2 && version.majorVersion > 3;
}

bool GetProcessList(const port::Port& port, TStringList& list, bool fullPaths) {
  list.Clear();
  bool snapshot = !IsWinNT(port.system);
  if (!snapshot && !fullPaths) {
    bool wow64 = false;
    snapshot = port.system.IsWow64Process(port::kCurrentProcess, &wow64) == port::kErrorSuccess &&
               wow64;
  }
  return snapshot ? ListFromSnapshot(port.processes, list)
                  : ListFromModules(port.processes, list);
}

bool IsProgramRunning(const port::Port& port, std::string_view executable) {
  if (executable.empty()) return false;
  TStringList processes;
  if (!GetProcessList(port, processes, true)) return false;
  for (int i = 0; i < processes.Count(); ++i) {
    if (processes.Objects(i) == -1) continue;
    const std::string& listed = processes[i];
    // A bare name (from the snapshot) can only be compared by the executable's file name.
    const bool bare = listed.find('\\') == std::string::npos;
    if (SameText(listed, executable) || (bare && SameText(listed, FileNameOf(executable)))) {
      return true;
    }
  }
  return false;
}

bool WaitUntilProgramClosed(const port::Port& port, std::string_view displayName,
                            std::string_view executable, std::uint32_t delayMs) {
  bool running = IsProgramRunning(port, executable);
  if (running && delayMs > 0) {
    TProcessHandle event(port.processes);
    const std::string name = std::string(kWaitEventPrefix) + std::string(displayName);
    if (port.processes.CreateEvent(true, false, name, event.Put()) == port::kErrorSuccess) {
      (void)port.processes.WaitForSingleObject(event.Get(), delayMs);
    }
    running = IsProgramRunning(port, executable);
  }
  while (running) {
    const int answer =
        port.ui.MessageBox(0, FormatOne(kCloseProgramWarning, displayName), kApplicationTitle,
                           port::kMbOkCancel | port::kMbIconWarning);
    if (answer != port::kIdOk) return false;
    running = IsProgramRunning(port, executable);
  }
  return true;
}

}  // namespace ombrant
