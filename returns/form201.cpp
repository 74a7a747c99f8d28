#include "returns/form201.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>

#include "hostdata/host_error.h"
#include "hostdata/query_helpers.h"
#include "hostdata/record_set.h"
#include "hostdata/value.h"
#include "returns/builder_run.h"
#include "returns/form201_queries.h"
#include "returns/vat_credit.h"

namespace vatrix {
namespace {

// The run-time failure a row number beyond a 16-bit sheet row gives.
constexpr long kOverflow = 6;
// A computed cell that holds something other than a number.
constexpr long kTypeMismatch = 13;
constexpr int kLastNumberedRow = 32767;

// Sheet positions of the template.
constexpr int kTurnover = 1;
constexpr int kTaxRates = 2;
constexpr int kInputTax = 3;
constexpr int kBalance = 4;
constexpr int kDeductions = 6;

// Blank-if-zero: the amount, or the empty text for 0.
CellValue Amount(double value) {
  if (value == 0) return std::string();
  return value;
}

// A computed or written cell as an amount: blank reads as 0, a number as itself, a text that
// holds a number as that number.
double ReadAmount(Spreadsheet& sheets, const Sheet& sheet, int row, int column) {
  const CellValue value = sheets.Read(sheet, row, column);
  if (const double* number = std::get_if<double>(&value)) return *number;
  const std::string& text = std::get<std::string>(value);
  if (text.empty()) return 0;
  double number = 0;
  const auto parsed = std::from_chars(text.data(), text.data() + text.size(), number);
  if (parsed.ec != std::errc() || parsed.ptr != text.data() + text.size()) {
    throw HostError(kTypeMismatch, "Type mismatch: the cell holds \"" + text + "\", not a number",
                    CellSource(sheet, row, column));
  }
  return number;
}

// A rate-wise field; null (a sum over nothing) counts as 0.
double FieldAmount(const RecordSet& records, std::string_view field) {
  const Value& value = records.field(field);
  if (value.is_null()) return 0;
  if (value.kind() != Value::Kind::kNumber) {
    throw HostError(kRecordSetMisuse, "the field " + std::string(field) + " is not a number",
                    records.source());
  }
  return value.number();
}

std::vector<RateRow> ReadRateRows(const Connection& connection, const std::string& query) {
  RecordSet records = connection.Execute(query);
  std::vector<RateRow> rows;
  for (; !records.eof(); records.MoveNext()) {
    rows.push_back({FieldAmount(records, "VatPcn"),
                    RoundHalfEven(FieldAmount(records, "Tax_amt"), 2),
                    RoundHalfEven(FieldAmount(records, "Vat_amt"), 2),
                    RoundHalfEven(FieldAmount(records, "Atx_amt"), 2)});
  }
  return rows;
}

// Fails for a rate row beyond the last row a 16-bit row number reaches.
void CheckRateRow(int row, const Sheet& sheet) {
  if (row > kLastNumberedRow) {
    throw HostError(kOverflow, "Overflow: the rate rows pass sheet row 32767",
                    "sheet '" + sheet.name + "'");
  }
}

// Sheet 2: rate, kind, rate %, taxable amount, VAT, additional tax and their total, from
// `row` on; returns the row after the last one written.
int WriteTaxRateRows(Spreadsheet& sheets, const Sheet& sheet, const std::vector<RateRow>& rows,
                     const std::string& kind, int row) {
  for (const RateRow& rate : rows) {
    CheckRateRow(row, sheet);
    sheets.Write(sheet, row, 1, RateText(rate.rate));
    sheets.Write(sheet, row, 2, kind);
    sheets.Write(sheet, row, 3, RateText(rate.rate) + "%");
    sheets.Write(sheet, row, 5, rate.taxable);
    sheets.Write(sheet, row, 6, rate.vat);
    sheets.Write(sheet, row, 7, rate.additional);
    sheets.Write(sheet, row, 8, RoundHalfEven(rate.taxable + rate.vat + rate.additional, 2));
    ++row;
  }
  return row;
}

void WriteTurnover(Spreadsheet& sheets, const Sheet& turnover, const Form201Figures& f) {
  sheets.Write(turnover, 8, 2, Amount(f.Q(1)));
  sheets.Write(turnover, 8, 3, Amount(f.Q(2)));
  sheets.Write(turnover, 10, 2, Amount(f.Q(5)));
  sheets.Write(turnover, 10, 3, Amount(f.Q(6)));
  sheets.Write(turnover, 12, 2, Amount(f.Q(7)));
  sheets.Write(turnover, 12, 3, Amount(f.Q(8)));
  sheets.Write(turnover, 15, 3, Amount(f.Q(9)));
  sheets.Write(turnover, 17, 2, Amount(f.Q(12) + f.Q(14)));
  sheets.Write(turnover, 17, 3, Amount(f.Q(13) + f.Q(15)));
}

void WriteDeductions(Spreadsheet& sheets, const Sheet& deductions, const Form201Figures& f) {
  sheets.Write(deductions, 6, 3, Amount(f.Q(21)));
  sheets.Write(deductions, 10, 3, Amount(f.Q(22)));
  sheets.Write(deductions, 13, 2, Amount(f.Q(27)));
  sheets.Write(deductions, 13, 3, Amount(f.Q(23) + f.Q(29)));
  // Row 17 adjusts the VAT account: only the larger side is written.
  const double credits = f.Q(30) + f.Q(24);
  const double debits = f.Q(28);
  if (credits < debits) {
    sheets.Write(deductions, 17, 2, Amount(debits - credits));
  } else {
    sheets.Write(deductions, 17, 3, Amount(credits - debits));
  }
  sheets.Write(deductions, 21, 2, Amount(f.Q(3)));
  sheets.Write(deductions, 21, 3, Amount(f.Q(4)));
  sheets.Write(deductions, 23, 2, Amount(f.Q(16) + f.Q(18)));
  sheets.Write(deductions, 23, 3, Amount(f.Q(17) + f.Q(19)));
}

void WriteInputTax(Spreadsheet& sheets, const Sheet& input, const Form201Figures& f) {
  sheets.Write(input, 3, 2, Amount(f.Q(11)));
  sheets.Write(input, 4, 2, Amount(f.Q(20)));
  sheets.Write(input, 5, 2, Amount(f.Q(10)));
  int row = 9;
  for (const RateRow& rate : f.input_tax) {
    CheckRateRow(row, input);
    sheets.Write(input, row, 1, RateText(rate.rate));
    sheets.Write(input, row, 2, RateText(rate.rate) + "%");
    sheets.Write(input, row, 4, rate.taxable);
    sheets.Write(input, row, 5, rate.vat);
    sheets.Write(input, row, 6, rate.additional);
    ++row;
  }
}

// Sheet 4: each read comes after the writes its formulas depend on.
void WriteBalance(Spreadsheet& sheets, const Sheet& balance, const Sheet& deductions,
                  const Form201Figures& f, double vat_credit) {
  sheets.Write(balance, 3, 2, Amount(vat_credit > 0 ? vat_credit : 0));
  const double increase = ReadAmount(sheets, deductions, 17, 2);
  if (increase != 0) {
    sheets.Write(balance, 6, 2, increase);
    sheets.Write(balance, 7, 2, ReadAmount(sheets, balance, 5, 2) + increase);
  } else if (const double decrease = ReadAmount(sheets, deductions, 17, 3); decrease != 0) {
    sheets.Write(balance, 6, 2, decrease);
    sheets.Write(balance, 7, 2, ReadAmount(sheets, balance, 5, 2) - decrease);
  } else {
    sheets.Write(balance, 7, 2, Amount(ReadAmount(sheets, balance, 5, 2)));
  }
  sheets.Write(balance, 22, 2, Amount(f.Q(22)));
  sheets.Write(balance, 26, 2, Amount(ReadAmount(sheets, balance, 7, 2)));

  const double payable = ReadAmount(sheets, balance, 20, 2);
  const double credit = ReadAmount(sheets, balance, 27, 2);
  const double net = payable - credit;
  sheets.Write(balance, 28, 2, Amount(net > 0 ? net : 0));
  sheets.Write(balance, 29, 2, Amount(net < 0 ? credit - payable : 0));

  const double excess = ReadAmount(sheets, balance, 29, 2);
  if (excess > 0) {
    const double class18_tax = f.Q(26) - f.Q(25);
    sheets.Write(balance, 30, 2, class18_tax > excess ? CellValue(excess) : Amount(class18_tax));
  }
  sheets.Write(balance, 32, 2,
               Amount(ReadAmount(sheets, balance, 29, 2) - ReadAmount(sheets, balance, 30, 2)));
}

}  // namespace

Form201Figures ReadForm201Figures(const Connection& connection, const std::string& period_range,
                                  UserInterface& ui) {
  Form201Figures figures;
  for (const std::string& query : Form201AggregateQueries(period_range)) {
    figures.q.push_back(getAmount(connection, query, ui));
  }
  figures.output_tax = ReadRateRows(connection, Form201OutputTaxByRate(period_range));
  figures.purchase_tax = ReadRateRows(connection, Form201PurchaseTaxByRate(period_range));
  figures.input_tax = ReadRateRows(connection, Form201InputTaxByRate(period_range));
  return figures;
}

std::string RateText(double rate) {
  if (!std::isfinite(rate)) return FormatNumber(rate);
  const std::string digits = FormatNumber(std::fabs(rate));
  const size_t point = digits.find('.');
  std::string whole = digits.substr(0, point);
  std::string fraction = point == std::string::npos ? "" : digits.substr(point + 1);
  const bool round_up = fraction.size() > 2 && fraction[2] >= '5';
  fraction.resize(2, '0');
  std::string number = whole + fraction;  // hundredths
  if (round_up) {
    size_t i = number.size();
    while (i > 0 && number[i - 1] == '9') number[--i] = '0';
    if (i == 0) {
      number.insert(number.begin(), '1');
    } else {
      ++number[i - 1];
    }
  }
  whole = number.substr(0, number.size() - 2);
  if (whole.size() < 2) whole.insert(0, 2 - whole.size(), '0');
  const bool zero = number.find_first_not_of('0') == std::string::npos;
  return (rate < 0 && !zero ? "-" : "") + whole + "." + number.substr(number.size() - 2);
}

void FillForm201(Spreadsheet& sheets, TemplateSession* workbook, const Form201Figures& figures,
                 double vat_credit) {
  workbook->CurrentSheet = sheets.SheetAt(kTurnover);
  workbook->SecondSheet = sheets.SheetAt(kDeductions);
  const Sheet turnover = workbook->CurrentSheet;
  const Sheet deductions = workbook->SecondSheet;
  WriteTurnover(sheets, turnover, figures);
  WriteDeductions(sheets, deductions, figures);
  sheets.Write(turnover, 16, 2, Amount(ReadAmount(sheets, deductions, 24, 2)));
  sheets.Write(turnover, 16, 3, Amount(ReadAmount(sheets, deductions, 24, 3)));

  if (!figures.output_tax.empty() || !figures.purchase_tax.empty()) {
    workbook->CurrentSheet = sheets.SheetAt(kTaxRates);
    int row = WriteTaxRateRows(sheets, workbook->CurrentSheet, figures.output_tax, "Output Tax", 3);
    WriteTaxRateRows(sheets, workbook->CurrentSheet, figures.purchase_tax, "Purchase Tax", row);
  }
  workbook->CurrentSheet = sheets.SheetAt(kInputTax);
  WriteInputTax(sheets, workbook->CurrentSheet, figures);
  workbook->CurrentSheet = sheets.SheetAt(kBalance);
  WriteBalance(sheets, workbook->CurrentSheet, deductions, figures, vat_credit);
}

void Form201(BuildContext& context) {
  Session& session = context.session;
  const std::optional<Date> first_day = ParseDisplayDate(session.YearFrom);
  if (!first_day) {
    throw HostError(kQueryRejected, "the first day of the financial year is not a date",
                    "YearFrom \"" + session.YearFrom + "\"");
  }
  if (first_day->year < 2008) {
    context.ui.ShowMessage(
        {session.AppTitle, "Old Return Not Done....", MessageIcon::kCritical, MessageButtons::kOk});
    return;
  }
  context.workbook.TemplateName = kForm201Template;
  const std::optional<std::string> path =
      CheckTemplate(context.master_folder, context.workbook, context.ui);
  if (!path) {
    context.wait.SetHourglass(false);
    return;
  }
  RunBuilder(context, FailureReport::kDatabase, "Form 201 - Error", [&](BuilderRun& run) {
    const Connection& connection = context.lists.connection;
    VatCreditCheck(&session, connection, context.panel.return_type, context.ui);
    const Form201Figures figures = ReadForm201Figures(connection, session.PeriodRange, context.ui);
    FillForm201(run.Open(*path), &context.workbook, figures, session.VatCredit);
    run.Save();
  });
}

}  // namespace vatrix
