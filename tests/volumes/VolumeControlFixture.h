// A fresh application object and a known volume-control state for each test:
// the encryption program counts as located (the test itself), the lists are
// empty, no per-user ".tcvinfo.ini" and no settings file exist.
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
#include "MinApp.h"
#include "MinIniFile.h"
#include "Mounting.h"
#include "TestSupport.h"
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

inline void PrintTo(const VolumeResult& R, std::ostream* Os) {
  *Os << "{" << R.Index << ", \"" << R.Text << "\", " << R.Success << "}";
}

// Day counts on whole even seconds, so the two-second file times keep them.
inline constexpr double StampA = 45000.25, StampB = 45001.5, StampC = 45002.75;

class VolumeControlTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    InitUtilsUnit();
    VendorName = "VolumeTests";
  }

  void SetUp() override {
    App = std::make_unique<TMinApplication>("Volume control test");
    VolumeResultHook = [this](int Index, const std::string& Text, bool Success) {
      Results.push_back({Index, Text, Success});
    };
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
    AppFlags = 0;
    PendingCount = 0;
    CleanFiles();
  }

  static void CleanFiles() {
    FileDelete(VolumeConfigFileName(AppDataMarker));
    FileDelete(GetProgramFolder() + ProgramName + ".ini");
    FileDelete(UserSettings());
  }

  // Writes the ".tcvinfo.ini" of Letter; with a Stamp, gives it that time.
  static std::string WriteInfo(char Letter, const std::string& Text, double Stamp = 0) {
    const std::string Path = VolumeConfigFileName(Letter);
    SetFileAttr(Path, FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(::WriteTextFile(Text, Path, false)) << Path;
    if (Stamp != 0) EXPECT_EQ(SetFileDateTime(Path, Stamp), 0u) << Path;
    return Path;
  }

  // Dispatches the thread's messages until Done holds or Ms have passed.
  static bool PumpUntil(const std::function<bool()>& Done, int Ms = 5000) {
    const auto End = std::chrono::steady_clock::now() + std::chrono::milliseconds(Ms);
    while (!Done()) {
      if (std::chrono::steady_clock::now() >= End) return false;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      MSG Msg;
      while (PeekMessageW(&Msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&Msg);
        DispatchMessageW(&Msg);
      }
    }
    return true;
  }

  static void Pump(int Ms) { PumpUntil([] { return false; }, Ms); }

  static std::string UserSettings() { return UserConfigDir() + ProgramName + ".ini"; }

  static void RememberCryptProgram(const std::string& Path) {
    ASSERT_TRUE(ForceDirsEx(UserConfigDir()));
    TMinIniFile Writer(UserSettings(), true);
    Writer.Section = "Common";
    Writer.ReadWriteString("Path", Path);
  }

  std::unique_ptr<TMinApplication> App;
  std::vector<VolumeResult> Results;
};
