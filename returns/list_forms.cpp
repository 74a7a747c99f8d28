#include "returns/list_forms.h"

#include <cstdint>
#include <optional>
#include <string_view>

#include "hostdata/failure_report.h"
#include "hostdata/host_error.h"
#include "hostdata/text.h"
#include "returns/builder_run.h"
#include "returns/list_export.h"
#include "returns/return_forms.h"

namespace vatrix {

namespace {

ListQueryInputs QueryInputs(const BuildContext& context) {
  const Session& s = context.session;
  return {s.PeriodRange, s.AccountCodes, s.TaxFilter, !context.panel.all_list2 && s.TaxSelection,
          context.panel.use_stock_date != "No"};
}

// Runs the list query. A query over an empty account list (it ends in "IN ()") is refused the
// way the provider refuses it, with a description that says why.
RecordSet OpenList(const BuildContext& context, const ListFacts& list, const std::string& query) {
  if (!list.cst && Trim(context.session.AccountCodes).empty()) {
    throw HostError(kQueryRejected,
                    "No account is selected: the account list of the query is empty (IN ())",
                    query);
  }
  return context.lists.connection.Execute(query);
}

void RunListForm(BuildContext& context, std::string_view code) {
  Session& session = context.session;
  const ListFacts& list = *FindReturnForm(code)->list;
  try {
    if (list.cst) {
      session.StateNames = CstStateNames();
      session.DeclarationForms = CstDeclarationForms();
    }
    const std::string query = list.query(QueryInputs(context));
    if (list.period_name_first && context.SetPeriodName) context.SetPeriodName();
    std::optional<RecordSet> records = OpenList(context, list, query);
    const std::int32_t count = records->record_count();
    const auto first_day = ParseDisplayDate(session.YearFrom);
    context.workbook.TemplateName =
        ExcelFileName(list, context.panel.old_type, first_day ? first_day->year : 0, count);
    DBFToExcel(context, &records, count);
  } catch (const HostError& error) {
    ReportDatabaseFailure(context.ui, AppTitleOf(session), std::string(list.error_title), error);
  }
}

}  // namespace

void Form201A(BuildContext& context) { RunListForm(context, "201A"); }
void Form201B(BuildContext& context) { RunListForm(context, "201B"); }
void Form202A(BuildContext& context) { RunListForm(context, "202A"); }
void Form202B(BuildContext& context) { RunListForm(context, "202B"); }
void Form3BSales(BuildContext& context) { RunListForm(context, "3BSALES"); }
void Form3BPurchase(BuildContext& context) { RunListForm(context, "3BPURCHASE"); }

const std::vector<std::string>& CstStateNames() {
  static const std::vector<std::string> kNames = {"Andaman and Nicobar Islands",
                                                  "Andhra Pradesh",
                                                  "Arunachal Pradesh",
                                                  "Assam",
                                                  "Bihar",
                                                  "Chandigarh",
                                                  "Chattisgarh",
                                                  "Daman And Diu",
                                                  "Delhi",
                                                  "Dadra and Nagar Haveli",
                                                  "Goa",
                                                  "Gujarat",
                                                  "Himachal Pradesh",
                                                  "Haryana",
                                                  "Jammu And Kashmir",
                                                  "Jharkand",
                                                  "Karnataka",
                                                  "Kerala",
                                                  "Lakshadweep",
                                                  "Meghalaya",
                                                  "Maharastra",
                                                  "Manipur",
                                                  "Madhya Pradesh",
                                                  "Mizoram",
                                                  "Nagaland",
                                                  "Orissa",
                                                  "Punjab",
                                                  "Pondichery",
                                                  "Rajasthan",
                                                  "Sikkim",
                                                  "Tamil Nadu",
                                                  "Tripura",
                                                  "Telangana",
                                                  "Uttaranchal",
                                                  "Uttar Pradesh",
                                                  "West Bengal"};
  return kNames;
}

const std::vector<std::string>& CstDeclarationForms() {
  static const std::vector<std::string> kForms = {"CST-Form C", "CST-Form F", "CST-Form H"};
  return kForms;
}

}  // namespace vatrix
