#include "returns/form201c.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "hostdata/test_tables.h"
#include "returns/build_fixture.h"
#include "returns/special_characters.h"
#include "workbook/memory_spreadsheet.h"

namespace vatrix {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::vector<std::string>>;

// A company folder holding only the stock tables; April 2015 is the period.
class Form201CTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = testing::MakeTempFolder();
    run_.session.SpecialChars = SpecialCharsTable();
    run_.panel.file_name = "Stock";
    run_.panel.output_folder = folder_ + "/";
    run_.spreadsheets = [this] { return Borrow(book_); };
  }
  void TearDown() override { fs::remove_all(folder_); }

  // Products: CODE, NAME, OP_QTY, CLRATE, BATCH; batches: CODE, BATCHNO, OP_QTY, CLRATE;
  // movements: CODE, BATCHNO, DATE, QTY, AL, CHLNLINK.
  void Write(Rows products, const Rows& batches, const Rows& moves) {
    const testing::TestField qty{"OP_QTY", 'N', 12, 3}, rate{"CLRATE", 'N', 12, 2};
    for (auto& product : products) product.push_back("NOS");
    const auto write = [this](const char* name, std::vector<testing::TestField> fields,
                              const Rows& rows) {
      testing::TestTable table;
      table.fields = std::move(fields);
      table.rows = rows;
      testing::WriteFile(folder_ + "/" + name, testing::DbfBytes(table));
    };
    write("PRODUCT.DBF", {{"CODE"}, {"NAME", 'C', 40}, qty, rate, {"BATCH", 'L', 1}, {"UNIT1"}},
          products);
    write("BATCH.DBF", {{"CODE"}, {"BATCHNO"}, qty, rate}, batches);
    write("STOCK.DBF",
          {{"CODE"}, {"BATCHNO"}, {"DATE", 'D', 8}, {"QTY", 'N', 12, 3}, {"AL"}, {"CHLNLINK"}},
          moves);
    run_.lists.connection.OpenFolder(folder_);
  }

  void Run(ListChoice products = ListChoice::kAll, ListChoice batches = ListChoice::kAll) {
    book_.writes.clear();
    run_.ui.messages.clear();
    BuildContext context = run_.Context();
    Form201CWithLists(context, products, batches);
  }

  // The written rows by sheet row: column → value.
  std::map<int, std::map<int, CellValue>> Written() const {
    std::map<int, std::map<int, CellValue>> rows;
    for (const auto& write : book_.writes) rows[write.row][write.column] = write.value;
    return rows;
  }

  std::string folder_;
  testing::BuildFixture run_;
  MemorySpreadsheet book_{{"Stock"}};
};

std::map<int, CellValue> Row(const std::string& text, double opening, double in, double out,
                             double balance, double value) {
  return {{2, text}, {4, opening}, {5, in}, {6, out}, {7, balance}, {8, value}};
}

TEST_F(Form201CTest, StatementOfProductsAndBatches) {
  Write({{"1", "Paint A&B/C", "10", "2", "F"},
         {"2", "Syrup", "0", "9", "T"},
         {"3", "Sold Out", "4", "1", "F"},
         {"4", "No Rate", "1", "", "F"}},
        {{"2", "B1", "5", "3"}, {"2", "B2", "1", ""}},
        {{"1", "", "20150410", "5", "A", ""},
         {"1", "", "20150420", "3", "L", ""},
         // Challan-linked movements and movements after the period do not count.
         {"1", "", "20150301", "100", "A", "C1"},
         {"1", "", "20150415", "50", "L", "C2"},
         {"1", "", "20150501", "7", "A", ""},
         // Both batches moved before the period.
         {"2", "B1", "20150301", "2", "A", ""},
         {"2", "B2", "20150302", "3", "A", ""},
         {"2", "B2", "20150405", "1", "L", ""},
         {"3", "", "20150301", "1", "L", ""},
         {"3", "", "20150402", "3", "L", ""}});
  Run();
  ASSERT_EQ(run_.ui.messages.size(), 1u) << run_.ui.Transcript();
  const auto rows = Written();
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows.at(3), Row("No Rate ", 1, 0, 0, 1, 0));
  EXPECT_EQ(rows.at(4), Row("Paint A B C ", 10, 5, 3, 12, 24));
  EXPECT_EQ(rows.at(5), Row("Syrup B1", 7, 0, 0, 7, 21));
  EXPECT_EQ(rows.at(6), Row("Syrup B2", 4, 0, 1, 3, 0));
  EXPECT_EQ(run_.ui.messages[0].text, "Data Exported Successfully into File : " + folder_ +
                                          "/Stock.xls\r\nPlease Verify data of this file with "
                                          "actual data and then submit it.");
  EXPECT_EQ(book_.opened_path, run_.master_folder + "/" + kForm201CTemplate);
  EXPECT_EQ(run_.wait.state().current_records, "<Cur.Records>");
}

TEST_F(Form201CTest, SelectedProductsAndBatchNumbers) {
  Write({{"1", "Plain", "1", "1", "F"},
         {"2", "Kept", "0", "1", "T"},
         {"12", "Twelve", "1", "1", "F"}},
        {{"2", "B1", "1", "1"}, {"2", "O'Neil", "2", "1"}, {"2", "x') or (1", "3", "1"}}, {});
  run_.lists.list1 = {{"Plain", 1}, {"Kept", 2}, {"Twelve", 12}};
  run_.lists.list2 = {{"B1"}, {"O'Neil"}, {"x') or (1"}};
  run_.panel.list1_selected = {false, false, true};
  Run(ListChoice::kSelected, ListChoice::kAll);
  EXPECT_EQ(Written(),
            (std::map<int, std::map<int, CellValue>>{{3, Row("Twelve ", 1, 0, 0, 1, 1)}}));
  // A batch number holding apostrophes selects its own row and nothing else.
  for (const size_t chosen : {1u, 2u}) {
    run_.panel.list2_selected = {false, false, false};
    run_.panel.list2_selected[chosen] = true;
    Run(ListChoice::kAll, ListChoice::kSelected);
    const auto rows = Written();
    ASSERT_EQ(rows.size(), 1u) << run_.ui.Transcript();
    EXPECT_EQ(rows.at(3).at(4), CellValue(chosen == 1 ? 2.0 : 3.0));
  }
}

TEST_F(Form201CTest, NothingToListOrNoConditionStartsNoWorkbook) {
  Write({{"1", "Sold Out", "0", "1", "F"}}, {}, {});
  Run();
  ASSERT_EQ(run_.ui.messages.size(), 1u);
  EXPECT_EQ(run_.ui.messages[0].text, "No Record Found for Vatrix.....");
  EXPECT_EQ(run_.ui.messages[0].icon, MessageIcon::kCritical);
  // Neither option of a list chosen: the condition is empty and the query is rejected; so is
  // "Selected" without a selected item.
  Run(ListChoice::kAll, ListChoice::kNeither);
  ASSERT_EQ(run_.ui.messages.size(), 1u);
  EXPECT_EQ(run_.ui.messages[0].title, "Form 201C");
  run_.lists.list1 = {{"Sold Out", 1}};
  Run(ListChoice::kSelected, ListChoice::kAll);
  ASSERT_EQ(run_.ui.messages.size(), 1u);
  EXPECT_EQ(run_.ui.messages[0].title, "Form 201C");
  EXPECT_TRUE(book_.opened_path.empty());
}

TEST_F(Form201CTest, RowsBeyondTheTemplateAreNamedInTheMessage) {
  Rows products;
  for (int i = 1; i <= 5000; ++i) {
    products.push_back({std::to_string(i), "Item " + std::to_string(100000 + i), "1", "1", "F"});
  }
  Write(products, {}, {});
  Run();
  ASSERT_EQ(run_.ui.messages.size(), 1u) << run_.ui.Transcript();
  const auto rows = Written();
  EXPECT_EQ(rows.begin()->first, 3);
  EXPECT_EQ(rows.rbegin()->first, 4998);
  EXPECT_EQ(rows.at(4998).at(2), CellValue("Item 104996 "));
  const std::string& text = run_.ui.messages[0].text;
  EXPECT_EQ(text.substr(text.rfind("\r\n") + 2),
            "4 rows of the stock did not fit into the template (sheet rows 3 to 4998) and were "
            "left out.");
  bool counted = false;
  for (const WaitPanelState& panel : run_.ui.panels) counted |= panel.current_records == "4996";
  EXPECT_TRUE(counted);
}

}  // namespace
}  // namespace vatrix
