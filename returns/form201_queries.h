// The aggregate query texts of the Form 201 VAT return: thirty figures, each built by joining
// fixed text with the period's date condition. Form 205 asks for all but one of them again
// (form205_queries.h); the rate-wise record sets are in vat_return_sheets.h.
#ifndef VATRIX_RETURNS_FORM201_QUERIES_H_
#define VATRIX_RETURNS_FORM201_QUERIES_H_

#include <string>
#include <string_view>
#include <vector>

namespace vatrix {

// The aggregate queries Q1..Q30 (index 0 holds Q1), `period_range` (" Between #m/d/yyyy# and
// #m/d/yyyy# ") joined unchanged after each date column.
std::vector<std::string> Form201AggregateQueries(std::string_view period_range);

}  // namespace vatrix

#endif  // VATRIX_RETURNS_FORM201_QUERIES_H_
