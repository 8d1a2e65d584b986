// Helpers shared by the Windows tests.
#pragma once
#include "WineDrives.h"
#include <string>

// A drive letter mapped to a folder through Wine's mount manager while the
// object lives (a mapping would outlive the process).
class TestDrive {
 public:
  TestDrive(char Letter, const std::string& Folder, WineDriveType Type = WineDriveType::Fixed);
  ~TestDrive();
  TestDrive(const TestDrive&) = delete;
  TestDrive& operator=(const TestDrive&) = delete;
  bool Mapped() const { return FMapped; }
  char Letter() const { return FLetter; }
  std::string Root() const { return std::string(1, FLetter) + ":\\"; }

 private:
  char FLetter;
  bool FMapped;
};

// A new, empty folder under the temporary folder, removed with its contents.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& Tag = "scratch");
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& Path() const { return FPath; }  // without a trailing backslash
  std::string operator/(const std::string& Name) const { return FPath + "\\" + Name; }

 private:
  std::string FPath;
};

// The first letter from From to 'Y' whose root does not exist; 0 when none.
char UnusedDriveLetter(char From = 'D');
// The whole file, byte for byte; empty when it cannot be read.
std::string ReadTextFile(const std::string& Path);
