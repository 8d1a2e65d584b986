#include <string>

#include "App.h"
#include "Log.h"
#include "MenuTexts.h"
#include "StartWithWindows.h"
#include "ConfigFiles.h"
#include "VolumeInfoRules.h"
#include "ErrorTexts.h"
#include "Files.h"
#include "PathNames.h"
#include "Process.h"
#include "UnitStartup.h"

namespace {

constexpr char VeraCryptDownloadPage[] = "https://www.veracrypt.fr/en/Downloads.html";
constexpr uint32_t SettingsEditPollTime = 600000;
constexpr int32_t OldVeraCryptLevel = 114;

// An item that shows Setting and switches it.
void AddOption(TMinMenuItem& Menu, const std::string& Caption, bool& Setting) {
  TMinMenuItem* Item = Menu.Add(Caption);
  Item->Checked = Setting;
  Item->OnClick = [Item, &Setting] { Item->Checked = Setting = !Setting; };
}

}  // namespace

void TApp::CreateConfig(const std::string& Path) {
  if (!FileExistsEx(Path) && !CreateFileFromTemplate(".tcvinfo.ini", Path, NewVolumeConfigText()))
    TellFailure(LastErrorText());
  // The shell opens the path even after a failure.
  ShellOpen(Path);
}

void TApp::RebuildMenus() {
  // The open menu's items must stay: they act on the volumes they show.
  RebuildWaiting = VolumesMenu->Open() || OptionsMenu->Open();
  if (RebuildWaiting) return;
  BuildVolumesMenu();
  BuildOptionsMenu();
}

void TApp::BuildVolumesMenu() {
  TMinMenuItem& Menu = *VolumesMenu->Root;
  Menu.Clear();
  // Each item names its volume by identity, and acts as it was shown: by the
  // time it is chosen, or after a dialog, the list may have been replaced.
  for (const TVolume& Volume : VolumeControl.Volumes) {
    const bool Mounted = Volume.Mounted();
    Menu.Add(VolumeItemCaption(Volume.Label, Mounted ? Volume.MountedLetter : Volume.Letter),
             [this, Mounted, Identity = Volume.Identity()] {
               if (!EnsureCryptProgram()) return;
               if (Mounted)
                 VolumeControl.DismountVolume(Identity);
               else
                 VolumeControl.MountVolume(Identity, true);
             })
        ->Checked = Mounted;
  }
  if (VolumeControl.Volumes.empty()) {
    Menu.Add("No volumes: Create Config...",
             [this, Path = VolumeConfigFileName(AppDataMarker)] { CreateConfig(Path); });
  } else {
    Menu.AddSeparator();
    Menu.Add("Dismount All", [this] {
      if (EnsureCryptProgram()) VolumeControl.DismountAll(false, false);
    });
    Menu.Add("Mount All", [this] {
      if (EnsureCryptProgram()) VolumeControl.MountAll();
    });
  }

  const TCryptProgram* Program = VolumeControl.FindCryptProgram();
  if (Program && !Program->IsTrueCrypt && Program->VersionLevel == OldVeraCryptLevel) {
    Menu.AddSeparator();
    Menu.Add("Old VeraCrypt Version. Download...", [] { ShellOpen(VeraCryptDownloadPage); });
  }
}

void TApp::BuildOptionsMenu() {
  TMinMenuItem& Menu = *OptionsMenu->Root;
  Menu.Clear();
  if (const TCryptProgram* Program = VolumeControl.FindCryptProgram()) {
    Menu.Add("Run " + ExtractName(Program->Path), [this] {
      if (EnsureCryptProgram()) RunProcess(VolumeControl.FindCryptProgram()->Path, "");
    });
    Menu.AddSeparator();
  }
  AddOption(Menu, "Dismount All On Switch User", Settings.DismountAllOnSwitchUser);
  AddOption(Menu, "Dismount All On Lock", Settings.DismountAllOnLock);
  AddOption(Menu, "Dismount All On Sleep", Settings.DismountAllOnSleep);
  AddOption(Menu, SavePasswordCaption(Settings.RememberPassMin), Settings.SavePass);
  // From a stick or a share only switching it off is offered.
  const std::string Refusal = StartWithWindowsRefusal();
  TMinMenuItem* Startup = Menu.Add(Refusal.empty() ? "Start With Windows" : "Start With Windows (" + Refusal + ")");
  Startup->Checked = StartsWithWindows(AppTitle);
  Startup->Enabled = Refusal.empty() || Startup->Checked;
  Startup->OnClick = [this, Startup] {
    const std::string Failure = SetStartWithWindows(AppTitle, !Startup->Checked) ? "" : LastErrorText();
    Startup->Checked = StartsWithWindows(AppTitle);
    if (!Failure.empty()) TellFailure(Failure);
  };
  Menu.Add("Settings...", [this] {
    ExchangeSettings(true);
    ShellOpen(SettingsFileName());
    VolumeControl.KeepPolling(SettingsEditPollTime);
  });
  Menu.Add("Show Log", [] { ShellOpen(LogFileName()); });
  Menu.AddSeparator();

  // Config items name their file: a message box's loop may rebuild the menus
  // and free the item.
  TMinMenuItem* CreateParent = nullptr;
  TMinMenuItem* EditParent = nullptr;
  TMinMenuItem* DeleteParent = nullptr;
  for (const TSysVolume& Drive : VolumeControl.SysVolumes) {
    const std::string Path = VolumeConfigFileName(Drive.Letter);
    if (Drive.InfoWritten == TFileTicks::zero()) {
      if (!CreateParent) CreateParent = Menu.Add("Create Config");
      CreateParent->Add(Path, [this, Path] { CreateConfig(Path); });
    } else {
      if (!EditParent) {
        EditParent = Menu.Add("Edit Config");
        DeleteParent = Menu.Add("Delete Config");
      }
      EditParent->Add(Path, [Path] { ShellOpen(Path); });
      DeleteParent->Add(Path, [this, Path] {
        if (!FileDelete(Path)) TellFailure(LastErrorText());
      });
    }
  }
  if (CreateParent || EditParent) Menu.AddSeparator();
  Menu.Add("About", [this] { ShowAbout(); });
  Menu.AddSeparator();
  Menu.Add("Exit And Dismount All", [this] { Terminate(); });
  Menu.Add("Exit Without Dismount", [this] {
    NoDismount = true;
    Terminate();
  });
}

void TApp::ShowAbout() {
  if (About) return About->BringToFront();
  About = TAboutBox::Show(
      "About " + Title,
      AboutText(Title, SettingsFileName(), UserConfigDir() + ProgramName + ".log", VolumeConfigFileName(AppDataMarker)),
      [this] { About.reset(); });
}
