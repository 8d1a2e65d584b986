// The default password carried over to the next start through "1.d".
#include <gtest/gtest.h>

#include "Files.h"
#include "PasswordRecord.h"
#include "TrayAppRun.h"

namespace {

// Mounts with the prompt, exits with a dismount; the file left holds a
// protected record only when the password is saved, the log never.
void MountAndExit(TrayAppRun& App, const std::string& CommonLines, bool Saved) {
  ASSERT_FALSE(App.StartWithMountedVolume(CommonLines).empty());
  ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, ExitAndDismount));
  ASSERT_EQ(App.WaitForExit(), 0);
  ASSERT_TRUE(App.WaitForMountCount(0));
  EXPECT_EQ(ReadTextFile(App.PasswordFilePath()).size() > NoPasswordFile().size(), Saved);
  const std::string Log = ReadTextFile(App.LogPath());
  EXPECT_TRUE(Has(Log, "Volume Mounted : OK - Data (R:)\r\n")) << Log;
  EXPECT_FALSE(Has(Log, "secret"));
}

}  // namespace

TEST(TrayAppPasswordMemory, RestoredAtTheNextStartOnlyWhenSavedAndNotFromATruncatedFile) {
  TrayAppRun App("e2epwsaved");
  MountAndExit(App, "SavePass=0\r\nRememberPassMin=5\r\n", false);
  EXPECT_FALSE(Has(ReadTextFile(App.PasswordFilePath()), "secret"));
  // Not saved: asked again.
  MountAndExit(App, "SavePass=1\r\nRememberPassMin=5\r\n", true);
  ASSERT_TRUE(App.Start());
  EXPECT_TRUE(App.WaitForMountCount(1));
  EXPECT_EQ(App.WaitForWindow("InputBox", 300), nullptr);

  ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, ExitAndDismount));
  ASSERT_EQ(App.WaitForExit(), 0);
  ASSERT_TRUE(App.WaitForMountCount(0));
  const std::string Saved = ReadTextFile(App.PasswordFilePath());
  WriteFileBytes(App.PasswordFilePath(), Saved.substr(0, Saved.size() - 1));
  ASSERT_TRUE(App.Start());
  ASSERT_TRUE(App.AnswerPrompt("Default Password:", "secret"));
  EXPECT_TRUE(App.WaitForMountCount(1));
}
