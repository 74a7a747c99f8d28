#include "bench/bench_sample.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "hostdata/test_tables.h"

namespace vatrix::bench {
namespace {

namespace fs = std::filesystem;

TEST(BenchSampleTest, GeneratesOnlyIntoItsOwnOrAGeneratedFolder) {
  const std::string root = testing::MakeTempFolder();
  // Real data without the company: refused, left as it was.
  std::ofstream(root + "/Company.dbf") << "real";
  EXPECT_FALSE(PrepareSample(root, "1234", SampleOptions()));
  EXPECT_EQ(fs::file_size(root + "/Company.dbf"), 4u);
  EXPECT_FALSE(fs::exists(root + "/1234"));
  // A folder whose parent is missing is not created.
  EXPECT_FALSE(PrepareSample(root + "/missing/deep", "007", SampleOptions()));
  EXPECT_FALSE(fs::exists(root + "/missing"));
  // A new folder is generated and marked, so it may be generated into again.
  EXPECT_TRUE(PrepareSample(root + "/new", "007", SampleOptions()));
  EXPECT_TRUE(fs::exists(root + "/new/007"));
  EXPECT_TRUE(IsGeneratedSample(root + "/new"));
  fs::remove_all(root);
}

}  // namespace
}  // namespace vatrix::bench
