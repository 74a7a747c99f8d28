#include "returns/list_queries.h"

#include <gtest/gtest.h>

#include "hostdata/selection_lists.h"
#include "returns/list_test_support.h"
#include "returns/return_forms.h"

namespace vatrix {
namespace {

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

std::string Query(const char* code, const ListQueryInputs& in) {
  return FindReturnForm(code)->list->query(in);
}

TEST(ListQueryTest, SelectionsJoinUnchangedWhereEachFormTakesThem) {
  ListQueryInputs in{" Between #4/1/2015# and #4/30/2015# ", "  '100101' , '100103'  ",
                     " Stax.Name= 'VAT 5% Sales' ", true, true};
  const std::string returns = Query("202B", in);
  EXPECT_NE(returns.find("Where (SP.DATE Between #4/1/2015# and #4/30/2015# ) And (SP.PSCODE IN "
                         "('100101' , '100103')) ORDER BY Sp.DATE, Sp.DOCNO"),
            std::string::npos);
  EXPECT_EQ(returns.find("Stax.Name"), std::string::npos);  // no tax-type filter
  for (const char* code : {"201A", "201B", "202A"}) {
    const std::string selected = Query(code, in);
    EXPECT_EQ(Count(selected, "Stax.Name= 'VAT 5% Sales' ) And "), 2u) << code;
    EXPECT_EQ(Count(selected, "#4/30/2015# "), 2u);
    EXPECT_NE(selected.find("WHERE (ItemVat.PSCODE IN ('100101' , '100103')) ORDER BY"),
              std::string::npos);
    in.tax_types_selected = false;
    EXPECT_EQ(Query(code, in).find("Stax.Name"), std::string::npos);
    in.tax_types_selected = true;
  }
  EXPECT_NE(Query("201A", in).find("VATTYPE) = 15)) And ("), std::string::npos);
  EXPECT_NE(Query("202A", in).find("Having (((SP.VTYPE) = 'PU'))) as ItemVat"), std::string::npos);
}

TEST(ListQueryTest, CstListsDateBillsByTheStockDateChoice) {
  ListQueryInputs in{" Between #4/1/2015# and #4/30/2015# ", "", "", false, true};
  const std::string stock = "IIf(IsDate(SP.STOCKDT),SP.STOCKDT,SP.DATE)";
  const std::string purchases = Query("3BPURCHASE", in);
  EXPECT_EQ(purchases.rfind("SELECT SP.LINK, SP.DOCNO, " + stock + " AS SPDATE,", 0), 0u);
  EXPECT_NE(purchases.find("(" + stock + " Between #4/1/2015# and #4/30/2015# ) ORDER BY " + stock +
                           ", sp.DOCNO"),
            std::string::npos);
  EXPECT_NE(Query("3BSALES", in).find("#4/30/2015# ) ORDER BY SP.DATE, SP.DOCNO"),
            std::string::npos);
  in.use_stock_date = false;
  EXPECT_EQ(Query("3BSALES", in).find("STOCKDT"), std::string::npos);
  EXPECT_NE(Query("3BPURCHASE", in).find("ORDER BY SP.DATE, sp.DOCNO"), std::string::npos);
}

// On the sample company: choosing every tax type one by one lists the same bills as "All", and
// one account lists a part of them.
TEST(ListQueryTest, SelectionsNarrowTheListOnTheSample) {
  for (const char* code : {"201A", "201B", "202A"}) {
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
    in.tax_types_selected = false;
    in.account_codes = " '" + std::to_string(run.lists.list1.front().code) + "' ";
    EXPECT_LE(count(in), all);
    EXPECT_TRUE(run.ui.messages.empty()) << run.ui.Transcript();
  }
}

}  // namespace
}  // namespace vatrix
