// TApp inside the test process, on real windows, menus and INI files, with
// the stand-in encryption program: what the menus hold and what the password
// file carries over.
#include <gtest/gtest.h>

#include <windows.h>

#include "App.h"
#include "AppFlags.h"
#include "ConfigFiles.h"
#include "Files.h"
#include "Mounting.h"
#include "PasswordMemory.h"
#include "Process.h"
#include "StandinControl.h"
#include "TestSupport.h"
#include "Text.h"
#include "UnitStartup.h"
#include "Volume.h"

namespace {

std::vector<std::string> Captions(const TMinMenuItem* Menu) {
  std::vector<std::string> Result;
  for (const TMinMenuItem* Item : Menu->Items) Result.push_back(Item->Caption);
  return Result;
}

class AppInProcess : public testing::Test {
protected:
  void SetUp() override {
    InitUtilsUnit();
    VendorName = "Vaultline";
    ForceDirsEx(UserConfigDir());
    WriteFileBytes(UserConfigDir() + ProgramName + ".ini", "[Common]\r\nPath=" + Program + "\r\n");
    StartStandinDriver();
    ClearStandinMounts(StandinDevice::VeraCrypt);
  }

  void TearDown() override {
    delete App;
    App = nullptr;
    RunProcess(Program, "/q /s /d R /f", true);  // gives the stand-in's letter back
    ClearStandinMounts(StandinDevice::VeraCrypt);
    DeleteFileW(Utf8ToWide(VolumeConfigFileName(AppDataMarker)).c_str());
  }

  const std::string Program = StandinProgramPath(StandinBuild::VeraCrypt121);
  ScratchFolder Folder{"app"};
};

}  // namespace

TEST_F(AppInProcess, MenusListTheMountedVolumeWithACheckMarkAndOnlyConfigsToCreate) {
  const std::string Container = Folder / "data.hc";
  WriteFileBytes(Container, "container");
  WriteFileBytes(Container + ".password", "pw");
  WriteFileBytes(VolumeConfigFileName(AppDataMarker), "[Data]\r\nFile=" + Container + "\r\nLetter=Q\r\n");
  RunProcess(Program, "/q /s /v " + Container + " /l R /p pw", true);
  App = new TApp("Mount");

  App->OnVolumesMenuPopup(App->VolumesMenu);
  const TMinMenuItem* Volumes = App->VolumesMenu->Root;
  ASSERT_EQ(Captions(Volumes), (std::vector<std::string>{"Data (R:)", "-", "Dismount All", "Mount All"}));
  EXPECT_TRUE(Volumes->Items[0]->Checked);
  EXPECT_TRUE(Volumes->Items[2]->Tag == cmDismountAll && Volumes->Items[3]->Tag == cmMountAll);

  const TMinMenuItem* Options = App->OptionsMenu->Root;
  ASSERT_EQ(Captions(Options),
            (std::vector<std::string>{"Run VeraCrypt.exe", "-", "Dismount All On Switch User",
                                      "Save Default Password (0)", "Settings...", "-", "Create Config", "Edit Config",
                                      "Delete Config", "-", "Exit And Dismount All", "Exit Without Dismount"}));
  EXPECT_TRUE(Options->Items[2]->Checked);
  EXPECT_FALSE(Options->Items[3]->Checked);
  // The existing per-user config can be edited and deleted, not created.
  ASSERT_EQ(Captions(Options->Items[7]), std::vector<std::string>{VolumeConfigFileName(AppDataMarker)});
  EXPECT_EQ(Options->Items[8]->Items[0]->Tag - cmDeleteConfig, Options->Items[7]->Items[0]->Tag - cmEditConfig);
  for (const TMinMenuItem* Entry : Options->Items[6]->Items) {
    EXPECT_TRUE(Entry->Tag >= cmCreateConfig && Entry->Tag < cmDeleteConfig);
    EXPECT_NE(Entry->Caption, VolumeConfigFileName(AppDataMarker));
  }
}

TEST_F(AppInProcess, PasswordFileCarriesOnlyWhatPassesItsChecks) {
  const struct {
    std::string Password;
    bool Save;
    int32_t Minutes;
    bool Restored;
  } Cases[] = {{"pw", true, 5, true}, {"pw", false, 5, false}, {"pw", true, -1, false}, {"", true, 5, false},
               {std::string(255, 'x'), true, 5, true}, {std::string(256, 'x'), true, 5, false}};
  for (const auto& C : Cases) {
    DefaultPassword = C.Password;
    SavePass = C.Save;
    RememberPassMin = C.Minutes;
    SaveRememberedPassword();
    const std::size_t Size = ReadTextFile(PasswordFileName()).size();
    EXPECT_TRUE(Size >= 586 && Size <= 785) << Size;
    DefaultPassword.clear();
    LoadRememberedPassword();
    EXPECT_EQ(DefaultPassword, C.Restored ? C.Password : std::string())
        << C.Password.size() << " " << C.Save << " " << C.Minutes;
  }
}
