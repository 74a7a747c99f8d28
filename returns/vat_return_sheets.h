// What the VAT returns Form 201 (periodic) and Form 205 (annual) share: the three rate-wise
// record sets and how their rows are written on sheets 2 and 3, the turnover and deduction
// cells of sheets 1 and 6 with the totals read back from sheet 6, the balance computation of
// sheet 4, and the cell rules (blank-if-zero, amounts read back from the template).
#ifndef VATRIX_RETURNS_VAT_RETURN_SHEETS_H_
#define VATRIX_RETURNS_VAT_RETURN_SHEETS_H_

#include <string>
#include <string_view>
#include <vector>

#include "hostdata/connection.h"
#include "hostdata/record_set.h"
#include "workbook/spreadsheet.h"
#include "workbook/template_session.h"

namespace vatrix {

// Sheet positions of the two templates (sheet 5, a declaration, is never written).
inline constexpr int kTurnoverSheet = 1;
inline constexpr int kTaxRatesSheet = 2;
inline constexpr int kInputTaxSheet = 3;
inline constexpr int kBalanceSheet = 4;
inline constexpr int kDeductionsSheet = 6;

// ---------------------------------------------------------------------------------------
// The rate-wise record sets.

// Output tax by rate (R1): item-wise sale bills line by line, other "V" sale bills whole,
// `period_range` (" Between #m/d/yyyy# and #m/d/yyyy# ") joined after each date column.
std::string OutputTaxByRateQuery(std::string_view period_range);

// Purchase tax by rate (R2): VATTYPE 6 purchases grouped by BC_TAX, split into VAT and
// additional tax.
std::string PurchaseTaxByRateQuery(std::string_view period_range);

// Input tax by rate (R3): item-wise purchase bills line by line, other "V" purchases whole.
// Form 202 uses it too.
std::string InputTaxByRateQuery(std::string_view period_range);

// One row of a rate-wise record set, each amount rounded to 2 decimals (ties to even).
struct RateRow {
  double rate = 0;  // VatPcn as read
  double taxable = 0;
  double vat = 0;
  double additional = 0;
};

// The rows of a rate-wise query in their order; a null amount counts as 0. Throws HostError
// when the query fails or a field is not a number.
std::vector<RateRow> ReadRateRows(const Connection& connection, const std::string& query);

// The three rate-wise record sets of a period, each in its query's order.
struct RateWiseRows {
  std::vector<RateRow> output_tax;    // R1
  std::vector<RateRow> purchase_tax;  // R2
  std::vector<RateRow> input_tax;     // R3
};

// Reads R1, R2 and R3 over `period_range`. Throws HostError as ReadRateRows does.
RateWiseRows ReadRateWiseRows(const Connection& connection, std::string_view period_range);
// The three query texts ReadRateWiseRows runs.
std::vector<std::string> RateWiseQueries(std::string_view period_range);

// A number field of the current record that may be null, read as 0. Throws HostError when it
// holds anything else.
double NumberOrZero(const RecordSet& records, std::string_view field);

// A rate as the return shows it: two decimals, at least two digits before the point, the
// last digit rounded half away from zero (4 → "04.00", 12.5 → "12.50").
std::string RateText(double rate);

// ---------------------------------------------------------------------------------------
// Cell rules.

// Blank-if-zero: the amount, or the empty text for 0.
CellValue BlankIfZero(double value);

// A computed or written cell as an amount: blank reads as 0, a number as itself, a text that
// holds a number as that number. Throws HostError (type mismatch) for any other text.
double ReadAmount(Spreadsheet& sheets, const Sheet& sheet, int row, int column);

// ---------------------------------------------------------------------------------------
// The sheets.

// The figures of sheets 1 and 6, each written blank-if-zero at its fixed cell.
struct TurnoverCells {
  double sales = 0;                    // S1 (8,2)
  double purchases = 0;                // S1 (8,3)
  double class4_sales = 0;             // S1 (10,2)
  double class5_purchases = 0;         // S1 (10,3)
  double class9_sales = 0;             // S1 (12,2)
  double class8_purchases = 0;         // S1 (12,3)
  double class7_purchases = 0;         // S1 (15,3)
  double untaxed_sales = 0;            // S1 (17,2): tax-free and the untaxed part of taxed
  double untaxed_purchases = 0;        // S1 (17,3)
  double sale_returns = 0;             // S6 (6,3)
  double sale_return_tax = 0;          // S6 (10,3)
  double vat_account_debits = 0;       // S6 (13,2)
  double returns_and_vat_credits = 0;  // S6 (13,3): purchase returns and VAT-account credits
  double vat_account_credit_tax = 0;   // row 17: credits a (with the purchase-return tax) ...
  double vat_account_debit_tax = 0;    // ... against debits b: (17,2) b − a or (17,3) a − b
  double class11_sales = 0;            // S6 (21,2)
  double class10_purchases = 0;        // S6 (21,3)
  double central_sales = 0;            // S6 (23,2)
  double central_purchases = 0;        // S6 (23,3)
};

// Writes sheet 1 rows 8 to 17 and sheet 6 rows 6 to 23 in that order, then copies the totals
// the template computes in sheet 6 row 24 into sheet 1 row 16 (blank-if-zero). Row 17 of
// sheet 6 gets one side only: (17,2) := b − a when a < b, else (17,3) := a − b.
void WriteTurnoverAndDeductions(Spreadsheet& sheets, const Sheet& turnover, const Sheet& deductions,
                                const TurnoverCells& cells);

// Sheet 2 from row 3: the output-tax rows, then the purchase-tax rows (rate, kind, rate %,
// taxable amount, VAT, additional tax and their total; column 4 is not written). Points
// `workbook`'s CurrentSheet at sheet 2 when there is any row; writes nothing otherwise.
// Throws HostError (overflow) for a row beyond 32767.
void WriteTaxRateSheet(Spreadsheet& sheets, TemplateSession* workbook,
                       const std::vector<RateRow>& output_tax,
                       const std::vector<RateRow>& purchase_tax);

// Sheet 3: (3,2), (4,2) and (5,2) blank-if-zero, then the input-tax rows from row 9 (rate,
// rate %, taxable amount, VAT, additional tax in columns 1, 2, 4, 5, 6). Throws HostError
// (overflow) for a row beyond 32767.
void WriteInputTaxSheet(Spreadsheet& sheets, const Sheet& input, double credit_postings,
                        double taxed_purchases, double class6_purchases,
                        const std::vector<RateRow>& rows);

// What sheet 4 takes besides the cells the template computes.
struct BalanceCells {
  double credit_brought_forward = 0;  // (3,2), blank-if-zero
  double sale_return_tax = 0;         // (22,2), blank-if-zero
  double class18_tax = 0;             // tax of class-18 sales less their returns and postings
  // Without an adjustment in sheet 6 row 17, (7,2) takes (5,2) blank-if-zero (Form 201) or as
  // it reads, a 0 as 0 (Form 205).
  bool unadjusted_blank_if_zero = true;
};

// Sheet 4, each read after the writes its formulas depend on: the credit brought forward, the
// adjustment of sheet 6 row 17, the tax on sale returns, the net tax payable (28,2) or the
// excess credit (29,2), the part of the excess set off against the class-18 tax (30,2) and
// the credit carried forward (32,2).
void WriteBalance(Spreadsheet& sheets, const Sheet& balance, const Sheet& deductions,
                  const BalanceCells& cells);

}  // namespace vatrix

#endif  // VATRIX_RETURNS_VAT_RETURN_SHEETS_H_
