// A fresh application object and a known volume-control state for each test:
// the program counts as located (the test itself), the lists are empty, and
// no per-user ".tcvinfo.ini" or settings file exists.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "AppFlags.h"
#include "ConfigFiles.h"
#include "CryptProgram.h"
#include "DriveScan.h"
#include "FileMonitor.h"
#include "Files.h"
#include "FileTimes.h"
#include "Folders.h"
#include "MinApp.h"
#include "MinIniFile.h"
#include "Mounting.h"
#include "TestSupport.h"
#include "Text.h"
#include "UnitStartup.h"
#include "Volume.h"
#include "VolumeDefinitions.h"
#include "VolumeTimer.h"

struct VolumeResult {
  int Index;
  std::string Text;
  bool Success;
  bool operator==(const VolumeResult&) const = default;
};
inline void PrintTo(const VolumeResult& R, std::ostream* Os) { *Os << R.Index << " " << R.Text << " " << R.Success; }
// Day counts on whole even seconds, so the two-second file times keep them.
inline constexpr double StampA = 45000.25, StampB = 45001.5, StampC = 45002.75;

class VolumeControlTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() { InitUtilsUnit(), VendorName = "VolumeTests"; }
  void SetUp() override {
    App = std::make_unique<TMinApplication>("Volume control test");
    VolumeResultHook = [this](int Index, const std::string& Text, bool Ok) { Results.push_back({Index, Text, Ok}); };
    CleanFiles();
    CryptProgramPath = GetParamStr(0);
    CryptIsTrueCrypt = false;
    CryptVersionLevel = 119;
    SettingsFileDate = 0;
  }
  void TearDown() override {
    StopFileMonitors();
    App.reset();  // frees the volume timer
    VolumeResultHook = {};
    RebuildMenusHook = {};
    AppFlags = afNoDismount;
    FinalizeVolumeControl();
    AppFlags = PendingCount = 0;
    CleanFiles();
  }
  static void CleanFiles() {
    for (const std::string& F : {VolumeConfigFileName(AppDataMarker), ProgramFolderSettings(), UserSettings()})
      FileDelete(F);
  }
  static std::string WriteInfo(char Letter, const std::string& Text, double Stamp = 0) {
    const std::string Path = VolumeConfigFileName(Letter);
    SetFileAttr(Path, FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(::WriteFileBytes(Path, Text)) << Path;
    if (Stamp != 0) EXPECT_EQ(SetFileDateTime(Path, Stamp), 0u) << Path;
    return Path;
  }
  // Dispatches the thread's messages until Done holds or Ms have passed.
  static bool PumpUntil(const std::function<bool()>& Done, int Ms = 5000) {
    const auto End = std::chrono::steady_clock::now() + std::chrono::milliseconds(Ms);
    for (MSG Msg; !Done(); MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT)) {
      if (std::chrono::steady_clock::now() >= End) return false;
      while (PeekMessageW(&Msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&Msg);
    }
    return true;
  }
  static void Pump(int Ms) { PumpUntil([] { return false; }, Ms); }
  static std::string UserSettings() { return UserConfigDir() + ProgramName + ".ini"; }
  static std::string ProgramFolderSettings() { return GetProgramFolder() + ProgramName + ".ini"; }
  static void RememberCryptProgram(const std::string& Path) {
    ASSERT_TRUE(ForceDirsEx(UserConfigDir()));
    TMinIniFile Writer(UserSettings(), true);
    Writer.Section = "Common";
    Writer.ReadWriteString("Path", Path);
  }

  std::unique_ptr<TMinApplication> App;
  std::vector<VolumeResult> Results;
};
