// The query texts of the Form 201 VAT return: thirty aggregate figures and three rate-wise
// record sets, each built by joining fixed text with the period's date condition.
#ifndef VATRIX_RETURNS_FORM201_QUERIES_H_
#define VATRIX_RETURNS_FORM201_QUERIES_H_

#include <string>
#include <string_view>
#include <vector>

namespace vatrix {

// The aggregate queries Q1..Q30 (index 0 holds Q1), `period_range` (" Between #m/d/yyyy# and
// #m/d/yyyy# ") joined unchanged after each date column.
std::vector<std::string> Form201AggregateQueries(std::string_view period_range);

// Output tax by rate (R1): item-wise sale bills line by line, other "V" sale bills whole.
std::string Form201OutputTaxByRate(std::string_view period_range);

// Purchase tax by rate (R2): VATTYPE 6 purchases grouped by BC_TAX, split into VAT and
// additional tax.
std::string Form201PurchaseTaxByRate(std::string_view period_range);

// Input tax by rate (R3): item-wise purchase bills line by line, other "V" purchases whole.
std::string Form201InputTaxByRate(std::string_view period_range);

}  // namespace vatrix

#endif  // VATRIX_RETURNS_FORM201_QUERIES_H_
