#include "returns/list_queries.h"

#include <gtest/gtest.h>

namespace vatrix {
namespace {

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(ListQueryTest, SelectionsJoinUnchangedWhereEachFormTakesThem) {
  ListQueryInputs in{" Between #4/1/2015# and #4/30/2015# ", "  '100101' , '100103'  ",
                     " Stax.Name= 'VAT 5% Sales' ", true, true};
  EXPECT_EQ(ListQuery("202B", in),
            "SELECT SP.LINK, SP.DOCNO, SP.DATE,SP.BILL_AMT, SP.ST_TYPE,SP.PSCODE, SP.TAX_AMT, 0.00 "
            "AS VAT_AMT, 0.00 AS ATX_AMT, SP.AT_AMT,SP.VTYPE,IIf(SP.CBR='R',ACT.NAME,CASHCUST.NAME)"
            " AS PARTY, IIf(SP.CBR='R',ACT.STNO,CASHCUST.STNO) AS STNO, IIf(SP.CBR='R',ACT.STNO,"
            "CASHCUST.STNO) AS CSTNO FROM CASHCUST RIGHT JOIN ((ACT RIGHT JOIN SP ON ACT.CODE=SP."
            "CODE) INNER JOIN STAX ON SP.ST_TYPE=STAX.CODE) ON CASHCUST.CODE=SP.CODE Where (SP.DATE"
            " Between #4/1/2015# and #4/30/2015# ) And (SP.PSCODE IN ('100101' , '100103')) ORDER "
            "BY Sp.DATE, Sp.DOCNO");
  for (const char* code : {"201A", "201B", "202A"}) {
    const std::string selected = ListQuery(code, in);
    EXPECT_EQ(Count(selected, "Stax.Name= 'VAT 5% Sales' ) And "), 2u) << code;
    EXPECT_EQ(Count(selected, "#4/30/2015# "), 2u);
    EXPECT_NE(selected.find("WHERE (ItemVat.PSCODE IN ('100101' , '100103')) ORDER BY"),
              std::string::npos);
    in.tax_types_selected = false;
    EXPECT_EQ(ListQuery(code, in).find("Stax.Name"), std::string::npos);
    in.tax_types_selected = true;
  }
  EXPECT_NE(ListQuery("201A", in).find("VATTYPE) = 15)) And ("), std::string::npos);
  EXPECT_NE(ListQuery("202A", in).find("Having (((SP.VTYPE) = 'PU'))) as ItemVat"),
            std::string::npos);
  EXPECT_EQ(ListQuery("201", in), "");
}

TEST(ListQueryTest, CstListsDateBillsByTheStockDateChoice) {
  ListQueryInputs in{" Between #4/1/2015# and #4/30/2015# ", "", "", false, true};
  const std::string stock = "IIf(IsDate(SP.STOCKDT),SP.STOCKDT,SP.DATE)";
  const std::string purchases = ListQuery("3BPURCHASE", in);
  EXPECT_EQ(purchases.rfind("SELECT SP.LINK, SP.DOCNO, " + stock + " AS SPDATE,", 0), 0u);
  EXPECT_NE(purchases.find("(" + stock + " Between #4/1/2015# and #4/30/2015# ) ORDER BY " + stock +
                           ", sp.DOCNO"),
            std::string::npos);
  EXPECT_NE(ListQuery("3BSALES", in).find("#4/30/2015# ) ORDER BY SP.DATE, SP.DOCNO"),
            std::string::npos);
  in.use_stock_date = false;
  EXPECT_EQ(ListQuery("3BSALES", in).find("STOCKDT"), std::string::npos);
  EXPECT_NE(ListQuery("3BPURCHASE", in).find("ORDER BY SP.DATE, sp.DOCNO"), std::string::npos);
}

}  // namespace
}  // namespace vatrix
