// Starting programs and reading version resources, with a real child program
// (UtilsChild.exe, built beside this test with a "FileVersion" resource).
#include <gtest/gtest.h>

#include <map>

#include "BoxWatcher.h"
#include "FileVersion.h"
#include "Files.h"
#include "Process.h"
#include "TestSupport.h"

namespace {

std::string ChildPath() { return GetProgramFolder() + "UtilsChild.exe"; }

// The child's "key=value" report, once it has been written completely.
std::map<std::string, std::string> WaitForReport(const std::string& Path, DWORD TimeoutMs = 10000) {
  std::map<std::string, std::string> Report;
  const DWORD Start = GetTickCount();
  std::string Text;
  while ((Text = ReadTextFile(Path)).find("nd=") == std::string::npos && GetTickCount() - Start < TimeoutMs) Sleep(20);
  std::size_t Pos = 0, End;
  while ((End = Text.find('\n', Pos)) != std::string::npos) {
    std::string Line = Text.substr(Pos, End - Pos);
    std::size_t Eq = Line.find('=');
    if (Eq != std::string::npos) Report[Line.substr(0, Eq)] = Line.substr(Eq + 1);
    Pos = End + 1;
  }
  return Report;
}

// A copy of the child under "<scratch>\Program Files\Crypt Tool\Tool.exe",
// with a decoy "<scratch>\Program.exe" that an unquoted path would start.
struct TSpacedProgram {
  ScratchFolder Dir{"utils"};
  std::string Folder = Dir / "Program Files\\Crypt Tool";
  std::string Path = Folder + "\\Tool.exe";
  TSpacedProgram() {
    EXPECT_TRUE(FileCopyEx(ChildPath(), Path, cfForceDir));
    EXPECT_TRUE(FileCopy(ChildPath(), Dir / "Program.exe"));
  }
  bool DecoyRan() const { return FileExistsEx(Dir / "unexpected.txt"); }
};

}  // namespace

TEST(UtilsProcess, MissingProgramGivesMinusOne) {
  ScratchFolder Dir("utils");
  EXPECT_EQ(RunProcess(Dir / "none.exe", "", true), -1);
  EXPECT_EQ(RunProcess(Dir / "none.exe", "x", false), -1);
  EXPECT_EQ(RunProcess(Dir / "no such folder\\none.exe", "", true), -1);
}

TEST(UtilsProcess, WaitGivesTheChildsExitCode) {
  EXPECT_EQ(RunProcess(ChildPath(), "exit 7", true), 7);
  EXPECT_EQ(RunProcess(ChildPath(), "exit 0", true), 0);
  EXPECT_EQ(RunProcess(ChildPath(), "exit 4294967294", true), -2);
  EXPECT_EQ(RunProcess(ChildPath(), "exit 7", false), 0);
}

TEST(UtilsProcess, ProgramUnderFolderWithSpaceRunsInItsFolder) {
  TSpacedProgram Program;
  const std::string Out = Program.Dir / "out.txt";
  ASSERT_EQ(RunProcess(Program.Path, "report " + QuoteIfHasSpaces(Out), true), 0);
  auto Report = WaitForReport(Out);
  EXPECT_TRUE(SameTextUtf8(Report["CurrentDir"], Program.Folder)) << Report["CurrentDir"];
  EXPECT_EQ(Report["ProgramName"], "Tool");
  EXPECT_EQ(Report["AppTitle"], "Tool");
  EXPECT_FALSE(Program.DecoyRan());

  // Already quoted by the caller: not quoted twice.
  const std::string Out2 = Program.Dir / "out2.txt";
  ASSERT_EQ(RunProcess("\"" + Program.Path + "\"", "report " + QuoteIfHasSpaces(Out2), true), 0);
  EXPECT_TRUE(SameTextUtf8(WaitForReport(Out2)["CurrentDir"], Program.Folder));
  // A given working folder wins.
  const std::string Out3 = Program.Dir / "out3.txt";
  ASSERT_EQ(RunProcess(Program.Path, "report " + QuoteIfHasSpaces(Out3), true, Program.Dir.Path()), 0);
  EXPECT_TRUE(SameTextUtf8(WaitForReport(Out3)["CurrentDir"], Program.Dir.Path()));
  EXPECT_FALSE(Program.DecoyRan());
}

TEST(UtilsProcess, ChildSeesItsSwitchesAndIdentity) {
  ScratchFolder Dir("utils");
  ASSERT_EQ(RunProcess(ChildPath(), "report " + QuoteIfHasSpaces(Dir / "a.txt") + " -ndy -M -nd:x -nd:z", true), 0);
  auto Report = WaitForReport(Dir / "a.txt");
  EXPECT_EQ(Report["m"], "1");
  EXPECT_EQ(Report["nd"], "1:x");
  EXPECT_EQ(Report["ProgramName"], "UtilsChild");
  ASSERT_EQ(RunProcess(ChildPath(), "report " + QuoteIfHasSpaces(Dir / "b.txt") + " -mx \"-nd :x\"", true), 0);
  Report = WaitForReport(Dir / "b.txt");
  EXPECT_EQ(Report["m"], "0");
  EXPECT_EQ(Report["nd"], "0");
}

TEST(UtilsShell, OpenStartsProgramWithSpacesInItsPath) {
  TSpacedProgram Program;
  const std::string Out = Program.Dir / "shell.txt";
  ASSERT_TRUE(ShellOpen(Program.Path, "report " + QuoteIfHasSpaces(Out)));
  EXPECT_TRUE(SameTextUtf8(WaitForReport(Out)["CurrentDir"], Program.Folder));
  const std::string Out2 = Program.Dir / "shell2.txt";
  ASSERT_TRUE(ShellOpen("\"" + Program.Path + "\"", "report " + QuoteIfHasSpaces(Out2)));
  EXPECT_EQ(WaitForReport(Out2)["ProgramName"], "Tool");
  EXPECT_FALSE(Program.DecoyRan());
  EXPECT_FALSE(ShellOpen(Program.Dir / "missing file.txt"));
}

TEST(UtilsVersions, FileVersionResourceIsReadBack) {
  EXPECT_EQ(GetFileVersion(ChildPath()), "1.26.7.3");
  EXPECT_EQ(GetFileVersion(GetParamStr(0)), "");  // this test has no version resource
  EXPECT_EQ(GetFileVersion(GetProgramFolder() + "missing.exe"), "");
  EXPECT_EQ(CompareFileVersions(ChildPath(), GetParamStr(0)), 1);
  EXPECT_EQ(CompareFileVersions(GetParamStr(0), ChildPath()), -1);
  EXPECT_EQ(CompareFileVersions(ChildPath(), ChildPath()), 0);
}

TEST(UtilsVersions, CopyIfNewerOnlyOverAnOlderVersion) {
  ScratchFolder Dir("utils");
  const std::string Dest = Dir / "tool.exe", Plain = Dir / "plain.txt";
  ASSERT_TRUE(FileCopy(GetParamStr(0), Dest));
  ASSERT_TRUE(WriteTextFile("plain", Plain, false));
  EXPECT_TRUE(FileCopyEx(ChildPath(), Dest, cfIfNewer));
  EXPECT_EQ(GetFileVersion(Dest), "1.26.7.3");
  EXPECT_FALSE(FileCopyEx(ChildPath(), Dest, cfIfNewer));
  TBoxWatcher Watcher;
  EXPECT_FALSE(FileCopyEx(Plain, Dest, cfIfNewer | cfShowError));
  auto Boxes = Watcher.Stop();
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0].Caption, "Error");
  EXPECT_EQ(Boxes[0].Text, "Cannot copy file \"" + Plain + "\"");
  EXPECT_EQ(GetFileVersion(Dest), "1.26.7.3");
  EXPECT_TRUE(FileCopyEx(Plain, Dir / "new.txt", cfIfNewer));
}
