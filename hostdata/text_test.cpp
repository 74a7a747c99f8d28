#include "hostdata/text.h"

#include <gtest/gtest.h>

#include "hostdata/value.h"

namespace vatrix {
namespace {

TEST(TextTest, TrimsOnlyThePaddingAsked) {
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim(std::string_view("\0a\0 ", 4)), std::string_view("\0a\0", 3));
  EXPECT_EQ(Trim(std::string_view("\0a\0 ", 4), kBlankOrNul), "a");
  EXPECT_EQ(TrimRight("  a  "), "  a");
  EXPECT_EQ(TrimRight(std::string_view("a \0", 3), kBlankOrNul), "a");
}

TEST(TextTest, CaseBlindOnlyForAsciiLetters) {
  EXPECT_TRUE(EqualsIgnoreCase("Company.DBF", "company.dbf"));
  EXPECT_FALSE(EqualsIgnoreCase("SP", "SP "));
  EXPECT_FALSE(EqualsIgnoreCase("\xC3\x89", "\xC3\xA9"));  // É and é are other bytes
  EXPECT_FALSE(EqualsIgnoreCase("[", "{"));                // 0x5B and 0x7B differ by case bit
  EXPECT_EQ(ToLowerAscii("Ab1_Z"), "ab1_z");
  EXPECT_EQ(ToUpperAscii("ab1_z"), "AB1_Z");
}

// The financial year's days are read by one rule wherever their year or day is needed.
TEST(TextTest, DisplayDatesNameRealDaysWithFourDigitYears) {
  EXPECT_EQ(ParseDisplayDate("01/04/2015"), (Date{2015, 4, 1}));
  EXPECT_EQ(ParseDisplayDate(" 1/4/2015 "), (Date{2015, 4, 1}));
  EXPECT_EQ(ParseDisplayDate("29/02/2016"), (Date{2016, 2, 29}));
  for (const char* bad : {"29/02/2015", "01/04/15", "01/04/20155", "2015-04-01", "01/13/2015",
                          "001/04/2015", "01/04/2015x", "", "//2015", "1/4/ 2015"}) {
    EXPECT_EQ(ParseDisplayDate(bad), std::nullopt) << bad;
  }
}

}  // namespace
}  // namespace vatrix
