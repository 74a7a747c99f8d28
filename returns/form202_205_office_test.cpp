// Forms 205 and 202 on the real office: the sample templates filled, saved as .xls and read
// back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "hostdata/host_error.h"
#include "hostdata/test_tables.h"
#include "returns/form202.h"
#include "returns/form205.h"
#include "returns/office_build_test.h"
#include "workbook/office_spreadsheet.h"

namespace vatrix {
namespace {

namespace fs = std::filesystem;

using testing::Amount;

std::string Text(const CellValue& value) {
  const std::string* text = std::get_if<std::string>(&value);
  EXPECT_TRUE(text) << "a cell holds a number where a text belongs";
  return text ? *text : "";
}

class Form202205OfficeTest : public testing::OfficeBuildTest {
 protected:
  void Year() {
    run_.session.ReturnCode = "205";
    run_.panel.return_type = "Annually";
    run_.panel.file_name = "Form 205 - Annually - Annually - 01";
    run_.session.PeriodRange = " Between #4/1/2015# and #3/31/2016# ";
    run_.session.PeriodStart = "#4/1/2015# ";
  }

  void October() {
    run_.session.ReturnCode = "202";
    run_.session.CompanyStNo = "24073001234";
    run_.panel.file_name = "Form - 202 - Monthly - October";
    run_.session.DayBeforePeriod = " #9/30/2015# ";
    run_.session.PeriodRange = " Between #10/1/2015# and #10/31/2015# ";
    run_.session.PeriodEnd = " #10/31/2015# ";
    run_.set_period_name = [this] { run_.session.PeriodName = "October"; };
  }

  template <typename Builder>
  void Run(Builder builder, const std::string& master) {
    run_.master_folder = master;
    BuildContext context = run_.Context();
    builder(context);
  }
};

TEST_F(Form202205OfficeTest, Form205SavedWorkbookHoldsTheYear) {
  Year();
  Run(Form205, master_);
  ASSERT_EQ(run_.ui.messages.size(), 2u) << run_.ui.Transcript();
  const std::string saved = out_ + "/Form 205 - Annually - Annually - 01.xls";
  ASSERT_TRUE(fs::exists(saved));
  const Form205Figures figures =
      ReadForm205Figures(run_.lists.connection, run_.session.PeriodRange, run_.ui);

  OfficeSpreadsheet book(SharedOffice());
  book.Open(saved);
  const Sheet turnover = book.SheetAt(1), input = book.SheetAt(3), balance = book.SheetAt(4),
              deductions = book.SheetAt(6), payments = book.SheetAt(7);
  const struct {
    Sheet sheet;
    int row, column;
    double figure;
  } cells[] = {{turnover, 8, 2, figures.A(1)},
               {turnover, 17, 3, figures.A(10) + figures.A(11)},
               {deductions, 13, 3, figures.A(15) + figures.A(16)},
               {deductions, 23, 2, figures.A(22) + figures.A(23)},
               {input, 3, 2, figures.A(26)},
               {balance, 3, 2, 15000.5},
               {balance, 22, 2, figures.A(13)}};
  for (const auto& cell : cells) {
    EXPECT_NE(cell.figure, 0) << cell.sheet.name << " (" << cell.row << ", " << cell.column << ")";
    EXPECT_NEAR(Amount(book.Read(cell.sheet, cell.row, cell.column)), cell.figure, 0.001)
        << cell.sheet.name << " (" << cell.row << ", " << cell.column << ")";
  }
  // Payments: April to March, each row's total beside its payments.
  std::map<int, std::pair<int, int>> per_month;
  for (const Payment& p : figures.vat_payments) ++per_month[*p.month].first;
  for (const Payment& p : figures.bank_cash_payments) ++per_month[*p.month].second;
  int rows = 0;
  for (const auto& [month, counts] : per_month) rows += std::max(counts.first, counts.second);
  EXPECT_EQ(Text(book.Read(payments, 3, 1)), "April");
  EXPECT_NEAR(Amount(book.Read(payments, 3, 2)), figures.vat_payments[0].amount, 0.001);
  EXPECT_EQ(Text(book.Read(payments, 3, 3)), figures.vat_payments[0].date);
  EXPECT_EQ(Text(book.Read(payments, 2 + rows, 1)), "March");
  EXPECT_EQ(Text(book.Read(payments, 3 + rows, 1)), "");
  for (int row = 3; row < 3 + rows; ++row) {
    EXPECT_NEAR(Amount(book.Read(payments, row, 6)),
                Amount(book.Read(payments, row, 2)) + Amount(book.Read(payments, row, 4)), 0.001)
        << "payments row " << row;
  }
  // Sheet 5 is the template's.
  OfficeSpreadsheet blank(SharedOffice());
  blank.Open(master_ + "/" + kForm205Template);
  for (int row = 1; row <= 5; ++row) {
    EXPECT_EQ(book.Read(book.SheetAt(5), row, 1), blank.Read(blank.SheetAt(5), row, 1));
  }
  blank.Close();
  book.Close();
}

TEST_F(Form202205OfficeTest, Form202SavedWorkbookHoldsTheMonth) {
  October();
  Run(Form202, master_);
  ASSERT_EQ(run_.ui.messages.size(), 1u) << run_.ui.Transcript();
  const std::string saved = out_ + "/Form - 202 - Monthly - October.xls";
  ASSERT_TRUE(fs::exists(saved));
  const Form202Figures figures = ReadForm202Figures(run_.lists.connection, run_.session, run_.ui);

  OfficeSpreadsheet book(SharedOffice());
  book.Open(saved);
  const Sheet basic = book.SheetNamed("Basic Info"), part_a = book.SheetNamed("PartA"),
              part_b = book.SheetNamed("PartB"), part_c = book.SheetNamed("PartC");
  EXPECT_EQ(Text(book.Read(basic, 2, 2)), "24073001234");
  EXPECT_EQ(Text(book.Read(basic, 3, 2)), "October");
  EXPECT_EQ(Amount(book.Read(basic, 4, 2)), 2015);
  EXPECT_NEAR(Amount(book.Read(part_a, 3, 2)), figures.sales_open, 0.001);
  EXPECT_NEAR(Amount(book.Read(part_a, 4, 2)), figures.sales_period, 0.001);
  EXPECT_NEAR(Amount(book.Read(part_a, 5, 2)), figures.sales_close, 0.001);
  EXPECT_NEAR(Amount(book.Read(part_a, 5, 3)), figures.purchases_close, 0.001);
  EXPECT_NEAR(Amount(book.Read(part_a, 5, 2)),
              Amount(book.Read(part_a, 3, 2)) + Amount(book.Read(part_a, 4, 2)), 0.001);
  // Zeros are written as numbers.
  EXPECT_EQ(book.Read(part_b, 2, 2), CellValue(0.0));
  EXPECT_EQ(book.Read(part_b, 7, 2), CellValue(0.0));
  EXPECT_NEAR(Amount(book.Read(part_b, 6, 2)), figures.sales_period * 0.005, 1e-9);
  // The template's total payable.
  EXPECT_NEAR(Amount(book.Read(part_b, 10, 2)), figures.sales_period * 0.005, 1e-9);
  EXPECT_NEAR(Amount(book.Read(part_c, 2, 2)), figures.purchases_period, 0.001);
  EXPECT_NEAR(Amount(book.Read(part_c, 4, 2)), figures.class5_purchases, 0.001);
  EXPECT_EQ(Text(book.Read(part_c, 10, 2)), "05.00%");
  EXPECT_EQ(Text(book.Read(part_c, 9, 2)), "");
  double taxable = 0;
  for (const PartCRow& row : PartCRows(figures.input_tax)) taxable += row.rate.taxable;
  EXPECT_NEAR(Amount(book.Read(part_c, 13, 4)), taxable, 0.001);
  book.Close();
}

TEST_F(Form202205OfficeTest, FailedRunLeavesNoFileAndTheOfficeServesTheNext) {
  // Form 201's template in place of Form 205's: no payments sheet, so the run fails once the
  // payments are listed.
  const std::string master = out_ + "/Master";
  fs::create_directory(master);
  fs::copy_file(master_ + "/VAT_RET_201_Monthly_new.xls", master + "/" + kForm205Template);
  Year();
  EXPECT_THROW(Run(Form205, master), ProgramEnding);
  ASSERT_EQ(run_.ui.messages.size(), 2u) << run_.ui.Transcript();
  EXPECT_EQ(run_.ui.messages[1].title, "Form 205 - Error");
  EXPECT_TRUE(run_.ui.ended);
  EXPECT_FALSE(fs::exists(out_ + "/Form 205 - Annually - Annually - 01.xls"));
  EXPECT_FALSE(run_.wait.state().visible);

  run_.ui.messages.clear();
  October();
  Run(Form202, master_);
  ASSERT_EQ(run_.ui.messages.size(), 1u) << run_.ui.Transcript();
  EXPECT_TRUE(fs::exists(out_ + "/Form - 202 - Monthly - October.xls"));
}

}  // namespace
}  // namespace vatrix
