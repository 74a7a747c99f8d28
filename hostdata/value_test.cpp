#include "hostdata/value.h"

#include <gtest/gtest.h>

namespace vatrix {
namespace {

TEST(ValueTest, CalendarRules) {
  EXPECT_TRUE(IsValidDate(2016, 2, 29));
  EXPECT_FALSE(IsValidDate(2015, 2, 29));
  EXPECT_TRUE(IsValidDate(2000, 2, 29));
  EXPECT_FALSE(IsValidDate(1900, 2, 29));
  EXPECT_FALSE(IsValidDate(2015, 4, 31));
  EXPECT_FALSE(IsValidDate(2015, 13, 1));
  EXPECT_EQ(ParseIsoDate("2016-02-29"), (Date{2016, 2, 29}));
  EXPECT_EQ(ParseIsoDate("2015-02-29"), std::nullopt);
  EXPECT_EQ(ParseIsoDate("2015-4-01"), std::nullopt);
  EXPECT_EQ(ParseIsoDate("2015-04-01 "), std::nullopt);
}

TEST(ValueTest, DisplayText) {
  EXPECT_EQ(Value().ToDisplayText(), "");
  EXPECT_EQ(Value::FromDate({2015, 4, 1}).ToDisplayText(), "01/04/2015");
  EXPECT_EQ(Value::Bool(true).ToDisplayText(), "True");
  EXPECT_EQ(Value::Number(12).ToDisplayText(), "12");
  EXPECT_EQ(Value::Number(100000).ToDisplayText(), "100000");  // never 1e+05
  EXPECT_EQ(Value::Number(0.1 + 0.2).ToDisplayText(), "0.30000000000000004");
  EXPECT_EQ(Value::Number(-1250.5).ToDisplayText(), "-1250.5");
  EXPECT_EQ(Value::Number(-0.0).ToDisplayText(), "0");
}

}  // namespace
}  // namespace vatrix
