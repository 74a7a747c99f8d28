#include "returns/form202.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "hostdata/host_error.h"
#include "hostdata/test_tables.h"
#include "returns/build_fixture.h"
#include "returns/vat_return_test_support.h"
#include "workbook/memory_spreadsheet.h"

namespace vatrix {
namespace {

namespace fs = std::filesystem;
using namespace vatrix::testing;

// The sample Form 202 template's sheets, behind a sheet the builder never names: it finds its
// sheets by name.
constexpr int kBasicInfo = 2, kPartA = 3, kPartB = 4, kPartC = 5;
std::unique_ptr<MemorySpreadsheet> Form202Template(bool with_part_c = true) {
  std::vector<std::string> names = {"Notes", "Basic Info", "PartA", "PartB"};
  if (with_part_c) names.push_back("PartC");
  return std::make_unique<MemorySpreadsheet>(names);
}

// Every write of the run on `sheet` within rows `first` to `last`.
int WritesInRows(const MemorySpreadsheet& m, int sheet, int first, int last) {
  int count = 0;
  for (const auto& write : m.writes) {
    count += write.sheet == sheet && write.row >= first && write.row <= last;
  }
  return count;
}

// ---------------------------------------------------------------------------------------
// The writing rules, on figures given directly.

class Form202FillTest : public ::testing::Test {
 protected:
  void Fill(const Form202Figures& figures) {
    sheets_ = Form202Template();
    sheets_->Open("template.xls");
    FillForm202(*sheets_, &workbook_, figures, {"24073001234", "October", 2015});
  }

  std::unique_ptr<MemorySpreadsheet> sheets_;
  TemplateSession workbook_;
};

TEST_F(Form202FillTest, EveryFigureIsWrittenAlsoWhenZero) {
  Form202Figures figures;
  figures.sales_period = 333.33;
  figures.purchases_open = 12;
  figures.purchases_close = 20;
  Fill(figures);
  EXPECT_EQ(Written(*sheets_, kBasicInfo, 2, 2), CellValue("24073001234"));
  EXPECT_EQ(Written(*sheets_, kBasicInfo, 3, 2), CellValue("October"));
  EXPECT_EQ(Written(*sheets_, kBasicInfo, 4, 2), CellValue(2015.0));
  EXPECT_EQ(Written(*sheets_, kPartA, 3, 2), CellValue(0.0));
  EXPECT_EQ(Written(*sheets_, kPartA, 3, 3), CellValue(12.0));
  EXPECT_EQ(Written(*sheets_, kPartA, 4, 2), CellValue(333.33));
  EXPECT_EQ(Written(*sheets_, kPartA, 4, 3), CellValue(0.0));
  EXPECT_EQ(Written(*sheets_, kPartA, 5, 2), CellValue(0.0));
  EXPECT_EQ(Written(*sheets_, kPartA, 5, 3), CellValue(20.0));
  EXPECT_EQ(Written(*sheets_, kPartB, 2, 2), CellValue(0.0));
  EXPECT_EQ(Written(*sheets_, kPartB, 5, 2), CellValue(333.33));
  // The lump-sum tax is not rounded: 333.33 gives 1.66665.
  const double tax = std::get<double>(*Written(*sheets_, kPartB, 6, 2));
  EXPECT_EQ(tax, 333.33 * 0.005);
  EXPECT_NEAR(tax, 1.66665, 1e-12);
  EXPECT_EQ(Written(*sheets_, kPartB, 7, 2), CellValue(0.0));
  EXPECT_EQ(Written(*sheets_, kPartB, 8, 2), CellValue(0.0));
  EXPECT_EQ(Written(*sheets_, kPartC, 2, 2), CellValue(0.0));
  EXPECT_EQ(Written(*sheets_, kPartC, 4, 2), CellValue(0.0));
  // No purchases with VAT: rows 9 to 12 are not touched.
  EXPECT_EQ(WritesInRows(*sheets_, kPartC, 9, 12), 0);
  // The sheet written last is current and active; the first sheet is never written.
  EXPECT_EQ(workbook_.CurrentSheet.position, kPartC);
  EXPECT_EQ(sheets_->active_sheet, kPartC);
  EXPECT_EQ(WritesInRows(*sheets_, 1, 1, 65536), 0);

  figures.sales_period = 200;
  Fill(figures);
  EXPECT_EQ(Written(*sheets_, kPartB, 6, 2), CellValue(1.0));
}

TEST_F(Form202FillTest, InputTaxRowsByRate) {
  Form202Figures figures;
  figures.input_tax = {{5, 100, 5, 0},     {12.5, 80, 10, 0}, {5, 40, 2, 0.4},
                       {14.5, 20, 2.9, 0}, {15, 10, 1.5, 0},  {1, 7, 0.07, 0}};
  Fill(figures);
  const struct {
    int row;
    const char* rate;
    double taxable, vat, additional;
  } rows[] = {{9, "01.00%", 7, 0.07, 0},
              {10, "05.00%", 140, 7, 0.4},
              {11, "15.00%", 10, 1.5, 0},
              {12, "14.50%", 20, 2.9, 0}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.row);
    EXPECT_EQ(Written(*sheets_, kPartC, r.row, 2), CellValue(r.rate));
    EXPECT_EQ(Written(*sheets_, kPartC, r.row, 4), CellValue(r.taxable));
    EXPECT_EQ(Written(*sheets_, kPartC, r.row, 5), CellValue(r.vat));
    EXPECT_EQ(Written(*sheets_, kPartC, r.row, 6), CellValue(r.additional));
    EXPECT_FALSE(Written(*sheets_, kPartC, r.row, 1));
    EXPECT_FALSE(Written(*sheets_, kPartC, r.row, 3));
  }
}

// ---------------------------------------------------------------------------------------
// Whole runs on company data.

class Form202RunTest : public CompanyRunTest {
 protected:
  void SetUp() override {
    CompanyRunTest::SetUp();
    run_.session.ReturnCode = "202";
    run_.session.CompanyStNo = "  24073001234 ";
    run_.panel.file_name = "Form 202";
    run_.set_period_name = [this] {
      ++period_names_;
      run_.session.PeriodName = "October";
    };
    run_.session.DayBeforePeriod = " #9/30/2015# ";  // October
    run_.session.PeriodRange = " Between #10/1/2015# and #10/31/2015# ";
    run_.session.PeriodEnd = " #10/31/2015# ";
  }

  void Run(const std::string& company_folder, bool with_part_c = true) {
    RunOn(company_folder, Form202, [=] { return Form202Template(with_part_c); });
  }

  double Number(int sheet, int row, int column) const {
    const std::optional<CellValue> value = Written(*sheets_, sheet, row, column);
    EXPECT_TRUE(value && std::holds_alternative<double>(*value))
        << "sheet " << sheet << " (" << row << ", " << column << ") holds no number";
    return value && std::holds_alternative<double>(*value) ? std::get<double>(*value) : -1;
  }

  int period_names_ = 0;
};

TEST_F(Form202RunTest, MonthFiguresMatchTheRows) {
  const std::string company = SampleFolder() + "/007";
  Run(company);
  ASSERT_TRUE(sheets_);
  ASSERT_EQ(run_.ui.messages.size(), 1u) << run_.ui.Transcript();
  EXPECT_EQ(run_.ui.messages[0].text,
            "Data Exported Successfully into File : " + out_ +
                "/Form 202.xls\r\nPlease Verify data of this file with actual data and then "
                "submit it.");
  EXPECT_EQ(period_names_, 1);
  EXPECT_EQ(sheets_->opened_path, run_.master_folder + "/" + kForm202Template);
  ASSERT_EQ(sheets_->saves.size(), 1u);
  EXPECT_EQ(sheets_->saves[0].path, out_ + "/Form 202.xls");
  EXPECT_EQ(run_.workbook.TemplateName, kForm202Template);
  EXPECT_FALSE(run_.wait.state().visible);

  EXPECT_EQ(Written(*sheets_, kBasicInfo, 2, 2), CellValue("24073001234"));
  EXPECT_EQ(Written(*sheets_, kBasicInfo, 3, 2), CellValue("October"));
  EXPECT_EQ(Written(*sheets_, kBasicInfo, 4, 2), CellValue(2015.0));

  Connection raw;
  raw.OpenFolder(company);
  const auto bill = [](const Ledgers::Bill& b) { return b.bill; };
  const Ledgers before(raw, {1900, 1, 1}, {2015, 9, 30});
  const Ledgers period(raw, {2015, 10, 1}, {2015, 10, 31});
  const Ledgers up_to_end(raw, {1900, 1, 1}, {2015, 10, 31});
  const double sales_period = period.AllBills("SA", bill);
  ASSERT_NE(before.AllBills("SA", bill), 0);
  ASSERT_NE(sales_period, 0);
  EXPECT_NEAR(Number(kPartA, 3, 2), before.AllBills("SA", bill), 0.001);
  EXPECT_NEAR(Number(kPartA, 3, 3), before.AllBills("PU", bill), 0.001);
  EXPECT_NEAR(Number(kPartA, 4, 2), sales_period, 0.001);
  EXPECT_NEAR(Number(kPartA, 4, 3), period.AllBills("PU", bill), 0.001);
  EXPECT_NEAR(Number(kPartA, 5, 2), up_to_end.AllBills("SA", bill), 0.001);
  EXPECT_NEAR(Number(kPartA, 5, 3), up_to_end.AllBills("PU", bill), 0.001);
  // PartB follows from the period's sales as the Fill tests show.
  EXPECT_EQ(Number(kPartB, 5, 2), Number(kPartA, 4, 2));

  EXPECT_NEAR(Number(kPartC, 2, 2), period.AllBills("PU", bill), 0.001);
  const double class5 =
      period.Bills([](const Ledgers::Bill& b,
                      const Ledgers::Tax& t) { return b.vtype == "PU" && t.vattype == 5; },
                   bill);
  ASSERT_NE(class5, 0);
  EXPECT_NEAR(Number(kPartC, 4, 2), class5, 0.001);

  // The sample's input tax at 5 % reaches its row of PartC.
  EXPECT_EQ(Written(*sheets_, kPartC, 10, 2), CellValue("05.00%"));
  EXPECT_GT(Number(kPartC, 10, 4), 0);
}

TEST_F(Form202RunTest, FirstMonthHasZeroOpeningTurnover) {
  run_.session.DayBeforePeriod = " #3/31/2015# ";
  run_.session.PeriodRange = " Between #4/1/2015# and #4/30/2015# ";
  run_.session.PeriodEnd = " #4/30/2015# ";
  Run(SampleFolder() + "/007");
  ASSERT_TRUE(sheets_);
  ASSERT_EQ(run_.ui.messages.size(), 1u) << run_.ui.Transcript();
  EXPECT_EQ(Written(*sheets_, kPartA, 3, 2), CellValue(0.0));
  EXPECT_EQ(Written(*sheets_, kPartA, 3, 3), CellValue(0.0));
  EXPECT_NEAR(Number(kPartA, 5, 2), Number(kPartA, 4, 2), 0.001);
}

TEST_F(Form202RunTest, OldYearAndMissingTemplateStartNoWorkbook) {
  run_.session.YearFrom = "01/04/2007";
  Run(SampleFolder() + "/001");
  ASSERT_EQ(run_.ui.messages.size(), 1u);
  EXPECT_EQ(run_.ui.messages[0].text, "Old Return Not Done....");
  EXPECT_EQ(run_.ui.messages[0].icon, MessageIcon::kCritical);
  EXPECT_EQ(sheets_, nullptr);
  EXPECT_EQ(period_names_, 0);

  run_.ui.messages.clear();
  run_.session.YearFrom = "01/04/2015";
  run_.master_folder = out_;
  Run(SampleFolder() + "/007");
  ASSERT_EQ(run_.ui.messages.size(), 1u);
  EXPECT_EQ(run_.ui.messages[0].text,
            "Master Templete : " + out_ + "/" + kForm202Template + " was not found.....");
  EXPECT_EQ(run_.ui.messages[0].icon, MessageIcon::kExclamation);
  EXPECT_EQ(period_names_, 1) << "the period's name is set before the template check";
  EXPECT_EQ(sheets_, nullptr);
  EXPECT_FALSE(run_.wait.state().visible);
  EXPECT_FALSE(run_.wait.state().hourglass);
  EXPECT_TRUE(fs::is_empty(out_));
}

TEST_F(Form202RunTest, AFailedRunClosesTheWorkbookUnsavedAndEndsTheProgram) {
  EXPECT_THROW(Run(SampleFolder() + "/007", false), ProgramEnding);
  ASSERT_EQ(run_.ui.messages.size(), 1u) << run_.ui.Transcript();
  EXPECT_EQ(run_.ui.messages[0].title, "Form 202 - Error");
  EXPECT_EQ(run_.ui.messages[0].icon, MessageIcon::kCritical);
  EXPECT_TRUE(run_.ui.ended);
  ASSERT_TRUE(sheets_);
  EXPECT_TRUE(sheets_->saves.empty());
  EXPECT_TRUE(sheets_->closed);
  EXPECT_TRUE(sheets_->quit);
  EXPECT_FALSE(run_.wait.state().visible);
  EXPECT_TRUE(fs::is_empty(out_));
}

}  // namespace
}  // namespace vatrix
