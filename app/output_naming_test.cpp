#include "app/output_naming.h"

#include <gtest/gtest.h>

namespace vatrix {
namespace {

TEST(DefaultFileNameTest, MonthlyNamesTheMonthOthersAlsoTheNumber) {
  EXPECT_EQ(DefaultFileName("201", "Monthly", "04.April"), "Form 201 - Monthly - April");
  EXPECT_EQ(DefaultFileName("201A", "Quaterly", "02.Quarter"),
            "Sales - 201A - Quaterly - Quarter - 02");
  EXPECT_EQ(DefaultFileName("205", "Annually", "01.Annually"),
            "Form 205 - Annually - Annually - 01");
  EXPECT_FALSE(DefaultFileName("201a", "Monthly", "04.April"));  // the name stays
  EXPECT_FALSE(DefaultFileName("", "Monthly", "04.April"));
}

TEST(OutputNamingTest, RefusesOnlyTheRoot) {
#ifdef _WIN32
  EXPECT_TRUE(IsRefusedRoot("c:\\ "));
  EXPECT_FALSE(IsRefusedRoot("D:\\"));
#else
  EXPECT_TRUE(IsRefusedRoot("/"));
  EXPECT_TRUE(IsRefusedRoot(" / "));
  EXPECT_FALSE(IsRefusedRoot("/home"));
#endif
  EXPECT_FALSE(IsRefusedRoot(""));
}

}  // namespace
}  // namespace vatrix
