#include "hostdata/selection_lists.h"

#include <cmath>
#include <limits>

#include "hostdata/failure_report.h"
#include "hostdata/host_error.h"

namespace vatrix {

namespace {

constexpr long kTypeMismatch = 13;

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
    lists->connection.OpenFolder(CompanyFolder(choice.host_folder, choice.company_code));
    if (!choice.list1_query.empty()) {
      lists->list1_records = lists->connection.Execute(choice.list1_query);
      Load_Rec(&lists->list1, &lists->list1_records);
    }
    if (!choice.list2_query.empty()) {
      lists->list2_records = lists->connection.Execute(choice.list2_query);
      Load_Rec(&lists->list2, &lists->list2_records);
    }
  } catch (const HostError& error) {
    ReportDatabaseFailure(ui, kAppTitle, "Formwise Recordset - Error", error);
  }
}

}  // namespace vatrix
