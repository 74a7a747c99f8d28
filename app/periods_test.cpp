#include "app/periods.h"

#include <gtest/gtest.h>

#include "hostdata/value.h"

namespace vatrix {
namespace {

struct PeriodCase {
  const char *type, *item, *to_year;  // the financial year starts in T - 1
  const char *first, *last, *before;
  int number;
};

TEST(PeriodTextsTest, GivesTheDateTextsOfEachPeriod) {
  const PeriodCase cases[] = {
      {"Monthly", "04.April", "2017", "4/1/2016", "4/30/2016", "3/31/2016", 4},
      {"Monthly", "01.January", "2017", "1/1/2017", "1/31/2017", "12/31/2016", 1},
      {"Monthly", "02.February", "2016", "2/1/2016", "2/29/2016", "1/31/2016", 2},
      {"Monthly", "02.February", "2017", "2/1/2017", "2/28/2017", "1/31/2017", 2},
      {"Monthly", "03.March", "2016", "3/1/2016", "3/31/2016", "2/29/2016", 3},
      {"Monthly", "03.March", "2017", "3/1/2017", "3/31/2017", "2/28/2017", 3},
      {"Monthly", "03.March", "2100", "3/1/2100", "3/31/2100", "2/28/2100", 3},  // a real day
      {"Monthly", "02.February", "2000", "2/1/2000", "2/29/2000", "1/31/2000", 2},
      {"Quaterly", "02.Quarter", "2017", "7/1/2016", "9/30/2016", "6/30/2016", 2},
      {"Quaterly", "04.Quarter", "2017", "1/1/2017", "3/31/2017", "12/31/2016", 4},
      {"HalfYearly", "01.HalfYear", "2017", "4/1/2016", "9/30/2016", "3/31/2016", 1},
      {"HalfYearly", "02.HalfYear", "2017", "10/1/2016", "3/31/2017", "9/30/2016", 2},
      {" Annually ", "07.Annually", "2017", "4/1/2016", "3/31/2017", "3/31/2016", 1},
  };
  for (const PeriodCase& c : cases) {
    const std::string from = "01/04/" + std::to_string(std::stoi(c.to_year) - 1);
    const auto texts = ComputePeriodTexts(c.type, c.item, from, "31/03/" + std::string(c.to_year));
    ASSERT_TRUE(texts) << c.item;
    const std::string first = std::string("#") + c.first + "# ";
    EXPECT_EQ(texts->PeriodRange, " Between " + first + "and #" + c.last + "# ") << c.item;
    // The whole year's start has no leading blank.
    const bool whole_year = std::string_view(c.type).find("Annually") != std::string_view::npos;
    EXPECT_EQ(texts->PeriodStart, (whole_year ? "" : " ") + first) << c.item;
    EXPECT_EQ(texts->PeriodEnd, std::string(" #") + c.last + "# ") << c.item;
    EXPECT_EQ(texts->DayBeforePeriod, std::string(" #") + c.before + "# ") << c.item;
    EXPECT_EQ(texts->monthly, std::string(c.type) == "Monthly") << c.item;
    EXPECT_EQ(texts->number, c.number) << c.item;
  }
}

TEST(PeriodTextsTest, NoTextsWithoutARowOrAYear) {
  const char *from = "01/04/2016", *to = "31/03/2017";
  EXPECT_FALSE(ComputePeriodTexts("Monthly", "13.Month", from, to));
  EXPECT_FALSE(ComputePeriodTexts("Quaterly", "05.Quarter", from, to));
  EXPECT_FALSE(ComputePeriodTexts("HalfYearly", "", from, to));
  EXPECT_FALSE(ComputePeriodTexts("monthly", "04.April", from, to));
  EXPECT_FALSE(ComputePeriodTexts("Monthly", "04.April", "", ""));  // company not loaded
  EXPECT_FALSE(ComputePeriodTexts("Monthly", "04.April", "01/04/16", to));
  EXPECT_FALSE(ComputePeriodTexts("Monthly", "04.April", from, "31/03/20x7"));
}

// The date of a literal "#m/d/yyyy#" inside a period text.
Date LiteralDate(const std::string& text, size_t from = 0) {
  const size_t open = text.find('#', from);
  const size_t close = text.find('#', open + 1);
  const std::string inside = text.substr(open + 1, close - open - 1);
  const size_t slash = inside.find('/');
  const auto day = ParseDisplayDate(inside.substr(slash + 1, inside.rfind('/') - slash - 1) + "/" +
                                    inside.substr(0, slash) + inside.substr(inside.rfind('/')));
  EXPECT_TRUE(day) << text;
  return day.value_or(Date{});
}

Date NextDay(Date d) {
  if (IsValidDate(d.year, d.month, d.day + 1)) return {d.year, d.month, d.day + 1};
  if (d.month < 12) return {d.year, d.month + 1, 1};
  return {d.year + 1, 1, 1};
}

// Whatever the type, its periods follow one another without gap or overlap from 1 April to
// 31 March, and each starts the day after its DayBeforePeriod.
TEST(PeriodTextsTest, EachTypesPeriodsTileTheFinancialYear) {
  for (const char* to_year : {"2016", "2017", "2100"}) {
    const std::string from = "01/04/" + std::to_string(std::stoi(to_year) - 1);
    for (const char* type : {"Monthly", "Quaterly", "HalfYearly", "Annually"}) {
      SCOPED_TRACE(std::string(type) + " to " + to_year);
      Date expected_first{std::stoi(to_year) - 1, 4, 1};
      for (const std::string& item : PeriodItems(type)) {
        const auto texts = ComputePeriodTexts(type, item, from, "31/03/" + std::string(to_year));
        ASSERT_TRUE(texts) << item;
        const Date first = LiteralDate(texts->PeriodRange);
        const Date last = LiteralDate(texts->PeriodRange, texts->PeriodRange.find("and"));
        EXPECT_EQ(first, expected_first) << item;
        EXPECT_EQ(NextDay(LiteralDate(texts->DayBeforePeriod)), first) << item;
        EXPECT_EQ(LiteralDate(texts->PeriodStart), first) << item;
        EXPECT_EQ(LiteralDate(texts->PeriodEnd), last) << item;
        expected_first = NextDay(last);
      }
      EXPECT_EQ(expected_first, (Date{std::stoi(to_year), 4, 1}));
    }
  }
}

TEST(PeriodItemsTest, EveryOfferedItemHasTextsAndAName) {
  EXPECT_EQ(PeriodItems("Monthly").size(), 12u);
  EXPECT_EQ(PeriodItems(" Quaterly ").back(), "04.Quarter");
  EXPECT_EQ(PeriodItems("HalfYearly"), (std::vector<std::string>{"01.HalfYear", "02.HalfYear"}));
  EXPECT_EQ(PeriodItems("Yearly"), std::vector<std::string>{"01.Annually"});
  for (const char* type : {"Monthly", "Quaterly", "HalfYearly", "Annually"}) {
    for (const std::string& item : PeriodItems(type)) {
      EXPECT_TRUE(ComputePeriodTexts(type, item, "01/04/2016", "31/03/2017")) << item;
      EXPECT_TRUE(PeriodNameFor(type, item)) << item;
    }
  }
  EXPECT_EQ(PeriodNumber("12.December"), 12);
  EXPECT_EQ(PeriodNumber("ab"), 0);
}

TEST(PeriodNameTest, NamesEachTypesPeriods) {
  EXPECT_EQ(PeriodNameFor("Monthly", "02.February"), "February");
  EXPECT_EQ(PeriodNameFor("Quaterly", "04.Quarter"), "Fourth Quarter");
  EXPECT_EQ(PeriodNameFor("HalfYearly", "01.HalfYear"), "First Half Year");
  EXPECT_EQ(PeriodNameFor("HalfYearly", "02.HalfYear"), "Second Half Year");
  EXPECT_EQ(PeriodNameFor("Annually", "01.Annually"), "Annual");
  EXPECT_FALSE(PeriodNameFor("Quaterly", "05.Quarter"));  // the previous name stays
  EXPECT_FALSE(PeriodNameFor("Weekly", "01.Week"));
}

}  // namespace
}  // namespace vatrix
