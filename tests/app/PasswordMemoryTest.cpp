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

double LocalNow() { return LocalDateTimeNow(); }

class PasswordMemory : public testing::Test {
 protected:
  void SetUp() override {
    InitUtilsUnit();
    VendorName = "Vaultline";
    ForceDirsEx(UserConfigDir());
  }
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

TEST_F(PasswordMemory, KeepsOnlyAPasswordThatPassesItsChecksAndNeverInTheClear) {
  const struct {
    std::string Password;
    bool Save;
    int32_t Minutes;
    bool Restored;
  } Cases[] = {{"open sesame 42", true, 5, true},      {"open sesame 42", false, 5, false},
               {"open sesame 42", true, -1, false},    {"", true, 5, false},
               {std::string(255, 'x'), true, 5, true}, {std::string(256, 'x'), true, 5, false}};
  for (const auto& C : Cases) {
    SaveRememberedPassword(SecretText(C.Password), C.Save, C.Minutes);
    const std::string Saved = File();
    EXPECT_TRUE(Saved.starts_with(NoPasswordFile()));
    // Not remembered: the magic alone, so not even the length is left.
    EXPECT_EQ(Saved == NoPasswordFile(), !C.Restored) << C.Password.size();
    if (!C.Password.empty()) EXPECT_EQ(Saved.find(C.Password), std::string::npos);
    EXPECT_EQ(Loaded(), C.Restored ? C.Password : std::string()) << C.Password.size() << " " << C.Save;
    EXPECT_EQ(File(), Saved);  // a current file is left as it is
  }
}

TEST_F(PasswordMemory, AnOldFileIsReadOnceAndRewrittenWithoutItsTable) {
  const std::string Old = OldPasswordFile("old secret", LocalNow(), 5);
  Write(Old);
  EXPECT_EQ(Loaded(), "old secret");
  const std::string Rewritten = File();
  EXPECT_TRUE(Rewritten.starts_with(NoPasswordFile()) && Rewritten.size() > NoPasswordFile().size());
  EXPECT_EQ(Rewritten.find(Old.substr(0, 256)), std::string::npos);
  EXPECT_EQ(Loaded(), "old secret");

  // Refused old records are not carried over at all.
  for (const double SavedAt : {0.0, LocalNow() - 1}) {
    Write(OldPasswordFile("old secret", SavedAt, 5));
    EXPECT_EQ(Loaded(), "");
    EXPECT_EQ(File(), NoPasswordFile());
  }
}

TEST_F(PasswordMemory, ARecordProtectedWithAnotherEntropyGivesNothing) {
  const TPasswordRecord Record{SecretText("open sesame 42"), LocalNow(), 5};
  const auto Blob = ProtectForUser(EncodePasswordRecord(Record).view(), "another program");
  ASSERT_TRUE(Blob);
  const auto Plain = UnprotectForUser(*Blob, "another program");
  EXPECT_TRUE(Plain && DecodePasswordRecord(Plain->view())->Password == Record.Password);
  Write(NoPasswordFile() + *Blob);
  EXPECT_EQ(Loaded(), "");
  EXPECT_EQ(File(), NoPasswordFile());
}
