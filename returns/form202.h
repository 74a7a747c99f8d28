// Form 202, the return of a dealer who pays tax as a lump sum on turnover: the dealer and the
// period, opening, period and closing turnover, the lump-sum tax and the purchases with their
// input tax by rate, written into the department's template "VAT_RET_202_m_Monthly.xls" and
// saved under the output name.
#ifndef VATRIX_RETURNS_FORM202_H_
#define VATRIX_RETURNS_FORM202_H_

#include <string>
#include <string_view>
#include <vector>

#include "hostdata/connection.h"
#include "hostdata/user_interface.h"
#include "returns/build_context.h"
#include "returns/vat_return_sheets.h"
#include "workbook/spreadsheet.h"
#include "workbook/template_session.h"

namespace vatrix {

inline constexpr char kForm202Template[] = "VAT_RET_202_m_Monthly.xls";

// The lump-sum rate applied to the period's sales; the product is written unrounded.
inline constexpr double kLumpSumRate = 0.005;

// The aggregate queries of the return. The opening and closing sums count every bill up to
// the day before the period or up to its last day (not only the financial year's).
struct Form202Queries {
  std::string sales_open;        // S-open
  std::string purchases_open;    // P-open
  std::string sales_period;      // S-period
  std::string purchases_period;  // P-period
  std::string sales_close;       // S-close
  std::string purchases_close;   // P-close
  std::string class5_purchases;  // P-type5
};

// The texts, from the session's DayBeforePeriod, PeriodRange and PeriodEnd (each " #m/d/yyyy# "
// or " Between ... "), joined directly after the date column.
Form202Queries Form202AggregateQueries(std::string_view day_before_period,
                                       std::string_view period_range, std::string_view period_end);

// Everything the return shows that comes from the company's tables.
struct Form202Figures {
  double sales_open = 0;
  double purchases_open = 0;
  double sales_period = 0;
  double purchases_period = 0;
  double sales_close = 0;
  double purchases_close = 0;
  double class5_purchases = 0;
  std::vector<RateRow> input_tax;  // R3 of Form 205 over the period
};

// Runs the seven aggregate queries once each (failures reported by getAmount, giving 0) and
// reads the input tax by rate. Throws HostError when the rate-wise query fails.
Form202Figures ReadForm202Figures(const Connection& connection, const Session& session,
                                  UserInterface& ui);

// The dealer and the period on "Basic Info".
struct Form202Header {
  std::string registration_number;  // CompanyStNo, blanks at both ends removed
  std::string period_name;          // PeriodName
  int year = 0;                     // the year of YearFrom
};

// One rate row of "PartC" (rows 9 to 12), or none.
struct PartCRow {
  int row = 0;
  RateRow rate;
};

// The rows "PartC" receives for the input tax by rate: row 9 for the rate 1, 10 for 5, 11 for
// 15, each the sum of every record of its rate (amounts rounded per record, as read, then
// added); row 12 for every other rate, holding the last such record. Rows without a record are
// left out; the result is in row order.
std::vector<PartCRow> PartCRows(const std::vector<RateRow>& input_tax);

// Writes the four named sheets in order ("Basic Info", "PartA", "PartB", "PartC"), each made
// current and active before its cells; every figure is written as a number, 0 included. Sets
// `workbook`'s CurrentSheet. Throws HostError on a spreadsheet failure or a missing sheet.
void FillForm202(Spreadsheet& sheets, TemplateSession* workbook, const Form202Figures& figures,
                 const Form202Header& header);

// The builder Proceed calls for "202": age test, the period's name, template check, the
// figures, the filled workbook saved through CloseExcelApplication and the success message. A
// failure of the run closes the workbook unsaved (no output file), is reported under
// "Form 202 - Error" and ends the program (ProgramEnding goes on to the caller).
void Form202(BuildContext& context);

}  // namespace vatrix

#endif  // VATRIX_RETURNS_FORM202_H_
