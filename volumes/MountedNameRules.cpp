#include "MountedNameRules.h"

#include <optional>
#include <string_view>

#include "StrUtils.h"

std::string StripNtPathPrefix(const std::string& Name) { return StartsWith("\\??\\", Name) ? Name.substr(4) : Name; }

namespace {

// What follows the first (or last) Word; empty when Word does not occur.
std::string_view After(std::string_view Name, std::string_view Word, bool Last) {
  const std::size_t At = Last ? Name.rfind(Word) : Name.find(Word);
  return At == std::string_view::npos ? std::string_view() : Name.substr(At + Word.size());
}

}  // namespace

bool ParseDiskPartitionName(const std::string& Name, int32_t& Disk, int32_t& Partition) {
  const std::string_view DiskText = After(Name, "HARDDISK", false);
  const std::optional<int32_t> DiskNumber =
      ParseInt32(Trim(DiskText.substr(0, DiskText.find('\\'))), TNumberRule::Strict);
  const std::optional<int32_t> PartitionNumber = ParseInt32(Trim(After(Name, "PARTITION", true)), TNumberRule::Strict);
  if (!DiskNumber || !PartitionNumber) return false;
  Disk = *DiskNumber;
  Partition = *PartitionNumber;
  return true;
}
