// The folders that volumes are mounted in: named at once (Windows XP and later) or
// found by walking down from the letters (Windows 2000), the same either way.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "unit/drive_info_fixture.h"

namespace brindlecap {
namespace {

using testing::DriveInfoTest;
namespace k = win32_constant;

TEST_F(DriveInfoTest, MountedFoldersComeWithOrWithoutThePathNamesCall) {
  machine.AddDrive('C', k::kDriveFixed);
  machine.AddDrive('D', k::kDriveFixed);
  // A path longer than the first buffer: the call asks again with the length it needs.
  const std::string longFolder = "D:\\" + std::string(1100, 'L') + "\\";
  const std::u16string longWide = u"D:\\" + std::u16string(1100, u'L') + u"\\";
  for (const char* folder : {"C:\\Data\\", "C:\\Data\\Inner\\", "D:\\Mnt\\"}) {
    machine.MountInFolder(folder);
  }
  machine.MountInFolder(longFolder);
  const std::vector<std::u16string> roots = {u"C:\\", u"D:\\"};
  for (const bool windows2000 : {false, true}) {
    SCOPED_TRACE(windows2000 ? "Windows 2000" : "Windows XP");
    machine.noVolumePathNames = windows2000;
    const Answer<std::vector<std::u16string>> found = info.MountedFolders(roots);
    EXPECT_FALSE(found.failure);
    std::vector<std::u16string> folders = found.value;
    std::sort(folders.begin(), folders.end());
    const std::vector<std::u16string> expected = {u"C:\\DATA\\", u"C:\\DATA\\INNER\\", longWide,
                                                  u"D:\\MNT\\"};
    EXPECT_EQ(folders, expected);
    EXPECT_EQ(machine.OpenHandleCount(), 0u) << "every search closed";
  }
}

}  // namespace
}  // namespace brindlecap
