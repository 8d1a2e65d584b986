// A fresh application object and clean volume-control state for each test,
// plus a message pump that runs until a condition holds.
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
#include "FileMonitor.h"
#include "Files.h"
#include "MinIniFile.h"
#include "MinApp.h"
#include "Mounting.h"
#include "UnitStartup.h"
#include "Volume.h"
#include "VolumeTimer.h"

struct VolumeResult {
  int Index;
  std::string Text;
  bool Success;
  bool operator==(const VolumeResult&) const = default;
};

inline void PrintTo(const VolumeResult& R, std::ostream* Os) {
  *Os << "{" << R.Index << ", \"" << R.Text << "\", " << (R.Success ? "true" : "false") << "}";
}

class VolumeControlTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    InitUtilsUnit();
    VendorName = "VolumesMountTests";
  }

  void SetUp() override {
    App = std::make_unique<TMinApplication>("Volume control test");
    VolumeResultHook = [this](int Index, const std::string& Text, bool Success) {
      Results.push_back({Index, Text, Success});
    };
  }

  void TearDown() override {
    StopFileMonitors();
    App.reset();  // frees the volume timer
    VolumeResultHook = {};
    AppFlags = afNoDismount;
    FinalizeVolumeControl();
    AppFlags = 0;
    PendingCount = 0;
  }

  // Dispatches the thread's messages until Done holds or Ms have passed;
  // Done's last answer.
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

  // The per-user settings file, where the program's path is remembered.
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
