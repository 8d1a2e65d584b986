// Program entry: DLL search path, switches, identity, one instance per user,
// settings file, then the application object and its loop.
#include <windows.h>

#include <memory>

#include "App.h"
#include "ConfigFiles.h"
#include "Identity.h"
#include "Log.h"
#include "MessageBoxes.h"
#include "Scoped.h"
#include "SingleInstance.h"
#include "StrUtils.h"
#include "Text.h"
#include "UnitStartup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Before anything else loads: whatever is loaded at run time comes from
  // System32, never from the program's or the current folder.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);

  InitUtilsUnit();

  std::string SwitchValue;
  const bool NoDismount = !HasParam("-m", SwitchValue) && HasSwitch("-nd");

  VendorName = UnscrambleString(ScrambledVendorName, true, IdentityScrambleOffset);
  AppTitle = UnscrambleString(ScrambledAppTitle, true, IdentityScrambleOffset);
  // Beside the per-user settings even when the settings sit beside the
  // program: the program's folder may not be writable.
  StartLog(UserConfigDir() + ProgramName + ".log");
  WriteLog("Started");

  const TInstanceLock Instance;
  if (Instance.HeldElsewhere()) {
    switch (HandOverToRunningInstance(Instance, AlreadyRunningMessage())) {
      case THandOver::Told:
        return 0;
      case THandOver::NoAnswer:
        // No loop of ours runs yet, so the box's own loop is the only one.
        ShowWarning(AppTitle + " is already running for this user but does not answer. Try again in a moment.");
        return 1;
      case THandOver::TookOver:
        break;
    }
  }

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
