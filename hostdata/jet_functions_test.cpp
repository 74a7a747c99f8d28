#include "hostdata/jet_functions.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <string>

namespace vatrix {
namespace {

class JetFunctionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
    RegisterJetFunctions(db_);
  }
  void TearDown() override { sqlite3_close(db_); }

  // The value of one SQL expression: "NULL", a number as %.10g, 'text' in quotes, or
  // "error: " and SQLite's message.
  std::string Eval(const std::string& expression) {
    sqlite3_stmt* statement = nullptr;
    const std::string sql = "SELECT " + expression;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
      return std::string("prepare: ") + sqlite3_errmsg(db_);
    }
    std::string result;
    if (sqlite3_step(statement) != SQLITE_ROW) {
      result = std::string("error: ") + sqlite3_errmsg(db_);
    } else if (sqlite3_column_type(statement, 0) == SQLITE_NULL) {
      result = "NULL";
    } else if (sqlite3_column_type(statement, 0) == SQLITE_TEXT) {
      result =
          "'" + std::string(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))) + "'";
    } else {
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "%.10g", sqlite3_column_double(statement, 0));
      result = buffer;
    }
    sqlite3_finalize(statement);
    return result;
  }

  sqlite3* db_ = nullptr;
};

TEST_F(JetFunctionsTest, ValReadsTheLeadingNumber) {
  EXPECT_EQ(Eval("jet_val('12.5%')"), "12.5");
  EXPECT_EQ(Eval("jet_val('  7 ')"), "7");
  EXPECT_EQ(Eval("jet_val('abc')"), "0");
  EXPECT_EQ(Eval("jet_val('')"), "0");
  EXPECT_EQ(Eval("jet_val('-3.5x')"), "-3.5");
  EXPECT_EQ(Eval("jet_val('1e3')"), "1000");
  EXPECT_EQ(Eval("jet_val('2.5E-1 rate')"), "0.25");
  EXPECT_EQ(Eval("jet_val('1e')"), "1");
  EXPECT_EQ(Eval("jet_val('1 2.5')"), "12.5");  // blanks inside are skipped
  EXPECT_EQ(Eval("jet_val('.5')"), "0.5");
  EXPECT_EQ(Eval("jet_val('1.2.3')"), "1.2");
  EXPECT_EQ(Eval("jet_val(42)"), "42");
  EXPECT_EQ(Eval("jet_val(NULL)"), "NULL");
  EXPECT_EQ(Eval("jet_val('1e999')").rfind("error: Val", 0), 0u);
  // A rate read from a narration; a blank narration counts 0 rather than dividing by it.
  EXPECT_EQ(Eval("iif(jet_val('')=0, 0, 100/jet_val(''))"), "0");
}

TEST_F(JetFunctionsTest, IsDateAndIsNull) {
  EXPECT_EQ(Eval("jet_isdate(NULL)"), "0");
  EXPECT_EQ(Eval("jet_isdate('')"), "0");
  EXPECT_EQ(Eval("jet_isdate('2015-04-01')"), "1");
  EXPECT_EQ(Eval("jet_isdate('2015-02-29')"), "0");
  EXPECT_EQ(Eval("jet_isdate('30/4/2015')"), "1");
  EXPECT_EQ(Eval("jet_isdate('4/30/2015')"), "1");
  EXPECT_EQ(Eval("jet_isdate(' 1.4.15 ')"), "1");
  EXPECT_EQ(Eval("jet_isdate('31/31/2015')"), "0");
  EXPECT_EQ(Eval("jet_isdate('abc')"), "0");
  EXPECT_EQ(Eval("jet_isdate('2015')"), "0");
  EXPECT_EQ(Eval("jet_isdate(20150401)"), "0");
  EXPECT_EQ(Eval("jet_isnull(NULL)"), "1");
  EXPECT_EQ(Eval("jet_isnull('')"), "0");
  EXPECT_EQ(Eval("jet_isnull(0)"), "0");
}

TEST_F(JetFunctionsTest, FormatNumbersAndDates) {
  EXPECT_EQ(Eval("jet_format(4, '00')"), "'04'");
  EXPECT_EQ(Eval("jet_format(12.0, '00')"), "'12'");
  EXPECT_EQ(Eval("jet_format(123, '00')"), "'123'");
  EXPECT_EQ(Eval("jet_format('7', '000')"), "'007'");
  EXPECT_EQ(Eval("jet_format(0.125, '0.00')"), "'0.13'");  // halves away from zero
  EXPECT_EQ(Eval("jet_format(-2.5, '0')"), "'-3'");
  EXPECT_EQ(Eval("jet_format(9.995, '0.00')"), "'10.00'");
  EXPECT_EQ(Eval("jet_format(1234567.5, '#,##0.00')"), "'1,234,567.50'");
  EXPECT_EQ(Eval("jet_format(-0.001, '0.00')"), "'0.00'");
  EXPECT_EQ(Eval("jet_format(0.5, '#.##')"), "'.5'");
  EXPECT_EQ(Eval("jet_format(5, '0.##')"), "'5.'");
  EXPECT_EQ(Eval("jet_format(1e20, '0')"), "'100000000000000000000'");
  EXPECT_EQ(Eval("jet_format('2015-04-01', 'dd/mm/yyyy')"), "'01/04/2015'");
  EXPECT_EQ(Eval("jet_format('2015-04-01', 'd-m-yy')"), "'1-4-15'");
  EXPECT_EQ(Eval("jet_format('abc', '00')"), "'abc'");
  EXPECT_EQ(Eval("jet_format('abc', 'dd/mm/yyyy')"), "'abc'");
  EXPECT_EQ(Eval("jet_format(12.5, 'General Number')"), "'12.5'");
  EXPECT_EQ(Eval("jet_format(12.5)"), "'12.5'");
  EXPECT_EQ(Eval("jet_format(NULL, '00')"), "NULL");
  EXPECT_EQ(Eval("jet_format(3, NULL)"), "'3'");
}

TEST_F(JetFunctionsTest, MonthOfStoredDates) {
  EXPECT_EQ(Eval("jet_month('2015-04-01')"), "4");
  EXPECT_EQ(Eval("jet_month('2016-12-31')"), "12");
  EXPECT_EQ(Eval("jet_month(NULL)"), "NULL");
  EXPECT_EQ(Eval("jet_month('abc')"), "error: Month: 'abc' is not a date");
}

TEST_F(JetFunctionsTest, UCaseAndMidAreUtf8Aware) {
  EXPECT_EQ(Eval("jet_ucase('straße café ÿ')"), "'STRAßE CAFÉ Ÿ'");
  EXPECT_EQ(Eval("jet_ucase('÷ x')"), "'÷ X'");
  EXPECT_EQ(Eval("jet_ucase(NULL)"), "NULL");
  EXPECT_EQ(Eval("jet_mid('café au lait', 4, 1)"), "'é'");
  EXPECT_EQ(Eval("jet_mid('café au lait', 4, 4)"), "'é au'");
  EXPECT_EQ(Eval("jet_mid('café', 2)"), "'afé'");
  EXPECT_EQ(Eval("jet_mid('abc', 5)"), "''");
  EXPECT_EQ(Eval("jet_mid('abc', 2, 1e18)"), "'bc'");
  EXPECT_EQ(Eval("jet_mid('abc', 1, 0)"), "''");
  EXPECT_EQ(Eval("jet_mid(12345, 2, 2)"), "'23'");
  EXPECT_EQ(Eval("jet_mid(NULL, 1)"), "NULL");
  EXPECT_EQ(Eval("jet_mid('abc', NULL, 1)"), "NULL");
  EXPECT_EQ(Eval("jet_mid('abc', 0)").rfind("error: Mid", 0), 0u);
  EXPECT_EQ(Eval("jet_mid('abc', 1, -1)").rfind("error: Mid", 0), 0u);
  EXPECT_EQ(Eval("jet_mid(x'80C3', 1, 1)"), "'\x80'");  // broken UTF-8 stays in bounds
}

}  // namespace
}  // namespace vatrix
