#pragma once
// The encryption program's mount and dismount parameters. Every argument that
// comes from a definition or from the user is written with the standard
// Windows quoting rules, so the program's argument parser (CommandLineToArgvW)
// gets back exactly the text that was meant, whatever quotes or blanks it holds.
#include <cstdint>
#include <string>
#include <string_view>

// Appends Arg to Out as one command-line argument: unchanged when it has no
// blank, tab or double quote (and is not empty); otherwise in double quotes
// with each embedded quote escaped and the backslashes before a quote (or
// before the closing quote) doubled.
void AppendArgument(std::string& Out, std::string_view Arg);

// "\Device\Harddisk<Disk>\Partition<Partition>".
std::string PartitionDevicePath(int32_t Disk, int32_t Partition);

// "/q /s /v <Path> /l <Letter>[ /tc][ /m label=<Label>] /p <Password>";
// " /tc" only when TrueCryptMode is asked of a program that is not TrueCrypt.
// The result holds the password: wipe it with WipeString when done.
std::string MountParameters(const std::string& Path, std::string_view Password,
                            const std::string& Label, bool TrueCryptMode,
                            bool ProgramIsTrueCrypt, char Letter);

// "/q /s /d <Letter> /f".
std::string DismountParameters(char Letter);

