#include "returns/vat_return_sheets.h"

#include <charconv>
#include <cmath>
#include <initializer_list>

#include "hostdata/host_error.h"
#include "hostdata/query_helpers.h"
#include "hostdata/record_set.h"
#include "hostdata/value.h"

namespace vatrix {
namespace {

// The run-time failure a row number beyond a 16-bit sheet row gives.
constexpr long kOverflow = 6;
// A computed cell that holds something other than a number.
constexpr long kTypeMismatch = 13;
constexpr int kLastNumberedRow = 32767;

std::string Join(std::initializer_list<std::string_view> pieces) {
  std::string text;
  for (std::string_view piece : pieces) text.append(piece);
  return text;
}

// The item-wise half (ITVAT lines of bills whose own tax type is item-wise) united with the
// bill-level half, grouped by rate; the three WHERE/HAVING pieces choose sales or purchases.
std::string TaxByRate(std::string_view period_range, std::string_view item_where,
                      std::string_view bill_where, std::string_view bill_having) {
  return Join(
      {"(SELECT Sum(ITVAT.AMT) AS Tax_Amt, Sum((ITVAT.AMT*(STAX.PCN-STAX.BC_TAX))/100) "
       "AS VAT_AMT, Sum(ITVAT.VAT-((ITVAT.AMT*(STAX.PCN-STAX.BC_TAX))/100)) AS ATX_AMT, "
       "STAX.PCN-STAX.BC_TAX AS VATPCN, STAX_1.VATDET, STAX.PCN, STAX.BC_TAX ",
       "FROM ((SP INNER JOIN ITVAT ON SP.LINK = ITVAT.LINK) INNER JOIN STAX ON "
       "ITVAT.VATCODE = STAX.CODE) INNER JOIN STAX AS STAX_1 ON SP.ST_TYPE = STAX_1.CODE ",
       item_where, "(SP.DATE", period_range, ")",
       "GROUP BY STAX.PCN-STAX.BC_TAX, STAX_1.VATDET, STAX.PCN, STAX.BC_TAX) ",
       "UNION ALL (SELECT Sum(SP.TAX_AMT) AS Tax_AMT, "
       "Sum((SP.TAX_AMT*(STAX.PCN-STAX.BC_TAX))/100) AS VAT_AMT, "
       "Sum(SP.ST_AMT-((SP.TAX_AMT*(STAX.PCN-STAX.BC_TAX))/100)) AS ATX_AMT, "
       "STAX.PCN-STAX.BC_TAX AS VATPCN, STAX.VATDET, STAX.PCN, STAX.BC_TAX ",
       "FROM STAX INNER JOIN SP ON STAX.CODE = SP.ST_TYPE ", bill_where, "(SP.DATE", period_range,
       ")", "GROUP BY STAX.PCN-STAX.BC_TAX, STAX.VATDET, STAX.PCN, STAX.BC_TAX ", bill_having,
       "ORDER BY PCN"});
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

}  // namespace

std::string OutputTaxByRateQuery(std::string_view period_range) {
  return TaxByRate(period_range,
                   "Where (((SP.VTYPE) = 'SA') And ((STAX_1.VATDET) = 'OV') And "
                   "((STAX_1.VATTYPE) = 15)) And ",
                   "Where (((SP.VTYPE) = 'SA') And ((STAX.Type) = 'V') And ((STAX.VATTYPE) <> 15 "
                   "And (STAX.VATTYPE) <> 18)) And ",
                   "HAVING (((STAX.VATDET)='OV'))) ");
}

std::string PurchaseTaxByRateQuery(std::string_view period_range) {
  return Join({"SELECT Sum(SP.BILL_AMT) AS TAX_AMT, ",
               "Sum(IIf(STAX.BC_TAX=5,(SP.BILL_AMT*4)/100,IIf(STAX.BC_TAX=15,(SP.BILL_AMT*12.5)/"
               "100,IIf(STAX.BC_TAX=17.5,(SP.BILL_AMT*15)/100,(SP.BILL_AMT*STAX.BC_TAX)/100)))) "
               "AS VAT_AMT, ",
               "Sum(IIf(STAX.BC_TAX=5,(SP.BILL_AMT*1)/100,IIf(STAX.BC_TAX=15,(SP.BILL_AMT*2.5)/"
               "100,IIf(STAX.BC_TAX=17.5,(SP.BILL_AMT*2.5)/100,0)))) AS ATX_AMT, STAX.BC_TAX AS "
               "VATPCN ",
               "FROM ACT RIGHT JOIN (STAX INNER JOIN SP ON STAX.CODE = SP.ST_TYPE) ON ACT.CODE = "
               "SP.CODE ",
               "WHERE ", "(SP.DATE", period_range, ")", "GROUP BY STAX.BC_TAX, STAX.VATTYPE ",
               "HAVING (((STAX.VATTYPE)=6)) ", "ORDER BY STAX.BC_TAX"});
}

std::string InputTaxByRateQuery(std::string_view period_range) {
  return TaxByRate(period_range,
                   "Where (((SP.VTYPE) = 'PU') And ((STAX_1.VATDET) = 'IV') And "
                   "((STAX_1.VATTYPE) = 14)) And ",
                   "Where (((SP.VTYPE) = 'PU') And ((STAX.Type) = 'V') And ((STAX.VATTYPE) <> "
                   "14)) And ",
                   "HAVING (((STAX.VATDET)='IV'))) ");
}

double NumberOrZero(const RecordSet& records, std::string_view field) {
  const Value& value = records.field(field);
  if (value.is_null()) return 0;
  if (value.kind() != Value::Kind::kNumber) {
    throw HostError(kRecordSetMisuse, "the field " + std::string(field) + " is not a number",
                    records.source());
  }
  return value.number();
}

std::vector<std::string> RateWiseQueries(std::string_view period_range) {
  return {OutputTaxByRateQuery(period_range), PurchaseTaxByRateQuery(period_range),
          InputTaxByRateQuery(period_range)};
}

RateWiseRows ReadRateWiseRows(const Connection& connection, std::string_view period_range) {
  return {ReadRateRows(connection, OutputTaxByRateQuery(period_range)),
          ReadRateRows(connection, PurchaseTaxByRateQuery(period_range)),
          ReadRateRows(connection, InputTaxByRateQuery(period_range))};
}

std::vector<RateRow> ReadRateRows(const Connection& connection, const std::string& query) {
  RecordSet records = connection.Execute(query);
  std::vector<RateRow> rows;
  for (; !records.eof(); records.MoveNext()) {
    rows.push_back({NumberOrZero(records, "VatPcn"),
                    RoundHalfEven(NumberOrZero(records, "Tax_amt"), 2),
                    RoundHalfEven(NumberOrZero(records, "Vat_amt"), 2),
                    RoundHalfEven(NumberOrZero(records, "Atx_amt"), 2)});
  }
  return rows;
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

CellValue BlankIfZero(double value) {
  if (value == 0) return std::string();
  return value;
}

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

void WriteTurnoverAndDeductions(Spreadsheet& sheets, const Sheet& turnover, const Sheet& deductions,
                                const TurnoverCells& c) {
  sheets.Write(turnover, 8, 2, BlankIfZero(c.sales));
  sheets.Write(turnover, 8, 3, BlankIfZero(c.purchases));
  sheets.Write(turnover, 10, 2, BlankIfZero(c.class4_sales));
  sheets.Write(turnover, 10, 3, BlankIfZero(c.class5_purchases));
  sheets.Write(turnover, 12, 2, BlankIfZero(c.class9_sales));
  sheets.Write(turnover, 12, 3, BlankIfZero(c.class8_purchases));
  sheets.Write(turnover, 15, 3, BlankIfZero(c.class7_purchases));
  sheets.Write(turnover, 17, 2, BlankIfZero(c.untaxed_sales));
  sheets.Write(turnover, 17, 3, BlankIfZero(c.untaxed_purchases));

  sheets.Write(deductions, 6, 3, BlankIfZero(c.sale_returns));
  sheets.Write(deductions, 10, 3, BlankIfZero(c.sale_return_tax));
  sheets.Write(deductions, 13, 2, BlankIfZero(c.vat_account_debits));
  sheets.Write(deductions, 13, 3, BlankIfZero(c.returns_and_vat_credits));
  // Row 17 adjusts the VAT account: only the larger side is written.
  const double credits = c.vat_account_credit_tax;
  const double debits = c.vat_account_debit_tax;
  if (credits < debits) {
    sheets.Write(deductions, 17, 2, BlankIfZero(debits - credits));
  } else {
    sheets.Write(deductions, 17, 3, BlankIfZero(credits - debits));
  }
  sheets.Write(deductions, 21, 2, BlankIfZero(c.class11_sales));
  sheets.Write(deductions, 21, 3, BlankIfZero(c.class10_purchases));
  sheets.Write(deductions, 23, 2, BlankIfZero(c.central_sales));
  sheets.Write(deductions, 23, 3, BlankIfZero(c.central_purchases));

  sheets.Write(turnover, 16, 2, BlankIfZero(ReadAmount(sheets, deductions, 24, 2)));
  sheets.Write(turnover, 16, 3, BlankIfZero(ReadAmount(sheets, deductions, 24, 3)));
}

void WriteTaxRateSheet(Spreadsheet& sheets, TemplateSession* workbook,
                       const std::vector<RateRow>& output_tax,
                       const std::vector<RateRow>& purchase_tax) {
  if (output_tax.empty() && purchase_tax.empty()) return;
  workbook->CurrentSheet = sheets.SheetAt(kTaxRatesSheet);
  const int row = WriteTaxRateRows(sheets, workbook->CurrentSheet, output_tax, "Output Tax", 3);
  WriteTaxRateRows(sheets, workbook->CurrentSheet, purchase_tax, "Purchase Tax", row);
}

void WriteInputTaxSheet(Spreadsheet& sheets, const Sheet& input, double credit_postings,
                        double taxed_purchases, double class6_purchases,
                        const std::vector<RateRow>& rows) {
  sheets.Write(input, 3, 2, BlankIfZero(credit_postings));
  sheets.Write(input, 4, 2, BlankIfZero(taxed_purchases));
  sheets.Write(input, 5, 2, BlankIfZero(class6_purchases));
  int row = 9;
  for (const RateRow& rate : rows) {
    CheckRateRow(row, input);
    sheets.Write(input, row, 1, RateText(rate.rate));
    sheets.Write(input, row, 2, RateText(rate.rate) + "%");
    sheets.Write(input, row, 4, rate.taxable);
    sheets.Write(input, row, 5, rate.vat);
    sheets.Write(input, row, 6, rate.additional);
    ++row;
  }
}

void WriteBalance(Spreadsheet& sheets, const Sheet& balance, const Sheet& deductions,
                  const BalanceCells& cells) {
  sheets.Write(balance, 3, 2, BlankIfZero(cells.credit_brought_forward));
  const double increase = ReadAmount(sheets, deductions, 17, 2);
  if (increase != 0) {
    sheets.Write(balance, 6, 2, increase);
    sheets.Write(balance, 7, 2, ReadAmount(sheets, balance, 5, 2) + increase);
  } else if (const double decrease = ReadAmount(sheets, deductions, 17, 3); decrease != 0) {
    sheets.Write(balance, 6, 2, decrease);
    sheets.Write(balance, 7, 2, ReadAmount(sheets, balance, 5, 2) - decrease);
  } else {
    const double credit = ReadAmount(sheets, balance, 5, 2);
    sheets.Write(balance, 7, 2,
                 cells.unadjusted_blank_if_zero ? BlankIfZero(credit) : CellValue(credit));
  }
  sheets.Write(balance, 22, 2, BlankIfZero(cells.sale_return_tax));
  sheets.Write(balance, 26, 2, BlankIfZero(ReadAmount(sheets, balance, 7, 2)));

  const double payable = ReadAmount(sheets, balance, 20, 2);
  const double credit = ReadAmount(sheets, balance, 27, 2);
  const double net = payable - credit;
  sheets.Write(balance, 28, 2, BlankIfZero(net > 0 ? net : 0));
  sheets.Write(balance, 29, 2, BlankIfZero(net < 0 ? credit - payable : 0));

  const double excess = ReadAmount(sheets, balance, 29, 2);
  if (excess > 0) {
    sheets.Write(balance, 30, 2,
                 cells.class18_tax > excess ? CellValue(excess) : BlankIfZero(cells.class18_tax));
  }
  sheets.Write(
      balance, 32, 2,
      BlankIfZero(ReadAmount(sheets, balance, 29, 2) - ReadAmount(sheets, balance, 30, 2)));
}

}  // namespace vatrix
