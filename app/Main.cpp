// Program entry: switches, identity, settings file, then the application
// object and its loop.
#include <windows.h>

#include <memory>

#include "App.h"
#include "ConfigFiles.h"
#include "Identity.h"
#include "StrUtils.h"
#include "Text.h"
#include "UnitStartup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  InitUtilsUnit();

  std::string SwitchValue;
  const bool NoDismount = !HasParam("-m", SwitchValue) && HasSwitch("-nd");

  VendorName = UnscrambleString(ScrambledVendorName, true, IdentityScrambleOffset);
  AppTitle = UnscrambleString(ScrambledAppTitle, true, IdentityScrambleOffset);

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
