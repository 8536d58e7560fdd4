// The program's entry: COM for the main thread, the facts of the running system and its path
// variables, the window and its message loop.
#include <memory>
#include <string>

#include "app/appServices.h"
#include "app/winBinder.h"
#include "app/winHandles.h"
#include "app/winStartupProbe.h"
#include "orchestration/UnitNetworkingApps.h"
#include "platform/vqNTStuff.h"
#include "definitions/kvrSoftwareClasses.h"
#include "platform/win32/winMachine.h"
#include "app/appText.h"
#include "resources/OmbrantStrings.h"
#include "wizard/FormUnitMain.h"

namespace {

using namespace ombrant;

int Run(HINSTANCE instance, int showCommand) {
  // Shell links need COM on this thread for the program's whole life.
  win32::ComApartment com;

  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_USEREX_CLASSES;
  InitCommonControlsEx(&controls);

  // The facts of the running system, read once before anything asks for them: the version
  // flags and the supported applications. The orchestrator builds the path variables of this
  // system and of the offline ones mounted beside it, and detects the applications.
  win32::WinMachine machine;
  port::Port port = machine.Port();
  const TNTStuff ntStuff(port.system);
  TSoftwareClassRegistry classes;
  RegisterSoftwareClasses(classes);
  win32::PortAccountFacts accounts(port.accounts);

  // The window (titled with the application's title) and, with it, the orchestrator.
  win32::FormBinder* bound = nullptr;
  TformKestrova form(TKestrovaServices{
      port.ui, ntStuff, accounts,
      [&port, &classes] { return std::make_unique<TNetworkingApps>(port, classes); },
      [instance] { return win32::LoadResourceBytes(instance, "Introductionrtf", "RTF"); },
      [&bound] {
        if (bound) {
          RedrawWindow(bound->Window(), nullptr, nullptr,
                       RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        }
      }});

  win32::FormBinder binder(form, instance);
  bound = &binder;
  binder.OnFirstShow = [&form] { form.FormShow(); };
  // Only when a benchmark asks for it: reports the first painted page and ends the program.
  win32::StartupProbe probe;
  binder.OnPaint = [&form, &probe] {
    form.FormPaint();
    probe.Painted();
  };
  binder.OnDestroyed = [] { PostQuitMessage(0); };
  binder.OnFailure = [&binder](const std::string& what) {
    MessageBoxW(binder.Window(), win32::ToWide(what).c_str(),
                win32::ToWide(kApplicationTitle).c_str(), MB_OK | MB_ICONERROR);
  };
  binder.Create();
  form.SetHandle(reinterpret_cast<port::HWnd>(binder.Window()));
  machine.SetOwnerWindow(reinterpret_cast<port::HWnd>(binder.Window()));
  for (const auto& [size, which] : {std::pair{SM_CXSMICON, ICON_SMALL}, std::pair{SM_CXICON, ICON_BIG}}) {
    const int pixels = GetSystemMetrics(size);
    if (HANDLE icon = LoadImageW(instance, L"MAINICON", IMAGE_ICON, pixels, pixels, LR_SHARED)) {
      SendMessageW(binder.Window(), WM_SETICON, static_cast<WPARAM>(which),
                   reinterpret_cast<LPARAM>(icon));
    }
  }
  binder.Show(showCommand);

  MSG message{};
  bool idleWork = true;
  for (;;) {
    // Idle work runs in short steps while no message waits, so input is never held up long.
    while (idleWork && !PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) idleWork = form.Idle();
    if (GetMessageW(&message, nullptr, 0, 0) <= 0) break;
    idleWork = true;
    if (binder.PreTranslateMessage(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
    binder.AfterMessage();
  }
  form.SetHandle(0);
  machine.SetOwnerWindow(0);
  return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int showCommand) {
  try {
    return Run(instance, showCommand);
  } catch (const std::exception& e) {
    MessageBoxW(nullptr, win32::ToWide(e.what()).c_str(), win32::ToWide(kApplicationTitle).c_str(),
                MB_OK | MB_ICONERROR);
  } catch (...) {
    MessageBoxW(nullptr, L"The program stopped because of an unexpected error.",
                win32::ToWide(kApplicationTitle).c_str(), MB_OK | MB_ICONERROR);
  }
  return 1;
}
