// The simulated machine's running programs and named events.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/port/kvrPortProcesses.h"
#include "platform/sim/simIni.h"

namespace ombrant::sim {

class SimSystem;

// A running program ([process:N] of machine.ini).
struct SimProcess {
  std::uint32_t id = 0;
  std::string path;
  std::uint32_t bits = 32;
  std::string account;  // empty: the running account
  // OpenProcess is refused as for a protected process (machine.ini: open=denied).
  bool openRefused = false;
  IniSection settings;  // its section as read, written back with the fields above
};

// The process list is the machine's; the calling program is a 32-bit process, so on 64-bit
// Windows it cannot read a 64-bit process's modules (GetModuleFileNameEx fails) while
// QueryFullProcessImageName (from Windows Vista on) reads every process.
class SimProcesses final : public port::IProcesses {
 public:
  // Both must outlive this object.
  SimProcesses(std::vector<SimProcess>& processes, const SimSystem& system)
      : processes_(processes), system_(system) {}

  // Test hooks: a program ends (as a user closing it); a named event is signalled by another
  // process. Close returns how many processes ended.
  int CloseProcess(std::uint32_t id);
  int CloseProcessesWithPath(std::string_view path);  // letter case ignored
  void SignalEvent(std::string_view name);
  // Runs at every wait, as something happening while the program waits.
  void SetWaitHook(std::function<void()> hook) { waitHook_ = std::move(hook); }
  // A new process with the next free id (at least 1000, as the simulated programs start).
  std::uint32_t StartProcess(std::string path, std::uint32_t bits, std::string account);

  // The account the program runs as, and whether it holds SeDebugPrivilege (administrators
  // do). Without the privilege enabled, processes of other accounts do not open, as their
  // default security admits only their owner and the system. Unset: every process is the
  // caller's.
  void SetCaller(std::string account, bool holdsDebugPrivilege) {
    caller_ = std::move(account);
    holdsDebugPrivilege_ = holdsDebugPrivilege;
    debugEnabled_ = false;
  }
  [[nodiscard]] bool DebugPrivilegeEnabled() const { return debugEnabled_; }

  // Every wait made, in milliseconds, as asked; the simulation spends no real time on them.
  [[nodiscard]] const std::vector<std::uint32_t>& Waits() const { return waits_; }
  [[nodiscard]] std::size_t OpenHandles() const { return handles_.size(); }

  port::Status EnumProcesses(std::uint32_t bufferBytes, std::vector<std::uint32_t>* ids,
                             std::uint32_t* bytesReturned) override;
  port::Status OpenProcess(std::uint32_t access, bool inheritHandle, std::uint32_t processId,
                           port::HHandle* process) override;
  port::Status GetModuleFileNameEx(port::HHandle process, std::string* path,
                                   std::uint32_t maxChars) override;
  port::Status QueryFullProcessImageName(port::HHandle process, std::uint32_t flags,
                                         std::string* path) override;
  port::Status CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t processId,
                                        port::HHandle* snapshot) override;
  port::Status SetDebugPrivilege(bool enable, bool* wasEnabled) override;
  port::Status Process32First(port::HHandle snapshot, port::ProcessEntry* entry) override;
  port::Status Process32Next(port::HHandle snapshot, port::ProcessEntry* entry) override;
  port::Status CreateEvent(bool manualReset, bool initialState, std::string_view name,
                           port::HHandle* event) override;
  std::uint32_t WaitForSingleObject(port::HHandle handle, std::uint32_t milliseconds) override;
  port::Status CloseHandle(port::HHandle handle) override;

 private:
  enum class Kind { process, snapshot, event };
  struct Handle {
    Kind kind = Kind::process;
    std::uint32_t processId = 0;             // process
    std::vector<port::ProcessEntry> entries{};  // snapshot
    std::size_t next = 0;                     // snapshot
    std::string eventName{};                    // event
  };
  struct Event {
    bool manualReset = true;
    bool signalled = false;
  };

  [[nodiscard]] const SimProcess* FindProcess(std::uint32_t id) const;
  [[nodiscard]] Handle* FindHandle(port::HHandle handle, Kind kind);
  port::HHandle NewHandle(Handle handle);

  std::vector<SimProcess>& processes_;
  const SimSystem& system_;
  std::map<port::HHandle, Handle> handles_;
  std::map<std::string, Event> events_;  // by name as given; Windows' event names keep case
  port::HHandle nextHandle_ = 0x100;
  std::vector<std::uint32_t> waits_;
  std::function<void()> waitHook_;
  std::string caller_;
  bool holdsDebugPrivilege_ = false;
  bool debugEnabled_ = false;
};

}  // namespace ombrant::sim
