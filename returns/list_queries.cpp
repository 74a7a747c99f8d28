#include "returns/list_queries.h"

#include "hostdata/text.h"

namespace vatrix {

namespace {

// Bill part, 201A and 202A.
constexpr char kB1[] =
    "Select * From (SELECT SP.LINK, SP.DOCNO, SP.DATE,SP.BILL_AMT, SP.ST_TYPE,SP.PSCODE, "
    "SP.TAX_AMT, ((SP.TAX_AMT*(STAX.PCN-STAX.BC_TAX))/100) AS VAT_AMT, "
    "SP.ST_AMT-((SP.TAX_AMT*(STAX.PCN-STAX.BC_TAX))/100) AS ATX_AMT, "
    "SP.AT_AMT,SP.VTYPE,IIf(SP.CBR='R',ACT.NAME,CASHCUST.NAME) AS PARTY, "
    "IIf(SP.CBR='R',ACT.STNO,CASHCUST.STNO) AS STNO, IIf(SP.CBR='R',ACT.STNO,CASHCUST.STNO) AS "
    "CSTNO ";
// Bill part, 201B with tax types selected.
constexpr char kB2[] =
    "Select * From (SELECT SP.LINK, SP.DOCNO, SP.DATE,SP.BILL_AMT, SP.PSCODE, "
    "SP.ST_TYPE,SP.TAX_AMT, ((SP.TAX_AMT*(STAX.PCN-STAX.BC_TAX))/100) AS VAT_AMT, "
    "SP.ST_AMT-((SP.TAX_AMT*(STAX.PCN-STAX.BC_TAX))/100) AS ATX_AMT, "
    "SP.AT_AMT,SP.VTYPE,IIf(SP.CBR='R',ACT.NAME,CASHCUST.NAME) AS PARTY, "
    "IIf(SP.CBR='R',ACT.STNO,CASHCUST.STNO) AS STNO, IIf(SP.CBR='R',ACT.STNO,CASHCUST.STNO) AS "
    "CSTNO ";
// Bill part, 201B with all tax types.
constexpr char kB3[] =
    "Select * From (SELECT SP.LINK, SP.DOCNO, SP.DATE,SP.BILL_AMT,SP.PSCODE, "
    "SP.ST_TYPE,SP.TAX_AMT, ((SP.TAX_AMT*(STAX.PCN-STAX.BC_TAX))/100) AS VAT_AMT, "
    "SP.ST_AMT-((SP.TAX_AMT*(STAX.PCN-STAX.BC_TAX))/100) AS ATX_AMT, "
    "SP.AT_AMT,SP.VTYPE,IIf(SP.CBR='R',ACT.NAME,CASHCUST.NAME) AS PARTY, "
    "IIf(SP.CBR='R',ACT.STNO,CASHCUST.STNO) AS STNO, IIf(SP.CBR='R',ACT.STNO,CASHCUST.STNO) AS "
    "CSTNO ";
// Bill part, 202B.
constexpr char kB4[] =
    "SELECT SP.LINK, SP.DOCNO, SP.DATE,SP.BILL_AMT, SP.ST_TYPE,SP.PSCODE, SP.TAX_AMT, 0.00 AS "
    "VAT_AMT, 0.00 AS ATX_AMT, SP.AT_AMT,SP.VTYPE,IIf(SP.CBR='R',ACT.NAME,CASHCUST.NAME) AS PARTY, "
    "IIf(SP.CBR='R',ACT.STNO,CASHCUST.STNO) AS STNO, IIf(SP.CBR='R',ACT.STNO,CASHCUST.STNO) AS "
    "CSTNO ";
// Bill joins.
constexpr char kF1[] =
    "FROM CASHCUST RIGHT JOIN ((ACT RIGHT JOIN SP ON ACT.CODE=SP.CODE) INNER JOIN STAX ON "
    "SP.ST_TYPE=STAX.CODE) ON CASHCUST.CODE=SP.CODE ";
// Bill filter, 201A, tax types selected.
constexpr char kW1[] = "Where (STAX.VATTYPE <> 15 And SP.VTYPE = 'SA') And (";
// Bill filter, 201A, all tax types.
constexpr char kW2[] = "Where (STAX.VATTYPE <> 15 And SP.VTYPE = 'SA') And ";
// Bill filter, 201B and 202A, tax types selected.
constexpr char kW3[] = "Where (STAX.VATTYPE <> 14 And SP.VTYPE = 'PU') And (";
// Bill filter, 201B and 202A, all tax types.
constexpr char kW4[] = "Where (STAX.VATTYPE <> 14 And SP.VTYPE = 'PU') And ";
// Bill filter, 202B.
constexpr char kW5[] = "Where (SP.DATE";
// Item part, 201A and 202A.
constexpr char kI1[] =
    "SELECT ITVAT.LINK, SP.DOCNO, SP.DATE,SP.BILL_AMT, SP.ST_TYPE,SP.PSCODE, Sum(ITVAT.AMT) AS "
    "TAX_AMT, Sum((ITVAT.AMT*(STAX.PCN-STAX.BC_TAX))/100) AS VAT_AMT, "
    "Sum(ITVAT.VAT-((ITVAT.AMT*(STAX.PCN-STAX.BC_TAX))/100)) AS ATX_AMT, 0 as at_amt,SP.VTYPE, "
    "IIf(SP.CBR='R',ACT.NAME,CASHCUST.NAME) AS PARTY, IIf(SP.CBR='R',ACT.STNO,CASHCUST.STNO) AS "
    "STNO, IIf(SP.CBR='R',ACT.STNO,CASHCUST.STNO) AS CSTNO ";
// Item part, 201B.
constexpr char kI2[] =
    "SELECT ITVAT.LINK, SP.DOCNO, SP.DATE,SP.BILL_AMT, SP.PSCODE,SP.ST_TYPE, Sum(ITVAT.AMT) AS "
    "TAX_AMT, Sum((ITVAT.AMT*(STAX.PCN-STAX.BC_TAX))/100) AS VAT_AMT, "
    "Sum(ITVAT.VAT-((ITVAT.AMT*(STAX.PCN-STAX.BC_TAX))/100)) AS ATX_AMT, 0 as AT_AMT,SP.VTYPE, "
    "IIf(SP.CBR='R',ACT.NAME,CASHCUST.NAME) AS PARTY, IIf(SP.CBR='R',ACT.STNO,CASHCUST.STNO) AS "
    "STNO, IIf(SP.CBR='R',ACT.STNO,CASHCUST.STNO) AS CSTNO ";
// Item joins.
constexpr char kF2[] =
    "FROM ((ACT RIGHT JOIN ((ITVAT INNER JOIN STAX ON ITVAT.VATCODE = STAX.CODE) INNER JOIN SP ON "
    "ITVAT.LINK = SP.LINK) ON ACT.CODE = SP.CODE) LEFT JOIN CASHCUST ON SP.CODE = CASHCUST.CODE) "
    "INNER JOIN STAX AS STAX_1 ON SP.ST_TYPE = STAX_1.CODE ";
// Item filter, 201A, tax types selected.
constexpr char kX1[] = "Where (((STAX_1.VATTYPE) = 15)) And (";
// Item filter, 201A, all tax types.
constexpr char kX2[] = "Where (((STAX_1.VATTYPE) = 15)) And ";
// Item filter, 201B and 202A, tax types selected.
constexpr char kX3[] = "Where (((STAX_1.VATTYPE) = 14)) And (";
// Item filter, 201B and 202A, all tax types.
constexpr char kX4[] = "Where (((STAX_1.VATTYPE) = 14)) And ";
// Item grouping, 201A and 202A.
constexpr char kG1[] =
    "GROUP BY ITVAT.LINK, SP.DOCNO, SP.DATE,SP.BILL_AMT, SP.ST_TYPE,SP.PSCODE, SP.VTYPE, "
    "IIf(SP.CBR='R',ACT.NAME,CASHCUST.NAME), IIf(SP.CBR='R',ACT.STNO,CASHCUST.STNO), "
    "IIf(SP.CBR='R',ACT.STNO,CASHCUST.STNO) ";
// Item grouping, 201B.
constexpr char kG2[] =
    "GROUP BY ITVAT.LINK, SP.DOCNO, SP.DATE,SP.BILL_AMT, SP.PSCODE, SP.ST_TYPE,SP.VTYPE, "
    "IIf(SP.CBR='R',ACT.NAME,CASHCUST.NAME), IIf(SP.CBR='R',ACT.STNO,CASHCUST.STNO), "
    "IIf(SP.CBR='R',ACT.STNO,CASHCUST.STNO) ";
// Group filter, sales (201A).
constexpr char kH1[] = "Having (((SP.VTYPE) = 'SA'))) as ItemVat ";
// Group filter, purchases (201B, 202A).
constexpr char kH2[] = "Having (((SP.VTYPE) = 'PU'))) as ItemVat ";
// Account filter on the union.
constexpr char kK1[] = "WHERE (ItemVat.PSCODE IN (";
// Account filter, 202B.
constexpr char kK2[] = "(SP.PSCODE IN (";
// Order of the union.
constexpr char kO1[] = "ORDER BY ItemVat.DATE, ItemVat.DOCNO";
// Order, 202B.
constexpr char kO2[] = "ORDER BY Sp.DATE, Sp.DOCNO";
// CST list head.
constexpr char kC1[] = "SELECT SP.LINK, SP.DOCNO, ";
// CST sales columns.
constexpr char kC2[] =
    " AS SPDATE, SP.BILL_AMT,SP.PSCODE, SP.TAX_AMT, SP.ST_AMT, SP.FORM_REQ, STAX.CODE, SP.VTYPE, "
    "STAX.NAME as TaxName, IIf(SP.CBR='R',ACT.NAME,CASHCUST.NAME) AS PARTY, FORMMAST.NAME as "
    "FName, ";
// CST purchase columns.
constexpr char kC3[] =
    " AS SPDATE,SP.BILL_AMT,SP.PSCODE, SP.TAX_AMT, SP.ST_AMT, SP.FORM_REQ, STAX.CODE, SP.VTYPE, "
    "STAX.NAME as TaxName, IIf(SP.CBR='R',ACT.NAME,CASHCUST.NAME) AS PARTY, FORMMAST.NAME as "
    "FName, ";
// CST party columns, part 1.
constexpr char kC4[] =
    "IIf(SP.CBR='R',ACT.STNO,CASHCUST.STNO) AS STNO, IIf(SP.CBR='R',ACT.CSTNO,CASHCUST.CSTNO) AS "
    "CSTNO, IIf(SP.CBR='R',ACT.ADD3,CASHCUST.ADD3) AS ADD3, ";
// CST party columns, part 2, sales.
constexpr char kC5[] =
    "IIf(SP.CBR='R',ACT.ITNO,CASHCUST.ITNO) AS ITNO, IIf(SP.CBR='R',ACT.LICNO,CASHCUST.LICNO) AS "
    "LICNO, IIf(SP.CBR='R',ACT.EMAIL,CASHCUST.EMAIL) AS EMAIL,  IIf(SP.CBR='R',ACT.STATE,' ') AS "
    "STATE,IIf(SP.CBR='R',ACT.CATEGORY,CASHCUST.CATEGORY) AS CATEGORY ";
// CST party columns, part 2, purchases.
constexpr char kC6[] =
    "IIf(SP.CBR='R',ACT.ITNO,CASHCUST.ITNO) AS ITNO, IIf(SP.CBR='R',ACT.LICNO,CASHCUST.LICNO) AS "
    "LICNO, IIf(SP.CBR='R',ACT.EMAIL,CASHCUST.EMAIL) AS EMAIL, "
    "IIf(SP.CBR='R',ACT.CATEGORY,CASHCUST.CATEGORY) AS CATEGORY, IIf(SP.CBR='R',ACT.STATE,' ') AS "
    "STATE ";
// CST joins.
constexpr char kC7[] =
    "FROM (CASHCUST RIGHT JOIN ((SP LEFT JOIN ACT ON SP.CODE = ACT.CODE) INNER JOIN STAX ON "
    "SP.ST_TYPE = STAX.CODE) ON CASHCUST.CODE = SP.CODE) LEFT JOIN FORMMAST ON SP.FORM_TYPE = "
    "FORMMAST.CODE ";
// CST sales filter.
constexpr char kC8[] = "WHERE (SP.FORM_REQ=TRUE And Sp.Vtype='SA') And ";
// CST purchase filter.
constexpr char kC9[] = "WHERE (SP.FORM_REQ=TRUE And Sp.Vtype='PU') And ";
// Order, CST sales.
constexpr char kO3[] = "ORDER BY SP.DATE, SP.DOCNO";

// The union of the bill-level and the item-wise part of a 201A, 201B or 202A list.
struct UnionPieces {
  const char* bill_head;
  const char* bill_filter_selected;
  const char* bill_filter_all;
  const char* item_head;
  const char* item_filter_selected;
  const char* item_filter_all;
  const char* grouping;
  const char* having;
};

std::string UnionQuery(const UnionPieces& p, const ListQueryInputs& in) {
  const std::string& period = in.period_range;
  std::string q;
  if (in.tax_types_selected) {
    q = std::string(p.bill_head) + kF1 + p.bill_filter_selected + in.tax_filter + ") And " +
        "(SP.DATE" + period + ") " + "UNION " + p.item_head + kF2 + p.item_filter_selected +
        in.tax_filter + ") And " + "SP.DATE" + period;
  } else {
    q = std::string(p.bill_head) + kF1 + p.bill_filter_all + "(SP.DATE" + period + ") " + "UNION " +
        p.item_head + kF2 + p.item_filter_all + "SP.DATE" + period;
  }
  return q + p.grouping + p.having + kK1 + std::string(Trim(in.account_codes)) + ")) " + kO1;
}

std::string SalesReturnsQuery(const ListQueryInputs& in) {
  return std::string(kB4) + kF1 + kW5 + in.period_range + ") And " + kK2 +
         std::string(Trim(in.account_codes)) + ")) " + kO2;
}

std::string CstQuery(bool sales, const ListQueryInputs& in) {
  const std::string date =
      in.use_stock_date ? "IIf(IsDate(SP.STOCKDT),SP.STOCKDT,SP.DATE)" : "SP.DATE";
  std::string q = kC1 + date + (sales ? kC2 : kC3) + kC4 + (sales ? kC5 : kC6) + kC7 +
                  (sales ? kC8 : kC9) + "(" + date + in.period_range + ") ";
  return q + (sales ? std::string(kO3) : "ORDER BY " + date + ", sp.DOCNO");
}

}  // namespace

std::string Sales201AQuery(const ListQueryInputs& inputs) {
  return UnionQuery({kB1, kW1, kW2, kI1, kX1, kX2, kG1, kH1}, inputs);
}

std::string Purchase201BQuery(const ListQueryInputs& inputs) {
  return UnionQuery({inputs.tax_types_selected ? kB2 : kB3, kW3, kW4, kI2, kX3, kX4, kG2, kH2},
                    inputs);
}

std::string Purchase202AQuery(const ListQueryInputs& inputs) {
  return UnionQuery({kB1, kW3, kW4, kI1, kX3, kX4, kG1, kH2}, inputs);
}

std::string Sales202BQuery(const ListQueryInputs& inputs) { return SalesReturnsQuery(inputs); }

std::string CstSalesQuery(const ListQueryInputs& inputs) { return CstQuery(true, inputs); }

std::string CstPurchaseQuery(const ListQueryInputs& inputs) { return CstQuery(false, inputs); }

}  // namespace vatrix
