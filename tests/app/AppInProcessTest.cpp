// TApp inside the test process, on real windows, menus and INI files, with
// the stand-in encryption program: what the menus hold and what the password
// file carries over.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

#include "App.h"
#include "AppFlags.h"
#include "ConfigFiles.h"
#include "Files.h"
#include "Mounting.h"
#include "PasswordMemory.h"
#include "Process.h"
#include "StandinControl.h"
#include "TestSupport.h"
#include "UnitStartup.h"
#include "Volume.h"

namespace {

class AppInProcess : public testing::Test {
protected:
  void SetUp() override {
    InitUtilsUnit();
    VendorName = "Vaultline";
    std::filesystem::remove_all(std::filesystem::path(Utf8ToWide(UserConfigDir())));
    ForceDirsEx(UserConfigDir());
    WriteTextFile("[Common]\r\nPath=" + StandinProgramPath(StandinBuild::VeraCrypt121) + "\r\n",
                  UserConfigDir() + ProgramName + ".ini", false);
    DeleteFileW(Utf8ToWide(VolumeConfigFileName(AppDataMarker)).c_str());
    StartStandinDriver();
    ClearStandinMounts(StandinDevice::VeraCrypt);
  }

  void TearDown() override {
    delete App;
    App = nullptr;
    // Leaves the stand-in's letters as they were.
    if (!MountedLetter.empty()) RunStandin("/q /s /d " + MountedLetter + " /f");
    ClearStandinMounts(StandinDevice::VeraCrypt);
    DeleteFileW(Utf8ToWide(VolumeConfigFileName(AppDataMarker)).c_str());
  }

  static void RunStandin(const std::string& Params) {
    RunProcess(StandinProgramPath(StandinBuild::VeraCrypt121), Params, true);
  }

  // A container volume "Data" in the per-user config; mounted on R: by the
  // stand-in when Mount is set.
  void DefineVolume(const std::string& Letter, bool Mount) {
    const std::string Container = Folder / "data.hc";
    WriteTextFile("container", Container, false);
    WriteTextFile("pw", Container + ".password", false);
    WriteTextFile("[Data]\r\nFile=" + Container + "\r\nLetter=" + Letter + "\r\n",
                  VolumeConfigFileName(AppDataMarker), false);
    if (Mount) {
      RunStandin("/q /s /v " + Container + " /l R /p pw");
      MountedLetter = "R";
    }
  }

  static std::vector<std::string> Captions(const TMinMenuItem* Menu) {
    std::vector<std::string> Result;
    for (const TMinMenuItem* Item : Menu->Items) Result.push_back(Item->Caption);
    return Result;
  }

  ScratchFolder Folder{"app"};
  std::string MountedLetter;
};

}  // namespace

TEST_F(AppInProcess, VolumeMenuShowsTheMountedLetterWithACheckMark) {
  DefineVolume("Q", true);
  App = new TApp("Mount");
  App->OnVolumesMenuPopup(App->VolumesMenu);
  const TMinMenuItem* Menu = App->VolumesMenu->Root;
  ASSERT_EQ(Captions(Menu), (std::vector<std::string>{"Data (R:)", "-", "Dismount All", "Mount All"}));
  EXPECT_TRUE(Menu->Items[0]->Checked);
  EXPECT_EQ(Menu->Items[0]->Tag, 1);
  EXPECT_EQ(Menu->Items[2]->Tag, cmDismountAll);
  EXPECT_EQ(Menu->Items[3]->Tag, cmMountAll);
}

TEST_F(AppInProcess, UnmountedVolumeWithoutLetterShowsABlank) {
  DefineVolume("", false);
  App = new TApp("Mount");
  App->OnVolumesMenuPopup(App->VolumesMenu);
  const TMinMenuItem* Item = App->VolumesMenu->Root->Items[0];
  EXPECT_EQ(Item->Caption, "Data ( :)");
  EXPECT_FALSE(Item->Checked);
}

TEST_F(AppInProcess, WithoutVolumesTheVolumeMenuHasOnlyTheTwoCommands) {
  App = new TApp("Mount");
  App->OnVolumesMenuPopup(App->VolumesMenu);
  EXPECT_EQ(Captions(App->VolumesMenu->Root), (std::vector<std::string>{"Dismount All", "Mount All"}));
}

TEST_F(AppInProcess, OptionsMenuListsProgramOptionsConfigsAndExits) {
  DefineVolume("Q", false);
  App = new TApp("Mount");
  const TMinMenuItem* Menu = App->OptionsMenu->Root;
  const std::vector<std::string> Expected = {"Run VeraCrypt.exe", "-", "Dismount All On Switch User",
                                             "Save Default Password (0)", "Settings...", "-",
                                             "Create Config", "Edit Config", "Delete Config", "-",
                                             "Exit And Dismount All", "Exit Without Dismount"};
  ASSERT_EQ(Captions(Menu), Expected);
  EXPECT_TRUE(Menu->Items[2]->Checked);
  EXPECT_FALSE(Menu->Items[3]->Checked);
  // The per-user config exists and is the last entry scanned.
  const TMinMenuItem* Edit = Menu->Items[7];
  const TMinMenuItem* Delete = Menu->Items[8];
  ASSERT_EQ(Edit->Count(), 1);
  EXPECT_EQ(Edit->Items[0]->Caption, VolumeConfigFileName(AppDataMarker));
  EXPECT_EQ(Delete->Items[0]->Tag - cmDeleteConfig, Edit->Items[0]->Tag - cmEditConfig);
  const TMinMenuItem* Create = Menu->Items[6];
  for (const TMinMenuItem* Entry : Create->Items) {
    EXPECT_GE(Entry->Tag, cmCreateConfig);
    EXPECT_LT(Entry->Tag, cmDeleteConfig);
    EXPECT_NE(Entry->Caption, VolumeConfigFileName(AppDataMarker));
  }
}

TEST_F(AppInProcess, TogglesReachTheFileOnlyAtTheNextSave) {
  App = new TApp("Mount");
  TMinMenuItem* Toggle = App->OptionsMenu->Root->Items[2];
  App->OnMenuCommand(Toggle);
  EXPECT_FALSE(DismountAllOnSwitchUser);
  EXPECT_FALSE(Toggle->Checked);
  EXPECT_EQ(App->OnAppMessage(App->Handle, WM_QUERYENDSESSION, 0, 0), 1);
  const std::string Settings = ReadTextFile(SettingsFileName());
  EXPECT_NE(Settings.find("DismountAllOnSwitchUser=0"), std::string::npos) << Settings;
  EXPECT_NE(Settings.find("SavePass=0"), std::string::npos) << Settings;
  EXPECT_EQ(Settings.find("Icon"), std::string::npos) << Settings;
}

TEST_F(AppInProcess, IconSettingSwitchesToAFileAndBack) {
  const std::string Settings = UserConfigDir() + ProgramName + ".ini";
  const std::string IconFile = Folder / "custom.ico";
  ASSERT_TRUE(CopyFileW(Utf8ToWide(WineDosPath(APP_ICON_FILE)).c_str(), Utf8ToWide(IconFile).c_str(), FALSE));
  WritePrivateProfileStringA("Common", "Icon", IconFile.c_str(), Settings.c_str());
  App = new TApp("Mount");
  EXPECT_TRUE(SameTextUtf8(CustomIconPath, IconFile)) << CustomIconPath;
  EXPECT_NE(App->TrayIcon->Icon, App->MainIcon);

  // A missing file changes nothing; an empty value brings the built-in icon back.
  WritePrivateProfileStringA("Common", "Icon", "missing.ico", Settings.c_str());
  App->ExchangeSettings(false);
  EXPECT_TRUE(SameTextUtf8(CustomIconPath, IconFile));
  WritePrivateProfileStringA("Common", "Icon", "", Settings.c_str());
  App->ExchangeSettings(false);
  EXPECT_EQ(CustomIconPath, "");
  EXPECT_EQ(App->TrayIcon->Icon, App->MainIcon);
}

TEST_F(AppInProcess, PasswordFileCarriesOnlyWhatPassesItsChecks) {
  struct Case {
    std::string Password;
    bool Save;
    int32_t Minutes;
    bool Restored;
  };
  const Case Cases[] = {{"pw", true, 5, true},           {"pw", false, 5, false},
                        {"pw", true, -1, false},         {"", true, 5, false},
                        {std::string(255, 'x'), true, 5, true}, {std::string(256, 'x'), true, 5, false}};
  for (const Case& C : Cases) {
    DefaultPassword = C.Password;
    SavePass = C.Save;
    RememberPassMin = C.Minutes;
    SaveRememberedPassword();
    const std::size_t Size = ReadTextFile(PasswordFileName()).size();
    EXPECT_GE(Size, 586u);
    EXPECT_LE(Size, 785u);
    DefaultPassword.clear();
    LoadRememberedPassword();
    EXPECT_EQ(DefaultPassword, C.Restored ? C.Password : std::string())
        << C.Password.size() << " " << C.Save << " " << C.Minutes;
  }
}
