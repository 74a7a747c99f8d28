#include "returns/form201c_queries.h"

#include "hostdata/host_error.h"

namespace vatrix {
namespace {

// The closing rate: the product's for a product not kept by batch, else the batch's; a
// missing rate counts 0.
constexpr std::string_view kClosingRate =
    "IIF(Product.Batch=False,IIF(IsNull(product.CLRATE),0,Product.ClRate),IIF(IsNull(Batch."
    "ClRate),0,Batch.ClRate))";

// `text` as a quoted literal of the query: apostrophes doubled, so that no list item can
// end the literal.
std::string Literal(std::string_view text) {
  std::string literal = "'";
  for (const char c : text) {
    literal += c;
    if (c == '\'') literal += '\'';
  }
  return literal + "'";
}

// The condition of one list: the field in (the selected items' literals).
template <typename ItemLiteral>
std::string ListCondition(ListChoice choice, const std::vector<ListItem>& items,
                          const std::vector<bool>& selected, std::string_view field,
                          std::string_view list_name, ItemLiteral literal) {
  if (choice == ListChoice::kAll) return "1=1";
  if (choice == ListChoice::kNeither) return "";
  std::string values;
  for (size_t i = 0; i < items.size() && i < selected.size(); ++i) {
    if (selected[i]) values += (values.empty() ? "" : ",") + literal(items[i]);
  }
  std::string condition = std::string(field) + " in (" + values + ")";
  if (values.empty()) {
    throw HostError(kQueryRejected,
                    "No " + std::string(list_name) +
                        " is selected: the list of the query's condition is empty (IN ())",
                    condition);
  }
  return condition;
}

}  // namespace

std::string ProductCondition(ListChoice choice, const std::vector<ListItem>& items,
                             const std::vector<bool>& selected) {
  return ListCondition(choice, items, selected, "FinalStockQuery.Code", "product",
                       [](const ListItem& item) { return Literal(std::to_string(item.code)); });
}

std::string BatchCondition(ListChoice choice, const std::vector<ListItem>& items,
                           const std::vector<bool>& selected) {
  return ListCondition(choice, items, selected, "FinalStockQuery.BatchNo", "batch number",
                       [](const ListItem& item) { return Literal(item.text); });
}

std::string StockStatementQuery(std::string_view period_start, std::string_view period_range,
                                std::string_view product_condition,
                                std::string_view batch_condition) {
  const std::string p(period_start);
  const std::string r(period_range);
  const std::string rate(kClosingRate);
  return "SELECT FinalStockQuery.Code, product.NAME, FinalStockQuery.BatchNo, product.UNIT1, "
         "FinalStockQuery.OpQty, FinalStockQuery.Received, FinalStockQuery.Issued, "
         "FinalStockQuery.Balance, " +
         rate + " AS ClRate, (FinalStockQuery.Balance * (" + rate + ")) AS ClosingValue " +
         // Products not kept by batch, with an empty batch number.
         "FROM ((SELECT ProductOpStockQuery.Code,'' as BatchNo, ProductOpStockQuery.OpQty, "
         "IIF(IsNull(TransStockOnlyProductQty.TotIn),0,TransStockOnlyProductQty.TotIn) AS "
         "Received, IIF(IsNull(TransStockOnlyProductQty.TotOut),0,TransStockOnlyProductQty.TotOut)"
         " AS Issued, (ProductOpStockQuery.OpQty+IIF(IsNull(TransStockOnlyProductQty.TotIn),0,"
         "TransStockOnlyProductQty.TotIn) - IIF(IsNull(TransStockOnlyProductQty.TotOut),0,"
         "TransStockOnlyProductQty.TotOut)) AS Balance "
         "FROM (SELECT Product.Code, Product.Op_Qty+IIF(IsNull(opStockOnlyProductQty.TransQty),0,"
         "opStockOnlyProductQty.TransQty) AS OpQty "
         "FROM product LEFT JOIN (SELECT Stock.Code, Sum(IIF(AL='A',Stock.Qty,-Stock.Qty)) AS "
         "TransQty FROM Stock WHERE Stock.Date<" +
         p +
         " and IsNull(Stock.ChlnLink) GROUP BY Stock.Code)  AS opStockOnlyProductQty ON "
         "product.CODE=opStockOnlyProductQty.Code "
         "WHERE Product.Batch=False) as ProductOpStockQuery LEFT JOIN (SELECT Stock.Code, "
         "Sum(IIF(AL='A',Stock.Qty,0)) AS TotIn, Sum(IIF(AL='L',Stock.Qty,0)) AS TotOut "
         "From Stock WHERE (Stock.Date " +
         r +
         ") And IsNull(Stock.ChlnLink) "
         "GROUP BY Stock.Code) as TransStockOnlyProductQty ON ProductOpStockQuery.Code = "
         "TransStockOnlyProductQty.Code "
         "UNION "
         // Every batch, with its batch number.
         "SELECT BatchOpStockQuery.Code, BatchOpStockQuery.Batchno, BatchOpStockQuery.OpQty, "
         "IIF(IsNull(TransStockOnlyBatchQty.TotIn),0,TransStockOnlyBatchQty.TotIn) AS Received, "
         "IIF(IsNull(TransStockOnlyBatchQty.TotOut),0,TransStockOnlyBatchQty.TotOut) AS Issued, "
         "BatchOpStockQuery.OpQty+IIf(IsNull(TransStockOnlyBatchQty.TotIn),0,"
         "TransStockOnlyBatchQty.TotIn)-IIf(IsNull(TransStockOnlyBatchQty.TotOut),0,"
         "TransStockOnlyBatchQty.TotOut) AS Balance "
         "FROM (SELECT Batch.Code, Batch.Batchno, Batch.Op_Qty+IIf(IsNull(opStockOnlyProductQty."
         "TransQty),0,opStockOnlyProductQty.TransQty) AS OpQty "
         "FROM batch LEFT JOIN (SELECT Stock.Code, Stock.BatchNo, Sum(IIF(AL='A',Stock.Qty,"
         "-Stock.Qty)) AS TransQty FROM Stock WHERE Stock.Date<" +
         p +
         " and IsNull(Stock.ChlnLink) GROUP BY Stock.Code, Stock.Batchno)  AS "
         "opStockOnlyProductQty ON batch.CODE=opStockOnlyProductQty.Code AND "
         "batch.BATCHNO=opStockOnlyProductQty.BatchNo) as BatchOpStockQuery LEFT JOIN (SELECT "
         "Stock.Code, Stock.BatchNo, Sum(IIF(AL='A',Stock.Qty,0)) AS TotIn, "
         "Sum(IIF(AL='L',Stock.Qty,0)) AS TotOut "
         "From Stock WHERE (Stock.Date " +
         r +
         ") And IsNull(Stock.ChlnLink) "
         "GROUP BY Stock.Code, Stock.Batchno) as TransStockOnlyBatchQty ON "
         "(BatchOpStockQuery.Batchno=TransStockOnlyBatchQty.BatchNo) AND "
         "(BatchOpStockQuery.Code=TransStockOnlyBatchQty.Code))  AS FinalStockQuery LEFT JOIN "
         "product ON FinalStockQuery.Code = product.CODE) LEFT JOIN batch ON (FinalStockQuery.Code"
         " = batch.CODE) AND (FinalStockQuery.BatchNo = batch.BATCHNO) "
         "Where FinalStockQuery.Balance <> 0 and " +
         std::string(product_condition) + " and " + std::string(batch_condition) +
         " Order By Product.Name,FinalStockQuery.BatchNo";
}

}  // namespace vatrix
