#include "MountCommandLine.h"

namespace {

bool NeedsQuotes(std::string_view Arg) {
  if (Arg.empty()) return true;
  return Arg.find_first_of(" \t\n\v\"") != std::string_view::npos;
}

void Write(std::string& Out, std::string_view Part) { Out.append(Part); }
void Write(SecretText& Out, std::string_view Part) { Out.Append(Part); }

}  // namespace

template <class Text>
void AppendArgument(Text& Out, std::string_view Arg) {
  auto Put = [&Out](char C, std::size_t Count) {
    for (; Count > 0; --Count) Write(Out, std::string_view(&C, 1));
  };
  if (!NeedsQuotes(Arg)) {
    Write(Out, Arg);
    return;
  }
  Put('"', 1);
  size_t Backslashes = 0;
  for (char C : Arg) {
    if (C == '\\') {
      ++Backslashes;
      continue;
    }
    // Backslashes are literal unless a quote follows them.
    Put('\\', C == '"' ? Backslashes * 2 + 1 : Backslashes);
    Backslashes = 0;
    Put(C, 1);
  }
  Put('\\', Backslashes * 2);
  Put('"', 1);
}

template void AppendArgument(std::string& Out, std::string_view Arg);
template void AppendArgument(SecretText& Out, std::string_view Arg);

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
