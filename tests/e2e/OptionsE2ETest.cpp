// The right-click menu: options saved at exit, "Start With Windows", volume
// configs created (also from the empty left-click menu) and deleted, the
// settings file opened and watched.
#include <gtest/gtest.h>

#include "Identity.h"
#include "Version.h"
#include "FileVersion.h"
#include "Files.h"
#include "Text.h"
#include "TrayAppRun.h"

namespace {

const wchar_t StartupKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
std::wstring StartupName() { return Utf8ToWide(UnscrambleString(ScrambledAppTitle, true, IdentityScrambleOffset)); }

// The command that starts the program at logon, empty when there is none;
// set to empty, it is deleted.
std::string StartupEntry() {
  wchar_t Data[1024] = {};
  DWORD Size = sizeof Data;
  const LSTATUS Read =
      RegGetValueW(HKEY_CURRENT_USER, StartupKey, StartupName().c_str(), RRF_RT_REG_SZ, nullptr, Data, &Size);
  return Read == ERROR_SUCCESS ? WideToUtf8(Data) : std::string();
}

bool SetStartupEntry(const std::string& Value) {
  const std::wstring Data = Utf8ToWide(Value);
  if (Value.empty()) return RegDeleteKeyValueW(HKEY_CURRENT_USER, StartupKey, StartupName().c_str()) == ERROR_SUCCESS;
  return RegSetKeyValueW(HKEY_CURRENT_USER, StartupKey, StartupName().c_str(), REG_SZ, Data.c_str(),
                         DWORD((Data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace

// Entries by down presses (separators are skipped): Run VeraCrypt.exe,
// Dismount All On Switch User, On Lock, On Sleep, Save Default Password, Start With Windows,
// Settings..., Show Log, Create Config, Edit Config, Delete Config; from the
// bottom: Exit Without Dismount, Exit And Dismount All, About.

// Into the settings file beside the program, which wins, in a folder named
// "Zoë"; the icon is not written. "Start With Windows" is checked only when
// the value names this program; each choice writes or deletes it.
TEST(TrayAppOptions, ToggledOptionsAreSavedAtExitBesideTheProgramInANonAsciiFolderAndStartWithWindowsOnOffOn) {
  ASSERT_TRUE(SetStartupEntry("\"C:\\Old\\trayvm.exe\""));
  TrayAppRun App("Zo\xC3\xAB");
  App.WriteSettings();  // names the program
  const std::string Beside = App.SettingsBesideProgramPath();
  ASSERT_TRUE(WriteFileBytes(Beside, "[Common]\r\nRememberPassMin=7\r\n"));
  ASSERT_TRUE(App.Start());
  for (int Entry : {2, 3, 4, 5}) ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, {Entry}));
  const std::string Own = "\"" + App.ProgramPath() + "\"";
  for (const bool On : {true, false, true}) {  // first unchecked: the stale value is replaced
    ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, {6}));
    EXPECT_TRUE(WaitUntil([&] { return SameTextUtf8(StartupEntry(), On ? Own : ""); }, 3000)) << StartupEntry();
  }
  SetStartupEntry("");
  ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, ExitWithoutDismount));
  ASSERT_EQ(App.WaitForExit(), 0);
  const std::string Settings = ReadTextFile(Beside);
  for (const char* Line : {"DismountAllOnSwitchUser=0", "DismountAllOnLock=1", "DismountAllOnSleep=1",
                           "DismountIdleMin=0", "SavePass=1", "RememberPassMin=7"})
    EXPECT_TRUE(Has(Settings, Line)) << Line << " in " << Settings;
  EXPECT_FALSE(Has(Settings, "Icon"));
}

TEST(TrayAppOptions, NoVolumesCreatesTheConfigDeleteConfigRemovesItAndSettingsSavesAndKeepsWatching) {
  TrayAppRun App("e2econfig");
  App.WriteSettings();
  ASSERT_TRUE(App.Start());
  // The empty volumes menu's only entry writes a sample per-user file.
  ASSERT_TRUE(App.ChooseFromMenu(WM_LBUTTONUP, {1}));
  ASSERT_TRUE(WaitUntil([] { return !ReadTextFile(TrayAppRun::AppDataConfigPath()).empty(); }, 5000));
  ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, {11, 0}));
  EXPECT_TRUE(WaitUntil([] { return !FileExistsEx(TrayAppRun::AppDataConfigPath()); }, 5000));

  // Settings... saves and the watch for new volumes goes on.
  ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, {7}));
  EXPECT_TRUE(WaitUntil([&] { return Has(ReadTextFile(App.SettingsPath()), "SavePass=0"); }, 3000));
  // A volume defined while the settings are open is picked up by the polling.
  const std::string Container = App.AddContainer("late.hc", "secret");
  WriteFileBytes(TrayAppRun::AppDataConfigPath(), "[Late]\r\nFile=" + Container + "\r\nLetter=R\r\nAuto=1\r\n");
  ASSERT_TRUE(App.AnswerPrompt("Default Password:", "secret"));
  EXPECT_TRUE(App.WaitForMountCount(1));
}

// Started from a stick, the program cannot register itself to start at logon
// (the file at that path could be anything by then). About shows the version
// the file's properties show, and where the settings are.
TEST(TrayAppOptions, FromAStickNoStartWithWindowsAndAboutTellsTheVersion) {
  SetStartupEntry("");
  TrayAppRun App("e2eabout");
  App.WriteSettings();
  ScratchFolder StickFolder("e2eabout-stick");
  TestDrive Stick(UnusedDriveLetter('D'), StickFolder.Path(), WineDriveType::Removable);
  ASSERT_TRUE(Stick.Mapped());
  App.MoveProgramTo(std::string(1, Stick.Letter()) + ":");
  ASSERT_TRUE(App.Start());
  if (!App.ChooseFromMenu(WM_RBUTTONUP, {6})) PostMessageW(App.WaitForWindow("#32768", 0), WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, {-3}));
  const HWND About = App.WaitForWindow("AboutBox");
  ASSERT_NE(About, nullptr);
  wchar_t Text[2048] = {};
  GetDlgItemTextW(About, 1001, Text, 2048);
  const std::string Shown = WideToUtf8(Text);
  const std::string Version = GetFileVersion(App.ProgramPath());
  EXPECT_EQ(Version, TRAYVM_VERSION);
  EXPECT_TRUE(Has(Shown, " " + Version + "\r\n") && Has(Shown, App.SettingsPath())) << Shown;
  PostMessageW(About, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(About); }, 5000));
  EXPECT_EQ(StartupEntry(), "");
}
