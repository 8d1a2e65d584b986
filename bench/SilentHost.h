// The application's side for the benchmarks: it leaves every question
// unanswered and ignores every report.
#pragma once

#include "VolumeControlHost.h"

struct TSilentHost : TVolumeControlHost {
  void AskPassword(const std::string&) override {}
  void AskForce(const std::string&) override {}
  void CloseQuestion() override {}
  void VolumeResult(const TVolume&, const std::string&, bool, const std::string&) override {}
  void IdleReached() override {}
  void DefinitionsIgnored(const std::string&) override {}
  void VolumesChanged(bool) override {}
};
