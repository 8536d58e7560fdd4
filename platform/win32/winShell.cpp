#include "platform/win32/winShell.h"

#include <vector>

#include "platform/win32/winHeaders.h"
#include "platform/win32/winShellFileOperation.h"
#include "platform/win32/winText.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <shellapi.h>

// The shell headers name IShellLinkW, ShellExecuteW and SHFileOperationW without their W, which
// are also the port's names.
#undef IShellLink
#undef ShellExecute
#undef SHFileOperation

namespace ombrant::win32 {
namespace {

using port::HResult;

// COM for the calling thread, for as long as this object lives.
class ComScope {
 public:
  ComScope() : result_(CoInitialize(nullptr)) {}
  ~ComScope() {
    // S_FALSE (already initialised) must be balanced too; RPC_E_CHANGED_MODE must not.
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  [[nodiscard]] bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

 private:
  HRESULT result_;
};

// One reference to a COM interface, released when it goes.
template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() { reset(); }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  void reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }
  T* operator->() const { return p_; }
  T* get() const { return p_; }
  void** put() {
    reset();
    return reinterpret_cast<void**>(&p_);
  }

 private:
  T* p_ = nullptr;
};

// Shell-link texts come back through a buffer of the caller's size.
template <typename Get>
HResult ReadText(int maxChars, std::string* out, Get get) {
  if (maxChars <= 0) return E_INVALIDARG;
  std::vector<wchar_t> buffer(static_cast<std::size_t>(maxChars), L'\0');
  const HRESULT hr = get(buffer.data(), maxChars);
  if (SUCCEEDED(hr)) {
    buffer.back() = L'\0';
    *out = Narrow(buffer.data());
  }
  return hr;
}

// Members are destroyed in reverse order: the interfaces go before COM is released.
class WinShellLink final : public port::IShellLink {
 public:
  // A new object from `factory`, or through CoCreateInstance without one.
  [[nodiscard]] bool Create(IClassFactory* factory) {
    if (!com_.usable()) return false;
    if (factory != nullptr) {
      return SUCCEEDED(factory->CreateInstance(nullptr, IID_IShellLinkW, link_.put()));
    }
    return SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkW, link_.put()));
  }

  HResult Load(std::string_view linkFile) override {
    ComRef<IPersistFile> file;
    HRESULT hr = link_->QueryInterface(IID_IPersistFile, file.put());
    if (SUCCEEDED(hr)) hr = file->Load(Wide(linkFile).Get(), STGM_READ);
    return hr;
  }
  HResult Save(std::string_view linkFile) override {
    ComRef<IPersistFile> file;
    HRESULT hr = link_->QueryInterface(IID_IPersistFile, file.put());
    if (SUCCEEDED(hr)) hr = file->Save(Wide(linkFile).Get(), TRUE);
    return hr;
  }

  HResult GetPath(std::string* path, int maxChars) override {
    return ReadText(maxChars, path,
                    [&](wchar_t* b, int n) { return link_->GetPath(b, n, nullptr, 0); });
  }
  HResult GetArguments(std::string* arguments, int maxChars) override {
    return ReadText(maxChars, arguments,
                    [&](wchar_t* b, int n) { return link_->GetArguments(b, n); });
  }
  HResult GetDescription(std::string* description, int maxChars) override {
    return ReadText(maxChars, description,
                    [&](wchar_t* b, int n) { return link_->GetDescription(b, n); });
  }
  HResult GetWorkingDirectory(std::string* folder, int maxChars) override {
    return ReadText(maxChars, folder,
                    [&](wchar_t* b, int n) { return link_->GetWorkingDirectory(b, n); });
  }
  HResult GetIconLocation(std::string* iconFile, int maxChars, int* iconIndex) override {
    int index = 0;
    const HResult hr = ReadText(maxChars, iconFile, [&](wchar_t* b, int n) {
      return link_->GetIconLocation(b, n, &index);
    });
    if (SUCCEEDED(hr)) *iconIndex = index;
    return hr;
  }

  HResult SetPath(std::string_view path) override { return link_->SetPath(Wide(path).Get()); }
  HResult SetArguments(std::string_view arguments) override {
    return link_->SetArguments(Wide(arguments).Get());
  }
  HResult SetDescription(std::string_view description) override {
    return link_->SetDescription(Wide(description).Get());
  }
  HResult SetWorkingDirectory(std::string_view folder) override {
    return link_->SetWorkingDirectory(Wide(folder).Get());
  }
  HResult SetIconLocation(std::string_view iconFile, int iconIndex) override {
    return link_->SetIconLocation(Wide(iconFile).Get(), iconIndex);
  }

 private:
  ComScope com_;
  ComRef<IShellLinkW> link_;
};

int AsThirtyTwoBitProgram(int csidl) {
#ifdef _WIN64
  // The 64-bit build stands in for the 32-bit program, which sees the x86 program folders.
  if (csidl == CSIDL_PROGRAM_FILES) return CSIDL_PROGRAM_FILESX86;
  if (csidl == CSIDL_PROGRAM_FILES_COMMON) return CSIDL_PROGRAM_FILES_COMMONX86;
#endif
  return csidl;
}

}  // namespace

port::Status WinShell::GetSpecialFolderPath(int csidl, std::string* path) {
  LPITEMIDLIST items = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, AsThirtyTwoBitProgram(csidl), &items)) ||
      items == nullptr) {
    return port::kErrorFileNotFound;
  }
  wchar_t buffer[MAX_PATH + 1] = {};
  const BOOL ok = SHGetPathFromIDListW(items, buffer);
  CoTaskMemFree(items);
  if (!ok || buffer[0] == L'\0') return port::kErrorFileNotFound;
  *path = Narrow(buffer);
  return port::kErrorSuccess;
}

// Members go in reverse order: the factory is released before COM.
struct WinShell::LinkClass {
  ComScope com;
  ComRef<IClassFactory> factory;
};

WinShell::WinShell() = default;
WinShell::~WinShell() = default;

std::unique_ptr<port::IShellLink> WinShell::CreateShellLink() {
  if (!linkClass_) {
    auto linkClass = std::make_unique<LinkClass>();
    if (linkClass->com.usable() &&
        SUCCEEDED(CoGetClassObject(CLSID_ShellLink, CLSCTX_INPROC_SERVER, nullptr,
                                   IID_IClassFactory, linkClass->factory.put()))) {
      linkClass_ = std::move(linkClass);
    }
  }
  auto link = std::make_unique<WinShellLink>();
  if (!link->Create(linkClass_ ? linkClass_->factory.get() : nullptr)) return nullptr;
  return link;
}

port::Status WinShell::ShellExecute(port::HWnd owner, std::string_view operation,
                                   std::string_view file, std::string_view parameters,
                                   std::string_view directory, int showCommand) {
  const Wide wideOperation(operation);
  const Wide wideFile(file);
  const Wide wideParameters(parameters);
  const Wide wideDirectory(directory);
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(reinterpret_cast<HWND>(owner), wideOperation.Get(), wideFile.Get(),
                    parameters.empty() ? nullptr : wideParameters.Get(),
                    directory.empty() ? nullptr : wideDirectory.Get(), showCommand));
  if (result > 32) return port::kErrorSuccess;
  // 0 is "out of resources"; the SE_ERR_ values up to 11 are Win32 codes themselves.
  return result == 0 ? port::kErrorNotEnoughMemory : static_cast<port::Status>(result);
}

int WinShell::SHFileOperation(port::HWnd owner, std::uint32_t operation, std::string_view from,
                              std::string_view to, std::uint16_t flags, bool* anyAborted) {
  return ShellFileOperation(owner != 0 ? owner : ownerWindow_, operation, from, to, flags,
                            anyAborted);
}

}  // namespace ombrant::win32
