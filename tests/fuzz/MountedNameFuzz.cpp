// Arbitrary volume names: the disk and partition parse never crashes and
// accepts only names that hold both words.
#include "MountedNameRules.h"
#include "StrUtils.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, std::size_t Size) {
  const std::string Name(reinterpret_cast<const char*>(Data), Size);
  int32_t Disk, Partition;
  if (ParseDiskPartitionName(Name, Disk, Partition) &&
      (Name.find("HARDDISK") == std::string::npos || Name.find("PARTITION") == std::string::npos))
    std::abort();
  for (TNumberRule Rule : {TNumberRule::Strict, TNumberRule::Profile}) ParseInt32(Name, Rule);
  return 0;
}
