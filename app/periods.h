// Return periods: the period items of each return type and the date texts of a period, as
// query conditions in the provider's #m/d/yyyy# literal form.
#ifndef VATRIX_APP_PERIODS_H_
#define VATRIX_APP_PERIODS_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vatrix {

// The period items offered for a return type, in list order: "Monthly" gives "04.April" ..
// "03.March", "Quaterly" "01.Quarter" .. "04.Quarter", "HalfYearly" "01.HalfYear",
// "02.HalfYear"; any other text "01.Annually".
std::vector<std::string> PeriodItems(std::string_view return_type);

// The number of a period item: the numeric value of its first two characters (0 when none).
int PeriodNumber(std::string_view period_item);

// The date texts of one period and which counter it sets.
struct PeriodTexts {
  std::string PeriodRange;      // " Between #4/1/2016# and #4/30/2016# "
  std::string PeriodStart;      // " #4/1/2016# " ("#4/1/2016# " for the whole year)
  std::string PeriodEnd;        // " #4/30/2016# "
  std::string DayBeforePeriod;  // " #3/31/2016# "
  bool monthly = false;         // true: `number` is the PeriodMonth, else the PeriodIndex
  int number = 0;
};

// The texts of the chosen period, the financial year read from `year_from` and `year_to`
// ("dd/MM/yyyy"). nullopt when the return type or the item's number has no row, or when a
// year cannot be read: the caller then changes nothing.
std::optional<PeriodTexts> ComputePeriodTexts(std::string_view return_type,
                                              std::string_view period_item,
                                              std::string_view year_from, std::string_view year_to);

// The display name of a period ("April", "First Quarter", "First Half Year", "Annual"), or
// nullopt when the previous name is to stay (an unknown type or quarter number).
std::optional<std::string> PeriodNameFor(std::string_view return_type,
                                         std::string_view period_item);

}  // namespace vatrix

#endif  // VATRIX_APP_PERIODS_H_
