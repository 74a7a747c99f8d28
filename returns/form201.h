// Form 201, the periodic VAT return: the period's figures written into the department's
// template "VAT_RET_201_Monthly_new.xls" and saved under the output name.
#ifndef VATRIX_RETURNS_FORM201_H_
#define VATRIX_RETURNS_FORM201_H_

#include <string>
#include <vector>

#include "hostdata/connection.h"
#include "hostdata/user_interface.h"
#include "returns/build_context.h"
#include "returns/vat_return_sheets.h"
#include "workbook/spreadsheet.h"
#include "workbook/template_session.h"

namespace vatrix {

inline constexpr char kForm201Template[] = "VAT_RET_201_Monthly_new.xls";

// Everything the return shows that comes from the company's tables.
struct Form201Figures : RateWiseRows {
  std::vector<double> q;  // Q1..Q30 at 0..29, as getAmount gives them

  double Q(int number) const { return q.at(number - 1); }
};

// Runs the thirty aggregate queries (failures reported by getAmount, giving 0) and reads the
// three rate-wise record sets. Throws HostError when a rate-wise query fails.
Form201Figures ReadForm201Figures(const Connection& connection, const std::string& period_range,
                                  UserInterface& ui);

// Every query text the builder runs for the session's period, the credit brought forward's
// included (for Connection::Preload).
std::vector<std::string> Form201Queries(const Session& session, const std::string& return_type);

// Writes the figures and `vat_credit` into the open template, sheet by sheet in the order
// the template's formulas need, reading back the totals it computes. Sets the sheet fields
// of `workbook`. Throws HostError on a spreadsheet failure, a computed cell that is no
// number, or rate rows beyond sheet row 32767.
void FillForm201(Spreadsheet& sheets, TemplateSession* workbook, const Form201Figures& figures,
                 double vat_credit);

// The builder Proceed calls for "201": age test, template check, the credit brought forward,
// the figures, the filled workbook saved through CloseExcelApplication and the success
// message. A failure of the run is reported under "Form 201 - Error" and leaves no output
// file; a table that cannot be opened ends the program (ProgramEnding goes on to the caller).
void Form201(BuildContext& context);

}  // namespace vatrix

#endif  // VATRIX_RETURNS_FORM201_H_
