#include "hostdata/query_helpers.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "hostdata/host_error.h"
#include "hostdata/recording_ui.h"
#include "hostdata/test_tables.h"

namespace vatrix {
namespace {

TEST(RoundHalfEvenTest, ExactHalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(0.125), 0.12);
  EXPECT_EQ(RoundHalfEven(0.375), 0.38);
  EXPECT_EQ(RoundHalfEven(-0.125), -0.12);
  EXPECT_EQ(RoundHalfEven(1.005), 1.0);    // prints as 1.005: a half, 0 is even
  EXPECT_EQ(RoundHalfEven(2.675), 2.68);   // prints as 2.675: a half, 7 is odd
  EXPECT_EQ(RoundHalfEven(0.1251), 0.13);  // more than a half
  EXPECT_EQ(RoundHalfEven(999.995), 1000.0);
  EXPECT_EQ(RoundHalfEven(0.1 + 0.2), 0.3);
  EXPECT_EQ(RoundHalfEven(12.5), 12.5);
  EXPECT_EQ(RoundHalfEven(1234567.891), 1234567.89);
  EXPECT_EQ(RoundHalfEven(2.5, 0), 2.0);
  EXPECT_EQ(RoundHalfEven(3.5, 0), 4.0);
}

class QueryHelpersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = testing::MakeTempFolder();
    testing::TestTable table;
    table.fields = {{"VTYPE", 'C', 2}, {"AMT", 'N', 10, 4}, {"NOTE", 'C', 10}};
    table.rows = {{"SA", "0.0625", "a"}, {"SA", "0.0625", ""}, {"PU", "", ""}};
    testing::WriteFile(folder_ + "/SP.DBF", testing::DbfBytes(table));
    connection_.OpenFolder(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string folder_;
  Connection connection_;
  testing::RecordingUi ui_;
};

TEST_F(QueryHelpersTest, GetAmountReadsOneRoundedFigure) {
  EXPECT_EQ(getAmount(connection_, "SELECT Sum(AMT) AS Amount FROM SP WHERE VTYPE='SA'", ui_),
            0.12);  // 0.125, a half
  EXPECT_EQ(getAmount(connection_, "SELECT Sum(AMT) FROM SP WHERE VTYPE='PU'", ui_), 0);
  EXPECT_EQ(getAmount(connection_, "SELECT AMT FROM SP WHERE VTYPE='XX'", ui_), 0);
  EXPECT_EQ(getAmount(connection_, "SELECT NOTE FROM SP WHERE NOTE Is Null", ui_), 0);
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(QueryHelpersTest, GetAmountReportsFailures) {
  EXPECT_EQ(getAmount(connection_, "SELECT Sum(Missing) FROM SP", ui_), 0);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].title, "Get Amount - Error");
  EXPECT_EQ(ui_.messages[0].icon, MessageIcon::kCritical);
  EXPECT_EQ(ui_.messages[0].text.rfind("Error Number : -2147217904\r\nError Description : ", 0),
            0u);
  EXPECT_NE(ui_.messages[0].text.find("query: SELECT Sum(Missing) FROM SP"), std::string::npos);
  EXPECT_FALSE(ui_.ended);

  // A damaged table is not a figure of 0: it goes on to stop the caller's run.
  testing::TestTable dates_as_text;
  dates_as_text.fields = {{"DATE", 'C', 8}};
  testing::WriteFile(folder_ + "/LEDGER.DBF", testing::DbfBytes(dates_as_text));
  EXPECT_THROW(getAmount(connection_, "SELECT Count(*) FROM LEDGER", ui_), HostError);
  EXPECT_EQ(ui_.messages.size(), 1u);
  std::filesystem::remove(folder_ + "/LEDGER.DBF");

  // A table that cannot be opened ends the program.
  EXPECT_THROW(getAmount(connection_, "SELECT Sum(AMT) FROM LEDGER", ui_), ProgramEnding);
  ASSERT_EQ(ui_.messages.size(), 2u);
  EXPECT_EQ(ui_.messages[1].title, kAppTitle);
  EXPECT_EQ(ui_.messages[1].text,
            "Necessary DBF File is Open / Unavailable / Used by another User.....\r\n\r\n"
            "SORRY...We can't proceed further...");
  EXPECT_TRUE(ui_.ended);
}

TEST_F(QueryHelpersTest, RecFoundPositionsOnTheFirstMatch) {
  RecordSet records = connection_.Execute("SELECT VTYPE, AMT FROM SP");
  records.MoveLast();
  EXPECT_TRUE(rec_found(records, "VTYPE", "pu", ui_));
  EXPECT_EQ(records.absolute_position(), 3);
  EXPECT_TRUE(rec_found(records, "vtype", "SA", ui_));  // searches from the first row again
  EXPECT_EQ(records.absolute_position(), 1);
  EXPECT_FALSE(rec_found(records, "VTYPE", "SR", ui_));

  RecordSet empty = connection_.Execute("SELECT VTYPE FROM SP WHERE VTYPE='XX'");
  EXPECT_FALSE(rec_found(empty, "VTYPE", "SA", ui_));
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_FALSE(rec_found(records, "Missing", "SA", ui_));
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].title, "Record Found Function Error");
}

TEST(SearchMyArrayTest, FirstItemContainingTheValueWins) {
  const std::vector<std::string> states = {"Andhra Pradesh", "Gujarat", "Madhya Pradesh"};
  std::string matched = "stale";
  EXPECT_FALSE(SearchMyArray("", states, &matched));
  EXPECT_EQ(matched, "");
  EXPECT_TRUE(SearchMyArray("GUJ", states, &matched));
  EXPECT_EQ(matched, "Gujarat");
  EXPECT_TRUE(SearchMyArray("Pradesh", states, &matched));
  EXPECT_EQ(matched, "Andhra Pradesh");
  EXPECT_FALSE(SearchMyArray("12, Ring Road, Surat, Gujarat", states, &matched));
  EXPECT_EQ(matched, "");
}

}  // namespace
}  // namespace vatrix
