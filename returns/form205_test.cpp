#include "returns/form205.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "hostdata/host_error.h"
#include "hostdata/query_helpers.h"
#include "hostdata/test_tables.h"
#include "returns/build_fixture.h"
#include "returns/form205_queries.h"
#include "returns/vat_return_test_support.h"
#include "workbook/memory_spreadsheet.h"

namespace vatrix {
namespace {

namespace fs = std::filesystem;
using namespace vatrix::testing;

constexpr int kPayments = 7;

Form205Figures ZeroFigures() {
  Form205Figures figures;
  figures.a.assign(30, 0);
  return figures;
}

Payment Paid(int month, double amount, const std::string& date) { return {month, amount, date}; }

// Every write the run made on `sheet`.
std::vector<MemorySpreadsheet::CellWrite> WritesOn(const MemorySpreadsheet& m, int sheet) {
  std::vector<MemorySpreadsheet::CellWrite> writes;
  for (const auto& write : m.writes) {
    if (write.sheet == sheet) writes.push_back(write);
  }
  return writes;
}

// ---------------------------------------------------------------------------------------
// The writing rules, on figures given directly.

class Form205FillTest : public ::testing::Test {
 protected:
  void Fill(const Form205Figures& figures, bool april_shift = false, int sheets = 7) {
    sheets_ = VatReturnTemplate(sheets);
    sheets_->Open("template.xls");
    FillForm205(*sheets_, &workbook_, figures, april_shift, &vat_credit_);
  }
  std::optional<CellValue> Cell(int row, int column) const {
    return Written(*sheets_, kPayments, row, column);
  }

  std::unique_ptr<MemorySpreadsheet> sheets_;
  TemplateSession workbook_;
  double vat_credit_ = 0;
};

TEST_F(Form205FillTest, EachFigureGoesToItsCell) {
  Form205Figures figures = ZeroFigures();
  for (int i = 0; i < 30; ++i) figures.a[i] = i + 1;  // A1 = 1, ..., A30 = 30
  Fill(figures);
  ExpectAmount(*sheets_, 1, 8, 2, 1);
  ExpectAmount(*sheets_, 1, 8, 3, 2);
  ExpectAmount(*sheets_, 1, 10, 2, 3);
  ExpectAmount(*sheets_, 1, 10, 3, 4);
  ExpectAmount(*sheets_, 1, 12, 2, 5);
  ExpectAmount(*sheets_, 1, 12, 3, 6);
  ExpectAmount(*sheets_, 1, 15, 3, 7);
  ExpectAmount(*sheets_, 1, 17, 2, 8 + 9);
  ExpectAmount(*sheets_, 1, 17, 3, 10 + 11);
  ExpectAmount(*sheets_, 6, 6, 3, 12);
  ExpectAmount(*sheets_, 6, 10, 3, 13);
  ExpectAmount(*sheets_, 6, 13, 2, 14);
  ExpectAmount(*sheets_, 6, 13, 3, 15 + 16);
  ExpectAmount(*sheets_, 6, 17, 3, 17 + 18 - 19);  // A17 + A18 ≥ A19
  EXPECT_FALSE(Written(*sheets_, 6, 17, 2));
  ExpectAmount(*sheets_, 6, 21, 2, 20);
  ExpectAmount(*sheets_, 6, 21, 3, 21);
  ExpectAmount(*sheets_, 6, 23, 2, 22 + 23);
  ExpectAmount(*sheets_, 6, 23, 3, 24 + 25);
  ExpectAmount(*sheets_, 1, 16, 2, 14 + 20 + 22 + 23);
  ExpectAmount(*sheets_, 1, 16, 3, 12 + 13 + 15 + 16 + 16 + 21 + 24 + 25);
  ExpectAmount(*sheets_, 3, 3, 2, 26);
  ExpectAmount(*sheets_, 3, 4, 2, 27);
  ExpectAmount(*sheets_, 3, 5, 2, 28);
  ExpectAmount(*sheets_, 4, 22, 2, 13);
  EXPECT_EQ(workbook_.SecondSheet.position, 6);

  // A17 + A18 below A19: column 2 takes the difference and column 3 stays as it was.
  figures.a[18] = 50;
  Fill(figures);
  ExpectAmount(*sheets_, 6, 17, 2, 50 - 35);
  EXPECT_FALSE(Written(*sheets_, 6, 17, 3));
  // Equal: an empty column 3, column 2 untouched.
  figures.a[18] = 35;
  Fill(figures);
  ExpectAmount(*sheets_, 6, 17, 3, 0);
  EXPECT_FALSE(Written(*sheets_, 6, 17, 2));
}

TEST_F(Form205FillTest, ZeroFiguresLeaveEmptyCells) {
  Fill(ZeroFigures());
  for (const auto& [sheet, row, column] : std::vector<std::tuple<int, int, int>>{
           {1, 8, 2}, {1, 17, 3}, {1, 16, 2}, {6, 6, 3}, {6, 23, 3}, {3, 3, 2}, {4, 22, 2}}) {
    EXPECT_EQ(Written(*sheets_, sheet, row, column), CellValue(std::string()))
        << sheet << " (" << row << ", " << column << ")";
  }
  // No rate rows: sheet 2 is not touched.
  EXPECT_TRUE(WritesOn(*sheets_, 2).empty());
}

TEST_F(Form205FillTest, RateRowsAsInForm201) {
  Form205Figures figures = ZeroFigures();
  figures.output_tax = {{4, 100, 4, 0}, {12.5, 200, 25, 0}};
  figures.purchase_tax = {{15, 1000, 125, 25}};
  figures.input_tax = {{5, 80, 4, 0}, {13.5, 10, 1.35, 0.1}};
  Fill(figures);
  EXPECT_EQ(Written(*sheets_, 2, 3, 1), CellValue("04.00"));
  EXPECT_EQ(Written(*sheets_, 2, 4, 3), CellValue("12.50%"));
  EXPECT_EQ(Written(*sheets_, 2, 5, 2), CellValue("Purchase Tax"));
  EXPECT_EQ(Written(*sheets_, 2, 5, 8), CellValue(1150.0));
  EXPECT_FALSE(Written(*sheets_, 2, 5, 4));
  EXPECT_EQ(Written(*sheets_, 3, 10, 1), CellValue("13.50"));
  EXPECT_EQ(Written(*sheets_, 3, 10, 2), CellValue("13.50%"));
  EXPECT_EQ(Written(*sheets_, 3, 10, 6), CellValue(0.1));
  EXPECT_FALSE(Written(*sheets_, 3, 10, 3));
  EXPECT_FALSE(Written(*sheets_, 3, 10, 7));

  // No output tax: the purchase tax starts at row 3.
  figures.output_tax.clear();
  Fill(figures);
  EXPECT_EQ(Written(*sheets_, 2, 3, 2), CellValue("Purchase Tax"));
}

TEST_F(Form205FillTest, OpeningBalanceBecomesTheCreditOnlyWhenRead) {
  Form205Figures figures = ZeroFigures();
  figures.opening_balance = -15.5;
  vat_credit_ = 7;
  Fill(figures);
  EXPECT_EQ(vat_credit_, -15.5);
  ExpectAmount(*sheets_, 4, 3, 2, 15.5);

  // No row: the earlier credit stays, a debit balance brought forward as a credit.
  figures.opening_balance.reset();
  vat_credit_ = -40;
  Fill(figures);
  EXPECT_EQ(vat_credit_, -40);
  ExpectAmount(*sheets_, 4, 3, 2, 40);
  vat_credit_ = 25;
  Fill(figures);
  EXPECT_EQ(vat_credit_, 25);
  ExpectAmount(*sheets_, 4, 3, 2, 0);

  figures.opening_balance = 0;
  Fill(figures);
  EXPECT_EQ(vat_credit_, 0);
  ExpectAmount(*sheets_, 4, 3, 2, 0);
}

TEST_F(Form205FillTest, BalanceSheetReadsBackAfterItsWrites) {
  // Nothing at all: (7,2) takes (5,2) as it reads, 0; (20,2) = (27,2) leaves (28,2) and
  // (29,2) empty, (30,2) unwritten and (32,2) empty.
  Fill(ZeroFigures());
  EXPECT_EQ(Written(*sheets_, 4, 7, 2), CellValue(0.0));
  EXPECT_FALSE(Written(*sheets_, 4, 6, 2));
  ExpectAmount(*sheets_, 4, 26, 2, 0);
  ExpectAmount(*sheets_, 4, 28, 2, 0);
  ExpectAmount(*sheets_, 4, 29, 2, 0);
  EXPECT_FALSE(Written(*sheets_, 4, 30, 2));
  ExpectAmount(*sheets_, 4, 32, 2, 0);

  // A credit of 500 and input tax 100 against output tax 150, an adjustment of the VAT
  // account that lowers the credit by 30 and a class-18 tax (A30 - A29) of 200.
  Form205Figures figures = ZeroFigures();
  figures.opening_balance = -500;
  figures.input_tax = {{5, 2000, 100, 0}};
  figures.output_tax = {{5, 3000, 150, 0}};
  figures.a[16] = 30;   // A17: credit postings
  figures.a[29] = 250;  // A30
  figures.a[28] = 50;   // A29
  Fill(figures);
  ExpectAmount(*sheets_, 4, 3, 2, 500);
  ExpectAmount(*sheets_, 6, 17, 3, 30);
  ExpectAmount(*sheets_, 4, 6, 2, 30);
  ExpectAmount(*sheets_, 4, 7, 2, 600 - 30);
  ExpectAmount(*sheets_, 4, 26, 2, 570);
  ExpectAmount(*sheets_, 4, 28, 2, 0);
  ExpectAmount(*sheets_, 4, 29, 2, 570 - 150);
  ExpectAmount(*sheets_, 4, 30, 2, 200);
  ExpectAmount(*sheets_, 4, 32, 2, 420 - 200);

  // More class-18 tax than excess credit: all of it is set off.
  figures.a[29] = 1000;
  Fill(figures);
  ExpectAmount(*sheets_, 4, 30, 2, 420);
  ExpectAmount(*sheets_, 4, 32, 2, 0);
}

// ---------------------------------------------------------------------------------------
// Sheet 7, the payments month by month.

TEST_F(Form205FillTest, ThreeVatPaymentsAndOneBankPaymentShareRows) {
  Form205Figures figures = ZeroFigures();
  figures.vat_payments = {Paid(5, 100, "05/05/2015"), Paid(5, 200, "15/05/2015"),
                          Paid(5, 300.5, "25/05/2015")};
  figures.bank_cash_payments = {Paid(5, 50, "21/05/2015")};
  Fill(figures);
  EXPECT_EQ(workbook_.CurrentSheet.position, kPayments);
  for (int row = 3; row <= 5; ++row) EXPECT_EQ(Cell(row, 1), CellValue("May")) << row;
  EXPECT_EQ(Cell(3, 2), CellValue(100.0));
  EXPECT_EQ(Cell(3, 3), CellValue("05/05/2015"));
  EXPECT_EQ(Cell(3, 4), CellValue(50.0));
  EXPECT_EQ(Cell(3, 5), CellValue("21/05/2015"));
  EXPECT_EQ(Cell(3, 6), CellValue(150.0));
  EXPECT_EQ(Cell(4, 2), CellValue(200.0));
  EXPECT_FALSE(Cell(4, 4));
  EXPECT_FALSE(Cell(4, 5));
  EXPECT_EQ(Cell(4, 6), CellValue(200.0));
  EXPECT_EQ(Cell(5, 2), CellValue(300.5));
  EXPECT_EQ(Cell(5, 6), CellValue(300.5));
  EXPECT_FALSE(Cell(6, 1));
  EXPECT_FALSE(Cell(6, 6));
}

TEST_F(Form205FillTest, BankAndCashPaymentsDriveWhenTheyAreMore) {
  Form205Figures figures = ZeroFigures();
  figures.vat_payments = {Paid(6, 10, "20/06/2015"), Paid(7, 11, "20/07/2015")};
  figures.bank_cash_payments = {Paid(6, 20, "21/06/2015"), Paid(6, 30, "22/06/2015"),
                                Paid(7, 12, "21/07/2015")};
  Fill(figures);
  // June: R6 drives, the R5 payment beside its first.
  EXPECT_EQ(Cell(3, 1), CellValue("June"));
  EXPECT_EQ(Cell(3, 2), CellValue(10.0));
  EXPECT_EQ(Cell(3, 4), CellValue(20.0));
  EXPECT_EQ(Cell(3, 6), CellValue(30.0));
  EXPECT_EQ(Cell(4, 1), CellValue("June"));
  EXPECT_FALSE(Cell(4, 2));
  EXPECT_FALSE(Cell(4, 3));
  EXPECT_EQ(Cell(4, 4), CellValue(30.0));
  EXPECT_EQ(Cell(4, 5), CellValue("22/06/2015"));
  EXPECT_EQ(Cell(4, 6), CellValue(30.0));
  // July: a tie, one row with both.
  EXPECT_EQ(Cell(5, 1), CellValue("July"));
  EXPECT_EQ(Cell(5, 2), CellValue(11.0));
  EXPECT_EQ(Cell(5, 4), CellValue(12.0));
  EXPECT_EQ(Cell(5, 6), CellValue(23.0));
  EXPECT_FALSE(Cell(6, 1));
}

Form205Figures YearOfPayments() {
  Form205Figures figures = ZeroFigures();
  figures.vat_payments = {Paid(4, 100, "20/04/2015"), Paid(5, 200, "20/05/2015"),
                          Paid(1, 300, "20/01/2016"), Paid(3, 400, "20/03/2016")};
  figures.bank_cash_payments = {Paid(4, 7, "21/04/2015"), Paid(2, 8, "21/02/2016")};
  return figures;
}

TEST_F(Form205FillTest, WithoutTheAprilShiftEveryPaymentHasItsOwnMonth) {
  Fill(YearOfPayments(), false);
  const struct {
    int row;
    const char* label;
    std::optional<double> vat, bank, total;
  } rows[] = {{3, "April", 100, 7, 107},
              {4, "May", 200, std::nullopt, 200},
              {5, "January", 300, std::nullopt, 300},
              {6, "February", std::nullopt, 8, 8},
              {7, "March", 400, std::nullopt, 400}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.row);
    EXPECT_EQ(Cell(r.row, 1), CellValue(r.label));
    EXPECT_EQ(Cell(r.row, 2), r.vat ? std::optional<CellValue>(*r.vat) : std::nullopt);
    EXPECT_EQ(Cell(r.row, 4), r.bank ? std::optional<CellValue>(*r.bank) : std::nullopt);
    EXPECT_EQ(Cell(r.row, 6), CellValue(*r.total));
  }
  EXPECT_FALSE(Cell(8, 1));
}

TEST_F(Form205FillTest, TheAprilShiftSkipsAprilAndLabelsEachMonthAsTheOneBefore) {
  Fill(YearOfPayments(), true);
  // April's payments, its partner's too, are skipped; the row they left is May's, labelled
  // April; January's is labelled December.
  const struct {
    int row;
    const char* label;
    std::optional<double> vat, bank;
  } rows[] = {{3, "April", 200, std::nullopt},
              {4, "December", 300, std::nullopt},
              {5, "January", std::nullopt, 8},
              {6, "February", 400, std::nullopt}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.row);
    EXPECT_EQ(Cell(r.row, 1), CellValue(r.label));
    EXPECT_EQ(Cell(r.row, 2), r.vat ? std::optional<CellValue>(*r.vat) : std::nullopt);
    EXPECT_EQ(Cell(r.row, 4), r.bank ? std::optional<CellValue>(*r.bank) : std::nullopt);
  }
  EXPECT_EQ(Cell(3, 6), CellValue(200.0));
  EXPECT_FALSE(Cell(7, 1));
  for (const auto& write : WritesOn(*sheets_, kPayments)) {
    EXPECT_NE(write.value, CellValue(100.0)) << "April's VAT payment was listed";
    EXPECT_NE(write.value, CellValue(7.0)) << "April's bank payment was listed";
    EXPECT_NE(write.value, CellValue("20/04/2015"));
  }
}

TEST_F(Form205FillTest, OnlyAprilPaymentsLeaveAZeroTotalInRowThree) {
  Form205Figures figures = ZeroFigures();
  figures.vat_payments = {Paid(4, 100, "20/04/2015"), Paid(4, 50, "25/04/2015")};
  Fill(figures, true);
  const auto writes = WritesOn(*sheets_, kPayments);
  ASSERT_EQ(writes.size(), 2u);
  for (const auto& write : writes) {
    EXPECT_EQ(write.row, 3);
    EXPECT_EQ(write.column, 6);
    EXPECT_EQ(write.value, CellValue(0.0));
  }

  Fill(figures, false);
  EXPECT_EQ(Cell(3, 1), CellValue("April"));
  EXPECT_EQ(Cell(4, 1), CellValue("April"));
  EXPECT_EQ(Cell(4, 2), CellValue(50.0));
}

TEST_F(Form205FillTest, NoPaymentsLeaveSheetSevenUntouched) {
  Fill(ZeroFigures());
  EXPECT_TRUE(WritesOn(*sheets_, kPayments).empty());
  EXPECT_EQ(workbook_.CurrentSheet.position, 4);

  // A template without the payments sheet does not matter then.
  EXPECT_NO_THROW(Fill(ZeroFigures(), false, 6));

  // A payment without a date belongs to no month: the sheet is current but gets no row.
  Form205Figures figures = ZeroFigures();
  figures.vat_payments = {Payment{std::nullopt, 10, ""}};
  Fill(figures);
  EXPECT_TRUE(WritesOn(*sheets_, kPayments).empty());
  EXPECT_EQ(workbook_.CurrentSheet.position, kPayments);
}

// ---------------------------------------------------------------------------------------
// Whole runs on company data.

class Form205RunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    run_.session.ReturnCode = "205";
    run_.panel.return_type = "Annually";
    out_ = MakeTempFolder();
    run_.panel.output_folder = out_ + "/";
    run_.panel.file_name = "Form 205";
    Year();
  }
  void TearDown() override { fs::remove_all(out_); }

  void Year() {
    run_.session.PeriodRange = " Between #4/1/2015# and #3/31/2016# ";
    run_.session.PeriodStart = "#4/1/2015# ";
    run_.session.PeriodIndex = 1;
  }

  void Run(const std::string& company_folder, int template_sheets = 7) {
    sheets_ = nullptr;
    run_.lists.connection.OpenFolder(company_folder);
    run_.spreadsheets = [this, template_sheets]() -> std::unique_ptr<Spreadsheet> {
      kept_ = VatReturnTemplate(template_sheets);
      sheets_ = kept_.get();
      return Borrow(*kept_);
    };
    BuildContext context = run_.Context();
    Form205(context);
  }

  // The question, asked first.
  void ExpectQuestion(const Message& message) {
    EXPECT_EQ(message.title, kAppTitle);
    EXPECT_EQ(message.text,
              "Do You Want April Month VAT Payment is treated as Previous Year March Month "
              "Payment...?");
    EXPECT_EQ(message.icon, MessageIcon::kQuestion);
    EXPECT_EQ(message.buttons, MessageButtons::kYesNo);
  }

  BuildFixture run_;
  std::string out_;
  std::unique_ptr<MemorySpreadsheet> kept_;
  MemorySpreadsheet* sheets_ = nullptr;
};

// A payment of R5 or R6 found in the raw rows.
struct RawPayment {
  Date date;
  double amount;
};

// The ledger's raw rows: the postings R5 (`vat_account`) or R6 would give, in date order.
std::vector<RawPayment> RawPayments(const Connection& connection, bool vat_account) {
  std::map<std::string, double> act_types;
  RecordSet act = connection.Execute("SELECT * FROM ACT");
  for (; !act.eof(); act.MoveNext()) {
    const Value& type = act.field("ACT_TYPE");
    act_types[act.field("CODE").ToDisplayText()] =
        type.kind() == Value::Kind::kNumber ? type.number() : -1;
  }
  std::vector<RawPayment> payments;
  RecordSet ledger = connection.Execute("SELECT * FROM LEDGER");
  for (; !ledger.eof(); ledger.MoveNext()) {
    const auto type = act_types.find(ledger.field("CODE").ToDisplayText());
    const std::string vtype = ledger.field("VTYPE").ToDisplayText();
    if (type == act_types.end() || ledger.field("DC").ToDisplayText() != "D") continue;
    const bool wanted = vat_account ? type->second == 90 && vtype != "SA" && vtype != "PU" &&
                                          vtype != "SR" && vtype != "PR" &&
                                          ledger.field("VATCODE").ToDisplayText().empty()
                                    : type->second == 4 && (vtype == "BP" || vtype == "CP");
    if (wanted && ledger.field("DATE").kind() == Value::Kind::kDate) {
      const Value& amount = ledger.field("AMT");
      payments.push_back({ledger.field("DATE").date(),
                          amount.kind() == Value::Kind::kNumber ? amount.number() : 0});
    }
  }
  std::stable_sort(payments.begin(), payments.end(), [](const RawPayment& x, const RawPayment& y) {
    return std::tie(x.date.year, x.date.month, x.date.day) <
           std::tie(y.date.year, y.date.month, y.date.day);
  });
  return payments;
}

// The rate rows a run wrote from `first_row` on: rate text in `rate_column`, amounts in the
// three columns from `amount_column`; sorted as Ledgers sorts its rows.
std::vector<RateRow> WrittenRateRows(const MemorySpreadsheet& m, int sheet, int first_row,
                                     int amount_column) {
  std::vector<RateRow> rows;
  for (int row = first_row; Written(m, sheet, row, 1); ++row) {
    const auto number = [&](int column) {
      return std::get<double>(*Written(m, sheet, row, column));
    };
    rows.push_back({std::stod(std::get<std::string>(*Written(m, sheet, row, 1))),
                    number(amount_column), number(amount_column + 1), number(amount_column + 2)});
  }
  std::sort(rows.begin(), rows.end(), [](const RateRow& x, const RateRow& y) {
    return std::tie(x.rate, x.taxable) < std::tie(y.rate, y.taxable);
  });
  return rows;
}

void ExpectRateRows(const std::vector<RateRow>& written, const std::vector<RateRow>& expected) {
  ASSERT_EQ(written.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE("rate " + std::to_string(expected[i].rate));
    EXPECT_NEAR(written[i].rate, expected[i].rate, 0.001);
    EXPECT_NEAR(written[i].taxable, expected[i].taxable, 0.0051);
    EXPECT_NEAR(written[i].vat, expected[i].vat, 0.0051);
    EXPECT_NEAR(written[i].additional, expected[i].additional, 0.0051);
  }
}

double TaxOf(const std::vector<RateRow>& rows) {
  double sum = 0;
  for (const RateRow& row : rows) sum += row.vat + row.additional;
  return sum;
}

// Sheets 1 to 4 and 6 of a run against the company's rows of `from` to `to`, summed here.
void ExpectFiguresOfTheRows(const MemorySpreadsheet& m, const Connection& raw, Date from, Date to,
                            double opening_credit) {
  const Ledgers rows(raw, from, to);
  const std::vector<double> q = FiguresFromRows(rows);
  const double local_sale_returns = rows.Bills(
      [](const Ledgers::Bill& b, const Ledgers::Tax& t) {
        return b.vtype == "SR" && t.vattype != 18 && t.vattype != 12 && t.type != "C";
      },
      [](const Ledgers::Bill& b) { return b.bill; });
  ExpectCellTable(m, q, local_sale_returns);

  const std::vector<RateRow> output = rows.TaxByRate(true);
  const std::vector<RateRow> purchase = rows.PurchaseTaxByRate();
  const std::vector<RateRow> input = rows.TaxByRate(false);
  ASSERT_FALSE(output.empty());
  ASSERT_FALSE(purchase.empty());
  ASSERT_FALSE(input.empty());
  std::vector<RateRow> sheet2 = output;
  sheet2.insert(sheet2.end(), purchase.begin(), purchase.end());
  std::sort(sheet2.begin(), sheet2.end(), [](const RateRow& x, const RateRow& y) {
    return std::tie(x.rate, x.taxable) < std::tie(y.rate, y.taxable);
  });
  ExpectRateRows(WrittenRateRows(m, 2, 3, 5), sheet2);
  ExpectRateRows(WrittenRateRows(m, 3, 9, 4), input);
  // Output rows first, then purchase rows.
  const size_t output_rows = output.size();
  EXPECT_EQ(Written(m, 2, 3, 2), CellValue("Output Tax"));
  EXPECT_EQ(Written(m, 2, 3 + static_cast<int>(output_rows), 2), CellValue("Purchase Tax"));

  // Sheet 4 as the template's formulas and the builder's steps make it.
  const double a = q[30] + q[24], b = q[28];
  const double credit = opening_credit + TaxOf(input);
  const double adjusted = a < b ? credit + (b - a) : a > b ? credit - (a - b) : credit;
  const double payable = TaxOf(output) + TaxOf(purchase);
  const double total_credit = q[22] + adjusted;
  ExpectAmount(m, 4, 3, 2, opening_credit);
  ExpectAmount(m, 4, 7, 2, adjusted);
  ExpectAmount(m, 4, 26, 2, adjusted);
  ExpectAmount(m, 4, 28, 2, payable > total_credit ? payable - total_credit : 0);
  const double excess = payable < total_credit ? total_credit - payable : 0;
  ExpectAmount(m, 4, 29, 2, excess);
  const double class18 = q[26] - q[25];
  const double set_off = excess > 0 ? (class18 > excess ? excess : class18) : 0;
  if (excess > 0) ExpectAmount(m, 4, 30, 2, set_off);
  ExpectAmount(m, 4, 32, 2, excess - set_off);
}

// Sheet 7 against the payments found in the raw rows: in sheet order, the R5 payments fill
// columns 2 and 3 and the R6 payments columns 4 and 5, each in date order; a row is labelled
// with its payments' month and holds their total; each month takes as many rows as its longer
// list.
void ExpectPaymentsOfTheRows(const MemorySpreadsheet& m, const Connection& raw) {
  const std::vector<RawPayment> vat = RawPayments(raw, true);
  const std::vector<RawPayment> bank_cash = RawPayments(raw, false);
  ASSERT_FALSE(vat.empty());
  ASSERT_FALSE(bank_cash.empty());
  std::map<int, std::pair<int, int>> per_month;
  for (const RawPayment& p : vat) ++per_month[p.date.month].first;
  for (const RawPayment& p : bank_cash) ++per_month[p.date.month].second;
  int expected_rows = 0;
  for (const auto& [month, counts] : per_month)
    expected_rows += std::max(counts.first, counts.second);

  size_t next_vat = 0, next_bank_cash = 0;
  int row = 3;
  for (; Written(m, kPayments, row, 1); ++row) {
    SCOPED_TRACE("row " + std::to_string(row));
    const auto label = std::get<std::string>(*Written(m, kPayments, row, 1));
    double total = 0;
    for (const auto& [list, next, column] :
         {std::tuple(&vat, &next_vat, 2), std::tuple(&bank_cash, &next_bank_cash, 4)}) {
      const std::optional<CellValue> amount = Written(m, kPayments, row, column);
      if (!amount) continue;
      ASSERT_LT(*next, list->size());
      const RawPayment& p = (*list)[(*next)++];
      EXPECT_NEAR(std::get<double>(*amount), p.amount, 0.001);
      EXPECT_EQ(Written(m, kPayments, row, column + 1), CellValue(FormatDisplayDate(p.date)));
      EXPECT_EQ(label, EnglishMonthName(p.date.month));
      total += p.amount;
    }
    EXPECT_NEAR(std::get<double>(*Written(m, kPayments, row, 6)), total, 0.001);
  }
  EXPECT_EQ(next_vat, vat.size());
  EXPECT_EQ(next_bank_cash, bank_cash.size());
  EXPECT_EQ(row - 3, expected_rows);
}

TEST_F(Form205RunTest, WholeYearAndOneMonthMatchTheRows) {
  const std::string company = SampleFolder() + "/007";
  run_.session.VatCredit = 123;  // replaced by the VAT account's opening balance
  Run(company);
  ASSERT_TRUE(sheets_);
  ASSERT_EQ(run_.ui.messages.size(), 2u) << run_.ui.Transcript();
  ExpectQuestion(run_.ui.messages[0]);
  EXPECT_EQ(run_.ui.messages[1].text,
            "Data Exported Successfully into File : " + out_ +
                "/Form 205.xls\r\nPlease Verify data of this file with actual data and then "
                "submit it.");
  EXPECT_EQ(run_.ui.messages[1].icon, MessageIcon::kInformation);
  EXPECT_EQ(sheets_->opened_path, run_.master_folder + "/" + kForm205Template);
  ASSERT_EQ(sheets_->saves.size(), 1u);
  EXPECT_EQ(sheets_->saves[0].path, out_ + "/Form 205.xls");
  EXPECT_EQ(sheets_->saves[0].file_format, kFormatExcel97);
  EXPECT_TRUE(sheets_->quit);
  EXPECT_EQ(run_.workbook.TemplateName, kForm205Template);
  EXPECT_EQ(run_.workbook.CurrentSheet.position, kPayments);
  EXPECT_FALSE(run_.wait.state().visible);
  EXPECT_EQ(run_.session.VatCredit, -15000.5);
  EXPECT_TRUE(WritesOn(*sheets_, 5).empty()) << "sheet 5 is the template's";

  Connection raw;
  raw.OpenFolder(company);
  ExpectFiguresOfTheRows(*sheets_, raw, {2015, 4, 1}, {2016, 3, 31}, 15000.5);
  ExpectPaymentsOfTheRows(*sheets_, raw);

  // One month: the figures are the month's, the payments still the whole data's.
  run_.ui.messages.clear();
  run_.panel.file_name = "Form 205 - October";
  run_.session.PeriodRange = " Between #10/1/2015# and #10/31/2015# ";
  Run(company);
  ASSERT_EQ(run_.ui.messages.size(), 2u) << run_.ui.Transcript();
  ExpectFiguresOfTheRows(*sheets_, raw, {2015, 10, 1}, {2015, 10, 31}, 15000.5);
  ExpectPaymentsOfTheRows(*sheets_, raw);
}

TEST_F(Form205RunTest, YesTurnsTheAprilShiftOn) {
  run_.ui.answer = MessageAnswer::kYes;
  const std::string company = SampleFolder() + "/007";
  Run(company);
  ASSERT_TRUE(sheets_);
  ASSERT_EQ(run_.ui.messages.size(), 2u) << run_.ui.Transcript();
  Connection raw;
  raw.OpenFolder(company);
  const std::vector<RawPayment> vat = RawPayments(raw, true);
  // The first listed payment is May's, labelled April; April's are not listed.
  const auto may =
      std::find_if(vat.begin(), vat.end(), [](const RawPayment& p) { return p.date.month == 5; });
  ASSERT_NE(may, vat.end());
  EXPECT_EQ(Written(*sheets_, kPayments, 3, 1), CellValue("April"));
  EXPECT_NEAR(std::get<double>(*Written(*sheets_, kPayments, 3, 2)), may->amount, 0.001);
  for (const auto& write : WritesOn(*sheets_, kPayments)) {
    if (const auto* text = std::get_if<std::string>(&write.value)) {
      EXPECT_EQ(text->find("/04/2015"), std::string::npos) << "an April payment is listed";
      EXPECT_NE(*text, "March") << "only a payment of April would be labelled March";
    }
  }
}

TEST_F(Form205RunTest, OldYearAndMissingTemplateStartNoWorkbook) {
  run_.session.YearFrom = "01/04/2007";
  Run(SampleFolder() + "/001");
  ASSERT_EQ(run_.ui.messages.size(), 1u);
  EXPECT_EQ(run_.ui.messages[0].text, "Old Return Not Done....");
  EXPECT_EQ(run_.ui.messages[0].icon, MessageIcon::kCritical);
  EXPECT_EQ(sheets_, nullptr);
  EXPECT_TRUE(fs::is_empty(out_));

  // The question comes before the template check.
  run_.ui.messages.clear();
  run_.session.YearFrom = "01/04/2015";
  run_.master_folder = out_;
  Run(SampleFolder() + "/007");
  ASSERT_EQ(run_.ui.messages.size(), 2u);
  ExpectQuestion(run_.ui.messages[0]);
  EXPECT_EQ(run_.ui.messages[1].text,
            "Master Templete : " + out_ + "/" + kForm205Template + " was not found.....");
  EXPECT_EQ(run_.ui.messages[1].icon, MessageIcon::kExclamation);
  EXPECT_EQ(sheets_, nullptr);
  EXPECT_FALSE(run_.wait.state().visible);
  EXPECT_FALSE(run_.wait.state().hourglass);
  EXPECT_TRUE(fs::is_empty(out_));
  EXPECT_FALSE(run_.ui.ended);
}

TEST_F(Form205RunTest, AFailedRunClosesTheWorkbookUnsavedAndEndsTheProgram) {
  // A template without the payments sheet fails once the payments are listed.
  EXPECT_THROW(Run(SampleFolder() + "/007", 6), ProgramEnding);
  ASSERT_EQ(run_.ui.messages.size(), 2u) << run_.ui.Transcript();
  EXPECT_EQ(run_.ui.messages[1].title, "Form 205 - Error");
  EXPECT_EQ(run_.ui.messages[1].icon, MessageIcon::kCritical);
  EXPECT_EQ(run_.ui.messages[1].text.rfind("Error Number : 9\r\nError Description : ", 0), 0u)
      << run_.ui.messages[1].text;
  EXPECT_TRUE(run_.ui.ended);
  ASSERT_TRUE(sheets_);
  EXPECT_TRUE(sheets_->saves.empty());
  EXPECT_TRUE(sheets_->closed);
  EXPECT_TRUE(sheets_->quit);
  EXPECT_FALSE(run_.wait.state().visible);
  EXPECT_FALSE(run_.wait.state().hourglass);
}

// A small company whose ledger holds three VAT payments in May, one undated, and postings that
// neither record set takes.
TEST_F(Form205RunTest, PaymentsOfASmallCompany) {
  const std::string company = out_ + "/small";
  fs::create_directory(company);
  TestTable stax;
  stax.fields = {{"CODE", 'C', 4},    {"NAME", 'C', 30},  {"PCN", 'N', 6, 2}, {"BC_TAX", 'N', 6, 2},
                 {"VATTYPE", 'N', 3}, {"VATDET", 'C', 2}, {"TYPE", 'C', 1}};
  stax.rows = {{"1", "VAT 5% Sales", "5.00", "0.00", "4", "OV", "V"}};
  WriteFile(company + "/STAX.DBF", DbfBytes(stax));
  TestTable sp;
  sp.fields = {{"LINK", 'C', 10},       {"DATE", 'D', 8},      {"VTYPE", 'C', 2},
               {"CODE", 'C', 6},        {"ST_TYPE", 'C', 4},   {"BILL_AMT", 'N', 14, 2},
               {"TAX_AMT", 'N', 14, 2}, {"ST_AMT", 'N', 14, 2}};
  sp.rows = {{"1", "20150505", "SA", "P1", "1", "105.00", "100.00", "5.00"}};
  WriteFile(company + "/SP.DBF", DbfBytes(sp));
  TestTable itvat;
  itvat.fields = {{"LINK", 'C', 10}, {"VATCODE", 'C', 4}, {"AMT", 'N', 14, 2}, {"VAT", 'N', 14, 2}};
  WriteFile(company + "/ITVAT.DBF", DbfBytes(itvat));
  TestTable act;
  act.fields = {{"CODE", 'C', 6}, {"ACT_TYPE", 'N', 3}, {"OPBAL", 'N', 14, 2}};
  act.rows = {{"V1", "90", ""}, {"C1", "4", "0.00"}, {"B1", "0", "0.00"}};
  WriteFile(company + "/ACT.DBF", DbfBytes(act));
  TestTable ledger;
  ledger.fields = {{"CODE", 'C', 6}, {"DATE", 'D', 8},    {"VTYPE", 'C', 2},
                   {"DC", 'C', 1},   {"AMT", 'N', 14, 2}, {"VATCODE", 'C', 4}};
  ledger.rows = {{"V1", "20150520", "BP", "D", "300.00", ""},
                 {"V1", "20150505", "BP", "D", "100.00", ""},
                 {"V1", "", "BP", "D", "999.00", ""},  // no date: no month
                 {"V1", "20150510", "JV", "D", "200.25", ""},
                 {"V1", "20150511", "JV", "D", "77.00", "1"},  // a tax code: not a payment
                 {"V1", "20150512", "BP", "C", "66.00", ""},   // a credit
                 {"V1", "20150505", "SA", "C", "5.00", "1"},
                 {"C1", "20150521", "CP", "D", "40.00", ""},
                 {"C1", "20150522", "JV", "D", "55.00", ""},   // a journal: not R6
                 {"B1", "20150523", "BP", "D", "44.00", ""}};  // not a type-4 account
  WriteFile(company + "/LEDGER.DBF", DbfBytes(ledger));

  run_.session.VatCredit = -99;
  Run(company);
  ASSERT_TRUE(sheets_);
  ASSERT_EQ(run_.ui.messages.size(), 2u) << run_.ui.Transcript();
  // R4 has a row whose balance is null: the credit becomes 0.
  EXPECT_EQ(run_.session.VatCredit, 0);
  ExpectAmount(*sheets_, 4, 3, 2, 0);
  const struct {
    int row;
    double vat;
    const char* date;
  } rows[] = {{3, 100, "05/05/2015"}, {4, 200.25, "10/05/2015"}, {5, 300, "20/05/2015"}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.row);
    EXPECT_EQ(Written(*sheets_, kPayments, r.row, 1), CellValue("May"));
    EXPECT_EQ(Written(*sheets_, kPayments, r.row, 2), CellValue(r.vat));
    EXPECT_EQ(Written(*sheets_, kPayments, r.row, 3), CellValue(r.date));
  }
  EXPECT_EQ(Written(*sheets_, kPayments, 3, 4), CellValue(40.0));
  EXPECT_EQ(Written(*sheets_, kPayments, 3, 5), CellValue("21/05/2015"));
  EXPECT_EQ(Written(*sheets_, kPayments, 3, 6), CellValue(140.0));
  EXPECT_FALSE(Written(*sheets_, kPayments, 4, 4));
  EXPECT_FALSE(Written(*sheets_, kPayments, 6, 1));
  ExpectAmount(*sheets_, 1, 8, 2, 105);
}

}  // namespace
}  // namespace vatrix
