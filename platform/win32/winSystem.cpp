#include "platform/win32/winSystem.h"

#include "platform/win32/winHeaders.h"
#include "platform/win32/winText.h"

namespace ombrant::win32 {
namespace {

HANDLE ToHandle(port::HProcess process) { return reinterpret_cast<HANDLE>(process); }

template <typename Fn>
Fn Lookup(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}

}  // namespace

static_assert(sizeof(BOOL) == sizeof(int) && sizeof(DWORD_PTR) == sizeof(std::uintptr_t));

WinSystem::WinSystem() {
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  isWow64Process_ = Lookup<IsWow64ProcessFn>(kernel, "IsWow64Process");
  getProcessAffinityMask_ = Lookup<GetProcessAffinityMaskFn>(kernel, "GetProcessAffinityMask");
}

port::Status WinSystem::GetVersionEx(port::OsVersionInfo* info) {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof(version);
  if (!GetVersionExW(&version)) return static_cast<port::Status>(GetLastError());
  *info = {version.dwMajorVersion, version.dwMinorVersion, version.dwBuildNumber,
           version.dwPlatformId};
  return port::kErrorSuccess;
}

port::Status WinSystem::IsWow64Process(port::HProcess process, bool* wow64) {
  if (!isWow64Process_) return port::kErrorProcNotFound;
  int result = FALSE;
  if (!isWow64Process_(ToHandle(process), &result)) {
    return static_cast<port::Status>(GetLastError());
  }
#ifdef _WIN64
  result = TRUE;
#endif
  *wow64 = result != FALSE;
  return port::kErrorSuccess;
}

port::Status WinSystem::GetProcessAffinityMask(port::HProcess process,
                                               std::uintptr_t* processMask,
                                               std::uintptr_t* systemMask) {
  if (!getProcessAffinityMask_) return port::kErrorProcNotFound;
  std::uintptr_t p = 0;
  std::uintptr_t s = 0;
  if (!getProcessAffinityMask_(ToHandle(process), &p, &s)) {
    return static_cast<port::Status>(GetLastError());
  }
  *processMask = p;
  *systemMask = s;
  return port::kErrorSuccess;
}

port::Status WinSystem::LoadModuleResource(std::string_view type, std::string_view name,
                                           std::string* bytes) {
  const Wide wideType(type);
  const Wide wideName(name);
  // Resources of a loaded module need no release: they live as long as the module.
  const auto failed = [] {
    const DWORD error = GetLastError();
    return error != 0 ? static_cast<port::Status>(error) : port::kErrorResourceNameNotFound;
  };
  HRSRC resource = FindResourceW(nullptr, wideName.Get(), wideType.Get());
  if (!resource) return failed();
  HGLOBAL loaded = LoadResource(nullptr, resource);
  const DWORD size = SizeofResource(nullptr, resource);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return failed();
  bytes->assign(static_cast<const char*>(data), size);
  return port::kErrorSuccess;
}

}  // namespace ombrant::win32
