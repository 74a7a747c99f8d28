#include "returns/list_queries.h"

#include <gtest/gtest.h>

#include "hostdata/selection_lists.h"
#include "returns/list_test_support.h"
#include "returns/return_forms.h"

namespace vatrix {
namespace {

std::string Query(const std::string& code, const ListQueryInputs& in) {
  return FindReturnForm(code)->list->query(in);
}

// On the sample company: choosing every tax type one by one lists the same bills as "All", a
// tax type no bill has lists none (but on Form 202B, which takes no tax types), and one account
// lists a part of them.
TEST(ListQueryTest, SelectionsNarrowTheListOnTheSample) {
  for (const std::string code : {"201A", "201B", "202A", "202B"}) {
    SCOPED_TRACE(code);
    testing::ListRun run;
    ASSERT_TRUE(run.LoadSample(code, " Between #4/1/2015# and #6/30/2015# "));
    SelectionLists tax_types;
    FormwiseRecordSet(
        FormwiseChoiceOf(*FindReturnForm("201A"), std::getenv("VATRIX_SAMPLE"), "007", true),
        &tax_types, run.ui);
    ASSERT_FALSE(tax_types.list2.empty());
    ListQueryInputs in{run.session.PeriodRange, run.session.AccountCodes, "", false, true};
    const auto count = [&](const ListQueryInputs& inputs) {
      return run.lists.connection.Execute(Query(code, inputs)).record_count();
    };
    const int all = count(in);
    EXPECT_GT(all, 0);
    for (const ListItem& type : tax_types.list2) {
      in.tax_filter += (in.tax_filter.empty() ? "" : " OR ") + (" Stax.Name= '" + type.text + "' ");
    }
    in.tax_types_selected = true;
    EXPECT_EQ(count(in), all);
    in.tax_filter = " Stax.Name= 'no such tax' ";
    EXPECT_EQ(count(in), code == "202B" ? all : 0);
    in.tax_types_selected = false;
    in.account_codes = " '" + std::to_string(run.lists.list1.front().code) + "' ";
    EXPECT_LE(count(in), all);
    EXPECT_TRUE(run.ui.messages.empty()) << run.ui.Transcript();
  }
}

}  // namespace
}  // namespace vatrix
