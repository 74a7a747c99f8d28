#include "hostdata/selection_lists.h"

#include <cmath>
#include <limits>

#include "hostdata/failure_report.h"
#include "hostdata/host_error.h"

namespace vatrix {

namespace {

constexpr long kTypeMismatch = 13;

struct FormQueries {
  const char* list1 = nullptr;
  const char* list2 = nullptr;  // filled only when set
};

constexpr char kSalesAccounts[] =
    "Select ACT.Name as [Select Tax Invoice Sales A/c Name], Code, Flag, Tag From ACT Where "
    "ACT.Group='100005' Order By ACT.Name ASC";
constexpr char kPurchaseAccounts[] =
    "Select ACT.Name as [Select Tax Invoice Purchase A/c Name], Code, Flag, Tag From ACT Where "
    "ACT.Group='100006' Order By ACT.Name ASC";
constexpr char kAllTaxTypes[] =
    "SELECT STAX.NAME, STAX.CODE, STAX.TAG From STAX  ORDER BY STAX.NAME";
constexpr char kCstSalesTaxTypes[] =
    "SELECT STAX.NAME, STAX.CODE, STAX.TAG From STAX Where (STAX.VATTYPE = 12 Or STAX.VATTYPE = "
    "9 Or STAX.VATTYPE = 18 Or STAX.VATTYPE = 11) Or (STAX.Type = 'C') ORDER BY STAX.NAME";
constexpr char kCstPurchaseTaxTypes[] =
    "SELECT STAX.NAME, STAX.CODE, STAX.TAG From STAX Where (STAX.VATTYPE = 13 Or STAX.VATTYPE = "
    "8 Or STAX.VATTYPE = 10) Or (STAX.Type = 'C') ORDER BY STAX.NAME";
constexpr char kProducts[] =
    "Select Product.Name,Product.Code as Code,Product.Tag,Product.OP_qty,Product.TotIn,"
    "Product.TotOut,Product.Cl_qty,Product.Clrate,Product.Batch From Product Order By "
    "Product.Name ASC";
constexpr char kBatches[] =
    "SELECT DISTINCT BATCH.BATCHNO,BATCH.TAG  From BATCH ORDER BY BATCH.BATCHNO";

FormQueries QueriesFor(const FormwiseChoice& choice) {
  const std::string& form = choice.return_code;
  if (form == "201A" || form == "202B") {
    return {kSalesAccounts, choice.tax_selection ? kAllTaxTypes : nullptr};
  }
  if (form == "201B" || form == "202A") return {kPurchaseAccounts, nullptr};
  if (form == "3BSALES") return {kCstSalesTaxTypes, nullptr};
  if (form == "3BPURCHASE") return {kCstPurchaseTaxTypes, nullptr};
  if (form == "201C") return {kProducts, kBatches};
  return {};
}

// The whole-number value of a row's code.
std::int32_t WholeNumber(const Value& code, const std::string& source) {
  double number = 0;
  bool ok = false;
  if (code.kind() == Value::Kind::kNumber) {
    number = code.number();
    ok = true;
  } else if (code.kind() == Value::Kind::kText) {
    size_t used = 0;
    try {
      number = std::stod(code.text(), &used);
      ok = code.text().find_first_not_of(' ', used) == std::string::npos;
    } catch (const std::exception&) {
      ok = false;
    }
  }
  ok = ok && std::floor(number) == number && number >= std::numeric_limits<std::int32_t>::min() &&
       number <= std::numeric_limits<std::int32_t>::max();
  if (!ok) {
    throw HostError(
        kTypeMismatch,
        "Type mismatch: the code \"" + code.ToDisplayText() + "\" is not a whole number", source);
  }
  return static_cast<std::int32_t>(number);
}

}  // namespace

bool isFieldExist(const RecordSet& records, std::string_view name) {
  return records.FieldIndex(name).has_value();
}

void Load_Rec(std::vector<ListItem>* list, std::optional<RecordSet>* records) {
  list->clear();
  RecordSet& rows = **records;
  if (rows.record_count() < 1) {
    records->reset();
    return;
  }
  const auto code = rows.FieldIndex("Code");
  rows.MoveFirst();
  for (int i = 0; i < rows.record_count(); ++i) {
    ListItem item{rows.field(0).ToDisplayText(), 0};
    if (code) item.code = WholeNumber(rows.field(*code), rows.source());
    list->push_back(std::move(item));
    rows.MoveNext();
  }
}

void FormwiseRecordSet(const FormwiseChoice& choice, SelectionLists* lists, UserInterface& ui) {
  try {
    lists->connection = Connection();
    lists->list1_records.reset();
    lists->list2_records.reset();
    lists->connection.Open(CompanyConnectionText(choice.host_folder, choice.company_code));
    const FormQueries queries = QueriesFor(choice);
    if (queries.list1) {
      lists->list1_records = lists->connection.Execute(queries.list1);
      Load_Rec(&lists->list1, &lists->list1_records);
    }
    if (queries.list2) {
      lists->list2_records = lists->connection.Execute(queries.list2);
      Load_Rec(&lists->list2, &lists->list2_records);
    }
  } catch (const HostError& error) {
    ReportDatabaseFailure(ui, kAppTitle, "Formwise Recordset - Error", error);
  }
}

}  // namespace vatrix
