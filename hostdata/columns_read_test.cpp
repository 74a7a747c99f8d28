#include "hostdata/columns_read.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace vatrix {
namespace {

using Flags = std::vector<bool>;

class ColumnsReadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
    Exec("CREATE TABLE bills (no TEXT, day TEXT, amt REAL, note TEXT)");
    Exec("CREATE TABLE kinds (code TEXT, name TEXT)");
    Exec("CREATE INDEX bills_day_amt ON bills (day, amt)");
  }
  void TearDown() override { sqlite3_close(db_); }
  void Exec(const char* sql) { ASSERT_EQ(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr), 0); }

  sqlite3* db_ = nullptr;
};

TEST_F(ColumnsReadTest, NamesTheColumnsTheProgramReadsWhateverTheQueryNames) {
  // A bracketed join stands for a subquery naming every column; only those used are read.
  using Read = std::map<std::string, Flags>;
  EXPECT_EQ(ColumnsRead(db_,
                        "SELECT b.no FROM kinds k INNER JOIN (bills b INNER JOIN kinds j ON "
                        "b.note = j.code) ON k.code = j.name"),
            (Read{{"bills", {true, false, false, true}}, {"kinds", {true, true}}}));
  // Read through an index only: the index's columns are the table's.
  EXPECT_EQ(ColumnsRead(db_, "SELECT Sum(amt) FROM bills WHERE day > '2015'"),
            (Read{{"bills", {false, true, true}}}));
  EXPECT_EQ(ColumnsRead(db_, "SELECT * FROM kinds"), (Read{{"kinds", {true, true}}}));
  EXPECT_EQ(ColumnsRead(db_, "SELECT Count(*) FROM kinds WHERE rowid > 2"), (Read{{"kinds", {}}}));
  EXPECT_EQ(ColumnsRead(db_, "SELECT nothing FROM kinds"), std::nullopt);
}

}  // namespace
}  // namespace vatrix
