// The stock statement query of Form 201C and the two list conditions it ends with: which
// products and which batch numbers the statement covers.
#ifndef VATRIX_RETURNS_FORM201C_QUERIES_H_
#define VATRIX_RETURNS_FORM201C_QUERIES_H_

#include <string>
#include <string_view>
#include <vector>

#include "hostdata/selection_lists.h"

namespace vatrix {

// How a selection list is taken: every item ("All"), the items selected ("Selected"), or
// neither option chosen.
enum class ListChoice { kAll, kSelected, kNeither };

// The product condition: "1=1" for all, "FinalStockQuery.Code in ('12','34')" with the
// selected items' codes in list order, "" for neither. `selected` holds one flag per item (a
// missing flag is false). Throws HostError kQueryRejected, naming the list, when "Selected"
// has no item selected.
std::string ProductCondition(ListChoice choice, const std::vector<ListItem>& items,
                             const std::vector<bool>& selected);

// The batch condition: "1=1", "FinalStockQuery.BatchNo in ('B1','B2')" with the selected
// batch numbers in list order, each a quoted literal whose apostrophes are doubled, or "".
// Throws as ProductCondition does.
std::string BatchCondition(ListChoice choice, const std::vector<ListItem>& items,
                           const std::vector<bool>& selected);

// The statement: per product not kept by batch, and per batch, the opening quantity (master
// opening plus movements before `period_start`), receipts and issues in `period_range`,
// balance, closing rate and closing value; movements with a challan link do not count. Rows
// with balance 0 are dropped, the conditions apply, and the rows come ordered by product name
// and batch number. `period_start` is " #m/d/yyyy# ", `period_range` " Between ... ".
std::string StockStatementQuery(std::string_view period_start, std::string_view period_range,
                                std::string_view product_condition,
                                std::string_view batch_condition);

}  // namespace vatrix

#endif  // VATRIX_RETURNS_FORM201C_QUERIES_H_
