// Starting programs and reading version resources, with a real child program
// (UtilsChild.exe, built beside this test with a "FileVersion" resource).
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "FileVersion.h"
#include "Files.h"
#include "Process.h"
#include "TestSupport.h"

namespace {

std::string ChildPath() { return GetProgramFolder() + "UtilsChild.exe"; }

// The child's "key=value" report, once it has been written completely.
std::map<std::string, std::string> WaitForReport(const std::string& Path) {
  std::string Text;
  for (int i = 0; i < 500 && (Text = ReadTextFile(Path)).find("nd=") == std::string::npos; ++i) Sleep(20);
  std::map<std::string, std::string> Report;
  std::istringstream Lines(Text);
  for (std::string Line; std::getline(Lines, Line);) Report[Line.substr(0, Line.find('='))] = Line.substr(Line.find('=') + 1);
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
  ~TSpacedProgram() { EXPECT_FALSE(FileExistsEx(Dir / "unexpected.txt")) << "the decoy ran"; }
  std::string Report(const std::string& Name) { return "report " + QuoteIfHasSpaces(Dir / Name); }
};

}  // namespace

TEST(UtilsProcess, MissingProgramGivesMinusOneAndWaitGivesTheExitCode) {
  EXPECT_EQ(RunProcess(GetProgramFolder() + "none.exe", "", true), -1);
  EXPECT_EQ(RunProcess(GetProgramFolder() + "no such folder\\none.exe", "x", false), -1);
  EXPECT_EQ(RunProcess(ChildPath(), "exit 7", true), 7);
  EXPECT_EQ(RunProcess(ChildPath(), "exit 4294967294", true), -2);
  EXPECT_EQ(RunProcess(ChildPath(), "exit 7", false), 0);
}

TEST(UtilsProcess, ProgramUnderFolderWithSpaceRunsInItsFolderAlsoThroughTheShell) {
  TSpacedProgram Program;
  ASSERT_EQ(RunProcess(Program.Path, Program.Report("a.txt") + " \"-nd :y\" -M -nd:x", true), 0);
  auto Report = WaitForReport(Program.Dir / "a.txt");
  EXPECT_TRUE(SameTextUtf8(Report["CurrentDir"], Program.Folder)) << Report["CurrentDir"];
  EXPECT_EQ(Report["ProgramName"] + "|" + Report["AppTitle"], "Tool|Tool");
  EXPECT_EQ(Report["m"] + "|" + Report["nd"], "1|1:x");

  // Already quoted by the caller: not quoted twice. A given working folder wins.
  ASSERT_EQ(RunProcess("\"" + Program.Path + "\"", Program.Report("b.txt"), true, Program.Dir.Path()), 0);
  EXPECT_TRUE(SameTextUtf8(WaitForReport(Program.Dir / "b.txt")["CurrentDir"], Program.Dir.Path()));
  // ShellOpen does not wait: the report comes later.
  ASSERT_TRUE(ShellOpen(Program.Path, Program.Report("shell.txt")));
  EXPECT_TRUE(SameTextUtf8(WaitForReport(Program.Dir / "shell.txt")["CurrentDir"], Program.Folder));
  EXPECT_FALSE(ShellOpen(Program.Dir / "missing file.txt"));
}

TEST(UtilsVersions, FileVersionResourceIsReadBackAndCopyIfNewerUsesIt) {
  EXPECT_EQ(GetFileVersion(ChildPath()), "1.26.7.3");
  EXPECT_EQ(GetFileVersion(GetParamStr(0)), "");  // this test has no version resource
  EXPECT_EQ(GetFileVersion(GetProgramFolder() + "missing.exe"), "");
  EXPECT_EQ(CompareFileVersions(ChildPath(), GetParamStr(0)), 1);

  ScratchFolder Dir("utils");
  const std::string Dest = Dir / "tool.exe", Plain = Dir / "plain.txt";
  ASSERT_TRUE(FileCopy(GetParamStr(0), Dest));
  ASSERT_TRUE(WriteTextFile("plain", Plain, false));
  EXPECT_TRUE(FileCopyEx(ChildPath(), Dest, cfIfNewer));
  EXPECT_EQ(GetFileVersion(Dest), "1.26.7.3");
  EXPECT_FALSE(FileCopyEx(ChildPath(), Dest, cfIfNewer));
  EXPECT_FALSE(FileCopyEx(Plain, Dest, cfIfNewer));
  EXPECT_EQ(GetFileVersion(Dest), "1.26.7.3");
  EXPECT_TRUE(FileCopyEx(Plain, Dir / "new.txt", cfIfNewer));
}
