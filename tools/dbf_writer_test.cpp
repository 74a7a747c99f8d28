#include "tools/dbf_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace vatrix::dbf {
namespace {

namespace fs = std::filesystem;

class DbfWriterTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("vatrix_dbf_writer_test_" + std::to_string(getpid()));
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  // The message of the failure to add `cells` to a fresh table of columns NAME C4 and AMT N5.2.
  std::string FailureOf(const std::vector<Cell>& cells) {
    Writer writer(folder_, "T.DBF", {{"NAME", 'C', 4, 0}, {"AMT", 'N', 5, 2}}, CodePage::kNone);
    try {
      writer.Add(cells);
    } catch (const std::runtime_error& error) {
      return error.what();
    }
    return "(no error)";
  }

  fs::path folder_;
};

TEST_F(DbfWriterTest, RefusesValuesThatDoNotFitNamingTableAndField) {
  const std::string table = (folder_ / "T.DBF").string() + ": ";
  EXPECT_EQ(FailureOf({Text("Düse"), Number(99.99)}), "(no error)");  // four bytes in cp1252
  EXPECT_EQ(FailureOf({Text("abcde"), Number(1)}),
            table + "value \"abcde\" is longer than field NAME");
  EXPECT_EQ(FailureOf({Text("a→b"), Number(1)}), table + "value \"a→b\" has no cp1252 form");
  EXPECT_EQ(FailureOf({Text("a\xC3"), Number(1)}), table + "value \"a\xC3\" has no cp1252 form");
  EXPECT_EQ(FailureOf({Text("a"), Number(1000)}), table + "cannot write field AMT of record 0");
  EXPECT_EQ(FailureOf({Text("a")}), table + "record with a wrong number of values");
}

TEST_F(DbfWriterTest, FinishGivesTheFileItsSpellingAndOneEndMark) {
  Writer writer(folder_, "t.DBF", {{"NAME", 'C', 4, 0}}, CodePage::kWindowsAnsi);
  writer.Add({Text("a")});
  writer.Finish();
  EXPECT_FALSE(fs::exists(folder_ / "t.dbf"));
  // Header of 32 bytes, one field descriptor of 32, the terminator, one record of 1 + 4 bytes.
  EXPECT_EQ(fs::file_size(folder_ / "t.DBF"), 32u + 32u + 1u + 5u + 1u);
}

}  // namespace
}  // namespace vatrix::dbf
