#include "app/sql_command.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "hostdata/test_tables.h"

namespace vatrix {
namespace {

class SqlCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = testing::MakeTempFolder();
    testing::TestTable table;
    table.fields = {{"CODE", 'N', 4}, {"NAME", 'C', 20}, {"DFR", 'D', 8}};
    table.rows = {{"7", "Sam's Traders", "20150401"}, {"12", "Alpha, Beta", "20160401"}};
    testing::WriteFile(folder_ + "/Company.dbf", testing::DbfBytes(table));
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string folder_;
  std::ostringstream out_, err_;
};

TEST_F(SqlCommandTest, PrintsRowsAsCsv) {
  EXPECT_EQ(RunSqlCommand(folder_, "Select * From Company Order By Name ASC", out_, err_), 0);
  EXPECT_EQ(out_.str(),
            "CODE,NAME,DFR\n"
            "12,\"Alpha, Beta\",01/04/2016\n"
            "7,Sam's Traders,01/04/2015\n");
  EXPECT_EQ(err_.str(), "");
}

TEST_F(SqlCommandTest, FailureGoesToStderrWithExitStatusOne) {
  EXPECT_EQ(RunSqlCommand(folder_, "Select * From Ledger", out_, err_), 1);
  EXPECT_EQ(out_.str(), "");
  EXPECT_NE(err_.str().find("Error Number : -2147467259"), std::string::npos) << err_.str();
  EXPECT_EQ(RunSqlCommand(folder_ + "/none", "Select * From Company", out_, err_), 1);
}

// The figures command reads its dates by the rule of the session's days: a two-digit year, an
// impossible day or a period that ends before it begins is a bad argument, before any query.
TEST_F(SqlCommandTest, FiguresRefuseDatesThatAreNoDays) {
  for (const char* from : {"01/04/15", "31/04/2015", "2015-04-01", "01/05/2015"}) {
    std::ostringstream out, err;
    EXPECT_EQ(RunFiguresCommand(folder_, from, "30/04/2015", out, err), 2) << from;
    EXPECT_TRUE(out.str().empty()) << from;
  }
}

TEST(VatrixCliTest, SqlCommandOnTheSampleCatalogue) {
  const char* sample = std::getenv("VATRIX_SAMPLE");
  ASSERT_TRUE(sample) << "run through ctest, which names the sample installation";
  const std::string cli = std::string(VATRIX_BINARY_DIR) + "/vatrix-cli";
  const std::string run =
      cli + " sql --folder " + sample + " \"Select Code From Company Where Code=7\" > /dev/null";
  EXPECT_EQ(std::system(run.c_str()), 0);
  EXPECT_EQ(WEXITSTATUS(std::system((cli + " sql 2> /dev/null").c_str())), 2);
  EXPECT_EQ(
      WEXITSTATUS(std::system(
          (cli + " sql --folder " + sample + " \"Select * From Nothing\" 2> /dev/null").c_str())),
      1);
}

}  // namespace
}  // namespace vatrix
