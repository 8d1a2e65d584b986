// Helpers shared by the Windows tests: drives mapped to folders for the
// length of a test, and scratch folders that clean up after themselves.
//
// Drives are mapped through Wine's mount manager (standin/WineDrives.h), so a
// test can add and remove fixed and removable drives while the Wine session
// runs; GetDriveTypeW reports the type given here and the drive's root is the
// folder. A mapping outlives the process unless it is undone, so map drives
// with TestDrive, whose destructor unmaps.
#pragma once
#include "Files.h"
#include "WineDrives.h"

#include <string>

// A drive letter mapped to a folder while the object lives.
class TestDrive {
public:
  TestDrive(char Letter, const std::string& Folder, WineDriveType Type = WineDriveType::Fixed);
  ~TestDrive();
  TestDrive(const TestDrive&) = delete;
  TestDrive& operator=(const TestDrive&) = delete;

  bool Mapped() const { return FMapped; }
  char Letter() const { return FLetter; }
  // "X:\"
  std::string Root() const;

private:
  char FLetter;
  bool FMapped;
};

// A new, empty folder under the Wine prefix's temporary folder, removed with
// everything in it when the object goes.
class ScratchFolder {
public:
  explicit ScratchFolder(const std::string& Tag = "scratch");
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // Windows path without a trailing backslash.
  const std::string& Path() const { return FPath; }
  // Path + "\" + Name.
  std::string operator/(const std::string& Name) const { return FPath + "\\" + Name; }

private:
  std::string FPath;
};

// The first letter from From to 'Y' whose root folder does not exist; 0 when
// every one is taken.
char UnusedDriveLetter(char From = 'D');

// Whether the drive's device opens and answers the volume disk-extents query,
// as a drive backed by a disk does and a mounted encrypted volume does not.
bool DiskQueryAnswered(char Letter);

// The whole file at a UTF-8 path, byte for byte; empty when it cannot be
// read. (Writing: WriteTextFile of the utility library.)
std::string ReadTextFile(const std::string& Path);
