// TApp inside the test process, on real windows, menus and INI files, with
// the stand-in encryption program: what the menus hold and what the password
// file carries over.
#include <gtest/gtest.h>

#include <windows.h>

#include "App.h"
#include "ConfigFiles.h"
#include "Files.h"
#include "Process.h"
#include "StandinControl.h"
#include "TestSupport.h"
#include "Text.h"
#include "UnitStartup.h"

namespace {

std::vector<std::string> Captions(const TMinMenuItem* Menu) {
  std::vector<std::string> Result;
  for (int I = 0; I < Menu->Count(); ++I) Result.push_back(Menu->Item(I)->Caption);
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
    App.reset();
    RunProcess(Program, "/q /s /d R /f", true);  // gives the stand-in's letter back
    ClearStandinMounts(StandinDevice::VeraCrypt);
    DeleteFileW(Utf8ToWide(VolumeConfigFileName(AppDataMarker)).c_str());
  }

  const std::string Program = StandinProgramPath(StandinBuild::VeraCrypt121);
  ScratchFolder Folder{"app"};
  std::unique_ptr<TApp> App;
};

}  // namespace

TEST_F(AppInProcess, MenusListTheMountedVolumeWithACheckMarkAndOnlyConfigsToCreate) {
  const std::string Container = Folder / "data.hc";
  WriteFileBytes(Container, "container");
  WriteFileBytes(Container + ".password", "pw");
  WriteFileBytes(VolumeConfigFileName(AppDataMarker), "[Data]\r\nFile=" + Container + "\r\nLetter=Q\r\n");
  RunProcess(Program, "/q /s /v " + Container + " /l R /p pw", true);
  App = std::make_unique<TApp>("Mount", true);

  App->OnVolumesMenuPopup(App->VolumesMenu.get());
  const TMinMenuItem* Volumes = App->VolumesMenu->Root.get();
  ASSERT_EQ(Captions(Volumes), (std::vector<std::string>{"Data (R:)", "-", "Dismount All", "Mount All"}));
  EXPECT_TRUE(Volumes->Item(0)->Checked);
  EXPECT_TRUE(Volumes->Item(2)->Tag == cmDismountAll && Volumes->Item(3)->Tag == cmMountAll);

  const TMinMenuItem* Options = App->OptionsMenu->Root.get();
  ASSERT_EQ(Captions(Options),
            (std::vector<std::string>{"Run VeraCrypt.exe", "-", "Dismount All On Switch User", "Dismount All On Lock",
                                      "Dismount All On Sleep", "Save Default Password (0)", "Start With Windows",
                                      "Settings...", "-", "Create Config", "Edit Config", "Delete Config", "-", "About",
                                      "-", "Exit And Dismount All", "Exit Without Dismount"}));
  EXPECT_TRUE(Options->Item(2)->Checked);
  for (int Unchecked : {3, 4, 5}) EXPECT_FALSE(Options->Item(Unchecked)->Checked) << Unchecked;
  // The existing per-user config can be edited and deleted, not created.
  const std::vector<std::string> UserConfig{VolumeConfigFileName(AppDataMarker)};
  EXPECT_EQ(Captions(Options->Item(10)), UserConfig);
  EXPECT_EQ(Captions(Options->Item(11)), UserConfig);
  for (const std::string& Creatable : Captions(Options->Item(9))) EXPECT_NE(Creatable, UserConfig[0]);
}
