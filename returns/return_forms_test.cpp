#include "returns/return_forms.h"

#include <gtest/gtest.h>

#include <set>

#include "returns/list_export.h"
#include "workbook/template_session.h"

namespace vatrix {
namespace {

TEST(ReturnFormsTest, EachRowIsWhole) {
  std::set<std::string_view> codes, buttons;
  for (const ReturnForm& form : ReturnForms()) {
    SCOPED_TRACE(form.code);
    EXPECT_TRUE(codes.insert(form.code).second);
    EXPECT_TRUE(buttons.insert(form.button).second);
    EXPECT_EQ(FindReturnForm(form.code), &form);
    EXPECT_FALSE(form.caption.empty() || form.name.empty() || form.file_name_prefix.empty());
    EXPECT_FALSE(form.return_types.empty());
    ASSERT_FALSE(form.file_types.empty());
    if (!form.chosen_file_type.empty()) {
      EXPECT_NE(std::find(form.file_types.begin(), form.file_types.end(), form.chosen_file_type),
                form.file_types.end());
    }
    // A list offered on the panel has a caption and, to be filled, a query somewhere.
    EXPECT_EQ(form.list1.title.empty(), form.list1.option.empty());
    if (form.list) {
      EXPECT_TRUE(form.list->query);
      EXPECT_FALSE(form.list->error_title.empty());
      EXPECT_TRUE(form.builder) << "a list form without its builder";
    }
  }
  EXPECT_EQ(FindReturnForm("201a"), nullptr);
}

// Every template a list form can ask for is in the templates folder the build makes.
TEST(ReturnFormsTest, EveryListTemplateNamedIsInTheMasterFolder) {
  const std::string master = std::string(VATRIX_BINARY_DIR) + "/Master";
  for (const ReturnForm& form : ReturnForms()) {
    if (!form.list) continue;
    std::vector<int> counts = form.list->size_steps;
    counts.push_back(1);
    for (const bool old_type : {true, false}) {
      for (const int count : counts) {
        const std::string name = ExcelFileName(*form.list, old_type, 2015, count);
        EXPECT_TRUE(FindTemplate(master, name)) << form.code << ": " << name;
      }
    }
  }
}

TEST(ReturnFormsTest, SelectionListsFollowTaxSelection) {
  const ReturnForm& sales = *FindReturnForm("201A");
  EXPECT_TRUE(FormwiseChoiceOf(sales, "/h", "007", false).list2_query.empty());
  EXPECT_FALSE(FormwiseChoiceOf(sales, "/h", "007", true).list2_query.empty());
  const FormwiseChoice stock = FormwiseChoiceOf(*FindReturnForm("201C"), "/h", "007", false);
  EXPECT_FALSE(stock.list1_query.empty() || stock.list2_query.empty());
  EXPECT_EQ(stock.host_folder, "/h");
  EXPECT_EQ(stock.company_code, "007");
}

}  // namespace
}  // namespace vatrix
