// Form 205, the annual VAT return: the year's figures written into the department's template
// "VAT_RET_205_Yearly_new.xls" (sheets 1 to 4 and 6 as in Form 201, sheet 7 the VAT payments
// month by month) and saved under the output name.
#ifndef VATRIX_RETURNS_FORM205_H_
#define VATRIX_RETURNS_FORM205_H_

#include <array>
#include <optional>
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

inline constexpr char kForm205Template[] = "VAT_RET_205_Yearly_new.xls";
inline constexpr int kPaymentsSheet = 7;

// The April question: Yes turns the April shift on (April's payments are the previous year's
// March payments, and each later month is listed under the month before it).
inline constexpr char kAprilQuestion[] =
    "Do You Want April Month VAT Payment is treated as Previous Year March Month Payment...?";

// The month-name list: the months of the financial year in order, "April" to "March". Sheet 7
// is written in this order. English whatever the system's language.
const std::array<std::string_view, 12>& Form205MonthNames();

// The English name of month 1 ("January") to 12 ("December"); "" for any other number.
std::string_view EnglishMonthName(int month);

// One payment of R5 (the VAT account) or R6 (bank and cash payments to type-4 accounts).
struct Payment {
  std::optional<int> month;  // MonthNm, 1 to 12; none for a record without a date
  double amount = 0;         // "amt" when "dc" is "D", else 0, rounded to 2 decimals
  std::string date;          // "dd/MM/yyyy"; "" for none
};

// Everything the return shows that comes from the company's tables.
struct Form205Figures : RateWiseRows {
  std::vector<double> a;  // A1..A30 at 0..29, as getAmount gives them
  // R4: the VAT account's opening balance (null read as 0); none when R4 gives no row.
  std::optional<double> opening_balance;
  std::vector<Payment> vat_payments;        // R5, in its order
  std::vector<Payment> bank_cash_payments;  // R6, in its order

  double A(int number) const { return a.at(number - 1); }
};

// Runs the thirty aggregate queries once each (failures reported by getAmount, giving 0) and
// reads the record sets R1 to R6. Throws HostError when a record-set query fails or a field
// does not hold what it should.
Form205Figures ReadForm205Figures(const Connection& connection, const std::string& period_range,
                                  UserInterface& ui);

// Writes the figures into the open template in the return's order: sheets 1 and 6 with the
// totals read back, sheet 2, sheet 3, sheet 4 (each read after the writes it depends on) and
// sheet 7 month by month, April to March, with `april_shift` as answered. Sets `*vat_credit`
// to the opening balance when R4 gave a row, then writes the credit sheet 4 brings forward
// from it. Sets the sheet fields of `workbook`. Throws HostError on a spreadsheet failure, a
// read-back cell that is no number, or rate rows beyond sheet row 32767.
void FillForm205(Spreadsheet& sheets, TemplateSession* workbook, const Form205Figures& figures,
                 bool april_shift, double* vat_credit);

// The builder Proceed calls for "205": age test, the April question, template check, the
// figures, the filled workbook saved through CloseExcelApplication and the success message.
// A failure of the run closes the workbook unsaved (no output file), is reported under
// "Form 205 - Error" and ends the program (ProgramEnding goes on to the caller).
void Form205(BuildContext& context);

}  // namespace vatrix

#endif  // VATRIX_RETURNS_FORM205_H_
