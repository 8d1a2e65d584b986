#pragma once
#include <cstdint>
#include <string>

#include "SecretText.h"

struct TTCVolume;

// What volume control asks of the application: it opens no window itself.
// Tests supply their own answers.
class TVolumeControlHost {
 public:
  virtual ~TVolumeControlHost() = default;

  // Asks the user for a password; false when the user declined.
  virtual bool AskPassword(const std::string& Prompt, SecretText& Password) = 0;
  // Asks the user for the encryption program, starting in InitialDir with
  // the file filter FilterIndex (1 VeraCrypt, 2 TrueCrypt, 3 any program);
  // false when the user declined.
  virtual bool LocateCryptProgram(const std::string& InitialDir, uint32_t FilterIndex, std::string& Path) = 0;
  // A mount (Text "Volume Mounted") or dismount ("Volume Dismounted") of
  // Volume ended. Cause is empty, or says why it happened when the user did
  // not ask for it (DriveRemovedCause).
  virtual void VolumeResult(const TTCVolume& Volume, const std::string& Text, bool Success,
                            const std::string& Cause) = 0;
  // Sections of ".tcvinfo.ini" files were skipped for invalid values: one
  // line a section, "<file> [<section>]: <reason>". Told once per change of
  // each file, not at every refresh.
  virtual void DefinitionsIgnored(const std::string& Text) = 0;
  // A refresh changed the volumes or drives, or (SettingsChanged) the
  // settings file.
  virtual void VolumesChanged(bool SettingsChanged) = 0;
};
