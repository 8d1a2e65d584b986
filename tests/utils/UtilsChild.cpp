// Child program for the process tests:
//   exit N          ends with exit code N
//   report FILE     writes "folder|-m given|-nd value" to FILE
// Anything else leaves "unexpected.txt" in its own folder, so a test can tell
// that the wrong program was started.
#include <windows.h>

#include <cstdlib>

#include "Files.h"
#include "Folders.h"
#include "StrUtils.h"
#include "Text.h"

int main() {
  const std::vector<std::string> Args = CommandLineArgs();
  const std::string Mode = Args.size() > 1 ? Args[1] : "";
  if (Mode == "exit") return static_cast<int>(std::strtoul(Args.at(2).c_str(), nullptr, 10));
  if (Mode == "report") {
    wchar_t Dir[MAX_PATH + 1] = {};
    GetCurrentDirectoryW(MAX_PATH, Dir);
    std::string Value;
    const bool Nd = HasParam("-nd", Value);
    const std::string Report = WideToUtf8(Dir) + (HasSwitch("-m") ? "|1|" : "|0|") + (Nd ? "1:" + Value : "0") + "\n";
    return WriteFileBytes(Args.at(2), Report) ? 0 : 1;
  }
  WriteFileBytes(GetProgramFolder() + "unexpected.txt", Mode);
  return 2;
}
