// The link decision on a fake file system: Wine 8 creates no symbolic links,
// junctions or mount points (CreateSymbolicLinkW makes nothing), so what the
// walk does on a stick that has them is decided here.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "DrivePathWalk.h"

namespace {

constexpr uint32_t File = 0x20, Folder = PathIsFolder, Link = PathIsReparsePoint;

struct FakeDrive final : TPathProbe {
  uint32_t Attributes(const std::string& Path) const override {
    Asked.push_back(Path);
    const auto Found = Entries.find(Path);
    return Found == Entries.end() ? PathMissing : Found->second;
  }
  std::map<std::string, uint32_t> Entries{{"E:\\d", Folder | Link},     {"E:\\v", Folder},
                                          {"E:\\v\\a.hc", File},        {"E:\\v\\j", Folder | Link},
                                          {"E:\\v\\l.hc", File | Link}, {"E:\\f.hc", File}};
  mutable std::vector<std::string> Asked;
};

}  // namespace

TEST(DrivePathWalk, OnlyAFileReachedWithoutALinkIsFound) {
  FakeDrive Drive;
  EXPECT_EQ(WalkDrivePath("E:\\v\\a.hc", Drive), TDrivePath::File);
  EXPECT_EQ(Drive.Asked, (std::vector<std::string>{"E:\\v", "E:\\v\\a.hc"}));
  Drive.Asked.clear();
  // The link is the last thing asked: nothing behind it is.
  EXPECT_EQ(WalkDrivePath("E:\\d\\share\\a.hc", Drive), TDrivePath::CrossesLink);
  EXPECT_EQ(Drive.Asked, std::vector<std::string>{"E:\\d"});
  for (const char* Path : {"E:\\v\\j\\a.hc", "E:\\v\\l.hc", "E:\\d\\..\\f.hc"})
    EXPECT_EQ(WalkDrivePath(Path, Drive), TDrivePath::CrossesLink) << Path;
  for (const char* Path : {"E:\\v", "E:\\v\\", "E:\\none\\a.hc", "E:\\f.hc\\a.hc", "E:\\", "E:"})
    EXPECT_EQ(WalkDrivePath(Path, Drive), TDrivePath::Missing) << Path;
}
