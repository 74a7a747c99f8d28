#include "returns/form201_queries.h"

namespace vatrix {
namespace {

// A date condition as a query writes it: the column, spelled as that query spells it, the
// period joined directly after it, and the closing bracket when the column opened one.
struct DateCondition {
  std::string_view open;
  std::string_view close;
};

constexpr DateCondition kSpDate{"SP.DATE", ""};
constexpr DateCondition kSpDateBracketed{"(SP.DATE", ")"};
constexpr DateCondition kSpDateBracketedMixedCase{"(Sp.Date", ")"};
constexpr DateCondition kLedgerDateBracketed{"(LEDGER.DATE", ")"};
constexpr DateCondition kLedgerDateBracketedMixedCase{"(Ledger.Date", ")"};

// The FROM and WHERE of the four figures over non-bill postings on the VAT account.
constexpr std::string_view kVatAccountNonBillPostings =
    "FROM ACT INNER JOIN (LEDGER INNER JOIN STAX ON LEDGER.VATCODE = STAX.CODE) ON ACT.CODE = "
    "LEDGER.CODE "
    "WHERE (((LEDGER.VTYPE)<>'SA' And (LEDGER.VTYPE)<>'SR' And (LEDGER.VTYPE)<>'PR' And "
    "(LEDGER.VTYPE)<>'PU') AND ((STAX.VATTYPE)<>18) AND ((STAX.TYPE)='V') AND "
    "((ACT.ACT_TYPE)=90)) AND ";

// One aggregate figure: fixed text, then (for the VAT-account figures) the shared FROM and
// WHERE, then the date condition.
struct Aggregate {
  std::string_view fixed;
  std::string_view shared;
  DateCondition date;
};

constexpr Aggregate kAggregates[] = {
    // Q1, Q2: all sales, all purchases.
    {"SELECT Sum(Bill_amt) AS Amount From SP WHERE (SP.VTYPE='SA') and ", "", kSpDate},
    {"SELECT Sum(Bill_amt) AS Amount From SP WHERE (SP.VTYPE='PU') and ", "", kSpDate},
    // Q3 to Q10: sales or purchases of one tax class.
    {"SELECT Sum([Bill_amt]) AS Amount FROM SP LEFT JOIN STAX ON SP.ST_TYPE = STAX.CODE WHERE "
     "SP.VTYPE='SA' AND STAX.VATTYPE=11 And ",
     "", kSpDate},
    {"SELECT Sum([Bill_amt]) AS Amount FROM SP LEFT JOIN STAX ON SP.ST_TYPE = STAX.CODE WHERE "
     "SP.VTYPE='PU' AND STAX.VATTYPE=10 And ",
     "", kSpDate},
    {"SELECT Sum([Bill_amt]) AS Amount FROM SP LEFT JOIN STAX ON SP.ST_TYPE = STAX.CODE WHERE "
     "SP.VTYPE='SA' AND STAX.VATTYPE=4 And ",
     "", kSpDate},
    {"SELECT Sum([Bill_amt]) AS Amount FROM SP LEFT JOIN STAX ON SP.ST_TYPE = STAX.CODE WHERE "
     "SP.VTYPE='PU' AND STAX.VATTYPE=5 And ",
     "", kSpDate},
    {"SELECT Sum([Bill_amt]) AS Amount FROM SP LEFT JOIN STAX ON SP.ST_TYPE = STAX.CODE WHERE "
     "SP.VTYPE='SA' AND STAX.VATTYPE=9 And ",
     "", kSpDate},
    {"SELECT Sum([Bill_amt]) AS Amount FROM SP LEFT JOIN STAX ON SP.ST_TYPE = STAX.CODE WHERE "
     "SP.VTYPE='PU' AND STAX.VATTYPE=8 And ",
     "", kSpDate},
    {"SELECT Sum([Bill_amt]) AS Amount FROM SP LEFT JOIN STAX ON SP.ST_TYPE = STAX.CODE WHERE "
     "SP.VTYPE='PU' AND (STAX.VATTYPE=7) And ",
     "", kSpDate},
    {"SELECT Sum([Bill_amt]) AS Amount FROM SP LEFT JOIN STAX ON SP.ST_TYPE = STAX.CODE WHERE "
     "SP.VTYPE='PU' AND (STAX.VATTYPE=6) And ",
     "", kSpDate},
    // Q11: taxable value behind "IC" tax postings.
    {"SELECT Sum((100*[Ledger].[Amt])/[Stax].[Pcn]) AS Bill_amt FROM LEDGER INNER JOIN STAX ON "
     "LEDGER.VATCODE = STAX.CODE WHERE (((STAX.VATDET)='IC')) and ",
     "", kLedgerDateBracketed},
    // Q12, Q13: tax types of TYPE "S" or VATTYPE 21.
    {"SELECT Sum([Bill_amt]) AS Amount FROM SP LEFT JOIN STAX ON SP.ST_TYPE = STAX.CODE WHERE "
     "SP.VTYPE='SA' AND (STAX.TYPE='S' or STAX.VATTYPE=21) AND ",
     "", kSpDate},
    {"SELECT Sum([Bill_amt]) AS Amount FROM SP LEFT JOIN STAX ON SP.ST_TYPE = STAX.CODE WHERE "
     "SP.VTYPE='PU' AND (STAX.TYPE='S' or STAX.VATTYPE=21) AND ",
     "", kSpDate},
    // Q14, Q15: bill less taxable amount less tax of "OV" sales and "IV" purchases.
    {"SELECT Sum([Bill_amt]-[Tax_amt]-[St_amt]) AS Amount FROM SP LEFT JOIN STAX ON SP.ST_TYPE = "
     "STAX.CODE WHERE SP.VTYPE='SA' AND (Stax.Vatdet='OV' and Stax.VatType<>18) And ",
     "", kSpDateBracketed},
    {"SELECT Sum([Bill_amt]-[Tax_amt]-[St_amt]) AS Amount FROM SP LEFT JOIN STAX ON SP.ST_TYPE = "
     "STAX.CODE WHERE (SP.VTYPE='PU') AND (Stax.VatDet='IV') And ",
     "", kSpDateBracketed},
    // Q16 to Q19: CST-class sales and purchases less their returns, and the returns alone.
    {"SELECT Sum(Iif(Sp.Vtype='SA',Sp.Bill_Amt,-Sp.Bill_amt)) AS Bill_Amt FROM STAX INNER JOIN SP "
     "ON STAX.CODE=SP.ST_TYPE WHERE (((SP.VTYPE)='SA' Or (SP.VTYPE)='SR') AND ((STAX.VATTYPE)=18 "
     "Or (STAX.VATTYPE)=12 Or Stax.Type='C')) and ",
     "", kSpDateBracketedMixedCase},
    {"SELECT Sum(Iif(Sp.Vtype='PU',Sp.Bill_Amt,-Sp.Bill_amt)) AS Bill_Amt FROM STAX INNER JOIN SP "
     "ON STAX.CODE=SP.ST_TYPE WHERE (((SP.VTYPE)='PU' Or (SP.VTYPE)='PR') AND ((STAX.VATTYPE)=13 "
     "Or Stax.Type='C')) and ",
     "", kSpDateBracketedMixedCase},
    {"SELECT Sum(Sp.Bill_Amt) AS Bill_Amt FROM STAX INNER JOIN SP ON STAX.CODE=SP.ST_TYPE WHERE "
     "(((SP.VTYPE)='SR') AND ((STAX.VATTYPE)=18 Or (STAX.VATTYPE)=12 Or Stax.Type='C')) and ",
     "", kSpDateBracketedMixedCase},
    {"SELECT Sum(Sp.Bill_amt) AS Bill_Amt FROM STAX INNER JOIN SP ON STAX.CODE=SP.ST_TYPE WHERE "
     "(((SP.VTYPE)='PR') AND ((STAX.VATTYPE)=13 Or Stax.Type='C')) and ",
     "", kSpDateBracketedMixedCase},
    // Q20: taxable amount plus tax of "IV" purchases.
    {"SELECT Sum([Sp].[Tax_amt]+[Sp].[St_amt]) AS Tax_amt FROM SP INNER JOIN STAX ON SP.ST_TYPE = "
     "STAX.CODE WHERE (SP.VTYPE='PU' AND STAX.VATDET='IV') and ",
     "", kSpDateBracketedMixedCase},
    // Q21 to Q24: all sale returns, tax on "OV" sale returns, all purchase returns, tax on
    // "IV" purchase returns.
    {"SELECT Sum(Bill_amt) AS Amount From SP WHERE (SP.VTYPE='SR') and ", "", kSpDateBracketed},
    {"SELECT Sum([sp].[St_amt]) AS Bill_amt FROM SP INNER JOIN STAX ON SP.ST_TYPE = STAX.CODE "
     "WHERE (STAX.VATDET='OV' and sp.vtype='SR') and ",
     "", kSpDateBracketed},
    {"SELECT Sum(Bill_amt) AS Amount From SP WHERE (SP.VTYPE='PR') and ", "", kSpDateBracketed},
    {"SELECT Sum([sp].[St_amt]) AS Bill_amt FROM SP INNER JOIN STAX ON SP.ST_TYPE = STAX.CODE "
     "WHERE (STAX.VATDET='IV' and sp.vtype='PR') and ",
     "", kSpDateBracketed},
    // Q25: net debit of postings with a VATTYPE 18 tax type.
    {"SELECT Sum(IIf(Ledger.DC='C',-Ledger.Amt,Ledger.Amt)) AS Bill_amt, "
     "Sum(IIf(Ledger.DC='C',Ledger.Amt,0)) AS VatDebit, Sum(IIf(Ledger.DC='D',Ledger.Amt,0)) AS "
     "VatCredit "
     "FROM STAX RIGHT JOIN Ledger ON STAX.CODE=Ledger.VATCODE "
     "Where (((STAX.VATTYPE) = 18)) and ",
     "", kLedgerDateBracketedMixedCase},
    // Q26: tax on VATTYPE 18 sales less their returns.
    {"SELECT Sum(IIf(Sp.Vtype='SA',sp.st_AMT,-Sp.st_amt)) AS Bill_amt "
     "FROM SP INNER JOIN STAX ON SP.ST_TYPE = STAX.CODE "
     "WHERE (((SP.VTYPE)='SA' Or (SP.VTYPE)='SR') AND ((STAX.VATTYPE)=18)) and ",
     "", kSpDateBracketedMixedCase},
    // Q27 to Q30: debit gross, debit tax, credit gross, credit tax of non-bill postings on the
    // VAT account.
    {"SELECT Sum(IIf([Ledger].[DC]='D',[Ledger].[Amt]+((100 * [Ledger].[Amt])/[Stax].[Pcn]),0)) "
     "AS Bill_amt ",
     kVatAccountNonBillPostings, kLedgerDateBracketedMixedCase},
    {"SELECT Sum(IIf([Ledger].[DC]='D',[Ledger].[Amt],0)) AS Bill_amt ", kVatAccountNonBillPostings,
     kLedgerDateBracketedMixedCase},
    {"SELECT Sum(IIf([Ledger].[DC]='C',[Ledger].[Amt]+((100 * [Ledger].[Amt])/[Stax].[Pcn]),0)) "
     "AS Bill_amt ",
     kVatAccountNonBillPostings, kLedgerDateBracketedMixedCase},
    {"SELECT Sum(IIf([Ledger].[DC]='C',[Ledger].[Amt],0)) AS Bill_amt ", kVatAccountNonBillPostings,
     kLedgerDateBracketedMixedCase},
};

std::string Join(std::initializer_list<std::string_view> pieces) {
  std::string text;
  for (std::string_view piece : pieces) text.append(piece);
  return text;
}

}  // namespace

std::vector<std::string> Form201AggregateQueries(std::string_view period_range) {
  std::vector<std::string> queries;
  queries.reserve(std::size(kAggregates));
  for (const Aggregate& aggregate : kAggregates) {
    queries.push_back(Join({aggregate.fixed, aggregate.shared, aggregate.date.open, period_range,
                            aggregate.date.close}));
  }
  return queries;
}

}  // namespace vatrix
