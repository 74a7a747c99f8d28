#include "workbook/atomic_output.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "hostdata/host_error.h"

namespace vatrix {
namespace {

namespace fs = std::filesystem;

class AtomicOutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("vatrix-atomic-" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  size_t Entries() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {}));
  }

  fs::path dir_;
};

TEST_F(AtomicOutputTest, WritesANewFileAndNeverReplacesOne) {
  WriteNewFile(Path("APR2017.csv"), std::string("a,b\r\n\0c", 7));
  EXPECT_EQ(Read(Path("APR2017.csv")), std::string("a,b\r\n\0c", 7));
  try {
    WriteNewFile(Path("APR2017.csv"), "other");
    FAIL() << "an existing file was replaced";
  } catch (const HostError& error) {
    EXPECT_EQ(error.source(), Path("APR2017.csv"));
    EXPECT_NE(error.description().find("exists"), std::string::npos);
  }
  EXPECT_EQ(Read(Path("APR2017.csv")), std::string("a,b\r\n\0c", 7));
  EXPECT_EQ(Entries(), 1u) << "no temporary file left";

  WriteNewFile(Path("empty.csv"), "");
  EXPECT_TRUE(fs::exists(Path("empty.csv")));
  CopyToNewFile(Path("APR2017.csv"), Path("copy.xls"));
  EXPECT_EQ(Read(Path("copy.xls")), Read(Path("APR2017.csv")));
}

TEST_F(AtomicOutputTest, FailuresLeaveNothingBehind) {
  EXPECT_THROW(WriteNewFile(Path("no/such/folder/x.xls"), "x"), HostError);
  EXPECT_THROW(WriteNewFile(Path("folder-only/"), "x"), HostError);
  EXPECT_THROW(WriteNewFile("", "x"), HostError);
  EXPECT_THROW(CopyToNewFile(Path("missing.xls"), Path("out.xls")), HostError);
  fs::create_directory(dir_ / "taken");
  EXPECT_THROW(WriteNewFile(Path("taken"), "x"), HostError);  // a folder of that name
  if (geteuid() != 0) {                                       // permissions do not bind root
    fs::create_directory(dir_ / "locked");
    fs::permissions(dir_ / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_THROW(WriteNewFile(Path("locked/x.xls"), "x"), HostError);
    fs::permissions(dir_ / "locked", fs::perms::owner_all);
    EXPECT_TRUE(fs::is_empty(dir_ / "locked"));
  }
  EXPECT_FALSE(fs::exists(Path("out.xls")));
  EXPECT_TRUE(fs::is_empty(dir_ / "taken"));
}

// The temporary file lies beside the output: anywhere else, naming the finished file would
// fail for an output folder on a file system of its own, as /dev/shm is.
TEST_F(AtomicOutputTest, TheTemporaryFileLiesInTheOutputFolder) {
  EXPECT_EQ(fs::path(TemporaryNameFor(Path("APR2017.csv"))).parent_path(), dir_);
  EXPECT_EQ(fs::path(TemporaryNameFor("APR2017.csv")).parent_path(), ".");
  if (!fs::is_directory("/dev/shm")) GTEST_SKIP() << "no /dev/shm";
  const fs::path shm = fs::path("/dev/shm") / dir_.filename();
  fs::create_directory(shm);
  EXPECT_NO_THROW(WriteNewFile((shm / "APR2017.csv").string(), "a,b\r\n"));
  EXPECT_EQ(Read((shm / "APR2017.csv").string()), "a,b\r\n");
  fs::remove_all(shm);
}

}  // namespace
}  // namespace vatrix
