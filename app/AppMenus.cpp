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
#include "VolumeInfoRules.h"

namespace {

constexpr char VeraCryptDownloadPage[] = "https://www.veracrypt.fr/en/Downloads.html";
constexpr uint32_t SettingsEditPollTime = 600000;
constexpr int32_t OldVeraCryptLevel = 114;

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
  auto Command = [this](TMinMenuItem* Item) { OnMenuCommand(Item); };

  TMinMenuItem* Menu = VolumesMenu->Root.get();
  Menu->Clear();
  // Each item names its volume by identity: by the time it is chosen, or
  // after a dialog, the list may have been replaced. The tag is the position
  // in the list the menu was built from, for the captions at popup.
  const TTCVolumesArray& Volumes = VolumeControl.Volumes;
  for (std::size_t i = 0; i < Volumes.size(); ++i) {
    auto Click = [this, Identity = Volumes[i].Identity()](TMinMenuItem* Item) {
      const bool Mounted = Item->Checked;
      if (!EnsureCryptProgram()) return;
      if (Mounted)
        VolumeControl.DismountVolume(Identity);
      else
        VolumeControl.MountVolume(Identity, true);
    };
    Menu->Add(" ", Click, nullptr, -1, static_cast<int>(i) + 1);
  }
  if (Volumes.empty()) {
    Menu->Add("No volumes: Create Config...",
              [this, Path = VolumeConfigFileName(AppDataMarker)](TMinMenuItem*) { CreateConfig(Path); });
  } else {
    Menu->AddSeparator();
    Menu->Add("Dismount All", Command, nullptr, -1, cmDismountAll);
    Menu->Add("Mount All", Command, nullptr, -1, cmMountAll);
  }

  const TCryptProgram* Program = VolumeControl.FindCryptProgram();
  if (Program && !Program->IsTrueCrypt && Program->VersionLevel == OldVeraCryptLevel) {
    Menu->AddSeparator();
    Menu->Add("Old VeraCrypt Version. Download...", Command, nullptr, -1, cmDownloadVeraCrypt);
  }

  Menu = OptionsMenu->Root.get();
  Menu->Clear();
  if (Program) {
    Menu->Add("Run " + ExtractName(Program->Path), Command, nullptr, -1, cmRunCryptProgram);
    Menu->AddSeparator();
  }
  Menu->Add("Dismount All On Switch User", Command, nullptr, -1, cmDismountOnSwitchUser)->Checked =
      Settings.DismountAllOnSwitchUser;
  Menu->Add("Dismount All On Lock", Command, nullptr, -1, cmDismountOnLock)->Checked = Settings.DismountAllOnLock;
  Menu->Add("Dismount All On Sleep", Command, nullptr, -1, cmDismountOnSleep)->Checked = Settings.DismountAllOnSleep;
  Menu->Add(SavePasswordCaption(Settings.RememberPassMin), Command, nullptr, -1, cmSavePassword)->Checked =
      Settings.SavePass;
  // From a stick or a share only switching it off is offered.
  const std::string Refusal = StartWithWindowsRefusal();
  TMinMenuItem* Startup = Menu->Add(Refusal.empty() ? "Start With Windows" : "Start With Windows (" + Refusal + ")",
                                    Command, nullptr, -1, cmStartWithWindows);
  Startup->Checked = StartsWithWindows(AppTitle);
  Startup->Enabled = Refusal.empty() || Startup->Checked;
  Menu->Add("Settings...", Command, nullptr, -1, cmSettings);
  Menu->Add("Show Log", Command, nullptr, -1, cmShowLog);
  Menu->AddSeparator();

  // Config items name their file: a message box's loop may rebuild the menus
  // and free the item.
  TMinMenuItem* CreateParent = nullptr;
  TMinMenuItem* EditParent = nullptr;
  TMinMenuItem* DeleteParent = nullptr;
  for (const TSysVolume& Drive : VolumeControl.SysVolumes) {
    const std::string Path = VolumeConfigFileName(Drive.Letter);
    if (Drive.InfoWritten == TFileTicks::zero()) {
      if (!CreateParent) CreateParent = Menu->Add("Create Config");
      CreateParent->Add(Path, [this, Path](TMinMenuItem*) { CreateConfig(Path); });
    } else {
      if (!EditParent) {
        EditParent = Menu->Add("Edit Config");
        DeleteParent = Menu->Add("Delete Config");
      }
      EditParent->Add(Path, [Path](TMinMenuItem*) { ShellOpen(Path); });
      DeleteParent->Add(Path, [this, Path](TMinMenuItem*) {
        if (!FileDelete(Path)) TellFailure(LastErrorText());
      });
    }
  }
  if (CreateParent || EditParent) Menu->AddSeparator();
  Menu->Add("About", Command, nullptr, -1, cmAbout);
  Menu->AddSeparator();
  Menu->Add("Exit And Dismount All", Command, nullptr, -1, cmExitAndDismount);
  Menu->Add("Exit Without Dismount", Command, nullptr, -1, cmExitWithoutDismount);
}

void TApp::OnVolumesMenuPopup(TMinPopupMenu*) {
  VolumeControl.RefreshVolumes();
  const TTCVolumesArray& Volumes = VolumeControl.Volumes;
  for (int i = 0; i < VolumesMenu->Root->Count(); ++i) {
    TMinMenuItem* Item = VolumesMenu->Root->Item(i);
    const std::size_t Position = std::size_t(Item->Tag - 1);
    if (Item->Tag <= 0 || Position >= Volumes.size()) continue;
    const TTCVolume& Volume = Volumes[Position];
    Item->Checked = Volume.Mounted();
    Item->Caption = VolumeItemCaption(Volume.Label, Volume.Mounted() ? Volume.MountedLetter : Volume.Letter);
  }
}

void TApp::OnOptionsMenuPopup(TMinPopupMenu*) { VolumeControl.RefreshVolumes(); }

void TApp::OnMenuCommand(TMinMenuItem* Item) {
  // An option item shows its setting's state.
  auto Toggle = [Item](bool& Setting) { Item->Checked = Setting = !Setting; };
  switch (Item->Tag) {
    case cmMountAll:
      if (EnsureCryptProgram()) VolumeControl.MountAll();
      return;
    case cmDismountAll:
      if (EnsureCryptProgram()) VolumeControl.DismountAll(false, false);
      return;
    case cmExitAndDismount:
      Terminate();
      return;
    case cmExitWithoutDismount:
      NoDismount = true;
      Terminate();
      return;
    case cmDismountOnSwitchUser:
      return Toggle(Settings.DismountAllOnSwitchUser);
    case cmDismountOnLock:
      return Toggle(Settings.DismountAllOnLock);
    case cmDismountOnSleep:
      return Toggle(Settings.DismountAllOnSleep);
    case cmSavePassword:
      return Toggle(Settings.SavePass);
    case cmStartWithWindows: {
      const std::string Failure = SetStartWithWindows(AppTitle, !Item->Checked) ? "" : LastErrorText();
      Item->Checked = StartsWithWindows(AppTitle);
      if (!Failure.empty()) TellFailure(Failure);
      return;
    }
    case cmSettings:
      ExchangeSettings(true);
      ShellOpen(SettingsFileName());
      VolumeControl.KeepPolling(SettingsEditPollTime);
      return;
    case cmShowLog:
      ShellOpen(LogFileName());
      return;
    case cmRunCryptProgram: {
      if (EnsureCryptProgram()) RunProcess(VolumeControl.FindCryptProgram()->Path, "");
      return;
    }
    case cmDownloadVeraCrypt:
      ShellOpen(VeraCryptDownloadPage);
      return;
    case cmAbout:
      if (About) return About->BringToFront();
      About = TAboutBox::Show("About " + Title,
                              AboutText(Title, SettingsFileName(), UserConfigDir() + ProgramName + ".log",
                                        VolumeConfigFileName(AppDataMarker)),
                              [this] { About.reset(); });
      return;
  }
}
