#pragma once
// The encryption program's mount and dismount parameters. Every argument that
// comes from a definition or from the user is written by the Windows argument
// rule (CommandLine.h).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "SecretText.h"

// "\Device\Harddisk<Disk>\Partition<Partition>".
std::string PartitionDevicePath(int32_t Disk, int32_t Partition);

// How a definition asks the volume to be opened, beyond path and password.
struct TMountOptions {
  bool ReadOnly = false;
  bool Removable = false;
  std::vector<std::string> Keyfiles;  // full paths, in the order given
  int32_t Pim = 0;                    // 0: none
};

// "/q /s /v <Path> /l <Letter>[ /tc][ /m label=<Label>][ /m ro][ /m rm]
// [ /k <Keyfile>]...[ /pim <Pim>][ /p <Password>]": the options in this
// fixed order, so the same definition always gives the same line; " /tc"
// only when TrueCryptMode is asked of a program that is not TrueCrypt; an
// empty password (keyfiles alone open the volume) is passed as /p "", as
// the program cannot ask for one under /q /s.
SecretText MountParameters(const std::string& Path, std::string_view Password, const std::string& Label,
                           bool TrueCryptMode, bool ProgramIsTrueCrypt, char Letter, const TMountOptions& Options = {});

// "/q /s /d <Letter>", with Force " /f": open files are then closed.
std::string DismountParameters(char Letter, bool Force);
