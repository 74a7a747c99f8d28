// Forms 3B and 201C on the real office: the sample templates filled from the sample company,
// saved as .xls and read back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "hostdata/test_tables.h"
#include "returns/form201c.h"
#include "returns/form3b.h"
#include "returns/office_build_test.h"
#include "returns/special_characters.h"
#include "workbook/office_spreadsheet.h"

namespace vatrix {
namespace {

namespace fs = std::filesystem;

using testing::Amount;

class OfficeReturnTest : public testing::OfficeBuildTest {
 protected:
  void SetUp() override {
    OfficeBuildTest::SetUp();
    run_.session.SpecialChars = SpecialCharsTable();
    run_.panel.file_name = "Return";
  }
};

TEST_F(OfficeReturnTest, Form3BQuarterAddsUpInTheSavedWorkbook) {
  run_.session.PeriodRange = " Between #4/1/2015# and #6/30/2015# ";
  BuildContext context = run_.Context();
  Form3B(context);
  ASSERT_EQ(run_.ui.messages.size(), 1u) << run_.ui.Transcript();
  const Form3BFigures f =
      ReadForm3BFigures(run_.lists.connection, run_.session.PeriodRange, run_.ui);
  OfficeSpreadsheet book(SharedOffice());
  book.Open(out_ + "/Return.xls");
  const Sheet turnover = book.SheetAt(1), account = book.SheetAt(4), payable = book.SheetAt(6);
  EXPECT_NEAR(Amount(book.Read(turnover, 13, 2)), f.C(6) + f.C(7), 0.001);
  ASSERT_FALSE(f.rates.empty());
  EXPECT_EQ(book.Read(book.SheetAt(2), 4, 2), f.rates[0].second);
  // Sheet 6: the net from the template's formula over the account, row 7 from the account's
  // row 7, and the balance the template computes from them.
  const double net = Amount(book.Read(payable, 2, 2));
  EXPECT_NEAR(net, f.C(12) - (f.C(8) + f.C(14)), 0.001);
  const double row7 = Amount(book.Read(account, 7, 3)) - Amount(book.Read(account, 7, 2));
  EXPECT_NEAR(Amount(book.Read(payable, 7, 2)), row7, 0.001);
  EXPECT_NEAR(Amount(book.Read(payable, 11, 2)), net - row7 - Amount(book.Read(payable, 9, 2)),
              0.001);
  book.Close();
}

TEST_F(OfficeReturnTest, Form201CListsTheSampleStock) {
  BuildContext context = run_.Context();
  Form201C(context);
  ASSERT_EQ(run_.ui.messages.size(), 1u) << run_.ui.Transcript();
  OfficeSpreadsheet book(SharedOffice());
  book.Open(out_ + "/Return.xls");
  const Sheet stock = book.SheetAt(1);
  int rows = 0;
  double value = 0;
  for (int row = 3; Amount(book.Read(stock, row, 7)) != 0; ++row, ++rows) {
    // The template's check column: opening + received - issued - closing.
    EXPECT_NEAR(Amount(book.Read(stock, row, 12)), 0, 1e-6) << "row " << row;
    value += Amount(book.Read(stock, row, 8));
  }
  EXPECT_EQ(rows, 7);
  EXPECT_EQ(book.Read(stock, 4, 2), CellValue("Cough Syrup 100ml B001"));
  EXPECT_EQ(book.Read(stock, 6, 2), CellValue("Paint A B C 1 Ltr "));
  EXPECT_NEAR(Amount(book.Read(stock, 5000, 8)), value, 0.001);
  book.Close();
}

}  // namespace
}  // namespace vatrix
