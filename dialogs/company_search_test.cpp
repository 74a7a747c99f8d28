#include "dialogs/company_search.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "hostdata/recording_ui.h"
#include "hostdata/test_tables.h"

namespace vatrix {
namespace {

// A catalogue in which code 7 has two financial years and names differ only in case.
class CompanySearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = testing::MakeTempFolder();
    testing::TestTable catalogue;
    catalogue.fields = {{"CODE", 'N', 4}, {"NAME", 'C', 20}, {"DFR", 'D', 8}, {"DTO", 'D', 8}};
    catalogue.rows = {{"7", "Sam Traders", "20160401", "20170331"},
                      {"12", "patel sons", "20150401", "20160331"},
                      {"7", "Sam Traders", "20150401", "20160331"},
                      {"3", "SAFE STORES", "20150401", "20160331"},
                      {"9", "Zed", "20150401", "20160331"}};
    testing::WriteFile(host_ + "/Company.dbf", testing::DbfBytes(catalogue));
  }
  void TearDown() override { std::filesystem::remove_all(host_); }

  CompanySearch Open(int chosen = 0) {
    CompanySearch search(host_, ui_, chosen);
    search.Load();
    return search;
  }
  static std::vector<std::string> Names(const CompanySearch& search) {
    std::vector<std::string> names;
    for (const auto& row : search.rows()) names.push_back(row[1]);
    return names;
  }
  // Types `keys` one character at a time, as the search box takes them.
  static void Type(CompanySearch& search, const std::string& keys) {
    for (char key : keys) {
      search.SetSearchText(search.search_text() +
                           CompanySearch::TypedCharacter(search.search_text(), {key}));
    }
  }

  std::string host_;
  testing::RecordingUi ui_;
};

TEST_F(CompanySearchTest, TypingFiltersByPrefixIgnoringCaseAndCapitalisesWords) {
  CompanySearch search = Open();
  EXPECT_EQ(Names(search), (std::vector<std::string>{"patel sons", "SAFE STORES", "Sam Traders",
                                                     "Sam Traders", "Zed"}));
  Type(search, "sa");
  EXPECT_EQ(search.search_text(), "Sa");
  EXPECT_EQ(Names(search), (std::vector<std::string>{"SAFE STORES", "Sam Traders", "Sam Traders"}));
  Type(search, "m t'");
  EXPECT_EQ(search.search_text(), "Sam T");  // the apostrophe is dropped, the word capitalised
  EXPECT_EQ(search.rows().size(), 2u);
  search.SetSearchText("");
  EXPECT_EQ(search.rows().size(), 5u);
  search.SetSearchText("Sam's");  // pasted: stays inside the query's literal
  EXPECT_TRUE(search.rows().empty());
  EXPECT_EQ(search.record_number(), "0");
}

TEST_F(CompanySearchTest, AnotherColumnClearsTheTextAndOrdersByIt) {
  CompanySearch search = Open();
  search.ChooseColumn(0);  // Code, with no text: the rows keep their order
  EXPECT_EQ(Names(search).front(), "patel sons");
  search.ChooseColumn(1);
  Type(search, "z");
  search.ChooseColumn(0);
  EXPECT_EQ(search.search_text(), "");
  std::vector<std::string> codes;
  for (const auto& row : search.rows()) codes.push_back(row[0]);
  EXPECT_EQ(codes, (std::vector<std::string>{"3", "7", "7", "9", "12"}));
}

TEST_F(CompanySearchTest, ChoosingByCodeGivesTheFirstChooserRowOfThatCode) {
  CompanySearch search = Open();
  search.ChooseColumn(0);
  Type(search, "7");
  search.Key(SearchKey::kDown);  // the second row of code 7 (the later year)
  search.Choose();
  EXPECT_TRUE(search.closed());
  EXPECT_EQ(search.chosen_position(), 2);  // "Sam Traders" 2015, before its 2016 row
}

TEST_F(CompanySearchTest, KeysStopAtTheEndsAndEscapeKeepsTheLastChoice) {
  CompanySearch search = Open(5);
  search.Key(SearchKey::kUp);
  EXPECT_EQ(search.record_number(), "1");
  search.Key(SearchKey::kEnd);
  search.Key(SearchKey::kPageDown);
  EXPECT_EQ(search.record_number(), "5");
  search.Key(SearchKey::kHome);
  EXPECT_EQ(search.current(), 0);
  search.Key(SearchKey::kEscape);
  EXPECT_TRUE(search.closed());
  EXPECT_EQ(search.chosen_position(), 5);
}

TEST_F(CompanySearchTest, NoMatchThenEnterShowsTheMessageAndKeepsThePosition) {
  CompanySearch search = Open(3);
  Type(search, "q");
  EXPECT_TRUE(search.rows().empty());
  search.Choose();
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].title, "Search Engine");
  EXPECT_EQ(ui_.messages[0].text, "No Record Found.....\r\n\r\n");
  EXPECT_TRUE(search.closed());
  EXPECT_EQ(search.chosen_position(), 3);
}

TEST_F(CompanySearchTest, ColumnWidthsFitTheLongestCellOrTitle) {
  CompanySearch search = Open();
  const auto widths =
      search.ColumnWidths([](const std::string& text) { return static_cast<int>(text.size()); }, 2);
  EXPECT_EQ(widths, (std::vector<int>{6, 13, 12, 12}));  // "Code" title; "SAFE STORES"; dates
}

}  // namespace
}  // namespace vatrix
