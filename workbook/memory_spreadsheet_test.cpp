#include "workbook/memory_spreadsheet.h"

#include <gtest/gtest.h>

#include <cmath>

#include "hostdata/host_error.h"

namespace vatrix {
namespace {

TEST(MemorySpreadsheetTest, FormulasSeeEarlierWritesAndEmptyTextBlanks) {
  MemorySpreadsheet book({"Sheet1", "FORM201A"});
  book.SetCell(2, 3, 3, 99.0);
  book.SetFormula(2, 24, 2, [](MemorySpreadsheet& sheet) {
    double total = 0;
    for (int row = 8; row <= 10; ++row) {
      const CellValue value = sheet.Value(2, row, 2);
      if (const double* number = std::get_if<double>(&value)) total += *number;
    }
    return CellValue(total);
  });
  book.Open("/p/Master/t.xls");
  const Sheet list = book.SheetNamed("form201a");
  book.Write(list, 8, 2, 10.0);
  book.Write(list, 9, 2, 5.5);
  book.Write(list, 3, 3, std::string());
  EXPECT_EQ(book.Read(list, 24, 2), CellValue(15.5));
  EXPECT_EQ(book.Read(list, 3, 3), CellValue(std::string()));
  ASSERT_EQ(book.writes.size(), 3u);
  EXPECT_EQ(book.writes[1].row, 9);
  EXPECT_EQ(book.writes[1].value, CellValue(5.5));

  // An amount that is no number at all fails the run instead of reaching the return.
  EXPECT_THROW(book.Write(list, 10, 2, std::nan("")), HostError);
  EXPECT_THROW(book.Write(list, 10, 2, -HUGE_VAL), HostError);
  EXPECT_EQ(book.writes.size(), 3u);
}

TEST(MemorySpreadsheetTest, MacrosAndRowInsertsBehaveLikeTheEngine) {
  MemorySpreadsheet book({"Sheet1"});
  book.AddMacro("Sheet1.InsertRowsAndFillFormula1");
  book.SetCell(1, 12, 1, 5.0);
  book.SetCell(1, 13, 1, std::string("Total"));
  book.Open("t.xls");
  EXPECT_TRUE(book.RunMacro("t.xls!Sheet1.InsertRowsAndFillFormula1", 3));
  EXPECT_FALSE(book.RunMacro("t.xls!Sheet2.InsertRowsAndFillFormula1", 3));
  ASSERT_EQ(book.macro_calls.size(), 1u);
  book.InsertRowsBelow(book.SheetAt(1), 12, 2);
  EXPECT_EQ(book.Value(1, 14, 1), CellValue(5.0));
  EXPECT_EQ(book.Value(1, 15, 1), CellValue(std::string("Total")));
  try {
    book.SheetAt(2);
    FAIL();
  } catch (const HostError& error) {
    EXPECT_EQ(error.number(), kSubscriptOutOfRange);
  }
  EXPECT_THROW(book.Write(book.SheetAt(1), kMaxRow + 1, 1, 1.0), HostError);
  book.Close();
  EXPECT_THROW(book.Write(book.SheetAt(1), 1, 1, 1.0), HostError);
}

}  // namespace
}  // namespace vatrix
