#include "hostdata/file_names.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "hostdata/test_tables.h"

namespace vatrix {
namespace {

TEST(FileNamesTest, FindsRegularFilesWhateverTheirCaseAndChoosesStably) {
  const std::string folder = testing::MakeTempFolder();
  std::filesystem::create_directory(folder + "/master.xls");  // a folder is never a match
  testing::WriteFile(folder + "/Master.XLS", "");
  testing::WriteFile(folder + "/MASTER.xls", "");
  EXPECT_EQ(FindFileIgnoringCase(folder, "master.xls"), folder + "/MASTER.xls");
  EXPECT_EQ(FindFileIgnoringCase(folder + "/", "Master.XLS"), folder + "/Master.XLS");
  EXPECT_EQ(FindFileIgnoringCase(folder, "other.xls"), std::nullopt);
  EXPECT_EQ(FindFileIgnoringCase(folder, "../" + folder.substr(folder.rfind('/') + 1)),
            std::nullopt);
  EXPECT_EQ(FindFileIgnoringCase(folder, ""), std::nullopt);
  EXPECT_EQ(FindFileIgnoringCase(folder + "/missing", "Master.XLS"), std::nullopt);
  EXPECT_EQ(WithSeparator("/a"), "/a/");
  EXPECT_EQ(WithSeparator("/a/"), "/a/");
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace vatrix
