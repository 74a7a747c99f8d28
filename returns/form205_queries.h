// The query texts of the Form 205 annual return: thirty aggregate figures A1..A30 over the
// period, the VAT account's opening balance and the two lists of payments of the year. The
// rate-wise record sets are Form 201's (vat_return_sheets.h).
#ifndef VATRIX_RETURNS_FORM205_QUERIES_H_
#define VATRIX_RETURNS_FORM205_QUERIES_H_

#include <string>
#include <string_view>
#include <vector>

namespace vatrix {

// The aggregate queries A1..A30 (index 0 holds A1), `period_range` (" Between #m/d/yyyy# and
// #m/d/yyyy# ") joined unchanged after each date column. All but A12 are texts Form 201 asks
// for too, and are taken from there (form201_queries.h).
std::vector<std::string> Form205AggregateQueries(std::string_view period_range);

// R4: the opening balance of the VAT account.
inline constexpr char kVatAccountOpeningQuery[] = "Select OpBal From ACT Where ACT.ACT_TYPE = 90";

// R5: debits to the VAT account by vouchers other than bills and without a tax code (the VAT
// paid), with their month as MonthNm, in date order. No date condition: the whole company data.
extern const char kVatPaymentsQuery[];

// R6: bank and cash payments debited to accounts of type 4, with MonthNm, in date order. No
// date condition.
extern const char kBankCashPaymentsQuery[];

}  // namespace vatrix

#endif  // VATRIX_RETURNS_FORM205_QUERIES_H_
