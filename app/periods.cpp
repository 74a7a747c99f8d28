#include "app/periods.h"
#include "hostdata/text.h"
#include "hostdata/value.h"

namespace vatrix {

namespace {

// One calendar day of a period row; the year is the financial year's first (F) or last (T).
struct Day {
  int month;
  int day;  // 0 stands for the last day of February of T
  bool last_year;
};

struct PeriodRow {
  int number;
  Day first;
  Day last;
  Day before;
};

constexpr int kFebruaryEnd = 0;

constexpr PeriodRow kMonths[] = {
    {4, {4, 1, false}, {4, 30, false}, {3, 31, false}},
    {5, {5, 1, false}, {5, 31, false}, {4, 30, false}},
    {6, {6, 1, false}, {6, 30, false}, {5, 31, false}},
    {7, {7, 1, false}, {7, 31, false}, {6, 30, false}},
    {8, {8, 1, false}, {8, 31, false}, {7, 31, false}},
    {9, {9, 1, false}, {9, 30, false}, {8, 31, false}},
    {10, {10, 1, false}, {10, 31, false}, {9, 30, false}},
    {11, {11, 1, false}, {11, 30, false}, {10, 31, false}},
    {12, {12, 1, false}, {12, 31, false}, {11, 30, false}},
    {1, {1, 1, true}, {1, 31, true}, {12, 31, false}},
    {2, {2, 1, true}, {2, kFebruaryEnd, true}, {1, 31, true}},
    {3, {3, 1, true}, {3, 31, true}, {2, kFebruaryEnd, true}},
};

constexpr PeriodRow kQuarters[] = {
    {1, {4, 1, false}, {6, 30, false}, {3, 31, false}},
    {2, {7, 1, false}, {9, 30, false}, {6, 30, false}},
    {3, {10, 1, false}, {12, 31, false}, {9, 30, false}},
    {4, {1, 1, true}, {3, 31, true}, {12, 31, false}},
};

constexpr PeriodRow kHalfYears[] = {
    {1, {4, 1, false}, {9, 30, false}, {3, 31, false}},
    {2, {10, 1, false}, {3, 31, true}, {9, 30, false}},
};

constexpr PeriodRow kWholeYear = {1, {4, 1, false}, {3, 31, true}, {3, 31, false}};

// The year of a "dd/MM/yyyy" text, or -1 when it is not such a date.
int YearOf(std::string_view date) {
  const std::optional<Date> day = ParseDisplayDate(date);
  return day ? day->year : -1;
}

// The Gregorian calendar's last day of February. It equals "divisible by 4" for 1901-2099;
// outside that range it keeps the period ends real days, which the query engine requires.
int FebruaryEnd(int year) {
  const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
  return leap ? 29 : 28;
}

std::string Literal(const Day& day, int from_year, int to_year) {
  const int year = day.last_year ? to_year : from_year;
  const int day_of_month = day.day == kFebruaryEnd ? FebruaryEnd(to_year) : day.day;
  return "#" + std::to_string(day.month) + "/" + std::to_string(day_of_month) + "/" +
         std::to_string(year) + "#";
}

template <size_t N>
const PeriodRow* FindRow(const PeriodRow (&rows)[N], int number) {
  for (const PeriodRow& row : rows) {
    if (row.number == number) return &row;
  }
  return nullptr;
}

PeriodTexts TextsOf(const PeriodRow& row, int from_year, int to_year) {
  const std::string first = Literal(row.first, from_year, to_year);
  const std::string last = Literal(row.last, from_year, to_year);
  PeriodTexts texts;
  texts.PeriodRange = " Between " + first + " and " + last + " ";
  texts.PeriodStart = " " + first + " ";
  texts.PeriodEnd = " " + last + " ";
  texts.DayBeforePeriod = " " + Literal(row.before, from_year, to_year) + " ";
  texts.number = row.number;
  return texts;
}

// The period item from its fourth character on ("04.April" gives "April").
std::string_view ItemName(std::string_view period_item) {
  return period_item.size() > 3 ? period_item.substr(3) : std::string_view();
}

}  // namespace

std::vector<std::string> PeriodItems(std::string_view return_type) {
  const std::string_view type = Trim(return_type);
  if (type == "Monthly") {
    return {"04.April",   "05.May",      "06.June",     "07.July",    "08.August",   "09.September",
            "10.October", "11.November", "12.December", "01.January", "02.February", "03.March"};
  }
  if (type == "Quaterly") return {"01.Quarter", "02.Quarter", "03.Quarter", "04.Quarter"};
  if (type == "HalfYearly") return {"01.HalfYear", "02.HalfYear"};
  return {"01.Annually"};
}

int PeriodNumber(std::string_view period_item) {
  std::string_view digits = period_item.substr(0, 2);
  while (!digits.empty() && digits.front() == ' ') digits.remove_prefix(1);
  int number = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') break;
    number = number * 10 + (c - '0');
  }
  return number;
}

std::optional<PeriodTexts> ComputePeriodTexts(std::string_view return_type,
                                              std::string_view period_item,
                                              std::string_view year_from,
                                              std::string_view year_to) {
  const int from_year = YearOf(year_from);
  const int to_year = YearOf(year_to);
  if (from_year < 0 || to_year < 0) return std::nullopt;

  const std::string_view type = Trim(return_type);
  const int number = PeriodNumber(period_item);
  if (type == "Annually") {
    PeriodTexts texts = TextsOf(kWholeYear, from_year, to_year);
    texts.PeriodStart.erase(0, 1);  // the whole year's start has no leading blank
    return texts;
  }
  const PeriodRow* row = nullptr;
  if (type == "Monthly") {
    row = FindRow(kMonths, number);
  } else if (type == "Quaterly") {
    row = FindRow(kQuarters, number);
  } else if (type == "HalfYearly") {
    row = FindRow(kHalfYears, number);
  }
  if (row == nullptr) return std::nullopt;
  PeriodTexts texts = TextsOf(*row, from_year, to_year);
  texts.monthly = type == "Monthly";
  return texts;
}

std::optional<std::string> PeriodNameFor(std::string_view return_type,
                                         std::string_view period_item) {
  static const char* const kQuarterNames[] = {"First Quarter", "Second Quarter", "Third Quarter",
                                              "Fourth Quarter"};
  static const char* const kHalfYearNames[] = {"First Half Year", "Second Half Year"};
  const std::string_view type = Trim(return_type);
  const int number = PeriodNumber(period_item);
  if (type == "Monthly") return std::string(ItemName(period_item));
  if (type == "Quaterly" && number >= 1 && number <= 4) return kQuarterNames[number - 1];
  if (type == "HalfYearly" && number >= 1 && number <= 2) return kHalfYearNames[number - 1];
  if (type == "Annually") return "Annual";
  return std::nullopt;
}

}  // namespace vatrix
