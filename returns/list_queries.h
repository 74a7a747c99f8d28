// The query texts of the six bill lists (201A, 201B, 202A, 202B and the CST sales and purchase
// lists), each joined from fixed pieces and the session's period and selection texts.
#ifndef VATRIX_RETURNS_LIST_QUERIES_H_
#define VATRIX_RETURNS_LIST_QUERIES_H_

#include <string>
#include <string_view>

namespace vatrix {

// What a list query is composed from.
struct ListQueryInputs {
  std::string period_range;         // " Between #m/d/yyyy# and #m/d/yyyy# "
  std::string account_codes;        // inside of IN (...); joined trimmed
  std::string tax_filter;           // " Stax.Name= 'A' OR  Stax.Name= 'B' "
  bool tax_types_selected = false;  // the tax filter applies; otherwise the all-types form
  bool use_stock_date = true;       // CST lists: a bill's stock date, when valid, dates it
};

// The list query of `return_code` ("201A", "201B", "202A", "202B", "3BSALES", "3BPURCHASE");
// "" for any other code. Pieces are joined exactly, with no separators added.
std::string ListQuery(std::string_view return_code, const ListQueryInputs& inputs);

}  // namespace vatrix

#endif  // VATRIX_RETURNS_LIST_QUERIES_H_
