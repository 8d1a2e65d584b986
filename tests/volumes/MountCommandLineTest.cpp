// The mount and dismount parameters; under Wine, that hostile labels,
// passwords and paths come back from CommandLineToArgvW exactly as they went in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MountCommandLine.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

TEST(MountCommandLine, ExactParameters) {
  EXPECT_EQ(MountParameters("C:\\Vol\\a.hc", "secret", "Data", false, false, 'X'),
            "/q /s /v C:\\Vol\\a.hc /l X /m label=Data /p secret");
  EXPECT_EQ(MountParameters(PartitionDevicePath(1, 2), "pw", "Data", false, false, 'T'),
            "/q /s /v \\Device\\Harddisk1\\Partition2 /l T /m label=Data /p pw");
  // Backslashes without a quote after them are not doubled.
  EXPECT_EQ(MountParameters("\\\\srv\\share\\v.hc", "a\\b\\", "", false, false, 'Y'),
            "/q /s /v \\\\srv\\share\\v.hc /l Y /p a\\b\\");
  EXPECT_EQ(DismountParameters('T'), "/q /s /d T /f");
  // The TrueCrypt switch only for VeraCrypt.
  EXPECT_EQ(MountParameters("C:\\a.tc", "pw", "", true, false, 'X'), "/q /s /v C:\\a.tc /l X /tc /p pw");
  EXPECT_EQ(MountParameters("C:\\a.tc", "pw", "", true, true, 'X'), "/q /s /v C:\\a.tc /l X /p pw");
  // Blanks and quotes are quoted and escaped.
  EXPECT_EQ(MountParameters("C:\\My Vol\\a.hc", "pa ss\"wo\\\"rd\\", "Data\" /k C:\\evil.key", false, false, 'X'),
            "/q /s /v \"C:\\My Vol\\a.hc\" /l X /m label=\"Data\\\" /k C:\\evil.key\" /p \"pa ss\\\"wo\\\\\\\"rd\\\\\"");
}

#ifdef _WIN32
TEST(MountCommandLine, HostileTextsComeBackUnchanged) {
  for (const std::string Text : {"Data\" /k C:\\evil.key /p x", "My Data\" /k \"C:\\evil.key", "a\"b", "\"",
                                 "ends with backslash\\", "back\\\\\"slashes before quote", "trailing\\\\",
                                 "tab\tinside", " leading and trailing ", "\\\"\\\\\""}) {
    SCOPED_TRACE(Text);
    const std::string Line = "\"C:\\Program Files\\VeraCrypt\\VeraCrypt.exe\" " +
                             MountParameters("C:\\" + Text + ".hc", Text, Text, false, false, 'X');
    int Count = 0;
    LPWSTR* Args = CommandLineToArgvW(std::wstring(Line.begin(), Line.end()).c_str(), &Count);
    std::vector<std::string> Parsed;
    for (int I = 0; I < Count; ++I) Parsed.emplace_back(Args[I], Args[I] + wcslen(Args[I]));  // ASCII only
    LocalFree(Args);
    EXPECT_EQ(Parsed, (std::vector<std::string>{"C:\\Program Files\\VeraCrypt\\VeraCrypt.exe", "/q", "/s", "/v",
                                                "C:\\" + Text + ".hc", "/l", "X", "/m", "label=" + Text, "/p",
                                                Text}));
  }
}
#endif
