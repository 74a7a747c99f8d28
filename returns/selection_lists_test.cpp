#include "hostdata/selection_lists.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "hostdata/recording_ui.h"
#include "hostdata/test_tables.h"
#include "returns/return_forms.h"

namespace vatrix {
namespace {

using testing::TestTable;

class SelectionListsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = testing::MakeTempFolder();
    std::filesystem::create_directory(host_ + "/007");
    TestTable accounts;
    accounts.fields = {
        {"CODE", 'C', 6}, {"NAME", 'C', 20}, {"GROUP", 'C', 6}, {"FLAG", 'C', 1}, {"TAG", 'C', 1}};
    accounts.rows = {{"102", "sales - retail", "100005"},
                     {"101", "Sales - Export", "100005"},
                     {"201", "Purchase", "100006"}};
    Write("ACT.DBF", accounts);
    TestTable taxes;
    taxes.fields = {{"code", 'C', 4},
                    {"NAME", 'C', 20},
                    {"VATTYPE", 'N', 3},
                    {"TYPE", 'C', 1},
                    {"TAG", 'C', 1}};
    taxes.rows = {
        {"12", "Vat 4%", "4", "V"}, {"3", "CST 2%", "12", "C"}, {"5", "Exempt", "9", "S"}};
    Write("stax.dbf", taxes);
    TestTable batches;
    batches.fields = {{"CODE", 'C', 6}, {"BATCHNO", 'C', 10}, {"TAG", 'C', 1}};
    batches.rows = {{"1", "B-7"}, {"2", "B-7"}, {"2", "A-1"}};
    Write("Batch.dbf", batches);
    TestTable products;
    products.fields = {{"CODE", 'C', 6},   {"NAME", 'C', 20},  {"TAG", 'C', 1},
                       {"OP_QTY", 'N', 8}, {"TOTIN", 'N', 8},  {"TOTOUT", 'N', 8},
                       {"CL_QTY", 'N', 8}, {"CLRATE", 'N', 8}, {"BATCH", 'L', 1}};
    products.rows = {{"7", "Soap", "", "1", "1", "1", "1", "2", "T"}};
    Write("PRODUCT.DBF", products);
  }
  void TearDown() override { std::filesystem::remove_all(host_); }

  void Write(const std::string& file, const TestTable& table) {
    testing::WriteFile(host_ + "/007/" + file, testing::DbfBytes(table));
  }

  void Fill(const std::string& form, bool tax_selection = false) {
    FormwiseRecordSet(FormwiseChoiceOf(*FindReturnForm(form), host_, "007", tax_selection), &lists_,
                      ui_);
  }

  std::string host_;
  SelectionLists lists_;
  testing::RecordingUi ui_;
};

TEST_F(SelectionListsTest, FillsTheListsEachFormUses) {
  Fill("201A");
  EXPECT_EQ(lists_.list1,
            (std::vector<ListItem>{{"Sales - Export", 101}, {"sales - retail", 102}}));
  EXPECT_TRUE(lists_.list2.empty());
  EXPECT_FALSE(lists_.list2_records.has_value());

  Fill("201A", true);  // the tax types too, sorted by name
  EXPECT_EQ(lists_.list2, (std::vector<ListItem>{{"CST 2%", 3}, {"Exempt", 5}, {"Vat 4%", 12}}));

  Fill("3BSALES");  // VATTYPE 12 and TYPE C: listed once
  EXPECT_EQ(lists_.list1, (std::vector<ListItem>{{"CST 2%", 3}, {"Exempt", 5}}));
  EXPECT_EQ(lists_.list2.size(), 3u);  // a form that fills no second list leaves it alone

  Fill("201C");  // batches: distinct numbers, no code
  EXPECT_EQ(lists_.list1, (std::vector<ListItem>{{"Soap", 7}}));
  EXPECT_EQ(lists_.list2, (std::vector<ListItem>{{"A-1", 0}, {"B-7", 0}}));
  ASSERT_TRUE(lists_.list1_records.has_value());
  EXPECT_TRUE(lists_.connection.is_open());
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(SelectionListsTest, EmptyListReleasesItsRecordSet) {
  TestTable accounts;
  accounts.fields = {
      {"CODE", 'C', 6}, {"NAME", 'C', 20}, {"GROUP", 'C', 6}, {"FLAG", 'C', 1}, {"TAG", 'C', 1}};
  accounts.rows = {{"201", "Purchase", "100006"}};
  Write("ACT.DBF", accounts);
  Fill("201A");
  EXPECT_TRUE(lists_.list1.empty());
  EXPECT_FALSE(lists_.list1_records.has_value());
}

TEST_F(SelectionListsTest, FailuresAreReportedAndKeepEarlierLists) {
  Fill("201C");
  TestTable taxes;
  taxes.fields = {
      {"CODE", 'C', 4}, {"NAME", 'C', 20}, {"VATTYPE", 'N', 3}, {"TYPE", 'C', 1}, {"TAG", 'C', 1}};
  taxes.rows = {{"1A", "Odd code", "12", "C"}};
  Write("STAX.DBF", taxes);
  std::filesystem::remove(host_ + "/007/stax.dbf");
  Fill("3BSALES");
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].title, "Formwise Recordset - Error");
  EXPECT_NE(ui_.messages[0].text.find("1A"), std::string::npos);
  EXPECT_EQ(lists_.list2, (std::vector<ListItem>{{"A-1", 0}, {"B-7", 0}}));

  std::filesystem::remove(host_ + "/007/ACT.DBF");
  EXPECT_THROW(Fill("201B"), ProgramEnding);
  EXPECT_TRUE(ui_.ended);
}

}  // namespace
}  // namespace vatrix
