#pragma once
#include <cstdint>
#include <string>

struct TTCVolume;

// What volume control asks of the application: it opens no window itself
// and waits for nothing. Tests supply their own answers.
class TVolumeControlHost {
 public:
  virtual ~TVolumeControlHost() = default;

  // Puts a password question to the user and returns at once; the answer
  // comes back through TVolumeControl::PasswordAnswered. One at a time.
  virtual void AskPassword(const std::string& Prompt) = 0;
  // The open question has become pointless: close it; no answer comes.
  virtual void CloseQuestion() = 0;
  // A mount (Text "Volume Mounted") or dismount ("Volume Dismounted") of
  // Volume ended. Cause is empty, or says why it happened when the user did
  // not ask for it (DriveRemovedCause).
  virtual void VolumeResult(const TTCVolume& Volume, const std::string& Text, bool Success,
                            const std::string& Cause) = 0;
  // No input for the idle limit: every volume is about to be dismounted.
  virtual void IdleReached() = 0;
  // Sections of ".tcvinfo.ini" files were skipped for invalid values: one
  // line a section, "<file> [<section>]: <reason>". Told once per change of
  // each file, not at every refresh.
  virtual void DefinitionsIgnored(const std::string& Text) = 0;
  // A refresh changed the volumes or drives, or (SettingsChanged) the
  // settings file.
  virtual void VolumesChanged(bool SettingsChanged) = 0;
};
