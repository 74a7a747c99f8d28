#include "returns/form3b_queries.h"

namespace vatrix {
namespace {

// Sales joined with their tax type; the condition follows.
constexpr std::string_view kSalesByTaxType =
    "FROM SP LEFT JOIN STAX ON SP.ST_TYPE = STAX.CODE WHERE ";

// Postings of vouchers other than bills on accounts of ACT_TYPE 4 (the CST account).
constexpr std::string_view kCstAccountNonBillPostings =
    "FROM ACT INNER JOIN LEDGER ON ACT.CODE = LEDGER.CODE "
    "WHERE (((LEDGER.VTYPE)<>'SA' And (LEDGER.VTYPE)<>'SR' And (LEDGER.VTYPE)<>'PR' And "
    "(LEDGER.VTYPE)<>'PU') AND ((ACT.ACT_TYPE)=4)) AND ";

// Gross value of a posting whose rate is written in its narration; a narration without a
// rate (missing, not a number, or 0) counts 0, so the rate never divides by zero.
constexpr std::string_view kGrossFromNarration =
    "IIf(IsNull(Ledger.Narr1),0,Iif(Val(Ledger.Narr1)=0,0,Ledger.Amt+((100*Ledger.Amt)/"
    "Val(Ledger.Narr1))))";

// One figure: its text up to the date column, the date column as the query spells it, and
// what closes the condition after the period.
struct Aggregate {
  std::string head;
  std::string_view date;
  std::string_view close;
};

std::vector<Aggregate> Aggregates() {
  const std::string sales(kSalesByTaxType);
  const std::string postings(kCstAccountNonBillPostings);
  const std::string gross(kGrossFromNarration);
  return {
      // C1: all sales.
      {"SELECT Sum(Bill_amt) AS Amount From SP WHERE (SP.VTYPE='SA') and ", "SP.DATE", ""},
      // C2: sales of tax types outside the central and special classes.
      {"SELECT Sum(Bill_amt) AS Amount " + sales +
           "(((SP.VTYPE)='SA') AND ((STAX.TYPE)<>'C') AND ((STAX.VATTYPE)<>12 And "
           "(STAX.VATTYPE)<>18 And (STAX.VATTYPE)<>11 And (STAX.VATTYPE)<>9)) And ",
       "SP.DATE", ""},
      // C3 to C6: sales of class 11, central sales at rate 0, class 9, TYPE "S" or class 21.
      {"SELECT Sum([Bill_amt]) AS Amount " + sales + "SP.VTYPE='SA' AND STAX.VATTYPE=11 And ",
       "SP.DATE", ""},
      {"SELECT Sum([Bill_amt]) AS Amount " + sales +
           "SP.VTYPE='SA' AND STAX.PCN=0 And STAX.TYPE='C' And ",
       "SP.DATE", ""},
      {"SELECT Sum([Bill_amt]) AS Amount " + sales + "SP.VTYPE='SA' AND STAX.VATTYPE=9 And ",
       "SP.DATE", ""},
      {"SELECT Sum([Bill_amt]) AS Amount " + sales +
           "SP.VTYPE='SA' AND (STAX.TYPE='S' or STAX.VATTYPE=21) AND ",
       "SP.DATE", ""},
      // C7: taxable value of central sales; C8, C9: taxable amount and tax, and tax alone, of
      // their returns.
      {"SELECT Sum([Bill_amt]-[Tax_amt]-[St_amt]) AS Amount " + sales +
           "SP.VTYPE='SA' AND (STAX.TYPE='C' or STAX.VATTYPE=12 or STAX.VATTYPE=18) And ",
       "SP.DATE", ""},
      {"SELECT Sum([Tax_amt]+St_amt) AS Amount " + sales +
           "SP.VTYPE='SR' AND (STAX.TYPE='C' or STAX.VATTYPE=12 or STAX.VATTYPE=18) And ",
       "SP.DATE", ""},
      {"SELECT Sum(St_amt) AS Amount " + sales +
           "SP.VTYPE='SR' AND (STAX.TYPE='C' or STAX.VATTYPE=12 or STAX.VATTYPE=18) And ",
       "SP.DATE", ""},
      // C10: net debit of postings with a class-18 tax type.
      {"SELECT Sum(IIf(Ledger.DC='C',-Ledger.Amt,Ledger.Amt)) AS Bill_amt, "
       "Sum(IIf(Ledger.DC='C',Ledger.Amt,0)) AS VatDebit, Sum(IIf(Ledger.DC='D',Ledger.Amt,0)) "
       "AS VatCredit FROM STAX RIGHT JOIN Ledger ON STAX.CODE=Ledger.VATCODE "
       "Where (((STAX.VATTYPE) = 18)) and ",
       "(Ledger.Date", ")"},
      // C11: tax on class-18 sales less their returns.
      {"SELECT Sum(IIf(Sp.Vtype='SA',sp.st_AMT,-Sp.st_amt)) AS Bill_amt "
       "FROM SP INNER JOIN STAX ON SP.ST_TYPE = STAX.CODE "
       "WHERE (((SP.VTYPE)='SA' Or (SP.VTYPE)='SR') AND ((STAX.VATTYPE)=18)) and ",
       "(Sp.Date", ")"},
      // C12 to C15: gross value and amount of the CST account's credit and debit postings.
      {"SELECT Sum(IIf(Ledger.DC='C'," + gross + ",0)) AS Bill_amt " + postings, "(Ledger.Date",
       ")"},
      {"SELECT Sum(IIf([Ledger].[DC]='C',[Ledger].[Amt],0)) AS Bill_amt " + postings,
       "(Ledger.Date", ")"},
      {"SELECT Sum(IIf(Ledger.DC='D'," + gross + ",0)) AS Bill_amt " + postings, "(Ledger.Date",
       ")"},
      {"SELECT Sum(IIf([Ledger].[DC]='D',[Ledger].[Amt],0)) AS Bill_amt " + postings,
       "(Ledger.Date", ")"},
  };
}

}  // namespace

std::vector<std::string> Form3BAggregateQueries(std::string_view period_range) {
  std::vector<std::string> queries;
  for (const Aggregate& a : Aggregates()) {
    queries.push_back(a.head + std::string(a.date) + std::string(period_range) +
                      std::string(a.close));
  }
  return queries;
}

std::string Form3BSalesByRate(std::string_view period_range) {
  return "SELECT Sum(SP.TAX_AMT) AS TAX_AMT, Sum(SP.ST_AMT) AS ST_AMT, STAX.PCN FROM SP INNER "
         "JOIN STAX ON SP.ST_TYPE = STAX.CODE "
         "Where (((STAX.Type = 'C' And SP.VTYPE = 'SA') Or (SP.VTYPE = 'SA' And "
         "(STAX.VATTYPE = 12 Or STAX.VATTYPE = 18))) AND "
         "(SP.DATE " +
         std::string(period_range) + " )) GROUP BY STAX.PCN ";
}

}  // namespace vatrix
