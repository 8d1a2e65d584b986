// Mount and dismount parameters; hostile texts survive CommandLineToArgvW under Wine.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "MountCommandLine.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

// Options come between the label and the password in one fixed order; an
// empty password (keyfiles alone) is passed as /p "".
TEST(MountCommandLine, ExactParameters) {
  EXPECT_EQ(MountParameters("C:\\Vol\\a.hc", "secret", "Data", false, false, 'X'),
            "/q /s /v C:\\Vol\\a.hc /l X /m label=Data /p secret");
  EXPECT_EQ(MountParameters(PartitionDevicePath(1, 2), "a\\b\\", "", false, false, 'T'),
            "/q /s /v \\Device\\Harddisk1\\Partition2 /l T /p a\\b\\");
  EXPECT_EQ(DismountParameters('T', true), "/q /s /d T /f");
  EXPECT_EQ(DismountParameters('T', false), "/q /s /d T");
  EXPECT_EQ(MountParameters("C:\\a.tc", "pw", "", true, false, 'X'), "/q /s /v C:\\a.tc /l X /tc /p pw");
  EXPECT_EQ(MountParameters("C:\\a.tc", "pw", "", true, true, 'X'), "/q /s /v C:\\a.tc /l X /p pw");
  EXPECT_EQ(MountParameters("E:\\a.hc", "pw", "Backup", false, false, 'X',
                            {true, true, {"E:\\keys\\a.key", "E:\\my keys\\b.key"}, 500}),
            "/q /s /v E:\\a.hc /l X /m label=Backup /m ro /m rm /k E:\\keys\\a.key /k \"E:\\my keys\\b.key\" "
            "/pim 500 /p pw");
  EXPECT_EQ(MountParameters("E:\\a.hc", "", "", true, false, 'X', {false, false, {"E:\\k"}, 0}),
            "/q /s /v E:\\a.hc /l X /tc /k E:\\k /p \"\"");
}

#ifdef _WIN32
TEST(MountCommandLine, HostileTextsComeBackUnchanged) {
  for (const std::string Text :
       {"Data\" /k C:\\evil.key /p x", "My Data\" /k \"C:\\evil.key", "a\"b", "\"", "ends with backslash\\",
        "back\\\\\"slashes before quote", "trailing\\\\", "tab\tinside", " leading and trailing ", "\\\"\\\\\""}) {
    SCOPED_TRACE(Text);
    const std::string Line = "\"C:\\Program Files\\VeraCrypt\\VeraCrypt.exe\" " +
                             std::string(MountParameters("C:\\" + Text + ".hc", Text, Text, false, false, 'X',
                                                         {false, false, {Text, "C:\\" + Text}, 0})
                                             .view());
    int Count = 0;
    LPWSTR* Args = CommandLineToArgvW(std::wstring(Line.begin(), Line.end()).c_str(), &Count);
    std::vector<std::string> Parsed;
    for (int I = 0; I < Count; ++I) Parsed.emplace_back(Args[I], Args[I] + wcslen(Args[I]));  // ASCII only
    LocalFree(Args);
    EXPECT_EQ(Parsed, (std::vector<std::string>{"C:\\Program Files\\VeraCrypt\\VeraCrypt.exe", "/q", "/s", "/v",
                                                "C:\\" + Text + ".hc", "/l", "X", "/m", "label=" + Text, "/k", Text,
                                                "/k", "C:\\" + Text, "/p", Text}));
  }
}
#endif
