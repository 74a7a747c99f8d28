#include "returns/list_forms.h"

#include <cstdint>
#include <optional>
#include <string_view>

#include "app/text.h"
#include "hostdata/failure_report.h"
#include "hostdata/host_error.h"
#include "returns/list_export.h"
#include "returns/list_queries.h"

namespace vatrix {

namespace {

bool IsCst(std::string_view code) { return code == "3BSALES" || code == "3BPURCHASE"; }

ListQueryInputs QueryInputs(const BuildContext& context) {
  const Session& s = context.session;
  return {s.PeriodRange, s.AccountCodes, s.TaxFilter, !context.panel.all_list2 && s.TaxSelection,
          context.panel.use_stock_date != "No"};
}

// Runs the list query. A query over an empty account list (it ends in "IN ()") is refused the
// way the provider refuses it, with a description that says why.
RecordSet OpenList(const BuildContext& context, std::string_view code, const std::string& query) {
  if (!IsCst(code) && Trim(context.session.AccountCodes).empty()) {
    throw HostError(kQueryRejected,
                    "No account is selected: the account list of the query is empty (IN ())",
                    query);
  }
  return context.lists.connection.Execute(query);
}

void RunListForm(BuildContext& context, std::string_view code, const std::string& title) {
  Session& session = context.session;
  try {
    if (IsCst(code)) {
      session.StateNames = CstStateNames();
      session.DeclarationForms = CstDeclarationForms();
    }
    const std::string query = ListQuery(code, QueryInputs(context));
    if ((code == "201A" || code == "201B") && context.SetPeriodName) context.SetPeriodName();
    std::optional<RecordSet> records = OpenList(context, code, query);
    const std::int32_t count = records->record_count();
    context.workbook.TemplateName =
        ExcelFileName(code, context.panel.old_type, YearOfDate(session.YearFrom), count);
    DBFToExcel(context, &records, count);
  } catch (const HostError& error) {
    ReportDatabaseFailure(context.ui, session.AppTitle.empty() ? kAppTitle : session.AppTitle,
                          title, error);
  }
}

}  // namespace

void Form201A(BuildContext& context) { RunListForm(context, "201A", "Form 201A Error"); }
void Form201B(BuildContext& context) { RunListForm(context, "201B", "Form 201B Error"); }
void Form202A(BuildContext& context) { RunListForm(context, "202A", "Form 202A Error"); }
void Form202B(BuildContext& context) { RunListForm(context, "202B", "Form 202B Error"); }
void Form3BSales(BuildContext& context) { RunListForm(context, "3BSALES", "Form 3B Sales Error"); }
void Form3BPurchase(BuildContext& context) {
  RunListForm(context, "3BPURCHASE", "Form 3B Purchase Error");
}

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
