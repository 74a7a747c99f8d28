#include "returns/form3b.h"

#include <cmath>
#include <optional>

#include "hostdata/host_error.h"
#include "hostdata/query_helpers.h"
#include "hostdata/record_set.h"
#include "returns/builder_run.h"
#include "returns/field_cells.h"
#include "returns/form3b_queries.h"
#include "returns/vat_credit.h"

namespace vatrix {
namespace {

// The run-time failure a row number beyond a 16-bit sheet row gives.
constexpr long kOverflow = 6;
// A cell read back that holds something other than a number.
constexpr long kTypeMismatch = 13;
constexpr int kLastNumberedRow = 32767;

// Sheet positions of the template.
constexpr int kTurnover = 1;
constexpr int kSalesByRate = 2;
constexpr int kTaxAccount = 4;
constexpr int kTaxPayable = 6;
constexpr int kFirstRateRow = 4;

// A cell read back as an amount: a number as itself, an empty cell as 0.
double ReadAmount(Spreadsheet& sheets, const Sheet& sheet, int row, int column) {
  const CellValue value = sheets.Read(sheet, row, column);
  if (const double* number = std::get_if<double>(&value)) return *number;
  const std::string& text = std::get<std::string>(value);
  if (text.empty()) return 0;
  throw HostError(kTypeMismatch, "Type mismatch: the cell holds \"" + text + "\", not a number",
                  CellSource(sheet, row, column));
}

void WriteTurnover(Spreadsheet& sheets, const Sheet& turnover, const Form3BFigures& f) {
  sheets.Write(turnover, 3, 2, f.C(1));
  sheets.Write(turnover, 5, 2, f.C(2));
  sheets.Write(turnover, 7, 2, f.C(3));
  sheets.Write(turnover, 8, 2, f.C(4));
  sheets.Write(turnover, 9, 2, f.C(5));
  sheets.Write(turnover, 13, 2, f.C(6) + f.C(7));
}

// The CST account: credit side in column 2, debit side in column 3. Rows 6 and 7 take one
// side only, chosen by one comparison of the tax account's balance X with the credits C13.
void WriteTaxAccount(Spreadsheet& sheets, const Sheet& account, const Form3BFigures& f) {
  sheets.Write(account, 3, 2, f.C(12));
  sheets.Write(account, 3, 3, f.C(14));
  sheets.Write(account, 4, 3, f.C(8));
  sheets.Write(account, 5, 2, f.C(12));
  sheets.Write(account, 5, 3, f.C(8) + f.C(14));
  const double x = f.C(9) + f.C(15) - std::fabs(f.C(10));
  if (x < f.C(13)) {
    sheets.Write(account, 6, 2, f.C(12) - (f.C(14) + f.C(8)));
    sheets.Write(account, 7, 2, f.C(13) - x);
  } else {
    sheets.Write(account, 6, 3, (f.C(8) + f.C(14)) - f.C(12));
    sheets.Write(account, 7, 3, x - f.C(13));
  }
}

void WriteRates(Spreadsheet& sheets, const Sheet& rates_sheet, const Form3BFigures& f) {
  int row = kFirstRateRow;
  for (const auto& [rate, taxable] : f.rates) {
    if (row > kLastNumberedRow) {
      throw HostError(kOverflow, "Overflow: the rate rows pass sheet row 32767",
                      "sheet '" + rates_sheet.name + "'");
    }
    sheets.Write(rates_sheet, row, 1, rate);
    sheets.Write(rates_sheet, row, 2, taxable);
    ++row;
  }
}

// Sheet 6: the tax account's result, then the set-off against the tax of class-18 sales,
// each read after the writes the template's formulas depend on.
void WriteTaxPayable(Spreadsheet& sheets, const Sheet& payable, const Sheet& account,
                     const Form3BFigures& f) {
  if (const double excess = ReadAmount(sheets, account, 7, 3); excess > 0) {
    sheets.Write(payable, 7, 2, excess);
  } else if (const double due = ReadAmount(sheets, account, 7, 2); due > 0) {
    sheets.Write(payable, 7, 2, -due);
  }
  const double net = ReadAmount(sheets, payable, 2, 2);
  if (net <= 0) return;
  const double class18_tax = f.C(11) - f.C(10);
  const double remaining = net - ReadAmount(sheets, payable, 7, 2);
  sheets.Write(payable, 9, 2, class18_tax >= remaining ? remaining : class18_tax);
}

}  // namespace

Form3BFigures ReadForm3BFigures(const Connection& connection, const std::string& period_range,
                                UserInterface& ui) {
  Form3BFigures figures;
  for (const std::string& query : Form3BAggregateQueries(period_range)) {
    figures.c.push_back(getAmount(connection, query, ui));
  }
  RecordSet rates = connection.Execute(Form3BSalesByRate(period_range));
  for (; !rates.eof(); rates.MoveNext()) {
    figures.rates.emplace_back(CellAsRead(rates.field("Pcn")), CellAsRead(rates.field("Tax_amt")));
  }
  return figures;
}

void FillForm3B(Spreadsheet& sheets, TemplateSession* workbook, const Form3BFigures& figures) {
  workbook->CurrentSheet = sheets.SheetAt(kTurnover);
  workbook->SecondSheet = sheets.SheetAt(kTaxAccount);
  const Sheet account = workbook->SecondSheet;
  WriteTurnover(sheets, workbook->CurrentSheet, figures);
  WriteTaxAccount(sheets, account, figures);
  workbook->CurrentSheet = sheets.SheetAt(kSalesByRate);
  WriteRates(sheets, workbook->CurrentSheet, figures);
  workbook->CurrentSheet = sheets.SheetAt(kTaxPayable);
  WriteTaxPayable(sheets, workbook->CurrentSheet, account, figures);
}

void Form3B(BuildContext& context) {
  const std::optional<std::string> path = CheckReturnTemplate(context, kForm3BTemplate);
  if (!path) return;
  RunBuilder(context, FailureReport::kDatabase, "Form 3B - Error", [&](BuilderRun& run) {
    run.OpenAhead(*path);
    Session& session = context.session;
    const Connection& connection = context.lists.connection;
    VatCreditCheck(&session, connection, context.panel.return_type, context.ui);
    const Form3BFigures figures = ReadForm3BFigures(connection, session.PeriodRange, context.ui);
    FillForm3B(run.Open(*path), &context.workbook, figures);
    run.Save({.shown_type = ".xls"});
  });
}

}  // namespace vatrix
