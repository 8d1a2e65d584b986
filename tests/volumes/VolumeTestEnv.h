// A known state of volume control for one test: the encryption program
// counts as located (no selection dialog), the lists and the settings time
// are empty, no per-user ".tcvinfo.ini" and no settings file exist.
#pragma once

#include <gtest/gtest.h>

#include <string>

class VolumeControlTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // Writes the ".tcvinfo.ini" of Letter (a drive or AppDataMarker); with a
  // Stamp, gives it that modification time (a day count).
  static std::string WriteInfo(char Letter, const std::string& Text, double Stamp = 0);
  // Writes a file and gives it a modification time.
  static void WriteStamped(const std::string& Path, const std::string& Text, double Stamp);
  static void RemoveSettingsFiles();
};

// Day counts on whole even seconds, so the two-second file times keep them.
inline constexpr double StampA = 45000.25;
inline constexpr double StampB = 45001.5;
inline constexpr double StampC = 45002.75;
