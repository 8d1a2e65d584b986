#include "MountCommandLine.h"

#include "CommandLine.h"

std::string PartitionDevicePath(int32_t Disk, int32_t Partition) {
  return "\\Device\\Harddisk" + std::to_string(Disk) + "\\Partition" + std::to_string(Partition);
}

SecretText MountParameters(const std::string& Path, std::string_view Password, const std::string& Label,
                           bool TrueCryptMode, bool ProgramIsTrueCrypt, char Letter, const TMountOptions& Options) {
  std::string Params = "/q /s /v ";
  AppendArgument(Params, Path);
  Params += " /l ";
  Params += Letter;
  if (TrueCryptMode && !ProgramIsTrueCrypt) Params += " /tc";
  if (!Label.empty()) {
    Params += " /m label=";
    AppendArgument(Params, Label);
  }
  if (Options.ReadOnly) Params += " /m ro";
  if (Options.Removable) Params += " /m rm";
  for (const std::string& Keyfile : Options.Keyfiles) {
    Params += " /k ";
    AppendArgument(Params, Keyfile);
  }
  if (Options.Pim != 0) Params += " /pim " + std::to_string(Options.Pim);
  SecretText Line;
  // Room for the worst case of quoting, so the secret is never moved.
  Line.Reserve(Params.size() + 6 + 2 * Password.size());
  Line.Append(Params);
  Line.Append(" /p ");
  AppendArgument(Line, Password);
  return Line;
}

std::string DismountParameters(char Letter, bool Force) {
  std::string Params = "/q /s /d ";
  Params += Letter;
  if (Force) Params += " /f";
  return Params;
}
