// Program entry: switches, identity, settings file, the application object
// and its loop, then the final clean-up of volume control.
#include <windows.h>

#include "App.h"
#include "AppFlags.h"
#include "ConfigFiles.h"
#include "Identity.h"
#include "MessageBoxes.h"
#include "Mounting.h"
#include "StrUtils.h"
#include "Text.h"
#include "UnitStartup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  InitUtilsUnit();

  std::string SwitchValue;
  if (!HasParam("-m", SwitchValue) && HasSwitch("-nd")) AppFlags |= afNoDismount;

  VendorName = UnscrambleString(ScrambledVendorName, true, IdentityScrambleOffset);
  AppTitle = UnscrambleString(ScrambledAppTitle, true, IdentityScrambleOffset);

  CreateFileFromTemplate(ProgramName + "Default.ini", SettingsFileName(), "", false);

  App = new TApp(AppTitle);
  try {
    App->Run();
  } catch (...) {
    delete App;
    throw;
  }
  delete App;
  App = nullptr;

  CustomIconPath.clear();
  FinalizeVolumeControl();
  return 0;
}
