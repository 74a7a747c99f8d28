#include "returns/form205.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <tuple>
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
}

// ---------------------------------------------------------------------------------------
// Sheet 7, the payments month by month.

TEST_F(Form205FillTest, BankAndCashPaymentsDriveWhenTheyAreMore) {
  Form205Figures figures = ZeroFigures();
  figures.vat_payments = {Paid(6, 10, "20/06/2015")};
  figures.bank_cash_payments = {Paid(6, 20, "21/06/2015"), Paid(6, 30, "22/06/2015")};
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
  EXPECT_FALSE(Cell(5, 1));
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
}

TEST_F(Form205FillTest, ZeroFiguresLeaveEmptyCellsAndNoPaymentsLeaveSheetSevenUntouched) {
  Fill(ZeroFigures());
  for (const auto& [sheet, row, column] : std::vector<std::tuple<int, int, int>>{
           {1, 8, 2}, {1, 17, 3}, {1, 16, 2}, {6, 6, 3}, {6, 23, 3}, {3, 3, 2}, {4, 22, 2}}) {
    EXPECT_EQ(Written(*sheets_, sheet, row, column), CellValue(std::string()))
        << sheet << " (" << row << ", " << column << ")";
  }
  // No rate rows: sheet 2 is not touched.
  EXPECT_TRUE(WritesOn(*sheets_, 2).empty());
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

class Form205RunTest : public CompanyRunTest {
 protected:
  void SetUp() override {
    CompanyRunTest::SetUp();
    run_.session.ReturnCode = "205";
    run_.panel.return_type = "Annually";
    run_.panel.file_name = "Form 205";
    run_.session.PeriodRange = " Between #4/1/2015# and #3/31/2016# ";
    run_.session.PeriodStart = "#4/1/2015# ";
    run_.session.PeriodIndex = 1;
  }

  void Run(const std::string& company_folder, int template_sheets = 7) {
    RunOn(company_folder, Form205, [=] { return VatReturnTemplate(template_sheets); });
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
};

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

// Sheets 1, 2, 3 and 6 of a run against the company's rows of `from` to `to`, summed here, and
// the credit brought forward on sheet 4. How sheet 4 goes on is the Fill tests' part.
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

  ExpectAmount(m, 4, 3, 2, opening_credit);
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
  std::vector<std::tuple<int, int, CellValue>> year_payments;
  for (const auto& write : WritesOn(*sheets_, kPayments)) {
    year_payments.emplace_back(write.row, write.column, write.value);
  }
  EXPECT_GT(year_payments.size(), 12u);

  // One month: the figures are the month's, the payments still the whole data's.
  run_.ui.messages.clear();
  run_.panel.file_name = "Form 205 - October";
  run_.session.PeriodRange = " Between #10/1/2015# and #10/31/2015# ";
  Run(company);
  ASSERT_EQ(run_.ui.messages.size(), 2u) << run_.ui.Transcript();
  ExpectFiguresOfTheRows(*sheets_, raw, {2015, 10, 1}, {2015, 10, 31}, 15000.5);
  std::vector<std::tuple<int, int, CellValue>> month_payments;
  for (const auto& write : WritesOn(*sheets_, kPayments)) {
    month_payments.emplace_back(write.row, write.column, write.value);
  }
  EXPECT_EQ(month_payments, year_payments);
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
// neither record set takes; answered Yes, May's payments are labelled April.
TEST_F(Form205RunTest, PaymentsOfASmallCompanyAndTheAprilShift) {
  const std::string company = out_ + "/small";
  WriteSmallCompany(company,
                    {{{"1", "VAT 5% Sales", "5.00", "0.00", "4", "OV", "V"}},
                     {{"1", "20150505", "SA", "P1", "1", "105.00", "100.00", "5.00"}},
                     {{"V1", "90", ""}, {"C1", "4", "0.00"}, {"B1", "0", "0.00"}},
                     {{"V1", "20150520", "BP", "D", "300.00", ""},
                      {"V1", "20150505", "BP", "D", "100.00", ""},
                      {"V1", "", "BP", "D", "999.00", ""},  // no date: no month
                      {"V1", "20150510", "JV", "D", "200.25", ""},
                      {"V1", "20150511", "JV", "D", "77.00", "1"},  // a tax code: not a payment
                      {"V1", "20150512", "BP", "C", "66.00", ""},   // a credit
                      {"V1", "20150505", "SA", "C", "5.00", "1"},
                      {"C1", "20150521", "CP", "D", "40.00", ""},
                      {"C1", "20150522", "JV", "D", "55.00", ""},     // a journal: not R6
                      {"B1", "20150523", "BP", "D", "44.00", ""}}});  // not a type-4 account

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

  run_.ui.answer = MessageAnswer::kYes;
  run_.panel.file_name = "Form 205 - shifted";
  Run(company);
  ASSERT_TRUE(sheets_);
  EXPECT_EQ(Written(*sheets_, kPayments, 3, 1), CellValue("April"));
  EXPECT_EQ(Written(*sheets_, kPayments, 3, 2), CellValue(100.0));
  EXPECT_EQ(Written(*sheets_, kPayments, 5, 1), CellValue("April"));
}

}  // namespace
}  // namespace vatrix
