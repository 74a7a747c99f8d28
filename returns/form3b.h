// Form 3B, the periodic CST return: the period's central sales tax figures written into the
// department's template "CST_RET_FORM_3B_NEW.xls" and saved under the output name.
#ifndef VATRIX_RETURNS_FORM3B_H_
#define VATRIX_RETURNS_FORM3B_H_

#include <string>
#include <utility>
#include <vector>

#include "hostdata/connection.h"
#include "hostdata/user_interface.h"
#include "returns/build_context.h"
#include "workbook/spreadsheet.h"
#include "workbook/template_session.h"

namespace vatrix {

inline constexpr char kForm3BTemplate[] = "CST_RET_FORM_3B_NEW.xls";

// Everything the return shows that comes from the company's tables.
struct Form3BFigures {
  std::vector<double> c;  // C1..C15 at 0..14, as getAmount gives them
  // The central sales by rate: the rate and the taxable amount, as read.
  std::vector<std::pair<CellValue, CellValue>> rates;

  double C(int number) const { return c.at(number - 1); }
};

// Runs the fifteen aggregate queries (failures reported by getAmount, giving 0) and reads the
// sales by rate. Throws HostError when the rate query fails.
Form3BFigures ReadForm3BFigures(const Connection& connection, const std::string& period_range,
                                UserInterface& ui);

// Writes the figures into the open template: turnover and tax account (every figure, 0
// included), the rate rows from row 4 of sheet 2, then the tax payable sheet from what the
// template computes. Sets the sheet fields of `workbook`. Throws HostError on a spreadsheet
// failure, a read-back cell that is no number, or rate rows beyond sheet row 32767.
void FillForm3B(Spreadsheet& sheets, TemplateSession* workbook, const Form3BFigures& figures);

// The builder Proceed calls for "3B": template check, the VAT credit check (whose result the
// return does not show), the figures, the filled workbook saved through CloseExcelApplication
// and the success message naming the file as ".xls". A failure of the run is reported under
// "Form 3B - Error" and leaves no output file; a table that cannot be opened ends the program.
void Form3B(BuildContext& context);

}  // namespace vatrix

#endif  // VATRIX_RETURNS_FORM3B_H_
