#include "hostdata/dbf_reader.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "hostdata/host_error.h"
#include "hostdata/test_tables.h"

namespace vatrix {
namespace {

using testing::DbfBytes;
using testing::TestTable;

class DbfReaderTest : public ::testing::Test {
 protected:
  void SetUp() override { folder_ = testing::MakeTempFolder(); }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = folder_ + "/" + name;
    testing::WriteFile(path, bytes);
    return path;
  }

  std::vector<std::vector<Value>> ReadAll(const std::string& path) {
    DbfReader reader(path);
    std::vector<std::vector<Value>> rows;
    std::vector<Value> row;
    while (reader.ReadRow(&row)) rows.push_back(row);
    return rows;
  }

  // Expects reading `path` to fail with `number`, the message naming the file and `detail`.
  void ExpectFailure(const std::string& path, long number, const std::string& detail) {
    try {
      ReadAll(path);
      FAIL() << "reading " << path << " did not fail";
    } catch (const HostError& error) {
      EXPECT_EQ(error.number(), number);
      EXPECT_NE(error.source().find(path), std::string::npos) << error.source();
      EXPECT_NE(error.description().find(detail), std::string::npos) << error.description();
    }
  }

  std::string folder_;
};

TestTable Bills() {
  TestTable table;
  table.fields = {{"DOCNO", 'C', 8}, {"AMT", 'N', 10, 2}, {"DATE", 'D', 8}, {"PAID", 'L', 1}};
  table.rows = {{"  A1", "125.50", "20160229", "T"},
                {"", "", "", "?"},
                {std::string("B2\0\0", 4), "-3", "00000000", "f"},
                {"DEL", "999", "20150401", "T"},
                {"C3", "**********", "        ", " "}};
  table.deleted = {3};
  return table;
}

TEST_F(DbfReaderTest, ReadsEachFieldTypeAndSkipsDeletedRecords) {
  const auto rows = ReadAll(Write("BILLS.DBF", DbfBytes(Bills())));
  ASSERT_EQ(rows.size(), 4u);
  // Character values keep leading blanks, lose trailing ones; a blank one is null.
  EXPECT_EQ(rows[0][0], Value::Text("  A1"));
  EXPECT_EQ(rows[0][1], Value::Number(125.5));
  EXPECT_EQ(rows[0][2], Value::FromDate({2016, 2, 29}));
  EXPECT_EQ(rows[0][3], Value::Bool(true));
  for (const Value& value : rows[1]) EXPECT_TRUE(value.is_null());
  EXPECT_EQ(rows[2][0], Value::Text("B2"));  // NUL bytes pad a text as blanks do
  EXPECT_EQ(rows[2][1], Value::Number(-3));
  EXPECT_TRUE(rows[2][2].is_null());  // all-zero date
  EXPECT_EQ(rows[2][3], Value::Bool(false));
  EXPECT_EQ(rows[3][0], Value::Text("C3"));  // the deleted "DEL" row is not there
  EXPECT_TRUE(rows[3][1].is_null());         // asterisks: a null number
  EXPECT_TRUE(rows[3][3].is_null());
}

TEST_F(DbfReaderTest, DecodesTextFromTheFilesCodePage) {
  TestTable table;
  table.fields = {{"NAME", 'C', 12}};
  table.rows = {{"Caf\xE9 & Sam's"}};
  EXPECT_EQ(ReadAll(Write("a.dbf", DbfBytes(table)))[0][0], Value::Text("Café & Sam's"));
  table.language_driver = 0;  // none named: Windows ANSI
  EXPECT_EQ(ReadAll(Write("b.dbf", DbfBytes(table)))[0][0], Value::Text("Café & Sam's"));
  table.language_driver = 0x65;  // Russian DOS, code page 866
  table.rows = {{"\x8F\xE0\xA8\xA2\xA5\xE2"}};
  EXPECT_EQ(ReadAll(Write("c.dbf", DbfBytes(table)))[0][0], Value::Text("Привет"));
  table.language_driver = 0x57;
  table.rows = {{"x\x81y"}};  // a byte Windows ANSI leaves undefined
  EXPECT_EQ(ReadAll(Write("d.dbf", DbfBytes(table)))[0][0], Value::Text("x\xEF\xBF\xBDy"));
}

TEST_F(DbfReaderTest, DamagedFilesFailNamingFileAndPlace) {
  const std::string good = DbfBytes(Bills());
  ExpectFailure(Write("short.dbf", good.substr(0, 20)), kCorruptTable, "too short");
  ExpectFailure(Write("trunc.dbf", good.substr(0, good.size() - 30)), kCorruptTable, "truncated");
  std::string bad_header = good;
  bad_header[8] = 0x10;  // header length 16
  bad_header[9] = 0;
  ExpectFailure(Write("header.dbf", bad_header), kCorruptTable, "header length");
  std::string huge_count = good;
  huge_count[4] = huge_count[5] = huge_count[6] = huge_count[7] = '\xFF';
  ExpectFailure(Write("count.dbf", huge_count), kCorruptTable, "too short for them");
  std::string bad_type = good;
  bad_type[32 + 11] = 'Q';
  ExpectFailure(Write("type.dbf", bad_type), kCorruptTable, "field descriptor 1");

  TestTable table = Bills();
  table.rows[1][1] = "12,50";
  ExpectFailure(Write("number.dbf", DbfBytes(table)), kCorruptTable,
                "record 2, field AMT holds \"     12,50\", which is not a number");
  table = Bills();
  table.rows[2][2] = "20150230";
  ExpectFailure(Write("date.dbf", DbfBytes(table)), kCorruptTable,
                "record 3, field DATE holds \"20150230\", which is not a date");
  table = Bills();
  table.rows[0][3] = "X";
  ExpectFailure(Write("logical.dbf", DbfBytes(table)), kCorruptTable, "not a logical value");
}

TEST_F(DbfReaderTest, MissingOrUnreadableFileIsUnavailable) {
  ExpectFailure(folder_ + "/none.dbf", kTableUnavailable, "cannot be opened");
  const std::string path = Write("locked.dbf", DbfBytes(Bills()));
  std::filesystem::permissions(path, std::filesystem::perms::none);
  if (geteuid() != 0) ExpectFailure(path, kTableUnavailable, "cannot be opened");
}

TEST_F(DbfReaderTest, FindsTableFilesWhateverTheirCase) {
  Write("SP.DBF", "");
  Write("Ledger.dbf", "");
  Write("stock.Dbf", "");
  EXPECT_EQ(FindTableFile(folder_, "sp"), folder_ + "/SP.DBF");
  EXPECT_EQ(FindTableFile(folder_, "LEDGER"), folder_ + "/Ledger.dbf");
  EXPECT_EQ(FindTableFile(folder_, "Stock"), folder_ + "/stock.Dbf");
  EXPECT_EQ(FindTableFile(folder_, "Batch"), std::nullopt);
  EXPECT_EQ(FindTableFile(folder_ + "/missing", "SP"), std::nullopt);
  Write("sp.dbf", "");  // two spellings: which one holds the table is unknown
  try {
    FindTableFile(folder_, "sp");
    FAIL() << "two files of one table were accepted";
  } catch (const HostError& error) {
    EXPECT_EQ(error.number(), kCorruptTable);
    EXPECT_NE(error.description().find(folder_ + "/SP.DBF and " + folder_ + "/sp.dbf"),
              std::string::npos)
        << error.description();
  }
}

TEST_F(DbfReaderTest, RecordsPastTheCountedOnesMakeTheFileDamaged) {
  std::string bytes = DbfBytes(Bills());
  bytes[4] = 2;  // the header counts 2 of the 5 records
  ExpectFailure(Write("stale.dbf", bytes), kCorruptTable, "counts 2 records but the file holds 5");
  // An end-of-file byte and padding shorter than a record after the counted ones are normal.
  bytes[4] = 5;
  EXPECT_EQ(ReadAll(Write("padded.dbf", bytes + std::string(20, ' '))).size(), 4u);
}

TEST_F(DbfReaderTest, NulBytesInTextAreBlanks) {
  TestTable table;
  table.fields = {{"DOCNO", 'C', 8}};
  table.rows = {{std::string("\0A\0B\0\0", 6)}, {std::string("\0\0", 2)}};
  const auto rows = ReadAll(Write("nul.dbf", DbfBytes(table)));
  EXPECT_EQ(rows[0][0], Value::Text(" A B"));
  EXPECT_TRUE(rows[1][0].is_null());
}

}  // namespace
}  // namespace vatrix
