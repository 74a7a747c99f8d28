// The query texts of the Form 3B CST return: fifteen aggregate figures and the central sales
// grouped by rate, each built by joining fixed text with the period's date condition.
#ifndef VATRIX_RETURNS_FORM3B_QUERIES_H_
#define VATRIX_RETURNS_FORM3B_QUERIES_H_

#include <string>
#include <string_view>
#include <vector>

namespace vatrix {

// The aggregate queries C1..C15 (index 0 holds C1), `period_range` (" Between #m/d/yyyy# and
// #m/d/yyyy# ") joined unchanged after each date column.
std::vector<std::string> Form3BAggregateQueries(std::string_view period_range);

// Tax and taxable amount of the period's central sales (TYPE "C", VATTYPE 12 or 18), one row
// per rate: fields TAX_AMT, ST_AMT and PCN.
std::string Form3BSalesByRate(std::string_view period_range);

}  // namespace vatrix

#endif  // VATRIX_RETURNS_FORM3B_QUERIES_H_
