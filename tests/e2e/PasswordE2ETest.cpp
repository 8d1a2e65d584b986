// The default password carried over to the next start through "1.d".
#include <gtest/gtest.h>

#include "TrayAppRun.h"

namespace {

const std::vector<int> ExitAndDismount = {-2};

// Mounts with the prompt, exits with a dismount, and starts again.
void FirstRunThenRestart(TrayAppRun& App, const std::string& CommonLines) {
  ASSERT_FALSE(App.StartWithMountedVolume(CommonLines).empty());
  ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, ExitAndDismount));
  ASSERT_EQ(App.WaitForExit(), 0);
  ASSERT_TRUE(App.WaitForMountCount(0));
  const std::size_t Size = ReadTextFile(App.PasswordFilePath()).size();
  EXPECT_GE(Size, 586u);
  EXPECT_LE(Size, 785u);
}

}  // namespace

TEST(TrayAppPasswordMemory, RestoredAtTheNextStartWhenSaved) {
  TrayAppRun App("e2epwsaved");
  FirstRunThenRestart(App, "SavePass=1\r\nRememberPassMin=5\r\n");
  ASSERT_TRUE(App.Start());
  EXPECT_TRUE(App.WaitForMountCount(1));
  EXPECT_EQ(App.WaitForInputBox(300), nullptr);
}

TEST(TrayAppPasswordMemory, AskedAgainWhenNotSaved) {
  TrayAppRun App("e2epwunsaved");
  FirstRunThenRestart(App, "SavePass=0\r\nRememberPassMin=5\r\n");
  const std::string File = ReadTextFile(App.PasswordFilePath());
  EXPECT_EQ(File.find("secret"), std::string::npos);
  ASSERT_TRUE(App.Start());
  HWND Box = App.WaitForInputBox();
  ASSERT_NE(Box, nullptr);
  EXPECT_EQ(App.InputBoxPrompt(Box), "Default Password:");
}

TEST(TrayAppPasswordMemory, TruncatedFileRestoresNothing) {
  TrayAppRun App("e2epwbroken");
  FirstRunThenRestart(App, "SavePass=1\r\nRememberPassMin=5\r\n");
  WriteTextFile(ReadTextFile(App.PasswordFilePath()).substr(0, 535), App.PasswordFilePath());
  ASSERT_TRUE(App.Start());
  HWND Box = App.WaitForInputBox();
  ASSERT_NE(Box, nullptr);
  App.AnswerInputBox(Box, "secret");
  EXPECT_TRUE(App.WaitForMountCount(1));
}
