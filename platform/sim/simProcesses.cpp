#include "platform/sim/simProcesses.h"

#include <algorithm>

#include "platform/sim/simSystem.h"
#include "platform/vqStrings.h"

namespace ombrant::sim {

namespace {

std::string FileNameOf(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// The length of `text` cut to `maxChars` UTF-16 units with room for the NUL, at a character
// boundary, as Windows cuts a path into a short buffer.
std::string CutToUnits(std::string_view text, std::uint32_t maxChars) {
  if (maxChars == 0) return {};
  const std::u16string wide = Utf8ToUtf16(text);
  if (wide.size() < maxChars) return std::string(text);
  std::size_t keep = maxChars - 1;
  if (keep > 0 && wide[keep - 1] >= 0xD800 && wide[keep - 1] <= 0xDBFF) --keep;
  return Utf16ToUtf8(std::u16string_view(wide).substr(0, keep));
}

}  // namespace

const SimProcess* SimProcesses::FindProcess(std::uint32_t id) const {
  for (const SimProcess& process : processes_) {
    if (process.id == id) return &process;
  }
  return nullptr;
}

SimProcesses::Handle* SimProcesses::FindHandle(port::HHandle handle, Kind kind) {
  const auto it = handles_.find(handle);
  if (it == handles_.end() || it->second.kind != kind) return nullptr;
  return &it->second;
}

port::HHandle SimProcesses::NewHandle(Handle handle) {
  const port::HHandle value = nextHandle_;
  nextHandle_ += 4;
  handles_.emplace(value, std::move(handle));
  return value;
}

int SimProcesses::CloseProcess(std::uint32_t id) {
  const auto removed = std::erase_if(processes_, [id](const SimProcess& p) { return p.id == id; });
  return static_cast<int>(removed);
}

int SimProcesses::CloseProcessesWithPath(std::string_view path) {
  const auto removed =
      std::erase_if(processes_, [path](const SimProcess& p) { return SameText(p.path, path); });
  return static_cast<int>(removed);
}

void SimProcesses::SignalEvent(std::string_view name) {
  events_[std::string(name)].signalled = true;
}

std::uint32_t SimProcesses::StartProcess(std::string path, std::uint32_t bits,
                                         std::string account) {
  std::uint32_t id = 1000;
  for (const SimProcess& process : processes_) id = std::max(id, process.id + 4);
  SimProcess process;
  process.id = id;
  process.path = std::move(path);
  process.bits = bits;
  process.account = std::move(account);
  processes_.push_back(std::move(process));
  return id;
}

port::Status SimProcesses::EnumProcesses(std::uint32_t bufferBytes,
                                         std::vector<std::uint32_t>* ids,
                                         std::uint32_t* bytesReturned) {
  if (ids == nullptr || bytesReturned == nullptr) return port::kErrorInvalidParameter;
  // Windows lists the idle process (id 0) first.
  std::vector<std::uint32_t> all{0};
  for (const SimProcess& process : processes_) all.push_back(process.id);
  const std::size_t fits = std::min<std::size_t>(all.size(), bufferBytes / 4);
  all.resize(fits);
  *ids = std::move(all);
  *bytesReturned = static_cast<std::uint32_t>(fits * 4);
  return port::kErrorSuccess;
}

port::Status SimProcesses::OpenProcess(std::uint32_t access, bool inheritHandle,
                                       std::uint32_t processId, port::HHandle* process) {
  (void)inheritHandle;
  if (process == nullptr) return port::kErrorInvalidParameter;
  if (processId == 0) return port::kErrorInvalidParameter;  // the idle process never opens
  const SimProcess* found = FindProcess(processId);
  if (found == nullptr) return port::kErrorInvalidParameter;
  if (found->openRefused) return port::kErrorAccessDenied;
  const bool own = caller_.empty() || found->account.empty() || SameText(found->account, caller_);
  if (!own && !debugEnabled_) return port::kErrorAccessDenied;
  (void)access;
  Handle handle;
  handle.kind = Kind::process;
  handle.processId = processId;
  *process = NewHandle(std::move(handle));
  return port::kErrorSuccess;
}

port::Status SimProcesses::GetModuleFileNameEx(port::HHandle process, std::string* path,
                                               std::uint32_t maxChars) {
  const Handle* handle = FindHandle(process, Kind::process);
  if (handle == nullptr || path == nullptr) return port::kErrorInvalidHandle;
  const SimProcess* found = FindProcess(handle->processId);
  if (found == nullptr) return port::kErrorInvalidHandle;  // it has ended
  // The program is a 32-bit process: a 64-bit process's module list is out of its reach.
  if (system_.Settings().is64BitWindows && found->bits == 64) return port::kErrorPartialCopy;
  if (maxChars == 0) return port::kErrorInsufficientBuffer;
  *path = CutToUnits(found->path, maxChars);
  return port::kErrorSuccess;
}

port::Status SimProcesses::QueryFullProcessImageName(port::HHandle process, std::uint32_t flags,
                                                     std::string* path) {
  if (system_.Settings().version.majorVersion < 6) return port::kErrorProcNotFound;
  if (flags != 0) return port::kErrorInvalidParameter;
  const Handle* handle = FindHandle(process, Kind::process);
  if (handle == nullptr || path == nullptr) return port::kErrorInvalidHandle;
  const SimProcess* found = FindProcess(handle->processId);
  if (found == nullptr) return port::kErrorInvalidHandle;
  *path = found->path;
  return port::kErrorSuccess;
}

port::Status SimProcesses::SetDebugPrivilege(bool enable, bool* wasEnabled) {
  if (wasEnabled == nullptr) return port::kErrorInvalidParameter;
  if (!holdsDebugPrivilege_) return port::kErrorNotAllAssigned;
  *wasEnabled = debugEnabled_;
  debugEnabled_ = enable;
  return port::kErrorSuccess;
}

port::Status SimProcesses::CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t processId,
                                                    port::HHandle* snapshot) {
  (void)processId;
  if (snapshot == nullptr || (flags & port::kTh32csSnapProcess) == 0) {
    return port::kErrorInvalidParameter;
  }
  Handle handle;
  handle.kind = Kind::snapshot;
  handle.entries.push_back({0, "[System Process]"});
  for (const SimProcess& process : processes_) {
    // Windows 9x reports the full path, the NT family the bare file name.
    const bool nt = system_.Settings().version.platformId == 2;
    handle.entries.push_back({process.id, nt ? FileNameOf(process.path) : process.path});
  }
  *snapshot = NewHandle(std::move(handle));
  return port::kErrorSuccess;
}

port::Status SimProcesses::Process32First(port::HHandle snapshot, port::ProcessEntry* entry) {
  Handle* handle = FindHandle(snapshot, Kind::snapshot);
  if (handle == nullptr || entry == nullptr) return port::kErrorInvalidHandle;
  handle->next = 0;
  return Process32Next(snapshot, entry);
}

port::Status SimProcesses::Process32Next(port::HHandle snapshot, port::ProcessEntry* entry) {
  Handle* handle = FindHandle(snapshot, Kind::snapshot);
  if (handle == nullptr || entry == nullptr) return port::kErrorInvalidHandle;
  if (handle->next >= handle->entries.size()) return port::kErrorNoMoreFiles;
  *entry = handle->entries[handle->next++];
  return port::kErrorSuccess;
}

port::Status SimProcesses::CreateEvent(bool manualReset, bool initialState, std::string_view name,
                                       port::HHandle* event) {
  if (event == nullptr) return port::kErrorInvalidParameter;
  Handle handle;
  handle.kind = Kind::event;
  handle.eventName = std::string(name);
  if (name.empty()) {
    // An unnamed event is private to its handle: give it a name no caller can pass.
    handle.eventName = "\x01" + std::to_string(nextHandle_);
  }
  const auto [it, created] = events_.try_emplace(handle.eventName);
  if (created) it->second = Event{manualReset, initialState};
  *event = NewHandle(std::move(handle));
  return port::kErrorSuccess;
}

std::uint32_t SimProcesses::WaitForSingleObject(port::HHandle handle, std::uint32_t milliseconds) {
  Handle* event = FindHandle(handle, Kind::event);
  if (event == nullptr) return port::kWaitFailed;
  waits_.push_back(milliseconds);
  if (waitHook_) waitHook_();
  Event& state = events_[event->eventName];
  if (!state.signalled) return port::kWaitTimeout;
  if (!state.manualReset) state.signalled = false;
  return port::kWaitObject0;
}

port::Status SimProcesses::CloseHandle(port::HHandle handle) {
  const auto it = handles_.find(handle);
  if (it == handles_.end()) return port::kErrorInvalidHandle;
  const std::string eventName = it->second.kind == Kind::event ? it->second.eventName : "";
  handles_.erase(it);
  if (!eventName.empty()) {
    // A named event lives while a handle to it is open.
    const bool stillOpen = std::any_of(handles_.begin(), handles_.end(), [&](const auto& h) {
      return h.second.kind == Kind::event && h.second.eventName == eventName;
    });
    if (!stillOpen) events_.erase(eventName);
  }
  return port::kErrorSuccess;
}

}  // namespace ombrant::sim
