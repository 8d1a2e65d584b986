#pragma once
#include <cstdint>
#include <string>

struct TVolume;

// What volume control asks of the application: it opens no window itself
// and waits for nothing. Tests supply their own answers.
class TVolumeControlHost {
 public:
  virtual ~TVolumeControlHost() = default;

  // Puts a password question to the user and returns at once; the answer
  // comes back through TVolumeControl::PasswordAnswered. One question at a
  // time, of either kind.
  virtual void AskPassword(const std::string& Prompt) = 0;
  // Asks the user yes or no; the answer comes back through
  // TVolumeControl::ForceAnswered.
  virtual void AskForce(const std::string& Question) = 0;
  // The open question has become pointless: close it; no answer comes.
  virtual void CloseQuestion() = 0;
  // A mount (Title "Volume Mounted") or dismount ("Volume Dismounted") of
  // Volume ended. Text is the notice: the volume and its letter, for a
  // failure its cause and what to do, for an unattended dismount why.
  virtual void VolumeResult(const TVolume& Volume, const std::string& Title, bool Success, const std::string& Text) = 0;
  // No input for the idle limit: every volume is about to be dismounted.
  virtual void IdleReached() = 0;
  // Parts of ".tcvinfo.ini" files were skipped: one line a section,
  // "<file> [<section>]: <reason>", or a line "<file>: <reason>" for the
  // file or its rest. Told once per change of each file, not at every
  // refresh.
  virtual void DefinitionsIgnored(const std::string& Text) = 0;
  // A refresh changed the volumes or drives, or (SettingsChanged) the
  // settings file.
  virtual void VolumesChanged(bool SettingsChanged) = 0;
};
