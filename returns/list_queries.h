// The query texts of the six bill lists (201A, 201B, 202A, 202B and the CST sales and purchase
// lists), each joined from fixed pieces and the session's period and selection texts.
#ifndef VATRIX_RETURNS_LIST_QUERIES_H_
#define VATRIX_RETURNS_LIST_QUERIES_H_

#include <string>

namespace vatrix {

// What a list query is composed from.
struct ListQueryInputs {
  std::string period_range;         // " Between #m/d/yyyy# and #m/d/yyyy# "
  std::string account_codes;        // inside of IN (...); joined trimmed
  std::string tax_filter;           // " Stax.Name= 'A' OR  Stax.Name= 'B' "
  bool tax_types_selected = false;  // the tax filter applies; otherwise the all-types form
  bool use_stock_date = true;       // CST lists: a bill's stock date, when valid, dates it
};

// The list queries: sales of Form 201A, purchases of 201B and 202A, sales of 202B, and the
// CST sales and purchases that need a declaration form. Pieces are joined exactly, with no
// separators added.
std::string Sales201AQuery(const ListQueryInputs& inputs);
std::string Purchase201BQuery(const ListQueryInputs& inputs);
std::string Purchase202AQuery(const ListQueryInputs& inputs);
std::string Sales202BQuery(const ListQueryInputs& inputs);
std::string CstSalesQuery(const ListQueryInputs& inputs);
std::string CstPurchaseQuery(const ListQueryInputs& inputs);

}  // namespace vatrix

#endif  // VATRIX_RETURNS_LIST_QUERIES_H_
