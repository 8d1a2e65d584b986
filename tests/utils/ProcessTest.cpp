// Starting programs, with a real child program (UtilsChild.exe, built beside
// this test).
#include <gtest/gtest.h>

#include "CommandLine.h"
#include "Files.h"
#include "Folders.h"
#include "Process.h"
#include "Scoped.h"
#include "TestSupport.h"
#include "Text.h"

static const std::string Child = GetProgramFolder() + "UtilsChild.exe";

// The child's report, once it has been written completely.
static std::string ReportOf(const std::string& Path) {
  std::string Text;
  for (int i = 0; i < 500 && (Text = ReadTextFile(Path)).find('\n') == std::string::npos; ++i) Sleep(20);
  return Text;
}

// A copy of the child under "<scratch>\Program Files\Crypt Tool\Tool.exe", with
// a decoy "<scratch>\Program.exe" that an unquoted path would start.
TEST(UtilsProcess, ProgramUnderFolderWithSpaceRunsInItsFolderAlsoThroughTheShell) {
  ScratchFolder Dir("utils");
  const std::string Folder = Dir / "Program Files\\Crypt Tool", Path = Folder + "\\Tool.exe";
  ASSERT_TRUE(ForceDirsEx(Folder) && FileCopy(Child, Path) && FileCopy(Child, Dir / "Program.exe"));
  ASSERT_EQ(RunProcess(Path, "report " + QuotedArgument(Dir / "a b.txt") + " \"-nd :y\" -M -nd:x", true), 0);
  EXPECT_TRUE(SameTextUtf8(ReportOf(Dir / "a b.txt"), Folder + "|1|1:x\n")) << ReportOf(Dir / "a b.txt");
  ASSERT_TRUE(ShellOpen(Path, "report " + (Dir / "shell.txt")));  // does not wait
  EXPECT_TRUE(SameTextUtf8(ReportOf(Dir / "shell.txt"), Folder + "|0|0\n")) << ReportOf(Dir / "shell.txt");
  EXPECT_FALSE(ShellOpen(Dir / "missing file.txt"));
  EXPECT_FALSE(FileExistsEx(Dir / "unexpected.txt")) << "the decoy ran";
}

// A name that is not a full path would be looked up beside this test, in the
// current folder and along the search path, where anyone can plant a copy. A
// wait gives the exit code, -1 when nothing was started.
TEST(UtilsProcess, OnlyAFullProgramPathIsStarted) {
  ScratchFolder Dir("utils");
  ASSERT_TRUE(FileCopy(Child, Dir / "Decoy.exe"));
  wchar_t Previous[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, Previous);
  ASSERT_TRUE(SetCurrentDirectoryW(Utf8ToWide(Dir.Path()).c_str()));
  ScopeExit Restore([&] { SetCurrentDirectoryW(Previous); });
  EXPECT_EQ(RunProcess("Decoy.exe", "exit 7", true), -1);
  EXPECT_EQ(RunProcess(".\\Decoy.exe", "exit 7", true), -1);
  EXPECT_EQ(RunProcess(Dir.Path().substr(0, 2) + "Decoy.exe", "exit 7", true), -1);  // "C:Decoy.exe"
  EXPECT_EQ(RunProcess("UtilsChild.exe", "exit 7", true), -1);
  EXPECT_EQ(RunProcess(Dir / "Decoy.exe", "exit 7", true), 7);
  EXPECT_EQ(RunProcess(Dir / "Missing.exe", "exit 7", true), -1);
}
