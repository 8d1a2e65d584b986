#include "PasswordMemory.h"

#include <windows.h>

#include <algorithm>

#include "ConfigFiles.h"
#include "DataProtection.h"
#include "FileTimes.h"
#include "Files.h"
#include "PasswordRecord.h"
#include "PathNames.h"
#include "StrUtils.h"

namespace {

// Binds the protected record to this program as well as to the user.
constexpr std::string_view Entropy = "trayvm remembered password 1.d";

std::optional<std::string> Protect(std::string_view Plain) { return ProtectForUser(Plain, Entropy); }

TWriteOutcome WritePasswordFile(const std::string& Content) {
  if (!ForceDirsEx(ExtractDir(PasswordFileName()))) return TWriteOutcome::Failed;
  return WriteFileSafely(PasswordFileName(), Content);
}

}  // namespace

std::string PasswordFileName() { return UserConfigDir() + "1.d"; }

TWriteOutcome SaveRememberedPassword(const SecretText& Password, bool SavePass, int32_t Minutes) {
  TPasswordRecord Record;
  Record.Password = Password.Clone();
  Record.SavedAt = LocalNow();
  Record.Minutes = Minutes;
  return WritePasswordFile(BuildPasswordFile(Record, SavePass, Protect));
}

TWriteOutcome LoadRememberedPassword(SecretText& Password) {
  std::string File;
  if (!ReadFileBytes(PasswordFileName(), File)) return TWriteOutcome::Swapped;
  TPasswordFileRead Found =
      ReadPasswordFile(std::string_view(File).substr(0, std::min(File.size(), PasswordFileReadLimit)), LocalNow(),
                       [](std::string_view Blob) { return UnprotectForUser(Blob, Entropy); });
  // An old file is as good as plain text.
  WipeString(File);
  TWriteOutcome Outcome = TWriteOutcome::Swapped;
  if (Found.Rewrite) {
    OverwriteFileInPlace(PasswordFileName());
    Outcome = WritePasswordFile(Found.Accepted ? BuildPasswordFile(*Found.Accepted, true, Protect) : NoPasswordFile());
  }
  if (Found.Accepted) Password = std::move(Found.Accepted->Password);
  return Outcome;
}
