#include "returns/list_export.h"

#include <gtest/gtest.h>

#include "hostdata/value.h"
#include "returns/list_test_support.h"

namespace vatrix {
namespace {

using testing::ListRun;

std::string Name(const char* code, bool old_type, int year, std::int32_t count) {
  return ExcelFileName(*FindReturnForm(code)->list, old_type, year, count);
}

TEST(ExcelFileNameTest, SizeStepsLayoutsAndYears) {
  EXPECT_EQ(Name("201A", true, 2015, 500), "VAT_RET_201A_500_Monthly_New.xls");
  EXPECT_EQ(Name("201A", true, 2015, 501), "VAT_RET_201A_1000_Monthly_New.xls");
  EXPECT_EQ(Name("201B", true, 2007, 20000), "VAT_RET_201B_20000_Monthly.xls");
  EXPECT_EQ(Name("201A", true, 2008, 0), "VAT_RET_201A_500_Monthly_New.xls");
  EXPECT_EQ(Name("201A", false, 2007, 70000), "VAT_RET_201A_CSV_M.xls");

  EXPECT_EQ(Name("3BSALES", true, 2007, 501), "sales_details_2000.xls");
  EXPECT_EQ(Name("3BPURCHASE", true, 2015, 20000), "purchase_details_20000.xls");
  EXPECT_EQ(Name("3BPURCHASE", true, 2015, 20001), "purchase_details_40000.xls");
  EXPECT_EQ(Name("3BPURCHASE", false, 2015, 1), "PURCHASE_DETAILS_CSV_M.xls");

  EXPECT_EQ(Name("202A", true, 2007, 3), "");
  EXPECT_EQ(Name("202B", false, 2007, 3), "VAT_RET_202B_m.xls");
  EXPECT_EQ(Name("202A", true, 2008, 40000), "VAT_RET_202A_m.xls");
}

// Bills of a purchase or sales list: number, date, party, TIN, amounts and account.
RecordSet Bills(int count, const std::string& account = "100101") {
  std::vector<std::vector<Value>> rows;
  for (int i = 1; i <= count; ++i) {
    rows.push_back({Value::Text("B" + std::to_string(i)), Value::FromDate({2015, 4, i % 28 + 1}),
                    Value::Text("Party " + std::to_string(i)), Value::Text("24071100011999"),
                    Value::Number(100.0 * i), Value::Number(4.0 * i), Value::Number(1.0 * i),
                    Value::Number(106.0 * i), Value::Text(account)});
  }
  return RecordSet(
      {"DOCNO", "DATE", "PARTY", "STNO", "TAX_AMT", "VAT_AMT", "ATX_AMT", "BILL_AMT", "PSCODE"},
      std::move(rows), "bills");
}

RecordSet Accounts(std::vector<std::string> codes) {
  std::vector<std::vector<Value>> rows;
  for (const auto& code : codes) rows.push_back({Value::Text("A/c " + code), Value::Text(code)});
  return RecordSet({"Name", "Code"}, std::move(rows), "accounts");
}

// Exports `bills` for form `code`; List1 holds account 100101 unless the test filled it.
void Export(ListRun& run, const std::string& code, RecordSet bills) {
  if (!run.lists.list1_records) run.lists.list1_records = Accounts({"100101"});
  run.session.ReturnCode = code;
  const int count = bills.record_count();
  run.workbook.TemplateName = ExcelFileName(*FindReturnForm(code)->list, run.panel.old_type,
                                            ParseDisplayDate(run.session.YearFrom)->year, count);
  std::optional<RecordSet> records = std::move(bills);
  BuildContext context = run.Context();
  DBFToExcel(context, &records, count);
  EXPECT_FALSE(records.has_value());
  EXPECT_FALSE(run.wait.state().visible);
  EXPECT_FALSE(run.wait.state().hourglass);
}

TEST(DBFToExcelTest, MacroRunsOnceWhenTheListReachesTheTriggerRow) {
  for (int count : {4, 6}) {
    ListRun run;
    Export(run, "202A", Bills(count));
    EXPECT_TRUE(run.book.macro_calls.empty());  // the sample book has no macro
    if (count == 4) {
      EXPECT_TRUE(run.book.row_inserts.empty());
    } else {
      ASSERT_EQ(run.book.row_inserts.size(), 1u);
      EXPECT_EQ(run.book.row_inserts[0].sheet, 6);  // List_Showing_Purchase
      EXPECT_EQ(run.book.row_inserts[0].row, 9);
      EXPECT_EQ(run.book.row_inserts[0].count, 1);
    }
  }
  ListRun with_macro;
  with_macro.book.AddMacro("Sheet2.InsertRowsAndFillFormula1");
  Export(with_macro, "202A", Bills(6));
  ASSERT_EQ(with_macro.book.macro_calls.size(), 1u);
  EXPECT_EQ(with_macro.book.macro_calls[0].reference,
            "VAT_RET_202A_m.xls!Sheet2.InsertRowsAndFillFormula1");
  EXPECT_EQ(with_macro.book.macro_calls[0].argument, 1);
  EXPECT_TRUE(with_macro.book.row_inserts.empty());

  // Without the macro the rows go in below the fifth prepared row, filled like it.
  ListRun native;
  native.panel.old_type = false;
  Export(native, "201A", Bills(9));
  ASSERT_EQ(native.book.row_inserts.size(), 1u);
  EXPECT_EQ(native.book.row_inserts[0].sheet, 2);  // FORM201A
  EXPECT_EQ(native.book.row_inserts[0].row, 12);
  EXPECT_EQ(native.book.row_inserts[0].count, 4);
  EXPECT_EQ(native.Rows(2, 8).rbegin()->first, 16);
}

TEST(DBFToExcelTest, RowsHeadersAndTotalsByLayoutAndYear) {
  ListRun old_type;
  old_type.session.YearFrom = "01/04/2007";
  old_type.session.YearTo = "31/03/2008";
  Export(old_type, "201B", Bills(2));
  auto rows = old_type.Rows(1, 1);
  ASSERT_EQ(rows.size(), 2u);  // no header cells in the old layout
  EXPECT_EQ(rows[5][2], CellValue("B1"));
  EXPECT_EQ(rows[5][3], CellValue("02/04/2015"));
  EXPECT_EQ(rows[5][5], CellValue("240711000119"));  // cut to 12 characters
  EXPECT_EQ(rows[6][9], CellValue(200.0 + 8.0));     // total before 2008: taxable + VAT
  EXPECT_EQ(rows[6].count(10), 0u);

  ListRun macro;
  macro.panel.old_type = false;
  macro.panel.bill_amount = true;
  macro.session.CompanyStNo = "  24000000001 ";
  macro.session.PeriodName = "April";
  macro.session.YearFrom = "01/02/2015";
  macro.session.YearTo = "31/01/2016";
  Export(macro, "201A", Bills(1));
  rows = macro.Rows(2, 1);
  EXPECT_EQ(rows[2][3], CellValue("24000000001"));
  EXPECT_EQ(rows[3][3], CellValue("April"));
  EXPECT_EQ(rows[4][3], CellValue(2016.0));  // February start: the year of the year's end
  EXPECT_EQ(rows[8][5], CellValue("24071100011999"));
  EXPECT_EQ(rows[8][9], CellValue(1.0));
  EXPECT_EQ(rows[8][10], CellValue(106.0));  // the bill amount

  ListRun sales;
  sales.session.YearFrom = "01/02/2015";
  Export(sales, "202B", Bills(1));
  rows = sales.Rows(7, 1);
  EXPECT_EQ(rows[4][3], CellValue(2015.0));
  EXPECT_EQ(rows[7][7], CellValue(106.0));
  EXPECT_EQ(rows[7].count(8), 0u);
}

TEST(DBFToExcelTest, BillsOutsideTheListLeaveNoBlankRow) {
  ListRun run;
  run.lists.list1_records = Accounts({"100101", "100103"});
  RecordSet bills = Bills(5);
  std::vector<std::vector<Value>> rows;
  std::vector<std::string> names;
  for (int i = 0; i < bills.field_count(); ++i) names.push_back(bills.field_name(i));
  const char* accounts[] = {"100101", "100102", "100103", "O'Neil", "100101"};
  for (int i = 0; i < 5; ++i, bills.MoveNext()) {
    std::vector<Value> row;
    for (int f = 0; f < bills.field_count(); ++f) row.push_back(bills.field(f));
    row.back() = Value::Text(accounts[i]);
    rows.push_back(row);
  }
  Export(run, "201A", RecordSet(names, rows, "bills"));
  auto written = run.Rows(1, 5);
  ASSERT_EQ(written.size(), 3u);
  EXPECT_EQ(written[5][2], CellValue("B1"));
  EXPECT_EQ(written[6][2], CellValue("B3"));
  EXPECT_EQ(written[7][2], CellValue("B5"));
  EXPECT_TRUE(run.ui.messages.size() == 1 && run.ui.messages[0].icon == MessageIcon::kInformation);
  // The current-record label ended on the last written bill before it was put to rest.
  ASSERT_GE(run.ui.panels.size(), 3u);
  EXPECT_EQ(run.ui.panels[run.ui.panels.size() - 4].current_records, "5");
}

RecordSet CstBills(std::vector<std::vector<Value>> parties) {
  std::vector<std::vector<Value>> rows;
  int i = 0;
  for (auto& party : parties) {
    std::vector<Value> row = {Value::Text("C" + std::to_string(++i)),
                              Value::FromDate({2015, 4, 30}),
                              Value::Text("6"),
                              Value::Number(1000),
                              Value::Number(20),
                              Value::Number(1030)};
    row.insert(row.end(), party.begin(), party.end());
    rows.push_back(row);
  }
  return RecordSet({"DOCNO", "SPDATE", "CODE", "TAX_AMT", "ST_AMT", "BILL_AMT", "PARTY", "CSTNO",
                    "STATE", "ADD3", "FNAME"},
                   std::move(rows), "cst");
}

TEST(DBFToExcelTest, CstStatesFormsAndCashParties) {
  ListRun run;
  run.session.StateNames = {"Andaman and Nicobar Islands", "Gujarat", "Maharastra"};
  run.session.DeclarationForms = {"CST-Form C", "CST-Form F", "CST-Form H"};
  run.lists.list1_records = Accounts({"6"});
  const Value null;
  Export(run, "3BSALES",
         CstBills({{Value::Text("Gujarat Steel"), Value::Text("C24"), Value::Text("GUJARAT"),
                    Value::Text(""), Value::Text("CST-Form C")},
                   {null, null, Value::Text(" "), Value::Text("Vatva, Gujarat"), null},
                   {Value::Text("Désai"), Value::Text("C23"), Value::Text(""),
                    Value::Text("Vijay Nagar, Madhya Pradesh"), Value::Text("CST-Form E-I")}}));
  auto rows = run.Rows(1, 3);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[3][4], CellValue("C24"));
  EXPECT_EQ(rows[3][5], CellValue("Gujarat Steel"));
  EXPECT_EQ(rows[3][6], CellValue("Gujarat"));
  EXPECT_EQ(rows[3][10], CellValue(1020.0));
  EXPECT_EQ(rows[3][11], CellValue("CST-Form C"));
  EXPECT_EQ(rows[4][5], CellValue("Cash A/c"));
  EXPECT_EQ(rows[4].count(6), 0u);  // a blank state matches no state name
  EXPECT_EQ(rows[4].count(11), 0u);
  EXPECT_EQ(rows[5].count(6), 0u);
  EXPECT_EQ(rows[5].count(11), 0u);

  // The address line, when chosen as the state field, names no state either.
  ListRun by_address;
  by_address.session.StateNames = run.session.StateNames;
  by_address.panel.state_field = "ADD3";
  by_address.panel.bill_amount = true;
  by_address.lists.list1_records = Accounts({"6"});
  Export(by_address, "3BSALES",
         CstBills({{null, null, null, Value::Text("Vatva, Gujarat"), null}}));
  rows = by_address.Rows(1, 3);
  EXPECT_EQ(rows[3].count(6), 0u);
  EXPECT_EQ(rows[3][10], CellValue(1030.0));
}

TEST(DBFToExcelTest, CsvDatesAreTextAndEmptyListsStillSave) {
  ListRun run;
  run.panel.file_type = ".csv";
  run.session.FileFormat = kFormatCsv;
  Export(run, "201A", Bills(1));
  EXPECT_EQ(run.Rows(1, 5)[5][3], CellValue("02/04/2015"));
  ASSERT_EQ(run.book.saves.size(), 1u);
  EXPECT_EQ(run.book.saves[0].path, "/out/List.csv");
  EXPECT_EQ(run.book.saves[0].file_format, kFormatCsv);

  ListRun empty;
  Export(empty, "202B", Bills(0));
  EXPECT_TRUE(empty.book.writes.empty());
  ASSERT_EQ(empty.book.saves.size(), 1u);
  EXPECT_TRUE(empty.book.quit);
  ASSERT_EQ(empty.ui.messages.size(), 1u);
  EXPECT_EQ(empty.ui.messages[0].text,
            "Data Exported Successfully into File : /out/List.xls\r\nPlease Verify data of this "
            "file with actual data and then submit it.");
}

TEST(DBFToExcelTest, ListsLongerThanTheLargestOldTemplateGetRoomFirst) {
  ListRun run;
  Export(run, "201A", Bills(40003));
  ASSERT_EQ(run.book.row_inserts.size(), 1u);
  EXPECT_EQ(run.book.row_inserts[0].row, 40004);  // the last prepared row
  EXPECT_EQ(run.book.row_inserts[0].count, 3);
  EXPECT_EQ(run.Rows(1, 5).rbegin()->first, 40007);
  EXPECT_EQ(run.book.saves.size(), 1u);
}

TEST(DBFToExcelTest, ARowBeyondTheSheetFailsWithoutAFile) {
  ListRun run;
  run.panel.old_type = false;
  Export(run, "201A", Bills(65600));
  EXPECT_TRUE(run.book.saves.empty());
  EXPECT_TRUE(run.book.quit);
  ASSERT_EQ(run.ui.messages.size(), 1u);
  EXPECT_EQ(run.ui.messages[0].title, "Import Into Excel");
  EXPECT_EQ(run.ui.messages[0].text.rfind("Error Number : 1004\r\nError Source : ", 0), 0u);
}

TEST(DBFToExcelTest, AFormWithoutABillListIsReportedNotWritten) {
  ListRun run;
  run.session.ReturnCode = "201";
  run.workbook.TemplateName = "VAT_RET_201A_500_Monthly_New.xls";
  std::optional<RecordSet> records = Bills(3);
  BuildContext context = run.Context();
  DBFToExcel(context, &records, 3);
  EXPECT_TRUE(run.book.saves.empty());
  ASSERT_EQ(run.ui.messages.size(), 1u);
  EXPECT_EQ(run.ui.messages[0].title, "Import Into Excel");
  EXPECT_FALSE(records.has_value());
}

TEST(DBFToExcelTest, AMissingTemplateIsReportedAndNothingOpens) {
  ListRun run;
  run.session.YearFrom = "01/04/2007";
  Export(run, "202A", Bills(3));  // no "Old Type" 202A template before 2008
  EXPECT_TRUE(run.book.opened_path.empty());
  ASSERT_EQ(run.ui.messages.size(), 1u);
  EXPECT_EQ(run.ui.messages[0].icon, MessageIcon::kExclamation);
  EXPECT_EQ(run.ui.messages[0].text.rfind("Master Templete : ", 0), 0u);
}

}  // namespace
}  // namespace vatrix
