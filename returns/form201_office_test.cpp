// Form 201 on the real office: the sample template filled, saved as .xls and read back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "hostdata/host_error.h"
#include "hostdata/test_tables.h"
#include "returns/form201.h"
#include "returns/office_build_test.h"
#include "workbook/office_spreadsheet.h"

namespace vatrix {
namespace {

namespace fs = std::filesystem;

using testing::Amount;

class Form201OfficeTest : public testing::OfficeBuildTest {
 protected:
  void SetUp() override {
    OfficeBuildTest::SetUp();
    run_.session.ReturnCode = "201";
    run_.panel.file_name = "Form 201 - Monthly - April";
  }

  void Run(const std::string& master) {
    run_.master_folder = master;
    BuildContext context = run_.Context();
    Form201(context);
  }
};

TEST_F(Form201OfficeTest, SavedWorkbookHoldsTheFiguresAndTheTemplatesTotals) {
  Run(std::string(VATRIX_BINARY_DIR) + "/Master");
  ASSERT_EQ(run_.ui.messages.size(), 1u) << run_.ui.Transcript();
  const std::string saved = out_ + "/Form 201 - Monthly - April.xls";
  ASSERT_TRUE(fs::exists(saved));
  const Form201Figures figures =
      ReadForm201Figures(run_.lists.connection, run_.session.PeriodRange, run_.ui);

  OfficeSpreadsheet book(SharedOffice());
  book.Open(saved);
  const Sheet turnover = book.SheetAt(1), rates = book.SheetAt(2), input = book.SheetAt(3),
              balance = book.SheetAt(4), deductions = book.SheetAt(6);
  // Figures of the turnover, deductions and input-tax sheets, sums among them.
  const struct {
    Sheet sheet;
    int row, column;
    double figure;
  } cells[] = {{turnover, 8, 2, figures.Q(1)},    {turnover, 17, 3, figures.Q(13) + figures.Q(15)},
               {deductions, 6, 3, figures.Q(21)}, {deductions, 21, 2, figures.Q(3)},
               {input, 3, 2, figures.Q(11)},      {input, 5, 2, figures.Q(10)}};
  for (const auto& cell : cells) {
    EXPECT_NEAR(Amount(book.Read(cell.sheet, cell.row, cell.column)), cell.figure, 0.001)
        << cell.sheet.name << " (" << cell.row << ", " << cell.column << ")";
  }
  // The rows between written rows keep what the template has there.
  OfficeSpreadsheet blank(SharedOffice());
  blank.Open(std::string(VATRIX_BINARY_DIR) + "/Master/" + kForm201Template);
  for (const int row : {7, 9, 11, 13, 14}) {
    for (const int column : {1, 2, 3}) {
      EXPECT_EQ(book.Read(turnover, row, column), blank.Read(blank.SheetAt(1), row, column))
          << "turnover (" << row << ", " << column << ")";
    }
  }
  blank.Close();
  EXPECT_NEAR(Amount(book.Read(turnover, 16, 2)), Amount(book.Read(deductions, 24, 2)), 0.001);
  EXPECT_NEAR(Amount(book.Read(turnover, 16, 3)), Amount(book.Read(deductions, 24, 3)), 0.001);

  // Rate rows: texts for the rates, numbers for the amounts.
  ASSERT_FALSE(figures.output_tax.empty());
  EXPECT_EQ(book.Read(rates, 3, 1), CellValue(RateText(figures.output_tax[0].rate)));
  EXPECT_EQ(book.Read(rates, 3, 2), CellValue("Output Tax"));
  EXPECT_EQ(book.Read(rates, 3, 5), CellValue(figures.output_tax[0].taxable));

  // The balance adds up as the template computes it.
  const double credit = Amount(book.Read(balance, 7, 2));
  EXPECT_NEAR(Amount(book.Read(balance, 26, 2)), credit, 0.001);
  const double net = Amount(book.Read(balance, 20, 2)) - Amount(book.Read(balance, 27, 2));
  EXPECT_NEAR(Amount(book.Read(balance, 28, 2)), net > 0 ? net : 0, 0.001);
  EXPECT_NEAR(Amount(book.Read(balance, 29, 2)), net < 0 ? -net : 0, 0.001);
  EXPECT_NEAR(Amount(book.Read(balance, 32, 2)),
              Amount(book.Read(balance, 29, 2)) - Amount(book.Read(balance, 30, 2)), 0.001);
  book.Close();
}

TEST_F(Form201OfficeTest, FailedRunLeavesNoFile) {
  // A "template" of one sheet: the run fails once the workbook is open.
  const std::string master = out_ + "/Master";
  fs::create_directory(master);
  fs::copy_file(std::string(VATRIX_BINARY_DIR) + "/Master/VAT_RET_201C_Monthly.xls",
                master + "/" + kForm201Template);
  Run(master);
  ASSERT_EQ(run_.ui.messages.size(), 1u);
  EXPECT_EQ(run_.ui.messages[0].title, "Form 201 - Error");
  EXPECT_FALSE(fs::exists(out_ + "/Form 201 - Monthly - April.xls"));
  EXPECT_FALSE(run_.wait.state().visible);

  // The office serves the next run.
  run_.ui.messages.clear();
  Run(std::string(VATRIX_BINARY_DIR) + "/Master");
  ASSERT_EQ(run_.ui.messages.size(), 1u) << run_.ui.Transcript();
  EXPECT_TRUE(fs::exists(out_ + "/Form 201 - Monthly - April.xls"));
}

}  // namespace
}  // namespace vatrix
