#include "hostdata/jet_sql.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "hostdata/host_error.h"
#include "hostdata/jet_functions.h"

namespace vatrix {
namespace {

using Rows = std::vector<std::vector<std::string>>;
using Names = std::vector<std::string>;

std::string Sql(std::string_view jet) { return TranslateJetSql(jet).sql; }
Names Tables(std::string_view jet) { return TranslateJetSql(jet).tables; }

// The rejection of `jet`; fails the test when it translates.
HostError Rejection(std::string_view jet) {
  try {
    TranslateJetSql(jet);
  } catch (const HostError& error) {
    return error;
  }
  ADD_FAILURE() << "translated: " << jet;
  return HostError(0, "", "");
}

TEST(JetSqlTest, LiteralsAndNamesAreNotRewrittenInside) {
  EXPECT_EQ(Sql("SELECT 'True & #1/1/2015# [x] IsNull(' AS A FROM SP"),
            "SELECT 'True & #1/1/2015# [x] IsNull(' COLLATE NOCASE AS A FROM SP");
  EXPECT_EQ(Sql("SELECT \"it's \"\"x\"\"\" FROM SP"),
            "SELECT 'it''s \"x\"' COLLATE NOCASE FROM SP");
  EXPECT_EQ(Sql("SELECT [a 'b' #1/1/2015#] FROM SP"), "SELECT \"a 'b' #1/1/2015#\" FROM SP");
  EXPECT_EQ(Sql("SELECT [say \"hi\"] FROM SP"), "SELECT \"say \"\"hi\"\"\" FROM SP");
}

TEST(JetSqlTest, DateLiteralsBecomeStoredDates) {
  EXPECT_EQ(Sql("SELECT * FROM SP WHERE SP.DATE Between #4/1/2015# and #04/30/2015# "),
            "SELECT * FROM SP WHERE SP.DATE Between '2015-04-01' and '2015-04-30'");
  EXPECT_EQ(Sql("SELECT * FROM SP WHERE DATE<# 2/29/2016 #"),
            "SELECT * FROM SP WHERE DATE<'2016-02-29'");
  EXPECT_EQ(Sql("SELECT * FROM SP WHERE DATE=#2016-03-31#"),
            "SELECT * FROM SP WHERE DATE='2016-03-31'");
  for (const char* bad : {"#2/30/2015#", "#2/29/2015#", "#13/1/2015#", "#4/1/15#", "#4/1#",
                          "#4-1-2015#", "##", "#4/1/2015 10:00#"}) {
    const HostError error = Rejection(std::string("SELECT * FROM SP WHERE DATE=") + bad);
    EXPECT_EQ(error.number(), kQueryRejected) << bad;
    EXPECT_NE(error.description().find("at offset 28"), std::string::npos) << bad;
  }
}

TEST(JetSqlTest, RejectionsSayWhatAndWhere) {
  struct Case {
    const char* text;
    const char* what;
    const char* where;
  } cases[] = {
      {"SELECT 'abc FROM SP", "Unterminated string", "offset 7"},
      {"SELECT \"abc FROM SP", "Unterminated string", "offset 7"},
      {"SELECT [abc FROM SP", "Unterminated bracketed", "offset 7"},
      {"SELECT [] FROM SP", "Empty bracketed", "offset 7"},
      {"SELECT * FROM SP WHERE DATE=#4/1/2015", "Unterminated date", "offset 28"},
      {"SELECT ((1) FROM SP", "Unclosed '('", "offset 7"},
      {"SELECT (1)) FROM SP", "Unbalanced ')'", "offset 10"},
      {"SELECT * FROM SP WHERE CODE=?", "Unexpected character '?'", "offset 28"},
      {"SELECT * FROM SP; DELETE FROM SP", "after the end", "offset 18"},
      {"DELETE FROM SP", "Only SELECT", "offset 0"},
      {"", "Only SELECT", "offset 0"},
      {"SELECT 'é', [x", "Unterminated bracketed", "offset 12"},  // characters, not bytes
  };
  for (const Case& c : cases) {
    const HostError error = Rejection(c.text);
    EXPECT_EQ(error.number(), kQueryRejected) << c.text;
    EXPECT_NE(error.description().find(c.what), std::string::npos) << error.description();
    EXPECT_NE(error.description().find(c.where), std::string::npos) << error.description();
    EXPECT_EQ(error.source(), std::string("query: ") + c.text);
  }
  const std::string with_nul("SELECT * FROM SP WHERE CODE='a\0' OR 1=1", 40);
  EXPECT_NE(Rejection(with_nul).description().find("0x00 at offset 30"), std::string::npos);
  EXPECT_EQ(Sql("SELECT * FROM SP ; "), "SELECT * FROM SP");
}

TEST(JetSqlTest, ProviderFunctionsAndLogicals) {
  EXPECT_EQ(Sql("SELECT IIf(IsNull(Stock.ChlnLink),0,Val (Narr1)) FROM Stock"),
            "SELECT IIf(jet_isnull(Stock.ChlnLink),0.0,jet_val (Narr1)) FROM Stock");
  EXPECT_EQ(Sql("SELECT Format(Month([DATE]),'00'), ucase(mid(Name,1,2)) FROM LEDGER"),
            "SELECT jet_format(jet_month(DATE),'00' COLLATE NOCASE), jet_ucase(jet_mid(Name,1.0,"
            "2.0)) FROM LEDGER");
  // Names that are function names elsewhere stay column names.
  EXPECT_EQ(Sql("SELECT T.Format, Val, Month FROM T"), "SELECT T.Format, Val, Month FROM T");
  EXPECT_EQ(Sql("SELECT * FROM SP WHERE SP.FORM_REQ=TRUE And (a='SA' Or b='SR') = False"),
            "SELECT * FROM SP WHERE SP.FORM_REQ=1 And (a='SA' COLLATE NOCASE Or b='SR' COLLATE "
            "NOCASE) = 0");
  EXPECT_EQ(Sql("SELECT [True], T.[False] FROM T"), "SELECT \"True\", T.\"False\" FROM T");
  EXPECT_EQ(Sql("SELECT a & 'x', a--1, 2.5e3, .5 FROM T"),
            "SELECT a || 'x' COLLATE NOCASE, a- -1.0, 2.5e3, .5 FROM T");
}

TEST(JetSqlTest, NamesThatAreSqliteKeywordsAreQuoted) {
  EXPECT_EQ(Sql("Select ACT.Name as [Select Tax Invoice Sales A/c Name], Code, Flag, Tag From ACT "
                "Where ACT.Group='100005' Order By ACT.Name ASC"),
            "Select ACT.Name as \"Select Tax Invoice Sales A/c Name\", Code, Flag, Tag From ACT "
            "Where ACT.\"Group\"='100005' COLLATE NOCASE Order By ACT.Name ASC");
  EXPECT_EQ(Sql("SELECT [Group], [ACT].[Amt], Key, T.Order, Values FROM T"),
            "SELECT \"Group\", ACT.Amt, \"Key\", T.\"Order\", \"Values\" FROM T");
}

TEST(JetSqlTest, ParenthesesAroundUnionMembersGo) {
  EXPECT_EQ(Sql("(SELECT A FROM T) UNION ALL (SELECT B FROM U) ORDER BY A"),
            " SELECT A FROM T  UNION ALL  SELECT B FROM U  ORDER BY A");
  EXPECT_EQ(Sql("SELECT * FROM ((SELECT A FROM T)UNION(SELECT B FROM U)) AS X"),
            "SELECT * FROM ( SELECT A FROM T UNION SELECT B FROM U ) AS X");
  // Not union members: a condition, a derived table before UNION, a subquery in IN.
  const char* kept[] = {
      "SELECT * FROM SP WHERE ((SP.VTYPE)=1.0)",
      "SELECT A FROM (SELECT A FROM T) UNION SELECT B FROM U",
      "SELECT A FROM T WHERE A IN (SELECT B FROM U) UNION SELECT C FROM V",
      "SELECT A FROM T WHERE ((SELECT 1.0) + 1.0) = A",
  };
  for (const char* text : kept) EXPECT_EQ(Sql(text), text);
}

TEST(JetSqlTest, RightJoinsBecomeLeftJoinsWithOperandsSwapped) {
  EXPECT_EQ(Sql("SELECT X FROM STAX RIGHT JOIN Ledger ON STAX.CODE=Ledger.VATCODE Where A=1"),
            "SELECT X FROM Ledger LEFT JOIN STAX ON STAX.CODE=Ledger.VATCODE Where A=1.0");
  // Nested: the inner join is turned first, the outer one moves the whole group.
  EXPECT_EQ(Sql("SELECT SP.LINK FROM CASHCUST RIGHT JOIN ((ACT RIGHT JOIN SP ON ACT.CODE=SP.CODE) "
                "INNER JOIN STAX ON SP.ST_TYPE=STAX.CODE) ON CASHCUST.CODE=SP.CODE WHERE X=1"),
            "SELECT SP.LINK FROM (( SP LEFT JOIN ACT ON ACT.CODE=SP.CODE) INNER JOIN STAX ON "
            "SP.ST_TYPE=STAX.CODE) LEFT JOIN CASHCUST ON CASHCUST.CODE=SP.CODE WHERE X=1.0");
  // A left operand that is a chain of joins is kept together; aliases travel with their table.
  EXPECT_EQ(
      Sql("SELECT a FROM A INNER JOIN B ON x=y RIGHT OUTER JOIN C AS c1 ON c1.q=B.q ORDER BY a"),
      "SELECT a FROM C AS c1 LEFT OUTER JOIN ( A INNER JOIN B ON x=y ) ON c1.q=B.q ORDER BY a");
  // SELECT * lists the columns in join order: left as written.
  EXPECT_EQ(Sql("SELECT * FROM STAX RIGHT JOIN SP ON a=b"),
            "SELECT * FROM STAX RIGHT JOIN SP ON a=b");
  EXPECT_EQ(Sql("SELECT SP.* FROM STAX RIGHT JOIN SP ON a=b"),
            "SELECT SP.* FROM STAX RIGHT JOIN SP ON a=b");
}

TEST(JetSqlTest, DivisionsBecomeCallsThatRefuseZero) {
  EXPECT_EQ(Sql("SELECT Sum((100*[Ledger].[Amt])/[Stax].[Pcn]) FROM L"),
            "SELECT Sum( jet_div( (100.0*Ledger.Amt) , Stax.Pcn ) ) FROM L");
  // Operands as the provider binds them: a product divides whole, a sign stays with its value.
  EXPECT_EQ(Sql("SELECT a*b/c, -x/y.z, Sum(a)/Count(*), 1/2/4, x+y/f(z)*w FROM T"),
            "SELECT jet_div( a*b , c ) , jet_div( -x , y.z ) , jet_div( Sum(a) , Count(*) ) , "
            "jet_div( jet_div( 1.0 , 2.0 ) , 4.0 ) , x+ jet_div( y , f(z) ) *w FROM T");
  EXPECT_EQ(Sql("SELECT [A/c Name] FROM T WHERE D = #4/1/2015#"),
            "SELECT \"A/c Name\" FROM T WHERE D = '2015-04-01'");
}

TEST(JetSqlTest, RangesLongerThanTwoMonthsTellThePlannerTheyAreWide) {
  // A year, a half-year and a quarter: the planner reads the table, not the date index.
  EXPECT_EQ(Sql("SELECT * FROM SP WHERE (SP.DATE Between #4/1/2015# and #3/31/2016# )"),
            "SELECT * FROM SP WHERE ( likelihood( SP.DATE Between '2015-04-01' and "
            "'2016-03-31' , 0.9) )");
  EXPECT_EQ(Sql("SELECT * FROM SP WHERE [Sp].[Date] Between #10/1/2015# and #3/31/2016# And x"),
            "SELECT * FROM SP WHERE likelihood( Sp.Date Between '2015-10-01' and '2016-03-31' "
            ", 0.9) And x");
  EXPECT_TRUE(TranslateJetSql("SELECT * FROM SP WHERE SP.DATE Between #4/1/2015# and #6/30/2015# ")
                  .long_date_range);
  // A range beside an OR is hinted but does not make the query read the whole period.
  const std::string range = "L.DATE Between #4/1/2015# and #3/1/2016# ";
  EXPECT_TRUE(TranslateJetSql("SELECT * FROM L WHERE ((a = 1 Or b = 2) And (" + range + "))")
                  .long_date_range);
  EXPECT_TRUE(TranslateJetSql("SELECT x FROM L INNER JOIN A ON A.C = L.C WHERE (((a)=1)) And " +
                              range + "GROUP BY x")
                  .long_date_range);
  for (const std::string& branch : {"SELECT * FROM L WHERE (a = 1) Or (b = 2) And " + range,
                                    "SELECT * FROM L WHERE a = 1 Or (b = 2 And (" + range + "))",
                                    "SELECT * FROM L WHERE Not (b = 2 And " + range + ")"}) {
    const TranslatedQuery query = TranslateJetSql(branch);
    EXPECT_NE(query.sql.find("likelihood("), std::string::npos) << branch;
    EXPECT_FALSE(query.long_date_range) << branch;
  }
  // Two months and less, a NOT BETWEEN and bounds that are not dates stay as written.
  for (const char* jet : {"SELECT * FROM SP WHERE SP.DATE Between #1/1/2016# and #2/29/2016# ",
                          "SELECT * FROM SP WHERE SP.DATE Between #4/1/2015# and #4/30/2015# ",
                          "SELECT * FROM SP WHERE SP.DATE Not Between #4/1/2015# and #3/31/2016# ",
                          "SELECT * FROM SP WHERE SP.AMT Between 1 and 1000000"}) {
    EXPECT_EQ(Sql(jet).find("likelihood("), std::string::npos) << jet;
    EXPECT_FALSE(TranslateJetSql(jet).long_date_range) << jet;
  }
}

TEST(JetSqlTest, TablesAreNamesInTablePosition) {
  EXPECT_EQ(Tables("SELECT * FROM ((SP INNER JOIN ITVAT ON SP.LINK = ITVAT.LINK) INNER JOIN STAX "
                   "ON ITVAT.VATCODE = STAX.CODE) INNER JOIN STAX AS STAX_1 ON SP.ST_TYPE = "
                   "STAX_1.CODE"),
            (Names{"SP", "ITVAT", "STAX"}));
  EXPECT_EQ(Tables("SELECT * FROM ACT RIGHT JOIN (STAX INNER JOIN [Sp] ON STAX.CODE = sp.ST_TYPE) "
                   "ON ACT.CODE = SP.CODE"),
            (Names{"ACT", "STAX", "Sp"}));
  EXPECT_EQ(Tables("Select * From (SELECT SP.LINK FROM SP UNION SELECT ITVAT.LINK FROM ITVAT) as "
                   "ItemVat WHERE ItemVat.LINK IN (SELECT LINK FROM LEDGER)"),
            (Names{"SP", "ITVAT", "LEDGER"}));
  EXPECT_EQ(Tables("SELECT A.X, B.Y FROM Product A, Batch B, (SELECT Z FROM Stock) C WHERE "
                   "IIf(A.X, B.Y, C.Z) IN (1, 2) GROUP BY A.X, B.Y"),
            (Names{"Product", "Batch", "Stock"}));
  EXPECT_EQ(Tables("SELECT Sum(IIf(a, b, c)) FROM LEDGER L LEFT JOIN ACT ON f(L.a, ACT.b)"),
            (Names{"LEDGER", "ACT"}));
}

// An in-memory database laid out as the engine loads the host tables, with a few rows.
class JetQueryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
    RegisterJetFunctions(db_);
    Exec(R"(
      CREATE TABLE SP (LINK REAL, DOCNO TEXT COLLATE NOCASE, DATE DATE_TEXT, STOCKDT DATE_TEXT,
        VTYPE TEXT COLLATE NOCASE, CODE TEXT COLLATE NOCASE, CBR TEXT COLLATE NOCASE,
        PSCODE TEXT COLLATE NOCASE, ST_TYPE TEXT COLLATE NOCASE, BILL_AMT REAL, TAX_AMT REAL,
        ST_AMT REAL, AT_AMT REAL, FORM_REQ LOGICAL_INT, FORM_TYPE TEXT COLLATE NOCASE);
      CREATE TABLE ITVAT (LINK REAL, VATCODE TEXT COLLATE NOCASE, AMT REAL, VAT REAL);
      CREATE TABLE STAX (CODE TEXT COLLATE NOCASE, NAME TEXT COLLATE NOCASE, PCN REAL,
        BC_TAX REAL, VATTYPE REAL, VATDET TEXT COLLATE NOCASE, TYPE TEXT COLLATE NOCASE,
        TAG TEXT COLLATE NOCASE);
      CREATE TABLE ACT (CODE TEXT COLLATE NOCASE, NAME TEXT COLLATE NOCASE,
        STNO TEXT COLLATE NOCASE, CSTNO TEXT COLLATE NOCASE, ADD3 TEXT COLLATE NOCASE,
        ITNO TEXT COLLATE NOCASE, LICNO TEXT COLLATE NOCASE, EMAIL TEXT COLLATE NOCASE,
        CATEGORY TEXT COLLATE NOCASE, STATE TEXT COLLATE NOCASE, "GROUP" TEXT COLLATE NOCASE,
        ACT_TYPE REAL, OPBAL REAL, FLAG TEXT COLLATE NOCASE, TAG TEXT COLLATE NOCASE);
      CREATE TABLE CASHCUST (CODE TEXT COLLATE NOCASE, NAME TEXT COLLATE NOCASE,
        STNO TEXT COLLATE NOCASE, CSTNO TEXT COLLATE NOCASE, ADD3 TEXT COLLATE NOCASE,
        ITNO TEXT COLLATE NOCASE, LICNO TEXT COLLATE NOCASE, EMAIL TEXT COLLATE NOCASE,
        CATEGORY TEXT COLLATE NOCASE);
      CREATE TABLE LEDGER (CODE TEXT COLLATE NOCASE, DATE DATE_TEXT, VTYPE TEXT COLLATE NOCASE,
        DC TEXT COLLATE NOCASE, AMT REAL, VATCODE TEXT COLLATE NOCASE, NARR1 TEXT COLLATE NOCASE);
      CREATE TABLE STOCK (CODE TEXT COLLATE NOCASE, BATCHNO TEXT COLLATE NOCASE, DATE DATE_TEXT,
        QTY REAL, AL TEXT COLLATE NOCASE, CHLNLINK TEXT COLLATE NOCASE);
      CREATE TABLE PRODUCT (CODE TEXT COLLATE NOCASE, NAME TEXT COLLATE NOCASE,
        UNIT1 TEXT COLLATE NOCASE, OP_QTY REAL, CLRATE REAL, BATCH LOGICAL_INT);
      CREATE TABLE BATCH (CODE TEXT COLLATE NOCASE, BATCHNO TEXT COLLATE NOCASE, OP_QTY REAL,
        CLRATE REAL);
      CREATE TABLE FORMMAST (CODE TEXT COLLATE NOCASE, NAME TEXT COLLATE NOCASE);
      CREATE TABLE COMPANY (CODE REAL, NAME TEXT COLLATE NOCASE, DFR DATE_TEXT, DTO DATE_TEXT);

      INSERT INTO STAX VALUES ('1', 'Vat 5', 5, 1, 4, 'OV', 'V', ''),
        ('2', 'Itemwise Sale', 0, 0, 15, 'OV', 'V', ''), ('3', 'Purchase 5', 5, 5, 6, 'IV', 'V', ''),
        ('4', 'CST 2', 2, 0, 12, 'OV', 'C', ''), ('5', 'Vat 18', 5, 0, 18, 'OV', 'V', ''),
        ('6', 'Input 12.5', 12.5, 0, 5, 'IV', 'V', ''), ('7', 'Vat 1', 1, 0, 4, 'OV', 'V', '');
      INSERT INTO ACT (CODE, NAME, STNO, CSTNO, STATE, "GROUP", ACT_TYPE, OPBAL) VALUES
        ('10', 'Sales A/c', '', '', '', '100005', 0, 0),
        ('11', 'Purchase A/c', '', '', '', '100006', 0, 0),
        ('20', 'Ravi Traders', 'T20', 'C20', 'Gujarat', '', 0, 0),
        ('90', 'VAT A/c', '', '', '', '', 90, -500);
      INSERT INTO CASHCUST (CODE, NAME, STNO, CSTNO) VALUES ('30', 'Cash Party', '', '');
      INSERT INTO SP VALUES
        (1, 'S1', '2015-04-05', NULL, 'SA', '20', 'R', '10', '1', 105, 100, 5, 0, 0, ''),
        (2, 'S2', '2015-04-10', NULL, 'SA', '30', 'C', '10', '2', 210, 0, 10, 0, 0, ''),
        (3, 'P1', '2015-04-07', NULL, 'PU', '20', 'R', '11', '3', 200, 190, 10, 0, 0, ''),
        (4, 'S3', '2015-04-20', '2015-05-02', 'SA', '20', 'R', '10', '4', 102, 100, 2, 0, 1, 'C'),
        (5, 'S4', '2015-05-03', '2015-04-28', 'SA', '30', 'C', '10', '4', 51, 50, 1, 0, 1, 'C'),
        (6, 'S5', '2015-04-15', NULL, 'SA', '20', 'R', '10', '7', 101, 100, 1, 0, 0, '');
      INSERT INTO ITVAT VALUES (2, '1', 100, 5), (2, '1', 100, 5);
      INSERT INTO FORMMAST VALUES ('C', 'CST-Form C');
      INSERT INTO LEDGER VALUES ('90', '2015-04-05', 'SA', 'C', 5, '1', ''),
        ('90', '2015-04-07', 'PU', 'D', 10, '3', ''), ('90', '2015-04-25', 'JV', 'D', 12.5, '6', ''),
        ('90', '2015-04-30', 'JV', 'D', 7, NULL, ''), ('90', '2015-05-15', 'JV', 'D', 1, '6', ''),
        ('90', '2015-06-01', 'PU', 'D', 3, '3', ''), ('40', '2015-04-12', 'SA', 'C', 20, '5', ''),
        ('40', '2015-04-13', 'JV', 'D', 9, NULL, '');
      INSERT INTO PRODUCT VALUES ('P1', 'Widget', 'Nos', 10, 2, 0), ('P2', 'Gadget', 'Nos', 4, 0, 1),
        ('P3', 'Idle', 'Nos', 0, 1, 0);
      INSERT INTO BATCH VALUES ('P2', 'B1', 4, 3), ('P2', 'B2', 0, 1);
      INSERT INTO STOCK VALUES ('P1', '', '2015-04-02', 5, 'A', NULL),
        ('P1', '', '2015-04-03', 3, 'L', NULL), ('P1', '', '2015-04-04', 100, 'A', 'CH1'),
        ('P2', 'B1', '2015-03-20', 2, 'A', NULL), ('P2', 'B2', '2015-03-25', 1, 'A', NULL),
        ('P2', 'B2', '2015-04-09', 1, 'L', NULL);
      INSERT INTO COMPANY VALUES (1, 'Sagar Traders', '2015-04-01', '2016-03-31'),
        (2, 'sample co', '2015-04-01', '2016-03-31'), (3, 'Bharat', '2015-04-01', '2016-03-31');
    )");
  }
  void TearDown() override { sqlite3_close(db_); }

  void Exec(const char* sql) {
    char* error = nullptr;
    ASSERT_EQ(sqlite3_exec(db_, sql, nullptr, nullptr, &error), SQLITE_OK) << error;
  }

  // Translates and runs `jet`; each value as text ("NULL", numbers as %.10g).
  Rows Run(const std::string& jet) {
    const TranslatedQuery query = TranslateJetSql(jet);
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, query.sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
      ADD_FAILURE() << sqlite3_errmsg(db_) << "\n" << query.sql;
      return {};
    }
    Rows rows;
    while (sqlite3_step(statement) == SQLITE_ROW) {
      std::vector<std::string> row;
      for (int i = 0; i < sqlite3_column_count(statement); ++i) row.push_back(Text(statement, i));
      rows.push_back(row);
    }
    EXPECT_EQ(sqlite3_errcode(db_), SQLITE_DONE) << sqlite3_errmsg(db_);
    sqlite3_finalize(statement);
    return rows;
  }

  static std::string Text(sqlite3_stmt* statement, int column) {
    switch (sqlite3_column_type(statement, column)) {
      case SQLITE_NULL:
        return "NULL";
      case SQLITE_INTEGER:
      case SQLITE_FLOAT: {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.10g", sqlite3_column_double(statement, column));
        return buffer;
      }
      default:
        return reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    }
  }

  sqlite3* db_ = nullptr;
};

const std::string kApril = " Between #4/1/2015# and #4/30/2015# ";

TEST_F(JetQueryTest, LedgerAggregatesOverOuterAndNestedJoins) {
  // Tax postings of VATTYPE 18, the ledger kept whole by a RIGHT JOIN.
  EXPECT_EQ(Run("SELECT Sum(IIf(Ledger.DC='C',-Ledger.Amt,Ledger.Amt)) AS Bill_amt, "
                "Sum(IIf(Ledger.DC='C',Ledger.Amt,0)) AS VatDebit, Sum(IIf(Ledger.DC='D',"
                "Ledger.Amt,0)) AS VatCredit FROM STAX RIGHT JOIN Ledger ON "
                "STAX.CODE=Ledger.VATCODE Where (((STAX.VATTYPE) = 18)) and (Ledger.Date" +
                kApril + ")"),
            (Rows{{"-20", "20", "0"}}));
  // Debit tax postings of non-bill vouchers on the VAT account, grossed up by the rate.
  EXPECT_EQ(Run("SELECT Sum(IIf([Ledger].[DC]='D',[Ledger].[Amt]+((100 * [Ledger].[Amt])/"
                "[Stax].[Pcn]),0)) AS Bill_amt FROM ACT INNER JOIN (LEDGER INNER JOIN STAX ON "
                "LEDGER.VATCODE = STAX.CODE) ON ACT.CODE = LEDGER.CODE WHERE "
                "(((LEDGER.VTYPE)<>'SA' And (LEDGER.VTYPE)<>'SR' And (LEDGER.VTYPE)<>'PR' And "
                "(LEDGER.VTYPE)<>'PU') AND ((STAX.VATTYPE)<>18) AND ((STAX.TYPE)='V') AND "
                "((ACT.ACT_TYPE)=90)) AND (Ledger.Date" +
                kApril + ")"),
            (Rows{{"112.5"}}));
}

TEST_F(JetQueryTest, RightJoinKeepsEveryRowOfTheRightTable) {
  // Bills without an account row (the cash party, S2 and S4) stay, with a null name.
  EXPECT_EQ(Run("SELECT SP.DOCNO, ACT.NAME FROM ACT RIGHT JOIN SP ON ACT.CODE = SP.CODE "
                "ORDER BY SP.DOCNO"),
            (Rows{{"P1", "Ravi Traders"},
                  {"S1", "Ravi Traders"},
                  {"S2", "NULL"},
                  {"S3", "Ravi Traders"},
                  {"S4", "NULL"},
                  {"S5", "Ravi Traders"}}));
}

TEST_F(JetQueryTest, AWideRangeFindsTheSameRows) {
  const std::string year = " Between #4/1/2015# and #3/31/2016# ";
  const std::string wide_year = " Between #1/1/2015# and #12/31/2016# ";
  EXPECT_NE(TranslateJetSql("SELECT Count(*) FROM SP WHERE SP.DATE" + year).sql.find("likelihood"),
            std::string::npos);
  EXPECT_EQ(Run("SELECT Count(*), Sum(SP.BILL_AMT) FROM SP WHERE SP.DATE" + year),
            Run("SELECT Count(*), Sum(SP.BILL_AMT) FROM SP WHERE SP.DATE >= #4/1/2015# And "
                "SP.DATE <= #3/31/2016#"));
  EXPECT_EQ(Run("SELECT Count(*) FROM SP WHERE Not (SP.DATE" + wide_year + ")"),
            Run("SELECT Count(*) FROM SP WHERE SP.DATE < #1/1/2015# Or SP.DATE > #12/31/2016#"));
}

TEST_F(JetQueryTest, DivisionByZeroFailsInsteadOfDroppingTheRow) {
  EXPECT_EQ(Run("SELECT Sum(100/STAX.PCN) FROM STAX WHERE STAX.PCN > 0"), (Rows{{"218"}}));
  EXPECT_EQ(Run("SELECT 1/Null FROM STAX WHERE STAX.CODE = '1'"), (Rows{{"NULL"}}));
  const TranslatedQuery query = TranslateJetSql("SELECT Sum(100/STAX.PCN) FROM STAX");
  sqlite3_stmt* statement = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db_, query.sql.c_str(), -1, &statement, nullptr), SQLITE_OK);
  EXPECT_EQ(sqlite3_step(statement), SQLITE_ERROR);
  EXPECT_STREQ(sqlite3_errmsg(db_), "Division by zero");
  sqlite3_finalize(statement);
}

TEST_F(JetQueryTest, TextComparesWithoutCaseAlsoOnComputedText) {
  EXPECT_EQ(Run("Select Code,Name,DFr,DTo From Company where ucase(mid(Name,1,2))= 'Sa' "
                "Order By Name"),
            (Rows{{"1", "Sagar Traders", "2015-04-01", "2016-03-31"},
                  {"2", "sample co", "2015-04-01", "2016-03-31"}}));
  EXPECT_EQ(Run("SELECT Count(*) FROM SP WHERE SP.VTYPE='sa' And SP.DATE" + kApril), (Rows{{"4"}}));
}

}  // namespace
}  // namespace vatrix
