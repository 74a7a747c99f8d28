#include "hostdata/file_bytes.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace vatrix {
namespace {

class FileBytesTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        std::filesystem::temp_directory_path() / ("file_bytes_test_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = (folder_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  std::filesystem::path folder_;
};

TEST_F(FileBytesTest, ReadsEveryByteOfFilesOfAnySize) {
  std::string binary(200000, '\0');
  for (size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(i * 7);
  EXPECT_EQ(ReadFileBytes(Write("binary", binary)), binary);
  EXPECT_EQ(ReadFileBytes(Write("empty", "")), "");
  const std::string with_nul("a\0b\r\n", 5);
  EXPECT_EQ(ReadFileBytes(Write("short", with_nul)), with_nul);
}

TEST_F(FileBytesTest, WhatIsNoReadableFileGivesNothing) {
  EXPECT_EQ(ReadFileBytes((folder_ / "missing").string()), std::nullopt);
  EXPECT_EQ(ReadFileBytes(folder_.string()), std::nullopt);
  EXPECT_EQ(ReadFileBytes(""), std::nullopt);
}

}  // namespace
}  // namespace vatrix
