#include "MountCommandLine.h"

namespace {

bool NeedsQuotes(std::string_view Arg) {
  if (Arg.empty()) return true;
  return Arg.find_first_of(" \t\n\v\"") != std::string_view::npos;
}

}  // namespace

void AppendArgument(std::string& Out, std::string_view Arg) {
  if (!NeedsQuotes(Arg)) {
    Out += Arg;
    return;
  }
  Out += '"';
  size_t Backslashes = 0;
  for (char C : Arg) {
    if (C == '\\') {
      ++Backslashes;
      continue;
    }
    // Backslashes are literal unless a quote follows them.
    Out.append(C == '"' ? Backslashes * 2 + 1 : Backslashes, '\\');
    Backslashes = 0;
    Out += C;
  }
  Out.append(Backslashes * 2, '\\');
  Out += '"';
}

std::string PartitionDevicePath(int32_t Disk, int32_t Partition) {
  return "\\Device\\Harddisk" + std::to_string(Disk) + "\\Partition" + std::to_string(Partition);
}

std::string MountParameters(const std::string& Path, std::string_view Password, const std::string& Label,
                            bool TrueCryptMode, bool ProgramIsTrueCrypt, char Letter, const TMountOptions& Options) {
  std::string Params;
  // Room for the worst case of quoting, so the text holding the password is
  // never reallocated (which would leave a copy behind in freed memory).
  std::size_t Room = 96 + 2 * (Path.size() + Label.size() + Password.size());
  for (const std::string& Keyfile : Options.Keyfiles) Room += 8 + 2 * Keyfile.size();
  Params.reserve(Room);
  Params += "/q /s /v ";
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
  if (Password.empty()) return Params;
  Params += " /p ";
  AppendArgument(Params, Password);
  return Params;
}

std::string DismountParameters(char Letter) {
  std::string Params = "/q /s /d ";
  Params += Letter;
  Params += " /f";
  return Params;
}
