// Every query text the program builds, assembled from its pieces the way the builders
// assemble them for sample periods, run on the sample installation; the texts of the returns
// built so far come from their builders, and texts other returns share with them run once.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "hostdata/connection.h"
#include "hostdata/dbf_reader.h"
#include "hostdata/host_error.h"
#include "hostdata/value.h"
#include "returns/form201_queries.h"
#include "returns/list_queries.h"
#include "returns/vat_credit.h"

namespace vatrix {
namespace {

// ---- The sample installation: the catalogue and the 2015-16 company (code 7) ----

std::string SampleRoot() {
  const char* root = std::getenv("VATRIX_SAMPLE");
  return root == nullptr ? "" : root;
}

std::string CompanyFolder() { return SampleRoot() + "/007"; }

// Period texts of the 2015-16 year as the period list writes them: a leading blank,
// month/day/year literals, a trailing "# ".
constexpr char kApril[] = " Between #4/1/2015# and #4/30/2015# ";
constexpr char kAprilStart[] = " #4/1/2015# ";
constexpr char kAprilEnd[] = " #4/30/2015# ";
constexpr char kDayBeforeApril[] = " #3/31/2015# ";
constexpr char kJulyStart[] = " #7/1/2015# ";
constexpr char kFirstQuarter[] = " Between #4/1/2015# and #6/30/2015# ";
constexpr char kFebruary[] = " Between #2/1/2016# and #2/29/2016# ";
constexpr char kWholeYear[] = " Between #4/1/2015# and #3/31/2016# ";

std::string Join(std::initializer_list<std::string_view> pieces) {
  std::string text;
  for (std::string_view piece : pieces) text.append(piece);
  return text;
}

std::string Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return "";
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

// ---- Table rows read straight from the files ----

using Text = std::optional<std::string>;

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// The live rows of one host table, with typed access by column name (case ignored).
class TableRows {
 public:
  TableRows(const std::string& folder, std::string_view table) : table_(table) {
    const std::optional<std::string> path = FindTableFile(folder, table);
    if (!path) throw std::runtime_error("no file for table " + table_ + " in " + folder);
    DbfReader reader(*path);
    for (const DbfField& field : reader.fields()) names_.push_back(field.name);
    std::vector<Value> row;
    while (reader.ReadRow(&row)) rows_.push_back(row);
  }

  size_t size() const { return rows_.size(); }

  // A blank character field counts as null, as the engine reads it.
  Text TextAt(size_t row, std::string_view column) const {
    const Value& value = At(row, column);
    if (value.kind() != Value::Kind::kText || value.text().empty()) return std::nullopt;
    return value.text();
  }

 private:
  const Value& At(size_t row, std::string_view column) const {
    for (size_t i = 0; i < names_.size(); ++i) {
      if (SameTextIgnoringCase(names_[i], column)) return rows_.at(row).at(i);
    }
    throw std::runtime_error("table " + table_ + " has no column " + std::string(column));
  }

  std::string table_;
  std::vector<std::string> names_;
  std::vector<std::vector<Value>> rows_;
};

// A text column compared as a WHERE clause compares it: a null satisfies no comparison.
bool Is(const Text& text, std::string_view wanted) {
  return text && SameTextIgnoringCase(*text, wanted);
}

// ---- The selections a user makes in the panel, taken from the sample's own lists ----

// A list item keeps the whole-number value of its row's code.
std::string ItemCode(const Text& code) {
  if (!code) return "";
  try {
    return std::to_string(std::stoll(*code));
  } catch (const std::exception&) {
    return *code;
  }
}

// The account codes of the list, each as " 'code' ," with the final comma dropped.
std::string AccountCodesOf(const std::vector<std::string>& codes) {
  std::string text;
  for (const std::string& code : codes) text += " '" + Trimmed(code) + "' ,";
  if (!text.empty()) text.pop_back();
  return text;
}

// The tax-type condition: " Stax.Name= 'name' OR " per chosen type, the last "OR " dropped.
// An apostrophe inside a name is doubled so the name stays one literal.
std::string TaxFilterOf(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) {
    std::string quoted;
    for (char c : name) quoted += c == '\'' ? std::string("''") : std::string(1, c);
    text += " Stax.Name= '" + quoted + "' OR ";
  }
  if (text.size() >= 3) text.resize(text.size() - 3);
  return text;
}

// "'a','b'" for an IN (...) list of the stock statement.
std::string QuotedList(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "'" : ",'") + item + "'";
  return text;
}

struct Selections {
  std::vector<std::string> sales_accounts;      // group 100005, in name order
  std::vector<std::string> purchase_accounts;   // group 100006
  std::vector<std::string> sales_tax_types;     // names of "OV" tax types
  std::vector<std::string> purchase_tax_types;  // names of "IV" tax types
  std::vector<std::string> products;            // product codes
  std::vector<std::string> batches;             // batch numbers
};

Selections ReadSelections() {
  Selections s;
  const std::string folder = CompanyFolder();
  const TableRows act(folder, "ACT");
  std::multimap<std::string, std::string> sales, purchases;  // name -> code
  for (size_t i = 0; i < act.size(); ++i) {
    const std::string name = act.TextAt(i, "NAME").value_or("");
    if (Is(act.TextAt(i, "GROUP"), "100005")) sales.emplace(name, ItemCode(act.TextAt(i, "CODE")));
    if (Is(act.TextAt(i, "GROUP"), "100006")) {
      purchases.emplace(name, ItemCode(act.TextAt(i, "CODE")));
    }
  }
  for (const auto& [name, code] : sales) s.sales_accounts.push_back(code);
  for (const auto& [name, code] : purchases) s.purchase_accounts.push_back(code);
  const TableRows stax(folder, "STAX");
  for (size_t i = 0; i < stax.size(); ++i) {
    const std::string name = stax.TextAt(i, "NAME").value_or("");
    if (Is(stax.TextAt(i, "VATDET"), "OV")) s.sales_tax_types.push_back(name);
    if (Is(stax.TextAt(i, "VATDET"), "IV")) s.purchase_tax_types.push_back(name);
  }
  const TableRows product(folder, "Product");
  for (size_t i = 0; i < product.size(); ++i) {
    s.products.push_back(ItemCode(product.TextAt(i, "CODE")));
  }
  const TableRows batch(folder, "Batch");
  for (size_t i = 0; i < batch.size(); ++i) {
    s.batches.push_back(batch.TextAt(i, "BATCHNO").value_or(""));
  }
  return s;
}

const Selections& SampleSelections() {
  static const Selections selections = ReadSelections();
  return selections;
}

// ---- Selection lists and the catalogue ----

constexpr char kSalesAccountList[] =
    "Select ACT.Name as [Select Tax Invoice Sales A/c Name], Code, Flag, Tag From ACT Where "
    "ACT.Group='100005' Order By ACT.Name ASC";
constexpr char kTaxTypeList[] =
    "SELECT STAX.NAME, STAX.CODE, STAX.TAG From STAX  ORDER BY STAX.NAME";
constexpr char kPurchaseAccountList[] =
    "Select ACT.Name as [Select Tax Invoice Purchase A/c Name], Code, Flag, Tag From ACT Where "
    "ACT.Group='100006' Order By ACT.Name ASC";
constexpr char kCstSalesTaxTypeList[] =
    "SELECT STAX.NAME, STAX.CODE, STAX.TAG From STAX Where (STAX.VATTYPE = 12 Or STAX.VATTYPE = 9 "
    "Or STAX.VATTYPE = 18 Or STAX.VATTYPE = 11) Or (STAX.Type = 'C') ORDER BY STAX.NAME";
constexpr char kCstPurchaseTaxTypeList[] =
    "SELECT STAX.NAME, STAX.CODE, STAX.TAG From STAX Where (STAX.VATTYPE = 13 Or STAX.VATTYPE = 8 "
    "Or STAX.VATTYPE = 10) Or (STAX.Type = 'C') ORDER BY STAX.NAME";
constexpr char kProductList[] =
    "Select Product.Name,Product.Code as "
    "Code,Product.Tag,Product.OP_qty,Product.TotIn,Product.TotOut,Product.Cl_qty,Product.Clrate,"
    "Product.Batch From Product Order By Product.Name ASC";
constexpr char kBatchList[] =
    "SELECT DISTINCT BATCH.BATCHNO,BATCH.TAG  From BATCH ORDER BY BATCH.BATCHNO";

// The search dialog's filter: rows whose `column` starts with `typed`, in that column's order.
std::string SearchFilter(std::string_view column, std::string_view typed) {
  return Join({"Select Code,Name,DFr,DTo From Company where ucase(mid(", column, ",1,",
               std::to_string(typed.size()), "))= '", typed, "' Order By ", column});
}

// ---- Form 201C stock statement ----

// `products` and `batches` are the list conditions ("1=1" for all).
std::string StockStatement(std::string_view period_start, std::string_view period,
                           std::string_view products, std::string_view batches) {
  return Join(
      {"SELECT FinalStockQuery.Code, product.NAME, FinalStockQuery.BatchNo, product.UNIT1, "
       "FinalStockQuery.OpQty, FinalStockQuery.Received, FinalStockQuery.Issued, "
       "FinalStockQuery.Balance, "
       "IIF(Product.Batch=False,IIF(IsNull(product.CLRATE),0,Product.ClRate),IIF(IsNull(Batch."
       "ClRate),0,Batch.ClRate)) AS ClRate, (FinalStockQuery.Balance * "
       "(IIF(Product.Batch=False,IIF(IsNull(product.CLRATE),0,Product.ClRate),IIF(IsNull(Batch."
       "ClRate),0,Batch.ClRate)))) AS ClosingValue ",
       "FROM ((SELECT ProductOpStockQuery.Code,'' as BatchNo, ProductOpStockQuery.OpQty, "
       "IIF(IsNull(TransStockOnlyProductQty.TotIn),0,TransStockOnlyProductQty.TotIn) AS Received, "
       "IIF(IsNull(TransStockOnlyProductQty.TotOut),0,TransStockOnlyProductQty.TotOut) AS Issued, "
       "(ProductOpStockQuery.OpQty+IIF(IsNull(TransStockOnlyProductQty.TotIn),0,"
       "TransStockOnlyProductQty.TotIn) - "
       "IIF(IsNull(TransStockOnlyProductQty.TotOut),0,TransStockOnlyProductQty.TotOut)) AS "
       "Balance ",
       "FROM (SELECT Product.Code, "
       "Product.Op_Qty+IIF(IsNull(opStockOnlyProductQty.TransQty),0,opStockOnlyProductQty.TransQty)"
       " AS OpQty ",
       "FROM product LEFT JOIN (SELECT Stock.Code, Sum(IIF(AL='A',Stock.Qty,-Stock.Qty)) AS "
       "TransQty FROM Stock WHERE Stock.Date<",
       period_start,
       " and IsNull(Stock.ChlnLink) GROUP BY Stock.Code)  AS opStockOnlyProductQty ON "
       "product.CODE=opStockOnlyProductQty.Code ",
       "WHERE Product.Batch=False) as ProductOpStockQuery LEFT JOIN (SELECT Stock.Code, "
       "Sum(IIF(AL='A',Stock.Qty,0)) AS TotIn, Sum(IIF(AL='L',Stock.Qty,0)) AS TotOut ",
       "From Stock ",
       "WHERE (Stock.Date ",
       period,
       ") And IsNull(Stock.ChlnLink) ",
       "GROUP BY Stock.Code) as TransStockOnlyProductQty ON ProductOpStockQuery.Code = "
       "TransStockOnlyProductQty.Code ",
       "UNION ",
       "SELECT BatchOpStockQuery.Code, BatchOpStockQuery.Batchno, BatchOpStockQuery.OpQty, "
       "IIF(IsNull(TransStockOnlyBatchQty.TotIn),0,TransStockOnlyBatchQty.TotIn) AS Received, "
       "IIF(IsNull(TransStockOnlyBatchQty.TotOut),0,TransStockOnlyBatchQty.TotOut) AS Issued, "
       "BatchOpStockQuery.OpQty+IIf(IsNull(TransStockOnlyBatchQty.TotIn),0,TransStockOnlyBatchQty."
       "TotIn)-IIf(IsNull(TransStockOnlyBatchQty.TotOut),0,TransStockOnlyBatchQty.TotOut) AS "
       "Balance ",
       "FROM (SELECT Batch.Code, Batch.Batchno, "
       "Batch.Op_Qty+IIf(IsNull(opStockOnlyProductQty.TransQty),0,opStockOnlyProductQty.TransQty) "
       "AS OpQty ",
       "FROM batch LEFT JOIN (SELECT Stock.Code, Stock.BatchNo, "
       "Sum(IIF(AL='A',Stock.Qty,-Stock.Qty)) AS TransQty FROM Stock WHERE Stock.Date<",
       period_start,
       " and IsNull(Stock.ChlnLink) GROUP BY Stock.Code, Stock.Batchno)  AS opStockOnlyProductQty "
       "ON batch.CODE=opStockOnlyProductQty.Code",
       " AND batch.BATCHNO=opStockOnlyProductQty.BatchNo",
       ") as BatchOpStockQuery LEFT JOIN (SELECT Stock.Code, Stock.BatchNo, "
       "Sum(IIF(AL='A',Stock.Qty,0)) AS TotIn, Sum(IIF(AL='L',Stock.Qty,0)) AS TotOut ",
       "From Stock ",
       "WHERE (Stock.Date ",
       period,
       ") And IsNull(Stock.ChlnLink) ",
       "GROUP BY Stock.Code, Stock.Batchno) as TransStockOnlyBatchQty ON "
       "(BatchOpStockQuery.Batchno=TransStockOnlyBatchQty.BatchNo) AND "
       "(BatchOpStockQuery.Code=TransStockOnlyBatchQty.Code))  AS FinalStockQuery LEFT JOIN "
       "product ON FinalStockQuery.Code = product.CODE) LEFT JOIN batch ON (FinalStockQuery.Code = "
       "batch.CODE) AND (FinalStockQuery.BatchNo = batch.BATCHNO) ",
       "Where FinalStockQuery.Balance <> 0 and ",
       products,
       " and ",
       batches,
       " ",
       "Order By Product.Name,FinalStockQuery.BatchNo"});
}

std::string SelectedProducts(const std::vector<std::string>& codes) {
  return "FinalStockQuery.Code in (" + QuotedList(codes) + ")";
}

std::string SelectedBatches(const std::vector<std::string>& numbers) {
  return "FinalStockQuery.BatchNo in (" + QuotedList(numbers) + ")";
}

// ---- Form 202 ----

// The bills of one voucher type up to a day. The period's totals, the type-5 purchases and the
// input tax by rate are Form 201's Q1, Q2, Q6 and R3 for the same period.
std::string BillsUpTo(std::string_view vtype, std::string_view last_day) {
  return Join({"SELECT Sum(Bill_amt) AS Amount From SP WHERE (SP.VTYPE='", vtype,
               "') and SP.DATE<=", last_day});
}

// ---- Form 205 ----

// Form 205's yearly figure An is Form 201's figure kForm205Figures[n - 1] over the whole year,
// except A12 (0), the sales returns other than CST ones.
constexpr int kForm205Figures[30] = {1,  2,  5,  6,  7, 8, 9,  14, 12, 15, 13, 0,  22, 27, 29,
                                     23, 30, 24, 28, 3, 4, 18, 16, 19, 17, 11, 20, 10, 25, 26};

std::string Form205Figure(size_t a) {
  const int q = kForm205Figures[a - 1];
  if (q != 0) return Form201AggregateQueries(kWholeYear).at(q - 1);
  return Join(
      {"SELECT Sum(Bill_amt) AS Amount From SP INNER JOIN STAX ON SP.ST_TYPE = STAX.CODE "
       "WHERE (SP.VTYPE='SR') and (STAX.VATTYPE<>18 and STAX.VATTYPE<>12 and "
       "Stax.Type<>'C') and  (SP.DATE",
       kWholeYear, ")"});
}

constexpr char kOpeningBalance[] = "Select OpBal From ACT Where ACT.ACT_TYPE = 90";
constexpr char kVatAccountPayments[] =
    "SELECT LEDGER.*, LEDGER.VTYPE, Month(Ledger.DATE) AS MonthNm FROM LEDGER INNER JOIN ACT ON "
    "LEDGER.CODE = ACT.CODE "
    "Where (((LEDGER.VTYPE) <> 'SA' And (LEDGER.VTYPE) <> 'PU' And (LEDGER.VTYPE) <> 'SR' And "
    "(LEDGER.VTYPE) <> 'PR') And ((LEDGER.VATCODE) Is Null) And ((ACT.ACT_TYPE) = 90) And "
    "((LEDGER.DC)='D')) "
    "ORDER BY LEDGER.DATE";
constexpr char kBankAndCashPayments[] =
    "SELECT LEDGER.*, LEDGER.VTYPE, Month(Ledger.date) AS MonthNm "
    "FROM LEDGER INNER JOIN ACT ON LEDGER.CODE = ACT.CODE "
    "Where (((LEDGER.VTYPE) = 'BP' or (LEDGER.VTYPE) = 'CP') And ((ACT.ACT_TYPE) = 4) And "
    "((Ledger.DC)='D')) "
    "ORDER BY LEDGER.DATE";

// ---- Form 3B ----

// Bills of the period of one voucher type with a CST tax type.
std::string CstBills(std::string_view sum, std::string_view vtype, std::string_view d) {
  return Join({"SELECT Sum(", sum,
               ") AS Amount FROM SP LEFT JOIN STAX ON SP.ST_TYPE = STAX.CODE WHERE SP.VTYPE='",
               vtype, "' AND (STAX.TYPE='C' or STAX.VATTYPE=12 or STAX.VATTYPE=18) And SP.DATE",
               d});
}

// Bank and cash postings of the period other than bills; `sum` is over the posting side
// `side`, the gross value read from the rate in Narr1 or the tax alone.
std::string BankPostings(std::string_view side, bool gross, std::string_view d) {
  const std::string sum =
      gross ? Join({"Sum(IIf(Ledger.DC='", side,
                    "',IIf(IsNull(Ledger.Narr1),0,Iif(Val(Ledger.Narr1)=0,0,Ledger.Amt+((100*"
                    "Ledger.Amt)/Val(Ledger.Narr1)))),0))"})
            : Join({"Sum(IIf([Ledger].[DC]='", side, "',[Ledger].[Amt],0))"});
  return Join({"SELECT ", sum,
               " AS Bill_amt FROM ACT INNER JOIN LEDGER ON ACT.CODE = LEDGER.CODE WHERE "
               "(((LEDGER.VTYPE)<>'SA' And (LEDGER.VTYPE)<>'SR' And (LEDGER.VTYPE)<>'PR' And "
               "(LEDGER.VTYPE)<>'PU') AND ((ACT.ACT_TYPE)=4)) AND (Ledger.Date",
               d, ")"});
}

// Form 3B's figures by C-number, but for C1, C3, C5, C6, C10 and C11: those are Form 201's
// Q1, Q3, Q7, Q12, Q25 and Q26 for the same period.
std::vector<std::pair<int, std::string>> Form3BOwnFigures(std::string_view d) {
  return {
      {2, Join({"SELECT Sum(Bill_amt) AS Amount FROM SP LEFT JOIN STAX ON SP.ST_TYPE = STAX.CODE "
                "WHERE (((SP.VTYPE)='SA') AND ((STAX.TYPE)<>'C') AND ((STAX.VATTYPE)<>12 And "
                "(STAX.VATTYPE)<>18 And (STAX.VATTYPE)<>11 And (STAX.VATTYPE)<>9)) And SP.DATE",
                d})},
      {4, Join({"SELECT Sum([Bill_amt]) AS Amount FROM SP LEFT JOIN STAX ON SP.ST_TYPE = "
                "STAX.CODE WHERE SP.VTYPE='SA' AND STAX.PCN=0 And STAX.TYPE='C' And SP.DATE",
                d})},
      {7, CstBills("[Bill_amt]-[Tax_amt]-[St_amt]", "SA", d)},
      {8, CstBills("[Tax_amt]+St_amt", "SR", d)},
      {9, CstBills("St_amt", "SR", d)},
      {12, BankPostings("C", true, d)},
      {13, BankPostings("C", false, d)},
      {14, BankPostings("D", true, d)},
      {15, BankPostings("D", false, d)},
  };
}

std::string Form3BSalesByRate(std::string_view d) {
  return Join(
      {"SELECT Sum(SP.TAX_AMT) AS TAX_AMT, Sum(SP.ST_AMT) AS ST_AMT, STAX.PCN FROM SP INNER JOIN "
       "STAX ON SP.ST_TYPE = STAX.CODE ",
       "Where (((STAX.Type = 'C' And SP.VTYPE = 'SA') Or (SP.VTYPE = 'SA' And (STAX.VATTYPE = 12 "
       "Or STAX.VATTYPE = 18))) AND ",
       "(SP.DATE ", d, " )) ", "GROUP BY STAX.PCN "});
}

// ---- The table of every query text ----

enum class Folder { kCatalogue, kCompany };
enum class Expect {
  kRuns,    // may legitimately give no row
  kRows,    // the sample gives at least one row
  kOneRow,  // an aggregate: exactly one row, even over no bills
};

struct CatalogueQuery {
  std::string name;
  Folder folder;
  Expect expect;
  std::function<std::string()> text;  // assembled when the test runs
};

void PrintTo(const CatalogueQuery& query, std::ostream* out) { *out << query.name; }

void Add(std::vector<CatalogueQuery>* table, std::string name, Expect expect,
         std::function<std::string()> text) {
  table->push_back({std::move(name), Folder::kCompany, expect, std::move(text)});
}

// Fixed texts (or texts built from fixed input) that give rows on the sample.
void AddTexts(std::vector<CatalogueQuery>* t,
              std::initializer_list<std::pair<const char*, std::string>> texts,
              Folder folder = Folder::kCompany) {
  for (const auto& [name, text] : texts) {
    t->push_back({name, folder, Expect::kRows, [text = text] { return text; }});
  }
}

void AddCatalogueAndSearch(std::vector<CatalogueQuery>* t) {
  AddTexts(
      t,
      {{"Company chooser", "Select * From Company Order By Name ASC,DFr,DTo"},
       {"Company row of code 7", "Select * From Company Where Code=7 Order By Name ASC"},
       {"Search dialog load", "Select Code,Name,DFr,DTo From Company Order By Name ASC,DFr,DTo"},
       {"Search dialog filter by Name", SearchFilter("Name", "Sa")},
       {"Search dialog filter by Code", SearchFilter("Code", "7")},
       {"Search dialog empty filter", SearchFilter("Name", "")},
       {"Search dialog choice", "Select Code,Name,DFr,DTo From Company Order By Name,DFr,DTo"}},
      Folder::kCatalogue);
}

void AddSelectionLists(std::vector<CatalogueQuery>* t) {
  AddTexts(t, {{"FormwiseRecordSet 201A List1", kSalesAccountList},
               {"FormwiseRecordSet 201A List2", kTaxTypeList},
               {"FormwiseRecordSet 201B List1", kPurchaseAccountList},
               {"FormwiseRecordSet 3BSALES List1", kCstSalesTaxTypeList},
               {"FormwiseRecordSet 3BPURCHASE List1", kCstPurchaseTaxTypeList},
               {"FormwiseRecordSet 201C List1", kProductList},
               {"FormwiseRecordSet 201C List2", kBatchList}});
}

void AddForm201(std::vector<CatalogueQuery>* t) {
  const std::pair<const char*, const char*> periods[] = {{"April", kApril},
                                                         {"Quarter1", kFirstQuarter}};
  for (const auto& [label, period] : periods) {
    const std::string p = period;
    for (size_t q = 1; q <= 30; ++q) {
      Add(t, "Form201 Q" + std::to_string(q) + " " + label, Expect::kOneRow,
          [p, q] { return Form201AggregateQueries(p).at(q - 1); });
    }
    Add(t, std::string("Form201 R1 ") + label, Expect::kRows,
        [p] { return Form201OutputTaxByRate(p); });
    Add(t, std::string("Form201 R2 ") + label, Expect::kRows,
        [p] { return Form201PurchaseTaxByRate(p); });
    Add(t, std::string("Form201 R3 ") + label, Expect::kRows,
        [p] { return Form201InputTaxByRate(p); });
  }
}

void AddVatCredit(std::vector<CatalogueQuery>* t) {
  const std::pair<const char*, const char*> starts[] = {{"April", kAprilStart},
                                                        {"July", kJulyStart}};
  for (const auto& [label, start] : starts) {
    const std::string day = start;
    Add(t, std::string("VatCredit monthly steps ") + label, Expect::kRows,
        [day] { return MonthlyCreditStepQuery("01/04/2015", day); });
    Add(t, std::string("VatCredit quarterly steps ") + label, Expect::kRows,
        [day] { return QuarterlyCreditStepQuery("01/04/2015", day); });
  }
}

// The bill lists as their builders compose them, for the sample's own accounts and tax types.
void AddAnnexures(std::vector<CatalogueQuery>* t) {
  for (const char* code : {"201A", "201B", "202A"}) {
    const bool sales = code == std::string("201A");
    auto inputs = [sales](const char* period, bool one_account, bool selected) {
      const Selections& s = SampleSelections();
      std::vector<std::string> accounts = sales ? s.sales_accounts : s.purchase_accounts;
      if (one_account && !accounts.empty()) accounts.resize(1);
      return ListQueryInputs{period, AccountCodesOf(accounts),
                             TaxFilterOf(sales ? s.sales_tax_types : s.purchase_tax_types),
                             selected, false};
    };
    const std::string form = std::string("Form") + code;
    Add(t, form + " tax types selected", Expect::kRows,
        [=] { return ListQuery(code, inputs(kApril, false, true)); });
    Add(t, form + " all tax types", Expect::kRows,
        [=] { return ListQuery(code, inputs(kApril, false, false)); });
    Add(t, form + " one account all tax types", Expect::kRuns,
        [=] { return ListQuery(code, inputs(kApril, true, false)); });
    Add(t, form + " all tax types quarter", Expect::kRows,
        [=] { return ListQuery(code, inputs(kFirstQuarter, false, false)); });
  }
  Add(t, "Form202B list", Expect::kRows, [] {
    return ListQuery("202B",
                     {kApril, AccountCodesOf(SampleSelections().sales_accounts), "", false, false});
  });
  for (const char* code : {"3BSALES", "3BPURCHASE"}) {
    for (bool stock_date : {false, true}) {
      Add(t, std::string("Form") + code + (stock_date ? " by stock date" : " by bill date"),
          Expect::kRows, [=] {
            return ListQuery(code, {kApril, "", "", false, stock_date});
          });
    }
  }
}

void AddStockStatement(std::vector<CatalogueQuery>* t) {
  Add(t, "Form201C stock statement", Expect::kRows,
      [] { return StockStatement(kAprilStart, kApril, "1=1", "1=1"); });
  Add(t, "Form201C selected products", Expect::kRows, [] {
    return StockStatement(kAprilStart, kApril, SelectedProducts(SampleSelections().products),
                          "1=1");
  });
  Add(t, "Form201C selected batches", Expect::kRuns, [] {
    return StockStatement(kAprilStart, kApril, "1=1", SelectedBatches(SampleSelections().batches));
  });
  Add(t, "Form201C first product only", Expect::kRuns, [] {
    const auto& products = SampleSelections().products;
    return StockStatement(kAprilStart, kApril,
                          SelectedProducts({products.empty() ? "" : products.front()}), "1=1");
  });
}

void AddForm202(std::vector<CatalogueQuery>* t) {
  const std::tuple<const char*, const char*, const char*> totals[] = {
      {"S-open", "SA", kDayBeforeApril},
      {"P-open", "PU", kDayBeforeApril},
      {"S-close", "SA", kAprilEnd},
      {"P-close", "PU", kAprilEnd}};
  for (const auto& [name, vtype, day] : totals) {
    Add(t, std::string("Form202 ") + name, Expect::kOneRow,
        [vtype = vtype, day = day] { return BillsUpTo(vtype, day); });
  }
}

void AddForm205(std::vector<CatalogueQuery>* t) {
  for (size_t a = 1; a <= 30; ++a) {
    Add(t, "Form205 A" + std::to_string(a), Expect::kOneRow, [a] { return Form205Figure(a); });
  }
  Add(t, "Form205 R1", Expect::kRows, [] { return Form201OutputTaxByRate(kWholeYear); });
  Add(t, "Form205 R2", Expect::kRows, [] { return Form201PurchaseTaxByRate(kWholeYear); });
  Add(t, "Form205 R3", Expect::kRows, [] { return Form201InputTaxByRate(kWholeYear); });
  AddTexts(t, {{"Form205 R4", kOpeningBalance},
               {"Form205 R5", kVatAccountPayments},
               {"Form205 R6", kBankAndCashPayments}});
}

void AddForm3B(std::vector<CatalogueQuery>* t) {
  for (const auto& [c, text] : Form3BOwnFigures(kApril)) {
    Add(t, "Form3B C" + std::to_string(c), Expect::kOneRow, [text = text] { return text; });
  }
  Add(t, "Form3B sales by rate", Expect::kRows, [] { return Form3BSalesByRate(kApril); });
}

std::vector<CatalogueQuery> EveryQuery() {
  std::vector<CatalogueQuery> table;
  AddCatalogueAndSearch(&table);
  AddSelectionLists(&table);
  AddForm201(&table);
  AddVatCredit(&table);
  AddAnnexures(&table);
  AddStockStatement(&table);
  AddForm202(&table);
  AddForm205(&table);
  AddForm3B(&table);
  return table;
}

// Connections opened once, with the connection texts the program uses.
const Connection& CatalogueConnection() {
  static const Connection connection = [] {
    Connection c;
    c.Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + SampleRoot() +
           ";Mode=ReadWrite;Extended Properties=dBase IV;Persist Security Info=False");
    return c;
  }();
  return connection;
}

const Connection& CompanyConnection() {
  static const Connection connection = [] {
    Connection c;
    c.Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + SampleRoot() + "\\007" +
           ";Extended Properties=dBASE IV;User ID=;Password=");
    return c;
  }();
  return connection;
}

std::string Describe(const HostError& error) {
  return "error " + std::to_string(error.number()) + ": " + error.description() + " [" +
         error.source() + "]";
}

class QueryCatalogueTest : public testing::TestWithParam<CatalogueQuery> {
 protected:
  void SetUp() override {
    if (SampleRoot().empty()) GTEST_SKIP() << "VATRIX_SAMPLE is not set";
  }
};

TEST_P(QueryCatalogueTest, Executes) {
  const CatalogueQuery& query = GetParam();
  std::string text;
  try {
    text = query.text();
    const Connection& connection =
        query.folder == Folder::kCatalogue ? CatalogueConnection() : CompanyConnection();
    const RecordSet records = connection.Execute(text);
    switch (query.expect) {
      case Expect::kRuns:
        break;
      case Expect::kRows:
        EXPECT_GE(records.record_count(), 1) << query.name << " gave no row:\n" << text;
        break;
      case Expect::kOneRow:
        EXPECT_EQ(records.record_count(), 1) << query.name << ":\n" << text;
        break;
    }
  } catch (const HostError& error) {
    ADD_FAILURE() << query.name << " failed, " << Describe(error) << "\n" << text;
  } catch (const std::exception& error) {
    ADD_FAILURE() << query.name << ": " << error.what();
  }
}

std::string TestName(const testing::TestParamInfo<CatalogueQuery>& info) {
  std::string name;
  for (char c : info.param.name) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(EveryText, QueryCatalogueTest, testing::ValuesIn(EveryQuery()), TestName);

// No two entries run the same text: a slip in a figure map would otherwise leave a text unrun
// while the table still looks complete.
TEST(QueryCatalogue, RunsEachTextOnce) {
  if (SampleRoot().empty()) GTEST_SKIP() << "VATRIX_SAMPLE is not set";
  std::map<std::string, std::string> names;  // text -> the entry that runs it
  for (const CatalogueQuery& query : EveryQuery()) {
    const auto [first, added] = names.emplace(query.text(), query.name);
    EXPECT_TRUE(added) << query.name << " repeats " << first->second;
  }
}
}  // namespace
}  // namespace vatrix
