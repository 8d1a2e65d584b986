// The default password carried over to the next start through "1.d".
#include <gtest/gtest.h>

#include "Files.h"
#include "TrayAppRun.h"

namespace {

// Mounts with the prompt, exits with a dismount; the file left is 586 to 785 bytes.
void MountAndExit(TrayAppRun& App, const std::string& CommonLines) {
  ASSERT_FALSE(App.StartWithMountedVolume(CommonLines).empty());
  ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, ExitAndDismount));
  ASSERT_EQ(App.WaitForExit(), 0);
  ASSERT_TRUE(App.WaitForMountCount(0));
  const std::size_t Size = ReadTextFile(App.PasswordFilePath()).size();
  EXPECT_TRUE(Size >= 586 && Size <= 785) << Size;
}

}  // namespace

TEST(TrayAppPasswordMemory, RestoredAtTheNextStartWhenSavedButNotFromATruncatedFile) {
  TrayAppRun App("e2epwsaved");
  MountAndExit(App, "SavePass=1\r\nRememberPassMin=5\r\n");
  ASSERT_TRUE(App.Start());
  EXPECT_TRUE(App.WaitForMountCount(1));
  EXPECT_EQ(App.WaitForWindow("InputBox", 300), nullptr);

  ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, ExitAndDismount));
  ASSERT_EQ(App.WaitForExit(), 0);
  ASSERT_TRUE(App.WaitForMountCount(0));
  WriteFileBytes(App.PasswordFilePath(), ReadTextFile(App.PasswordFilePath()).substr(0, 535));
  ASSERT_TRUE(App.Start());
  ASSERT_TRUE(App.AnswerPrompt("Default Password:", "secret"));
  EXPECT_TRUE(App.WaitForMountCount(1));
}

TEST(TrayAppPasswordMemory, AskedAgainWhenNotSaved) {
  TrayAppRun App("e2epwunsaved");
  MountAndExit(App, "SavePass=0\r\nRememberPassMin=5\r\n");
  EXPECT_FALSE(Has(ReadTextFile(App.PasswordFilePath()), "secret"));
  ASSERT_TRUE(App.Start());
  EXPECT_TRUE(App.AnswerPrompt("Default Password:", "secret"));
}
