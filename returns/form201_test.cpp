#include "returns/form201.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>

#include "hostdata/host_error.h"
#include "hostdata/query_helpers.h"
#include "hostdata/test_tables.h"
#include "returns/build_fixture.h"
#include "returns/vat_return_test_support.h"
#include "workbook/memory_spreadsheet.h"

namespace vatrix {
namespace {

namespace fs = std::filesystem;
using namespace vatrix::testing;

Form201Figures ZeroFigures() {
  Form201Figures figures;
  figures.q.assign(30, 0);
  return figures;
}

// ---------------------------------------------------------------------------------------
// The writing rules, on figures given directly.

class Form201FillTest : public ::testing::Test {
 protected:
  void Fill(const Form201Figures& figures, double vat_credit) {
    sheets_ = VatReturnTemplate();
    sheets_->Open("template.xls");
    FillForm201(*sheets_, &workbook_, figures, vat_credit);
  }

  std::unique_ptr<MemorySpreadsheet> sheets_;
  TemplateSession workbook_;
};

TEST_F(Form201FillTest, RateTextsHaveTwoDecimalsAndTwoLeadingDigits) {
  EXPECT_EQ(RateText(4), "04.00");
  EXPECT_EQ(RateText(12.5), "12.50");
  EXPECT_EQ(RateText(112.5), "112.50");
  EXPECT_EQ(RateText(0), "00.00");
  EXPECT_EQ(RateText(0.125), "00.13");  // half away from zero
  EXPECT_EQ(RateText(9.995), "10.00");
  EXPECT_EQ(RateText(-4), "-04.00");
}

TEST_F(Form201FillTest, Row17WritesOnlyTheLargerSideOfTheVatAccount) {
  Form201Figures figures = ZeroFigures();
  figures.q[29] = 100;  // Q30: credit postings
  figures.q[23] = 20;   // Q24: tax on purchase returns
  figures.q[27] = 150;  // Q28: debit postings
  Fill(figures, 1000);  // a = 120 < b = 150: the credit grows by 30
  ExpectAmount(*sheets_, 6, 17, 2, 30);
  EXPECT_FALSE(Written(*sheets_, 6, 17, 3));
  ExpectAmount(*sheets_, 4, 6, 2, 30);
  ExpectAmount(*sheets_, 4, 7, 2, 1030);
  ExpectAmount(*sheets_, 1, 16, 2, 30);  // the deductions total copied to the turnover

  figures.q[27] = 70;  // a = 120 > b = 70: the credit shrinks by 50
  Fill(figures, 1000);
  EXPECT_FALSE(Written(*sheets_, 6, 17, 2));
  ExpectAmount(*sheets_, 6, 17, 3, 50);
  ExpectAmount(*sheets_, 4, 6, 2, 50);
  ExpectAmount(*sheets_, 4, 7, 2, 950);
  ExpectAmount(*sheets_, 1, 16, 3, 50);

  figures.q[27] = 120;  // a = b: (17,3) blank, no adjustment
  Fill(figures, 1000);
  EXPECT_FALSE(Written(*sheets_, 6, 17, 2));
  ExpectAmount(*sheets_, 6, 17, 3, 0);
  EXPECT_FALSE(Written(*sheets_, 4, 6, 2));
  ExpectAmount(*sheets_, 4, 7, 2, 1000);
  ExpectAmount(*sheets_, 4, 26, 2, 1000);
}

TEST_F(Form201FillTest, OutputTaxRowsThenPurchaseTaxRows) {
  Form201Figures figures = ZeroFigures();
  figures.output_tax = {{4, 100, 4, 0}, {12.5, 200, 25, 0}, {15, 50.1, 6.26, 1.25}};
  figures.purchase_tax = {{5, 300, 12, 3}, {15, 1000, 125, 25}};
  figures.input_tax = {{12.5, 80, 10, 0}};
  Fill(figures, 0);
  const struct {
    int row;
    std::string rate;
    std::string kind;
    double total;
  } rows[] = {{3, "04.00", "Output Tax", 104},
              {4, "12.50", "Output Tax", 225},
              {5, "15.00", "Output Tax", 57.61},
              {6, "05.00", "Purchase Tax", 315},
              {7, "15.00", "Purchase Tax", 1150}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.row);
    EXPECT_EQ(Written(*sheets_, 2, r.row, 1), CellValue(r.rate));
    EXPECT_EQ(Written(*sheets_, 2, r.row, 2), CellValue(r.kind));
    EXPECT_EQ(Written(*sheets_, 2, r.row, 3), CellValue(r.rate + "%"));
    EXPECT_FALSE(Written(*sheets_, 2, r.row, 4));
    EXPECT_EQ(Written(*sheets_, 2, r.row, 8), CellValue(r.total));
  }
  EXPECT_EQ(Written(*sheets_, 2, 6, 5), CellValue(300.0));
  EXPECT_FALSE(Written(*sheets_, 2, 8, 1));
  // Zero amounts of a rate row are written as numbers.
  EXPECT_EQ(Written(*sheets_, 2, 3, 7), CellValue(0.0));
  // Input tax rows start at row 9 of sheet 3, without kind or total.
  EXPECT_EQ(Written(*sheets_, 3, 9, 1), CellValue("12.50"));
  EXPECT_EQ(Written(*sheets_, 3, 9, 2), CellValue("12.50%"));
  EXPECT_EQ(Written(*sheets_, 3, 9, 5), CellValue(10.0));
  EXPECT_FALSE(Written(*sheets_, 3, 9, 3));
  EXPECT_FALSE(Written(*sheets_, 3, 9, 7));
  EXPECT_EQ(workbook_.CurrentSheet.position, 4);
  EXPECT_EQ(workbook_.SecondSheet.position, 6);

  // Purchase tax alone starts at row 3.
  figures.output_tax.clear();
  Fill(figures, 0);
  EXPECT_EQ(Written(*sheets_, 2, 3, 2), CellValue("Purchase Tax"));
}

TEST_F(Form201FillTest, BalanceSheetTakesNetPayableOrExcessCredit) {
  // d > 0: output tax 300 against a credit of 100.
  Form201Figures figures = ZeroFigures();
  figures.output_tax = {{12.5, 2400, 250, 50}};
  Fill(figures, 100);
  ExpectAmount(*sheets_, 4, 3, 2, 100);
  ExpectAmount(*sheets_, 4, 26, 2, 100);
  ExpectAmount(*sheets_, 4, 28, 2, 200);
  ExpectAmount(*sheets_, 4, 29, 2, 0);
  EXPECT_FALSE(Written(*sheets_, 4, 30, 2));
  ExpectAmount(*sheets_, 4, 32, 2, 0);

  // d < 0: output tax 100 against a credit of 500 and sale-return tax 50 (Q22); the class-18
  // tax Q26 - Q25 = 900 covers the whole excess of 450.
  figures.output_tax = {{4, 2500, 100, 0}};
  figures.q[21] = 50;
  figures.q[25] = 1000;
  figures.q[24] = 100;
  Fill(figures, 500);
  ExpectAmount(*sheets_, 6, 10, 3, 50);
  ExpectAmount(*sheets_, 4, 22, 2, 50);
  ExpectAmount(*sheets_, 4, 28, 2, 0);
  ExpectAmount(*sheets_, 4, 29, 2, 450);
  ExpectAmount(*sheets_, 4, 30, 2, 450);
  ExpectAmount(*sheets_, 4, 32, 2, 0);
  // A class-18 tax of 200 sets off only that much.
  figures.q[25] = 300;
  Fill(figures, 500);
  ExpectAmount(*sheets_, 4, 30, 2, 200);
  ExpectAmount(*sheets_, 4, 32, 2, 250);

  // d = 0, and a negative credit is no credit.
  figures = ZeroFigures();
  figures.output_tax = {{4, 2500, 100, 0}};
  figures.input_tax = {{4, 2500, 100, 0}};
  Fill(figures, -40);
  ExpectAmount(*sheets_, 4, 3, 2, 0);
  ExpectAmount(*sheets_, 4, 7, 2, 100);
  ExpectAmount(*sheets_, 4, 28, 2, 0);
  ExpectAmount(*sheets_, 4, 29, 2, 0);
  EXPECT_FALSE(Written(*sheets_, 4, 30, 2));
}

TEST_F(Form201FillTest, RateRowsEndAtRow32767) {
  Form201Figures figures = ZeroFigures();
  figures.purchase_tax.assign(32765, {5, 1, 0.04, 0.01});  // rows 3 to 32767
  EXPECT_NO_THROW(Fill(figures, 0));
  figures.output_tax = {{4, 1, 0.04, 0}};
  try {
    Fill(figures, 0);
    FAIL() << "row 32768 was written";
  } catch (const HostError& error) {
    EXPECT_EQ(error.number(), 6);
  }
}

TEST_F(Form201FillTest, ComputedCellThatIsNoNumberFailsTheRun) {
  sheets_ = VatReturnTemplate();
  sheets_->Open("template.xls");
  sheets_->SetFormula(6, 24, 2, [](MemorySpreadsheet&) { return CellValue("#VALUE!"); });
  EXPECT_THROW(FillForm201(*sheets_, &workbook_, ZeroFigures(), 0), HostError);
}

// ---------------------------------------------------------------------------------------
// Whole runs on company data.

class Form201RunTest : public CompanyRunTest {
 protected:
  void SetUp() override {
    CompanyRunTest::SetUp();
    run_.session.ReturnCode = "201";
    run_.panel.file_name = "Form 201";
  }

  void Period(const std::string& range, const std::string& start, int month, int quarter) {
    run_.session.PeriodRange = range;
    run_.session.PeriodStart = start;
    run_.session.PeriodMonth = static_cast<std::int16_t>(month);
    run_.session.PeriodIndex = static_cast<std::int16_t>(quarter);
  }

  void Run(const std::string& company_folder, int template_sheets = 6) {
    RunOn(company_folder, Form201, [=] { return VatReturnTemplate(template_sheets); });
  }
};

TEST_F(Form201RunTest, MonthQuarterAndLeapFebruaryFiguresMatchTheRows) {
  const std::string company = SampleFolder() + "/007";
  Run(company);
  ASSERT_TRUE(sheets_);
  ASSERT_EQ(run_.ui.messages.size(), 1u) << run_.ui.Transcript();
  Connection raw;
  raw.OpenFolder(company);
  const std::vector<double> april = FiguresFromRows(Ledgers(raw, {2015, 4, 1}, {2015, 4, 30}));
  for (size_t q = 1; q < april.size(); ++q) {
    EXPECT_NE(april[q], 0) << "the sample gives Q" << q << " nothing in April";
  }
  ExpectCellTable(*sheets_, april);
  EXPECT_EQ(sheets_->opened_path, run_.master_folder + "/" + kForm201Template);
  ASSERT_EQ(sheets_->saves.size(), 1u);
  EXPECT_EQ(sheets_->saves[0].path, out_ + "/Form 201.xls");
  EXPECT_TRUE(sheets_->quit);
  EXPECT_EQ(run_.ui.messages[0].text, "Data Exported Successfully into File : " + out_ +
                                          "/Form 201.xls\r\nPlease Verify data of this file with "
                                          "actual data and then submit it.");
  EXPECT_EQ(run_.ui.messages[0].icon, MessageIcon::kInformation);
  EXPECT_FALSE(run_.wait.state().visible);
  EXPECT_FALSE(run_.wait.state().hourglass);

  run_.ui.messages.clear();
  run_.panel.return_type = "Quaterly";
  Period(" Between #4/1/2015# and #6/30/2015# ", " #4/1/2015# ", 0, 1);
  Run(company);
  ASSERT_EQ(run_.ui.messages.size(), 1u) << run_.ui.Transcript();
  ExpectCellTable(*sheets_, FiguresFromRows(Ledgers(raw, {2015, 4, 1}, {2015, 6, 30})));

  // February of a leap year.
  run_.ui.messages.clear();
  run_.panel.return_type = "Monthly";
  Period(" Between #2/1/2016# and #2/29/2016# ", " #2/1/2016# ", 2, 0);
  Run(company);
  ASSERT_EQ(run_.ui.messages.size(), 1u) << run_.ui.Transcript();
  ExpectCellTable(*sheets_, FiguresFromRows(Ledgers(raw, {2016, 2, 1}, {2016, 2, 29})));
}

TEST_F(Form201RunTest, OldYearAndMissingTemplateStartNoWorkbook) {
  run_.session.YearFrom = "01/04/2007";
  Run(SampleFolder() + "/001");
  ASSERT_EQ(run_.ui.messages.size(), 1u);
  EXPECT_EQ(run_.ui.messages[0].text, "Old Return Not Done....");
  EXPECT_EQ(run_.ui.messages[0].icon, MessageIcon::kCritical);
  EXPECT_EQ(sheets_, nullptr);

  run_.ui.messages.clear();
  run_.session.YearFrom = "01/04/2015";
  run_.master_folder = out_;
  Run(SampleFolder() + "/007");
  ASSERT_EQ(run_.ui.messages.size(), 1u);
  EXPECT_EQ(run_.ui.messages[0].text,
            "Master Templete : " + out_ + "/" + kForm201Template + " was not found.....");
  EXPECT_EQ(sheets_, nullptr);
  EXPECT_FALSE(run_.wait.state().visible);
}

TEST_F(Form201RunTest, FailuresLeaveNoFileAndNoOpenWorkbook) {
  // A template without the deductions sheet fails once the workbook is open.
  Run(SampleFolder() + "/007", 5);
  ASSERT_EQ(run_.ui.messages.size(), 1u);
  EXPECT_EQ(run_.ui.messages[0].title, "Form 201 - Error");
  EXPECT_EQ(run_.ui.messages[0].icon, MessageIcon::kCritical);
  ASSERT_TRUE(sheets_);
  EXPECT_TRUE(sheets_->saves.empty());
  EXPECT_TRUE(sheets_->closed);
  EXPECT_TRUE(sheets_->quit);
  EXPECT_FALSE(run_.wait.state().visible);
  EXPECT_FALSE(run_.wait.state().hourglass);

  // A company whose bill table cannot be opened ends the program; the template the office
  // opened meanwhile closes unsaved.
  const std::string copy = out_ + "/company";
  fs::copy(SampleFolder() + "/007", copy);
  for (const auto& entry : fs::directory_iterator(copy)) {
    if (entry.path().stem() == "SP" || entry.path().stem() == "sp") fs::remove(entry.path());
  }
  EXPECT_THROW(Run(copy), ProgramEnding);
  EXPECT_TRUE(run_.ui.ended);
  ASSERT_TRUE(sheets_);
  EXPECT_TRUE(sheets_->closed);
  EXPECT_TRUE(sheets_->saves.empty());
  for (const auto& entry : fs::directory_iterator(out_)) EXPECT_TRUE(entry.is_directory());
  EXPECT_FALSE(run_.wait.state().visible);
}

// A small company: one VAT 12.5 % sale and one class-6 purchase of 1000 under BC_TAX 15.
TEST_F(Form201RunTest, RateRowsFromTheQueries) {
  const std::string company = out_ + "/small";
  WriteSmallCompany(company, {{{"2", "VAT 12.5% Sales", "12.50", "0.00", "1", "OV", "V"},
                               {"26", "Purchase Tax 15%", "15.00", "15.00", "6", "IV", "V"}},
                              {{"1", "20150405", "SA", "P1", "2", "1125.00", "1000.00", "125.00"},
                               {"2", "20150406", "PU", "P2", "26", "1000.00", "1000.00", "0.00"}},
                              {{"V1", "90", "-300.00"}},
                              {{"V1", "20150405", "SA", "C", "125.00", ""}}});

  Run(company);
  ASSERT_EQ(run_.ui.messages.size(), 1u) << run_.ui.Transcript();
  ASSERT_TRUE(sheets_);
  // The rows' layout is the Fill tests' part; here, what the queries give.
  EXPECT_EQ(Written(*sheets_, 2, 3, 1), CellValue("12.50"));
  EXPECT_EQ(Written(*sheets_, 2, 3, 6), CellValue(125.0));
  EXPECT_EQ(Written(*sheets_, 2, 4, 1), CellValue("15.00"));
  EXPECT_EQ(Written(*sheets_, 2, 4, 5), CellValue(1000.0));
  EXPECT_EQ(Written(*sheets_, 2, 4, 6), CellValue(125.0));
  EXPECT_EQ(Written(*sheets_, 2, 4, 7), CellValue(25.0));
  // April keeps the opening credit of 300, against output and purchase tax of 275.
  ExpectAmount(*sheets_, 4, 3, 2, 300);
  ExpectAmount(*sheets_, 4, 28, 2, 0);
  ExpectAmount(*sheets_, 4, 29, 2, 25);
  ExpectAmount(*sheets_, 4, 32, 2, 25);
}

}  // namespace
}  // namespace vatrix
