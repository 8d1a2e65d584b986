// The application's side for the benchmarks: it declines every question and
// ignores every report.
#pragma once

#include "VolumeControlHost.h"

struct TSilentHost : TVolumeControlHost {
  bool AskPassword(const std::string&, SecretText&) override { return false; }
  bool LocateCryptProgram(const std::string&, uint32_t, std::string&) override { return false; }
  void VolumeResult(const TTCVolume&, const std::string&, bool, const std::string&) override {}
  void DefinitionsIgnored(const std::string&) override {}
  void VolumesChanged(bool) override {}
};
