#include <string>

#include "App.h"
#include "AppFlags.h"
#include "ConfigFiles.h"
#include "CryptProgram.h"
#include "DriveScan.h"
#include "Files.h"
#include "MenuTexts.h"
#include "MessageBoxes.h"
#include "Mounting.h"
#include "PathNames.h"
#include "Process.h"
#include "VolumeDefinitions.h"
#include "VolumeTimer.h"

namespace {

constexpr char VeraCryptDownloadPage[] = "https://www.veracrypt.fr/en/Downloads.html";
constexpr uint32_t SettingsEditPollTime = 600000;
constexpr int32_t OldVeraCryptLevel = 114;

}  // namespace

void TApp::RebuildMenus() {
  if (AppFlags & afSettingsChanged) ExchangeSettings(false);

  auto Command = [this](TMinMenuItem* Item) { OnMenuCommand(Item); };
  auto VolumeClick = [this](TMinMenuItem* Item) { OnVolumeItemClick(Item); };

  TMinMenuItem* Menu = VolumesMenu->Root;
  Menu->Clear();
  for (std::size_t i = 0; i < Volumes.size(); ++i)
    Menu->Add(" ", VolumeClick, nullptr, -1, static_cast<int>(i) + 1);
  if (!Volumes.empty()) Menu->AddSeparator();
  Menu->Add("Dismount All", Command, nullptr, -1, cmDismountAll);
  Menu->Add("Mount All", Command, nullptr, -1, cmMountAll);

  std::string ProgramPath;
  FindCryptProgram(ProgramPath);
  if (!CryptIsTrueCrypt && CryptVersionLevel == OldVeraCryptLevel) {
    Menu->AddSeparator();
    Menu->Add("Old VeraCrypt Version. Download...", Command, nullptr, -1, cmDownloadVeraCrypt);
  }

  Menu = OptionsMenu->Root;
  Menu->Clear();
  if (FileExistsEx(ProgramPath)) {
    Menu->Add("Run " + ExtractName(ProgramPath), Command, nullptr, -1, cmRunCryptProgram);
    Menu->AddSeparator();
  }
  Menu->Add("Dismount All On Switch User", Command, nullptr, -1, cmDismountOnSwitchUser)->Checked =
      DismountAllOnSwitchUser;
  Menu->Add(SavePasswordCaption(RememberPassMin), Command, nullptr, -1, cmSavePassword)->Checked =
      SavePass;
  Menu->Add("Settings...", Command, nullptr, -1, cmSettings);
  Menu->AddSeparator();

  TMinMenuItem* CreateParent = nullptr;
  TMinMenuItem* EditParent = nullptr;
  TMinMenuItem* DeleteParent = nullptr;
  for (std::size_t i = 0; i < SysVolumes.size(); ++i) {
    const std::string Path = VolumeConfigFileName(SysVolumes[i].Letter);
    const int Index = static_cast<int>(i);
    if (SysVolumes[i].InfoDate == 0) {
      if (!CreateParent) CreateParent = Menu->Add("Create Config");
      CreateParent->Add(Path, Command, nullptr, -1, cmCreateConfig + Index);
    } else {
      if (!EditParent) {
        EditParent = Menu->Add("Edit Config");
        DeleteParent = Menu->Add("Delete Config");
      }
      EditParent->Add(Path, Command, nullptr, -1, cmEditConfig + Index);
      DeleteParent->Add(Path, Command, nullptr, -1, cmDeleteConfig + Index);
    }
  }
  if (CreateParent || EditParent) Menu->AddSeparator();
  Menu->Add("Exit And Dismount All", Command, nullptr, -1, cmExitAndDismount);
  Menu->Add("Exit Without Dismount", Command, nullptr, -1, cmExitWithoutDismount);
}

void TApp::OnVolumesMenuPopup(TMinPopupMenu*) {
  RefreshVolumes();
  for (TMinMenuItem* Item : VolumesMenu->Root->Items) {
    const int Index = Item->Tag - 1;
    if (Item->Tag <= 0 || !IsValidVolumeIndex(Index)) continue;
    const TTCVolume& Volume = Volumes[Index];
    Item->Checked = IsVolumeMounted(Index);
    Item->Caption =
        VolumeItemCaption(Volume.Label, Volume.MountedLetter != 0 ? Volume.MountedLetter : Volume.Letter);
  }
}

void TApp::OnOptionsMenuPopup(TMinPopupMenu*) { RefreshVolumes(); }

void TApp::OnVolumeItemClick(TMinMenuItem* Item) {
  const int Index = Item->Tag - 1;
  if (Item->Checked)
    DismountVolume(Index, false);
  else
    MountVolume(Index, true);
}

void TApp::OnMenuCommand(TMinMenuItem* Item) {
  const int Id = Item->Tag;
  switch (Id) {
    case cmMountAll:
      MountAll();
      return;
    case cmDismountAll:
      DismountAll(false);
      return;
    case cmExitAndDismount:
      Terminate();
      return;
    case cmExitWithoutDismount:
      AppFlags |= afNoDismount;
      Terminate();
      return;
    case cmDismountOnSwitchUser:
      DismountAllOnSwitchUser = !DismountAllOnSwitchUser;
      Item->Checked = DismountAllOnSwitchUser;
      return;
    case cmSavePassword:
      SavePass = !SavePass;
      Item->Checked = SavePass;
      return;
    case cmSettings:
      ExchangeSettings(true);
      ShellOpen(SettingsFileName());
      KeepPolling(SettingsEditPollTime);
      return;
    case cmRunCryptProgram: {
      std::string ProgramPath;
      if (FindCryptProgram(ProgramPath)) RunProcess(ProgramPath, "", false, "");
      return;
    }
    case cmDownloadVeraCrypt:
      ShellOpen(VeraCryptDownloadPage);
      return;
  }
  // A message box below runs its own loop, in which a refresh may rebuild the
  // menus and free Item: keep its caption.
  const std::string ConfigPath = Item->Caption;
  if (Id >= cmEditConfig && Id < cmCreateConfig) {
    ShellOpen(ConfigPath);
  } else if (Id >= cmCreateConfig && Id < cmDeleteConfig) {
    // A failure is shown by the template routine; the shell opens the path anyway.
    CreateFileFromTemplate(".tcvinfo.ini", ConfigPath, NewVolumeConfigText(), true);
    ShellOpen(ConfigPath);
  } else if (Id >= cmDeleteConfig) {
    if (!FileDelete(ConfigPath)) ShowLastError();
  }
}

void TApp::OnVolumeResult(int Index, const std::string& Text, bool Ok) {
  if (!TrayIcon->Shown) return;
  const std::string Label = IsValidVolumeIndex(Index) ? Volumes[Index].Label : std::string();
  TrayIcon->ShowBalloon(VolumeResultTitle(Text, Ok), Label, 2000, Ok ? bkInfo : bkError);
}
