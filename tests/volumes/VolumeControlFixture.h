// A fresh application window and volume control for each test. The program
// counts as located (the test itself: nothing may be mounted with it); no
// per-user ".tcvinfo.ini" or settings file exists.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "ConfigFiles.h"
#include "Files.h"
#include "FileTimes.h"
#include "Folders.h"
#include "MinApp.h"
#include "MinIniFile.h"
#include "TestSupport.h"
#include "Text.h"
#include "UnitStartup.h"
#include "VolumeControl.h"

// Two last writes long ago, a day and a half apart.
inline constexpr TFileTicks StampA = std::chrono::days(150000), StampB = StampA + std::chrono::hours(36);

// The application's side, as a test scripts it: what volume control told it.
struct TestHost : TVolumeControlHost {
  bool QuestionOpen = false;
  std::vector<std::string> Results;  // "label: text", failures marked
  std::vector<std::string> Ignored;  // each notice of skipped sections

  void AskPassword(const std::string& Prompt) override {
    EXPECT_FALSE(QuestionOpen) << "two questions at once: " << Prompt;
    QuestionOpen = true;
  }
  void AskForce(const std::string& Question) override { AskPassword(Question); }
  void CloseQuestion() override { QuestionOpen = false; }
  void VolumeResult(const TVolume&, const std::string& Title, bool Success, const std::string& Text) override {
    Results.push_back(Text + ": " + Title + (Success ? "" : " !"));
  }
  void IdleReached() override {}
  void DefinitionsIgnored(const std::string& Text) override { Ignored.push_back(Text); }
  void VolumesChanged(bool) override {}
};

class VolumeControlTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InitUtilsUnit(), VendorName = "VolumeTests"; }
  void SetUp() override {
    CleanFiles();
    Control.CryptProgram = {WideToUtf8(ProgramFilePath()), false, 119};
  }
  void TearDown() override { CleanFiles(); }
  static void CleanFiles() {
    for (const std::string& F :
         {VolumeConfigFileName(AppDataMarker), GetProgramFolder() + ProgramName + ".ini", UserSettings()})
      FileDelete(F);
  }
  static std::string WriteInfo(char Letter, const std::string& Text, TFileTicks Stamp = {}) {
    const std::string Path = VolumeConfigFileName(Letter);
    SetFileAttr(Path, FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(::WriteFileBytes(Path, Text)) << Path;
    if (Stamp != TFileTicks::zero()) EXPECT_EQ(SetLastWrite(Path, Stamp), 0u) << Path;
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
  static std::string UserSettings() { return UserConfigDir() + ProgramName + ".ini"; }
  std::vector<std::string> Labels() const {
    std::vector<std::string> Result;
    for (const TVolume& V : Control.Volumes) Result.push_back(V.Label);
    return Result;
  }

  TMinApplication App{"Volume control test"};
  TestHost Host;
  TVolumeControl Control{Host};
  std::vector<TVolume>& Volumes = Control.Volumes;
};
