// Program entry: DLL search path, one instance per session, switches,
// identity, settings file, then the application object and its loop.
#include <windows.h>

#include <memory>

#include "App.h"
#include "ConfigFiles.h"
#include "Identity.h"
#include "Log.h"
#include "Scoped.h"
#include "StrUtils.h"
#include "Text.h"
#include "UnitStartup.h"

namespace {

// "Local\" names are private to the session: one instance per user session.
constexpr wchar_t InstanceMutexName[] = L"Local\\TrayVolumeMounter.Instance";
// How long a second start waits for the first one's window.
constexpr ULONGLONG RunningInstanceWaitMs = 3000;

// The first start owns Mutex while it runs. A later one tells it and ends
// (true). The first may still be starting, so its window is waited for; if it
// ends meanwhile, this start takes over (false).
bool HandedToRunningInstance(HANDLE Mutex) {
  const ULONGLONG End = GetTickCount64() + RunningInstanceWaitMs;
  do {
    const DWORD Wait = WaitForSingleObject(Mutex, 0);
    if (Wait == WAIT_OBJECT_0 || Wait == WAIT_ABANDONED) return false;
    if (HWND Running = FindWindowW(MinApplicationClassName, nullptr)) {
      PostMessageW(Running, AlreadyRunningMessage(), 0, 0);
      return true;
    }
    Sleep(50);
  } while (GetTickCount64() < End);
  return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Before anything else loads: whatever is loaded at run time comes from
  // System32, never from the program's or the current folder.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);

  const TKernelHandle Instance(CreateMutexW(nullptr, TRUE, InstanceMutexName));
  if (Instance && GetLastError() == ERROR_ALREADY_EXISTS && HandedToRunningInstance(Instance.get())) return 0;

  InitUtilsUnit();

  std::string SwitchValue;
  const bool NoDismount = !HasParam("-m", SwitchValue) && HasSwitch("-nd");

  VendorName = UnscrambleString(ScrambledVendorName, true, IdentityScrambleOffset);
  AppTitle = UnscrambleString(ScrambledAppTitle, true, IdentityScrambleOffset);
  // Beside the per-user settings even when the settings sit beside the
  // program: the program's folder may not be writable.
  StartLog(UserConfigDir() + ProgramName + ".log");
  WriteLog("Started");

  CreateFileFromTemplate(ProgramName + "Default.ini", SettingsFileName(), "");

  auto App = std::make_unique<TApp>(AppTitle, NoDismount);
  try {
    App->Run();
  } catch (...) {
    // The final clean-up (saving, dismounting) runs before the exception
    // ends the program.
    App.reset();
    throw;
  }
  return 0;
}
