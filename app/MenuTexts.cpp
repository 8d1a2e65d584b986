#include "MenuTexts.h"

#include "Version.h"

std::string NewVolumeConfigText() {
  std::string Text =
      "[Label],Letter=N,;Partition=5,;Disk=0,;File=\\path\\to\\some.file,;auto=1,;DefaultPass=0"
      ",;Keyfiles=\\keys\\a.key;\\keys\\b.key,;PIM=500,;ReadOnly=1,;Removable=1,;NoPassword=1";
  std::string Result;
  for (char C : Text) {
    if (C == ',')
      Result += "\r\n";
    else
      Result += C;
  }
  return Result;
}

std::string VolumeItemCaption(const std::string& Label, char Letter) {
  return Label + " (" + std::string(1, Letter) + ":)";
}

std::string SavePasswordCaption(int32_t Minutes) { return "Save Default Password (" + std::to_string(Minutes) + ")"; }

std::string MountedTip(const std::string& Title, const std::vector<std::string>& MountedCaptions) {
  if (MountedCaptions.empty()) return Title;
  std::string Tip = "Mount: ";
  for (const std::string& Caption : MountedCaptions)
    Tip += (&Caption == &MountedCaptions.front() ? "" : ", ") + Caption;
  return Tip;
}

std::string VolumeResultTitle(const std::string& Text, bool Ok) { return Text + (Ok ? " : OK" : " : Error"); }

std::string AboutText(const std::string& Title, const std::string& Settings, const std::string& Log,
                      const std::string& UserDefinitions) {
  return Title +
         " " TRAYVM_VERSION
         "\nMounts VeraCrypt and TrueCrypt volumes from the tray.\n\n"
         "MIT License. Copyright (c) 2026 the Tray Volume Mounter authors.\n\n"
         "Settings: " +
         Settings + "\nLog: " + Log +
         "\nVolume definitions: .tcvinfo.ini on the root of each fixed and removable drive, and " + UserDefinitions;
}
