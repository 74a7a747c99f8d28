#include "returns/form205.h"

#include <cmath>
#include <optional>

#include "hostdata/host_error.h"
#include "hostdata/query_helpers.h"
#include "hostdata/record_set.h"
#include "hostdata/value.h"
#include "returns/builder_run.h"
#include "returns/form205_queries.h"

namespace vatrix {
namespace {

// The run-time failure a row number beyond a 16-bit sheet row gives.
constexpr long kOverflow = 6;
constexpr int kLastNumberedRow = 32767;

constexpr std::array<std::string_view, 12> kCalendarMonths = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

// Sheets 1 and 6 from A1..A30.
TurnoverCells TurnoverCellsOf(const Form205Figures& f) {
  TurnoverCells c;
  c.sales = f.A(1);
  c.purchases = f.A(2);
  c.class4_sales = f.A(3);
  c.class5_purchases = f.A(4);
  c.class9_sales = f.A(5);
  c.class8_purchases = f.A(6);
  c.class7_purchases = f.A(7);
  c.untaxed_sales = f.A(8) + f.A(9);
  c.untaxed_purchases = f.A(10) + f.A(11);
  c.sale_returns = f.A(12);
  c.sale_return_tax = f.A(13);
  c.vat_account_debits = f.A(14);
  c.returns_and_vat_credits = f.A(15) + f.A(16);
  c.vat_account_credit_tax = f.A(17) + f.A(18);
  c.vat_account_debit_tax = f.A(19);
  c.class11_sales = f.A(20);
  c.class10_purchases = f.A(21);
  c.central_sales = f.A(22) + f.A(23);
  c.central_purchases = f.A(24) + f.A(25);
  return c;
}

std::optional<double> ReadOpeningBalance(const Connection& connection) {
  RecordSet records = connection.Execute(kVatAccountOpeningQuery);
  if (records.record_count() < 1) return std::nullopt;
  records.MoveFirst();
  return NumberOrZero(records, "OpBal");
}

// R5 or R6: month, amount and date of every record, in the record set's order.
std::vector<Payment> ReadPayments(const Connection& connection, const char* query) {
  RecordSet records = connection.Execute(query);
  std::vector<Payment> payments;
  for (; !records.eof(); records.MoveNext()) {
    Payment payment;
    // Month() of a null date is null: such a record belongs to no month.
    const Value& month = records.field("Monthnm");
    if (month.kind() == Value::Kind::kNumber && month.number() >= 1 && month.number() <= 12 &&
        month.number() == std::floor(month.number())) {
      payment.month = static_cast<int>(month.number());
    }
    const Value& dc = records.field("dc");
    const bool debit = dc.kind() == Value::Kind::kText && dc.text() == "D";
    payment.amount = debit ? RoundHalfEven(NumberOrZero(records, "amt"), 2) : 0;
    payment.date = records.field("Date").ToDisplayText();  // "dd/MM/yyyy", "" for null
    payments.push_back(std::move(payment));
  }
  return payments;
}

// The payments of `month`, in their order (the record set filtered by "MonthNm = month").
std::vector<const Payment*> OfMonth(const std::vector<Payment>& payments, int month) {
  std::vector<const Payment*> chosen;
  for (const Payment& payment : payments) {
    if (payment.month == month) chosen.push_back(&payment);
  }
  return chosen;
}

// The label of a payment row: its month's name, or with the April shift the month before
// (a January payment is December's).
std::string MonthLabel(int month, bool april_shift) {
  const int shown = april_shift ? (month == 1 ? 13 : month) - 1 : month;
  return std::string(EnglishMonthName(shown));
}

// Columns of a payment: amount and date.
void WritePayment(Spreadsheet& sheets, const Sheet& sheet, int row, int amount_column,
                  const Payment& payment) {
  sheets.Write(sheet, row, amount_column, payment.amount);
  sheets.Write(sheet, row, amount_column + 1, payment.date);
}

// Sheet 7: for each month of the year, the i-th payment of R5 and the i-th of R6 share a row;
// the list with more payments drives (R5 on a tie). R5 goes into columns 2 and 3, R6 into 4
// and 5, the month label into 1 and the row's total into 6. Nothing is written when both
// record sets are empty.
void WritePayments(Spreadsheet& sheets, TemplateSession* workbook, const Form205Figures& figures,
                   bool april_shift) {
  const std::vector<Payment>& r5 = figures.vat_payments;
  const std::vector<Payment>& r6 = figures.bank_cash_payments;
  if (r5.empty() && r6.empty()) return;
  workbook->CurrentSheet = sheets.SheetAt(kPaymentsSheet);
  const Sheet sheet = workbook->CurrentSheet;
  int row = 3;
  int month = 4;
  for (size_t pass = 0; pass < Form205MonthNames().size(); ++pass) {
    const std::vector<const Payment*> vat = OfMonth(r5, month);
    const std::vector<const Payment*> bank_cash = OfMonth(r6, month);
    const bool vat_drives = vat.size() >= bank_cash.size() && !vat.empty();
    const bool bank_cash_drives = !vat_drives && !bank_cash.empty();
    if (vat_drives || bank_cash_drives) {
      const std::vector<const Payment*>& driver = vat_drives ? vat : bank_cash;
      const std::vector<const Payment*>& partner = vat_drives ? bank_cash : vat;
      const int driver_column = vat_drives ? 2 : 4;
      const int partner_column = vat_drives ? 4 : 2;
      for (size_t i = 0; i < driver.size(); ++i) {
        if (row > kLastNumberedRow) {
          throw HostError(kOverflow, "Overflow: the payment rows pass sheet row 32767",
                          "sheet '" + sheet.name + "'");
        }
        // With the April shift, April's payments (and their partners) are not listed; their
        // row is taken by the next payment.
        const bool skipped = april_shift && *driver[i]->month == 4;
        if (!skipped) {
          sheets.Write(sheet, row, 1, MonthLabel(*driver[i]->month, april_shift));
          WritePayment(sheets, sheet, row, driver_column, *driver[i]);
          if (i < partner.size()) WritePayment(sheets, sheet, row, partner_column, *partner[i]);
        }
        sheets.Write(sheet, row, 6,
                     ReadAmount(sheets, sheet, row, 2) + ReadAmount(sheets, sheet, row, 4));
        if (!skipped) ++row;
      }
    }
    month = month == 12 ? 1 : month + 1;
  }
}

}  // namespace

const std::array<std::string_view, 12>& Form205MonthNames() {
  static constexpr std::array<std::string_view, 12> kNames = {
      "April",   "May",      "June",     "July",    "August",   "September",
      "October", "November", "December", "January", "February", "March"};
  return kNames;
}

std::string_view EnglishMonthName(int month) {
  if (month < 1 || month > 12) return {};
  return kCalendarMonths[month - 1];
}

Form205Figures ReadForm205Figures(const Connection& connection, const std::string& period_range,
                                  UserInterface& ui) {
  Form205Figures figures;
  for (const std::string& query : Form205AggregateQueries(period_range)) {
    figures.a.push_back(getAmount(connection, query, ui));
  }
  static_cast<RateWiseRows&>(figures) = ReadRateWiseRows(connection, period_range);
  figures.opening_balance = ReadOpeningBalance(connection);
  figures.vat_payments = ReadPayments(connection, kVatPaymentsQuery);
  figures.bank_cash_payments = ReadPayments(connection, kBankCashPaymentsQuery);
  return figures;
}

void FillForm205(Spreadsheet& sheets, TemplateSession* workbook, const Form205Figures& figures,
                 bool april_shift, double* vat_credit) {
  workbook->CurrentSheet = sheets.SheetAt(kTurnoverSheet);
  workbook->SecondSheet = sheets.SheetAt(kDeductionsSheet);
  const Sheet deductions = workbook->SecondSheet;
  WriteTurnoverAndDeductions(sheets, workbook->CurrentSheet, deductions, TurnoverCellsOf(figures));
  WriteTaxRateSheet(sheets, workbook, figures.output_tax, figures.purchase_tax);
  workbook->CurrentSheet = sheets.SheetAt(kInputTaxSheet);
  WriteInputTaxSheet(sheets, workbook->CurrentSheet, figures.A(26), figures.A(27), figures.A(28),
                     figures.input_tax);

  // The opening balance replaces the credit only when R4 gave a row; a debit balance
  // (negative) is the credit brought into the year.
  if (figures.opening_balance) *vat_credit = *figures.opening_balance;
  workbook->CurrentSheet = sheets.SheetAt(kBalanceSheet);
  WriteBalance(sheets, workbook->CurrentSheet, deductions,
               {.credit_brought_forward = *vat_credit < 0 ? -*vat_credit : 0,
                .sale_return_tax = figures.A(13),
                .class18_tax = figures.A(30) - figures.A(29),
                .unadjusted_blank_if_zero = false});

  WritePayments(sheets, workbook, figures, april_shift);
}

void Form205(BuildContext& context) {
  Session& session = context.session;
  if (!AgeTest(context)) return;
  const bool april_shift =
      context.ui.ShowMessage({AppTitleOf(session), kAprilQuestion, MessageIcon::kQuestion,
                              MessageButtons::kYesNo}) == MessageAnswer::kYes;
  const std::optional<std::string> path = CheckReturnTemplate(context, kForm205Template);
  if (!path) return;
  RunBuilder(context, FailureReport::kDatabaseThenEnd, "Form 205 - Error", [&](BuilderRun& run) {
    run.OpenAhead(*path);
    const Form205Figures figures =
        ReadForm205Figures(context.lists.connection, session.PeriodRange, context.ui);
    FillForm205(run.Open(*path), &context.workbook, figures, april_shift, &session.VatCredit);
    run.Save();
  });
}

}  // namespace vatrix
