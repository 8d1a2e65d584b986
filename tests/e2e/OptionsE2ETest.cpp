// The right-click menu: options saved at exit, volume configs created and
// deleted, the settings file opened and watched.
#include <gtest/gtest.h>

#include "TrayAppRun.h"

namespace {

// Run VeraCrypt.exe, Dismount All On Switch User, Save Default Password,
// Settings..., Create Config, [Edit Config, Delete Config], Exit And
// Dismount All, Exit Without Dismount (separators are skipped by the keys).
constexpr int DismountOnSwitchItem = 2;
constexpr int SavePasswordItem = 3;
constexpr int SettingsItem = 4;
constexpr int CreateConfigItem = 5;
constexpr int DeleteConfigItem = 7;
const std::vector<int> ExitWithoutDismount = {-1};

bool Has(const std::string& Text, const std::string& Part) { return Text.find(Part) != std::string::npos; }

}  // namespace

TEST(TrayAppOptions, ToggledOptionsAreSavedAtExitWithoutTheIcon) {
  TrayAppRun App("e2eoptions");
  App.WriteSettings("RememberPassMin=7\r\n");
  ASSERT_TRUE(App.Start());
  ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, {DismountOnSwitchItem}));
  ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, {SavePasswordItem}));
  ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, ExitWithoutDismount));
  ASSERT_EQ(App.WaitForExit(), 0);

  const std::string Settings = App.ReadSettings();
  EXPECT_TRUE(Has(Settings, "DismountAllOnSwitchUser=0")) << Settings;
  EXPECT_TRUE(Has(Settings, "SavePass=1")) << Settings;
  EXPECT_TRUE(Has(Settings, "RememberPassMin=7")) << Settings;
  EXPECT_FALSE(Has(Settings, "Icon")) << Settings;
}

TEST(TrayAppOptions, CreateConfigWritesTheTemplateAndDeleteConfigRemovesIt) {
  TrayAppRun App("e2econfig");
  App.WriteSettings();
  ASSERT_TRUE(App.Start());
  // The per-user folder's entry comes last in the sub-menu.
  ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, {CreateConfigItem, -1}));
  ASSERT_TRUE(WaitUntil([] { return !ReadTextFile(TrayAppRun::AppDataConfigPath()).empty(); }, 5000));
  EXPECT_EQ(ReadTextFile(TrayAppRun::AppDataConfigPath()),
            "[Label]\r\nLetter=N\r\n;Partition=5\r\n;Disk=0\r\n;File=\\path\\to\\some.file\r\n"
            ";auto=1\r\n;DefaultPass=0");

  ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, {DeleteConfigItem, 0}));
  EXPECT_TRUE(WaitUntil([] { return GetFileAttributesA(TrayAppRun::AppDataConfigPath().c_str()) == INVALID_FILE_ATTRIBUTES; }, 5000));
}

TEST(TrayAppOptions, SettingsSavesAndKeepsWatchingForNewVolumes) {
  TrayAppRun App("e2esettings");
  App.WriteSettings();
  ASSERT_TRUE(App.Start());
  ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, {SettingsItem}));
  EXPECT_TRUE(WaitUntil([&] { return Has(App.ReadSettings(), "SavePass=0"); }, 3000));

  // A volume defined while the settings are open is picked up by the polling.
  const std::string Container = App.AddContainer("late.hc", "secret");
  App.WriteVolumeConfig("[Late]\r\nFile=" + Container + "\r\nLetter=R\r\nAuto=1\r\n");
  HWND Box = App.WaitForInputBox(10000);
  ASSERT_NE(Box, nullptr);
  App.AnswerInputBox(Box, "secret");
  EXPECT_TRUE(App.WaitForMountCount(1));
}
