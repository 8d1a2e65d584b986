// The mount and dismount parameters, and that hostile labels, passwords and
// paths come back from the argument parser exactly as they went in. Under
// Wine the parser is the system's CommandLineToArgvW; natively a small
// reference parser of the same rules stands in for it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MountCommandLine.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

namespace {

#ifdef _WIN32
std::vector<std::string> ParseArgs(const std::string& CommandLine) {
  std::wstring Wide(CommandLine.begin(), CommandLine.end());  // tests use ASCII only
  int Count = 0;
  LPWSTR* Args = CommandLineToArgvW(Wide.c_str(), &Count);
  std::vector<std::string> Result;
  for (int I = 0; I < Count; ++I) {
    std::wstring A = Args[I];
    Result.emplace_back(A.begin(), A.end());
  }
  LocalFree(Args);
  return Result;
}
#else
// The rules of CommandLineToArgvW: 2n backslashes before a quote give n and
// the quote toggles quoting; 2n+1 give n and a literal quote; other
// backslashes are literal; blanks outside quotes separate arguments.
std::vector<std::string> ParseArgs(const std::string& CommandLine) {
  std::vector<std::string> Result;
  size_t I = 0;
  const size_t N = CommandLine.size();
  // The program name: up to the next blank, or between quotes.
  std::string Program;
  if (I < N && CommandLine[I] == '"') {
    for (++I; I < N && CommandLine[I] != '"'; ++I) Program += CommandLine[I];
    if (I < N) ++I;
  } else {
    for (; I < N && CommandLine[I] != ' ' && CommandLine[I] != '\t'; ++I) Program += CommandLine[I];
  }
  Result.push_back(Program);
  while (true) {
    while (I < N && (CommandLine[I] == ' ' || CommandLine[I] == '\t')) ++I;
    if (I >= N) break;
    std::string Arg;
    bool InQuotes = false;
    while (I < N && (InQuotes || (CommandLine[I] != ' ' && CommandLine[I] != '\t'))) {
      size_t Backslashes = 0;
      while (I < N && CommandLine[I] == '\\') ++Backslashes, ++I;
      if (I < N && CommandLine[I] == '"') {
        Arg.append(Backslashes / 2, '\\');
        if (Backslashes % 2) {
          Arg += '"';
        } else if (InQuotes && I + 1 < N && CommandLine[I + 1] == '"') {
          Arg += '"';  // "" inside quotes is a literal quote
          ++I;
        } else {
          InQuotes = !InQuotes;
        }
        ++I;
      } else {
        Arg.append(Backslashes, '\\');
        if (I < N && (InQuotes || (CommandLine[I] != ' ' && CommandLine[I] != '\t'))) Arg += CommandLine[I++];
      }
    }
    Result.push_back(Arg);
  }
  return Result;
}
#endif

std::vector<std::string> MountArgs(const std::string& Path, const std::string& Password,
                                   const std::string& Label) {
  return ParseArgs("\"C:\\Program Files\\VeraCrypt\\VeraCrypt.exe\" " +
                   MountParameters(Path, Password, Label, false, false, 'X'));
}

}  // namespace

TEST(MountCommandLine, PlainArgumentsStayAsWritten) {
  EXPECT_EQ(MountParameters("C:\\Vol\\a.hc", "secret", "Data", false, false, 'X'),
            "/q /s /v C:\\Vol\\a.hc /l X /m label=Data /p secret");
  EXPECT_EQ(MountParameters(PartitionDevicePath(1, 2), "pw", "Data", false, false, 'T'),
            "/q /s /v \\Device\\Harddisk1\\Partition2 /l T /m label=Data /p pw");
  // Backslashes without a quote after them are not doubled.
  EXPECT_EQ(MountParameters("\\\\srv\\share\\v.hc", "a\\b\\", "", false, false, 'Y'),
            "/q /s /v \\\\srv\\share\\v.hc /l Y /p a\\b\\");
  EXPECT_EQ(DismountParameters('T'), "/q /s /d T /f");
}

TEST(MountCommandLine, TrueCryptSwitchOnlyForVeraCrypt) {
  EXPECT_EQ(MountParameters("C:\\a.tc", "pw", "", true, false, 'X'), "/q /s /v C:\\a.tc /l X /tc /p pw");
  EXPECT_EQ(MountParameters("C:\\a.tc", "pw", "", true, true, 'X'), "/q /s /v C:\\a.tc /l X /p pw");
}

TEST(MountCommandLine, BlanksAreQuoted) {
  EXPECT_EQ(MountParameters("C:\\My Vol\\a.hc", "two words", "My Data", false, false, 'X'),
            "/q /s /v \"C:\\My Vol\\a.hc\" /l X /m label=\"My Data\" /p \"two words\"");
}

TEST(MountCommandLine, HostileTextsComeBackUnchanged) {
  const std::vector<std::string> Hostile = {
      "Data\" /k C:\\evil.key /p x",    // tries to close the quote and add switches
      "My Data\" /k \"C:\\evil.key",
      "a\"b",
      "\"",
      "ends with backslash\\",
      "back\\\\\"slashes before quote",
      "trailing\\\\",
      "tab\tinside",
      " leading and trailing ",
      "\\\"\\\\\"",
  };
  for (const std::string& Text : Hostile) {
    SCOPED_TRACE(Text);
    const std::vector<std::string> Args = MountArgs("C:\\" + Text + ".hc", Text, Text);
    const std::vector<std::string> Expected = {
        "C:\\Program Files\\VeraCrypt\\VeraCrypt.exe", "/q", "/s", "/v", "C:\\" + Text + ".hc",
        "/l", "X", "/m", "label=" + Text, "/p", Text};
    EXPECT_EQ(Args, Expected);
  }
}

TEST(MountCommandLine, WipeClearsTheText) {
  std::string Narrow = "a long password that is not kept in the small buffer";
  WipeString(Narrow);
  EXPECT_TRUE(Narrow.empty());
  std::wstring Wide = L"another long password held as UTF-16 for the call";
  WipeString(Wide);
  EXPECT_TRUE(Wide.empty());
}
