// The remembered password through the real file and the data-protection API
// of the Wine session.
#include <gtest/gtest.h>

#include <windows.h>

#include "ConfigFiles.h"
#include "DataProtection.h"
#include "FileTimes.h"
#include "Files.h"
#include "Folders.h"
#include "PasswordFiles.h"
#include "PasswordMemory.h"
#include "PasswordRecord.h"
#include "TestSupport.h"
#include "UnitStartup.h"

namespace {

class PasswordMemory : public testing::Test {
 protected:
  void SetUp() override { InitUtilsUnit(), VendorName = "Vaultline", ForceDirsEx(UserConfigDir()); }
  void TearDown() override { FileDelete(PasswordFileName()); }

  // The password as the next start finds it.
  static std::string Loaded() {
    SecretText Password;
    LoadRememberedPassword(Password);
    return std::string(Password.view());
  }
  static void Write(const std::string& Content) { ASSERT_TRUE(WriteFileBytes(PasswordFileName(), Content)); }
  static std::string File() { return ReadTextFile(PasswordFileName()); }
};

}  // namespace

// An old file is read once and rewritten protected, without its table; a
// current one is left as it is; refused records are not carried over.
TEST_F(PasswordMemory, AnOldFileIsRewrittenProtectedAndARefusedRecordIsDropped) {
  const std::string Old = OldPasswordFile("old secret", DayCount(LocalNow()), 5);
  Write(Old);
  EXPECT_EQ(Loaded(), "old secret");
  const std::string Rewritten = File();
  EXPECT_TRUE(Rewritten.starts_with(NoPasswordFile()) && Rewritten.size() > NoPasswordFile().size());
  EXPECT_TRUE(Rewritten.find(Old.substr(0, 256)) == std::string::npos &&
              Rewritten.find("old secret") == std::string::npos);
  EXPECT_EQ(Loaded(), "old secret");
  EXPECT_EQ(File(), Rewritten);

  // Expired, and protected for another program.
  const TPasswordRecord Record{SecretText("open sesame 42"), LocalNow(), 5};
  const auto Blob = ProtectForUser(EncodePasswordRecord(Record).view(), "another program");
  ASSERT_TRUE(Blob && UnprotectForUser(*Blob, "another program"));
  for (const std::string& Refused :
       {OldPasswordFile("old secret", DayCount(LocalNow()) - 1, 5), NoPasswordFile() + *Blob}) {
    Write(Refused);
    EXPECT_EQ(Loaded(), "");
    EXPECT_EQ(File(), NoPasswordFile());
  }
}
