#include "hostdata/connection.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <thread>

#include "hostdata/code_page.h"
#include "hostdata/folder_database.h"
#include "hostdata/host_error.h"
#include "hostdata/jet_sql.h"
#include "hostdata/test_tables.h"

namespace vatrix {
namespace {

using testing::DbfBytes;
using testing::TestTable;

TestTable Bills(const std::string& first_amount) {
  TestTable table;
  table.fields = {{"DOCNO", 'C', 6},   {"DATE", 'D', 8},         {"VTYPE", 'C', 2},
                  {"ST_TYPE", 'C', 4}, {"BILL_AMT", 'N', 12, 2}, {"FORM_REQ", 'L', 1}};
  table.rows = {{"1", "20150401", "SA", "1", first_amount, "T"},
                {"2", "20150430", "sa", "2", "200.25", "F"},
                {"3", "20150501", "SA", "1", "400", "F"},
                {"4", "20150415", "PU", "", "50", " "}};
  return table;
}

TestTable TaxTypes() {
  TestTable table;
  table.fields = {{"CODE", 'C', 4}, {"NAME", 'C', 20}, {"PCN", 'N', 6, 2}, {"GROUP", 'C', 6}};
  table.rows = {{"1", "Vat 5%", "5", "100005"}, {"2", "Vat 12.5%", "12.5", "100006"}};
  return table;
}

// The VAT account V1 (type 90, noted "x"), a bank account B1 and 200 party accounts.
TestTable Accounts() {
  TestTable table;
  table.fields = {{"CODE", 'C', 6}, {"ACT_TYPE", 'N', 3}, {"NOTE", 'C', 4}};
  table.rows = {{"V1", "90", "x"}, {"B1", "0", ""}};
  for (int i = 0; i < 200; ++i) table.rows.push_back({"P" + std::to_string(i), "4", ""});
  return table;
}

// Ledger postings: code, date, voucher type, amount.
TestTable Postings(std::vector<std::vector<std::string>> rows) {
  TestTable table;
  table.fields = {{"CODE", 'C', 6}, {"DATE", 'D', 8}, {"VTYPE", 'C', 2}, {"AMT", 'N', 12, 2}};
  table.rows = std::move(rows);
  return table;
}

class ConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = testing::MakeTempFolder();
    Write("Sp.DBF", Bills("100"));
    Write("stax.dbf", TaxTypes());
    connection_.OpenFolder(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  void Write(const std::string& file, const TestTable& table) {
    testing::WriteFile(folder_ + "/" + file, DbfBytes(table));
  }

  double First(const std::string& query) {
    RecordSet records = connection_.Execute(query);
    return records.field(0).number();
  }

  // Expects `query` to fail with `number`, its source containing `where`.
  void ExpectFailure(const std::string& query, long number, const std::string& where) {
    try {
      connection_.Execute(query);
      FAIL() << query;
    } catch (const HostError& error) {
      EXPECT_EQ(error.number(), number) << error.description();
      EXPECT_NE(error.source().find(where), std::string::npos) << error.source();
    }
  }

  std::string folder_;
  Connection connection_;
};

TEST_F(ConnectionTest, RunsTheProvidersDialectOverTheTables) {
  // Text compares ignore case ('sa' is a sale), dates are #m/d/yyyy#, IIf and joins work.
  EXPECT_DOUBLE_EQ(First("SELECT Sum(Bill_amt) AS Amount From SP WHERE (SP.VTYPE='SA') and "
                         "SP.DATE Between #4/1/2015# and #4/30/2015# "),
                   300.25);
  EXPECT_DOUBLE_EQ(First("SELECT Sum(IIf(Sp.Vtype='SA',[SP].[Bill_Amt],-Sp.Bill_amt)) FROM SP "
                         "LEFT JOIN STAX ON SP.ST_TYPE = STAX.CODE WHERE STAX.PCN=5"),
                   500);
  EXPECT_DOUBLE_EQ(First("SELECT Count(*) FROM STAX WHERE STAX.Group='100005'"), 1);
  EXPECT_DOUBLE_EQ(First("SELECT Count(*) FROM SP WHERE SP.FORM_REQ=TRUE"), 1);
  EXPECT_DOUBLE_EQ(First("SELECT Count(*) FROM SP WHERE SP.ST_TYPE Is Null"), 1);
}

TEST_F(ConnectionTest, ResultsCarryDatesLogicalsAndNulls) {
  RecordSet records = connection_.Execute(
      "SELECT SP.DATE, SP.FORM_REQ, SP.ST_TYPE, DOCNO FROM SP ORDER BY SP.DATE DESC");
  EXPECT_EQ(records.field_name(0), "DATE");
  EXPECT_EQ(records.field(0), Value::FromDate({2015, 5, 1}));
  EXPECT_EQ(records.field(1), Value::Bool(false));
  records.MoveLast();
  EXPECT_EQ(records.field("DOCNO"), Value::Text("1"));
  records.set_absolute_position(3);
  EXPECT_TRUE(records.field("FORM_REQ").is_null());
  EXPECT_TRUE(records.field("ST_TYPE").is_null());
}

TEST_F(ConnectionTest, TablesStayCachedAcrossConnectionsUntilTheirFileChanges) {
  const std::string sum = "SELECT Sum(Bill_amt) FROM SP";
  EXPECT_DOUBLE_EQ(First(sum), 750.25);
  const int loads = FolderDatabase::ForFolder(folder_)->loads();
  Connection second;
  second.Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + folder_ +
              ";Mode=ReadWrite;Extended Properties=dBase IV;Persist Security Info=False");
  EXPECT_DOUBLE_EQ(second.Execute(sum).field(0).number(), 750.25);
  EXPECT_EQ(FolderDatabase::ForFolder(folder_)->loads(), loads);

  // Same size, new contents: the modification time tells.
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  Write("Sp.DBF", Bills("900"));
  EXPECT_DOUBLE_EQ(First(sum), 1550.25);
  EXPECT_EQ(FolderDatabase::ForFolder(folder_)->loads(), loads + 1);
}

// Column `column` of each row `sql` yields on the database of `folder`, as text.
std::vector<std::string> Texts(const std::string& folder, const std::string& sql, int column) {
  sqlite3* db = FolderDatabase::ForFolder(folder)->db();
  sqlite3_stmt* statement = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr), SQLITE_OK) << sql;
  std::vector<std::string> texts;
  while (sqlite3_step(statement) == SQLITE_ROW) {
    texts.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)));
  }
  sqlite3_finalize(statement);
  return texts;
}

// The indexes of the loaded tables, as "table(columns)".
std::vector<std::string> Indexes(const std::string& folder) {
  return Texts(folder,
               "SELECT tbl_name || '(' || substr(sql, instr(sql, '(') + 1) FROM sqlite_master "
               "WHERE type = 'index' AND sql IS NOT NULL ORDER BY 1",
               0);
}

// The lines of the engine's plan for the query text `jet`, one per line.
std::string PlanOf(const std::string& folder, const std::string& jet) {
  std::string lines;
  for (const std::string& line :
       Texts(folder, "EXPLAIN QUERY PLAN " + TranslateJetSql(jet).sql, 3)) {
    lines += line + "\n";
  }
  return lines;
}

// Expects the engine's plan for `jet` to hold `step`; shows the plan when it does not.
void ExpectPlanHolds(const std::string& folder, const std::string& jet, const std::string& step) {
  const std::string plan = PlanOf(folder, jet);
  EXPECT_NE(plan.find(step), std::string::npos) << plan;
}

// Date columns are indexed as they load; the ledger's account once a query reads it over more
// than two months, where the date index no longer narrows it down.
TEST_F(ConnectionTest, DatesAreIndexedAsTheyLoadAndTheLedgersAccountForLongPeriods) {
  TestTable ledger;
  ledger.fields = {{"CODE", 'C', 6}, {"DATE", 'D', 8}, {"DC", 'C', 1}, {"AMT", 'N', 12, 2}};
  ledger.rows = {
      {"V1", "20150401", "D", "10"}, {"B1", "20150402", "C", "10"}, {"V1", "20150901", "D", "5"}};
  Write("LEDGER.DBF", ledger);
  const std::string account =
      "SELECT Sum(Amt) FROM LEDGER WHERE LEDGER.CODE = 'v1' And LEDGER.DATE";
  EXPECT_DOUBLE_EQ(First(account + " Between #4/1/2015# and #4/30/2015# "), 10);
  EXPECT_DOUBLE_EQ(First("SELECT Count(*) FROM SP"), 4);
  EXPECT_EQ(Indexes(folder_), (std::vector<std::string>{"ledger(\"DATE\")", "sp(\"DATE\")"}));
  EXPECT_DOUBLE_EQ(First(account + " Between #4/1/2015# and #3/31/2016# "), 15);
  EXPECT_EQ(Indexes(folder_),
            (std::vector<std::string>{"ledger(\"CODE\")", "ledger(\"DATE\")", "sp(\"DATE\")"}));
}

// The VAT account's postings, once a long period has indexed the ledger by account: found
// from the accounts of the VAT type, not by reading the postings of every account; also after
// the accounts are read again for a column they did not hold.
TEST_F(ConnectionTest, AfterALongPeriodTheVatAccountsPostingsStartFromItsType) {
  Write("ACT.DBF", Accounts());
  Write("LEDGER.DBF", Postings({{"V1", "20150401", "SA", "10"},
                                {"B1", "20150402", "SA", "10"},
                                {"V1", "20150901", "JV", "5"},
                                {"V1", "20150902", "SA", "3"}}));
  const std::string join = "FROM LEDGER INNER JOIN ACT ON LEDGER.CODE = ACT.CODE WHERE ";
  const std::string steps = "SELECT Sum(Amt) " + join +
                            "((ACT.ACT_TYPE) = 90 And (LEDGER.VTYPE) = 'SA') Or "
                            "((LEDGER.VTYPE) = 'JV' And (ACT.ACT_TYPE) = 90 And LEDGER.DATE "
                            "Between #4/1/2015# and #4/30/2015#)";
  const std::string by_type = "SEARCH ACT USING INDEX act_ACT_TYPE (ACT_TYPE=?)";
  EXPECT_DOUBLE_EQ(First(steps), 13);
  EXPECT_DOUBLE_EQ(First("SELECT Sum(Amt) " + join +
                         "ACT.ACT_TYPE = 90 And LEDGER.DATE Between #4/1/2015# "
                         "and #3/31/2016# "),
                   18);
  ExpectPlanHolds(folder_, steps, by_type);
  EXPECT_DOUBLE_EQ(First("SELECT Count(NOTE) FROM ACT WHERE NOTE <> ''"), 1);
  ExpectPlanHolds(folder_, steps, by_type);
  EXPECT_DOUBLE_EQ(First(steps), 13);
}

// A join key's index puts a number the query fixes before the text it joins on, which is
// compared ignoring case; the join still matches codes whatever their case.
TEST_F(ConnectionTest, AJoinKeysIndexComparesTheNumberBeforeTheText) {
  Write("ACT.DBF", Accounts());
  Write("LEDGER.DBF", Postings({{"v1", "20150401", "SA", "10"},
                                {"B1", "20150402", "SA", "7"},
                                {"V1", "20150401", "JV", "4"},
                                {"V1", "20150403", "JV", "5"}}));
  // As the credit steps ask: the type inside each alternative of an Or.
  const std::string vat =
      "SELECT Sum(Amt) FROM LEDGER INNER JOIN ACT ON LEDGER.CODE = ACT.CODE WHERE "
      "(((ACT.ACT_TYPE) = 90) And ((LEDGER.VTYPE) = 'SA' Or (LEDGER.VTYPE) = 'PU')) Or "
      "(((LEDGER.VTYPE) = 'JV') And ((ACT.ACT_TYPE) = 90)) And LEDGER.DATE Between #4/3/2015# "
      "and #4/30/2015#";
  EXPECT_DOUBLE_EQ(First(vat), 15);
  ExpectPlanHolds(folder_, vat, "act_act_type_code (ACT_TYPE=? AND CODE=?)");
  EXPECT_DOUBLE_EQ(First(vat), 15);
}

// The index an outer join's key needs is built once, as an inner join's is, not again for
// every run of the query.
TEST_F(ConnectionTest, AnOuterJoinsKeyIndexIsKeptAsAnInnerJoinsIs) {
  TestTable accounts;
  accounts.fields = {{"CODE", 'C', 6}, {"NAME", 'C', 10}};
  for (int i = 0; i < 200; ++i) accounts.rows.push_back({"P" + std::to_string(i), "n"});
  Write("ACT.DBF", accounts);
  TestTable ledger;
  ledger.fields = {{"CODE", 'C', 6}, {"DATE", 'D', 8}, {"AMT", 'N', 12, 2}};
  ledger.rows = {{"p1", "20150401", "10"}, {"X9", "20150402", "7"}};
  Write("LEDGER.DBF", ledger);
  const std::string named =
      "SELECT Count(ACT.NAME) FROM LEDGER LEFT JOIN ACT ON LEDGER.CODE = ACT.CODE";
  EXPECT_DOUBLE_EQ(First(named), 1);
  ExpectPlanHolds(folder_, named, "SEARCH ACT USING INDEX act_code (CODE=?)");
  EXPECT_DOUBLE_EQ(First(named), 1);
}

TEST_F(ConnectionTest, FailuresSayWhatAndWhere) {
  ExpectFailure("SELECT * FROM LEDGER", kTableUnavailable, "LEDGER");
  ExpectFailure("SELECT Sum(NoSuchColumn) FROM SP", kUnknownName,
                "query: SELECT Sum(NoSuchColumn)");
  ExpectFailure("SELECT FROM WHERE SP", kQueryRejected, "query: SELECT FROM WHERE");
  ExpectFailure("SELECT * FROM SP WHERE SP.DATE = #2/30/2015#", kQueryRejected, "query:");

  // A file damaged after it was cached is never served stale.
  First("SELECT Count(*) FROM SP");
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  TestTable damaged = Bills("1x0");
  Write("Sp.DBF", damaged);
  ExpectFailure("SELECT Count(*) FROM SP", kCorruptTable, "Sp.DBF");
  std::filesystem::remove(folder_ + "/Sp.DBF");
  ExpectFailure("SELECT Count(*) FROM SP", kTableUnavailable, "SP");
}

TEST_F(ConnectionTest, TablesThatCannotBeReadExactlyFailNamingFileAndField) {
  // A field the returns read that the file lacks; a name no return reads stays a bad query.
  ExpectFailure("SELECT Sum(TAX_AMT) FROM SP", kCorruptTable, "Sp.DBF, field TAX_AMT");
  ExpectFailure("SELECT Sum(Sp.TAX_AMT) FROM Sp", kCorruptTable, "Sp.DBF, field TAX_AMT");
  ExpectFailure("SELECT Sum(TAX_AMT) FROM STAX", kUnknownName, "query:");

  TestTable dates_as_text = Bills("100");
  dates_as_text.fields[1].type = 'C';
  Write("Sp.DBF", dates_as_text);
  ExpectFailure("SELECT Count(*) FROM SP", kCorruptTable, "Sp.DBF, field DATE");

  TestTable memo_names = TaxTypes();
  memo_names.fields[1].type = 'M';
  Write("stax.dbf", memo_names);
  ExpectFailure("SELECT NAME FROM STAX", kCorruptTable, "stax.dbf, field NAME");

  // A field no query reads may be of any type; so may any field of a table without a layout.
  TestTable extra = TaxTypes();
  extra.fields.push_back({"NOTES", 'M', 10});
  Write("stax.dbf", extra);
  EXPECT_DOUBLE_EQ(First("SELECT Count(*) FROM STAX"), 2);
  Write("other.dbf", dates_as_text);
  EXPECT_DOUBLE_EQ(First("SELECT Count(*) FROM OTHER"), 4);

  Write("Sp.DBF", Bills("100"));
  Write("SP.dbf", Bills("100"));
  ExpectFailure("SELECT Count(*) FROM SP", kCorruptTable, "table SP");
}

TEST_F(ConnectionTest, FieldsThatCannotBeReadStopOnlyTheQueriesThatReadThem) {
  TestTable notes;
  notes.fields = {{"CODE", 'C', 4}, {"NARR", 'M', 10}, {"PIC", 'G', 10}};
  notes.rows = {{"1", "1", ""}};
  std::string bytes = DbfBytes(notes);
  bytes[0] = '\x83';  // with a dBase III memo file, which is missing
  testing::WriteFile(folder_ + "/notes.dbf", bytes);
  EXPECT_EQ(connection_.Execute("SELECT CODE FROM NOTES").field(0), Value::Text("1"));
  const std::string where = "notes.dbf, memo file " + folder_ + "/notes.dbt, field NARR";
  ExpectFailure("SELECT * FROM NOTES", kCorruptTable, where);
  ExpectFailure("SELECT * FROM NOTES", kCorruptTable, "notes.dbf, field PIC");  // each is named
  ExpectFailure("SELECT Count(*) FROM NOTES WHERE NARR Is Null", kCorruptTable, where);
  // A join in brackets names every field of its tables, but reads only those it uses.
  EXPECT_DOUBLE_EQ(First("SELECT Count(NOTES.CODE) FROM STAX INNER JOIN (NOTES INNER JOIN SP ON "
                         "NOTES.CODE = SP.ST_TYPE) ON STAX.CODE = SP.ST_TYPE"),
                   2);
  // The memo file appearing reloads the table.
  testing::WriteFile(folder_ + "/NOTES.DBT", std::string(512, '\0') + "Paid in cash\x1A");
  EXPECT_EQ(connection_.Execute("SELECT NARR FROM NOTES").field(0), Value::Text("Paid in cash"));

  // So does another code page named for files that name none.
  TestTable names;
  names.fields = {{"NAME", 'C', 8}};
  names.rows = {{"Caf\x82"}};
  names.language_driver = 0;
  Write("names.dbf", names);
  EXPECT_EQ(connection_.Execute("SELECT NAME FROM NAMES").field(0), Value::Text("Caf‚"));
  SetUnnamedCodePage("850");
  EXPECT_EQ(connection_.Execute("SELECT NAME FROM NAMES").field(0), Value::Text("Café"));
  SetUnnamedCodePage("");
}

// A table holds the columns the queries read; a column read later reads the file again.
TEST_F(ConnectionTest, TablesLoadTheColumnsTheQueriesReadAndNoOthers) {
  TestTable items;
  items.fields = {
      {"CODE", 'C', 4}, {"NAME", 'C', 8}, {"DAY", 'D', 8}, {"AMT", 'N', 8, 2}, {"BAD", 'N', 4}};
  items.rows = {{"1", "Caf\xe9", "20150401", "2.5", "1x"},
                {"2", "", "", "", "1x"},
                {"3", "gone", "20150402", "7", "1x"},
                {"4", "Tea", "00000000", "1", "1x"}};
  items.deleted = {2};
  Write("items.dbf", items);
  // The damaged BAD is not read: neither for a count nor for the other columns.
  EXPECT_DOUBLE_EQ(First("SELECT Count(*) FROM ITEMS"), 3);
  const int loads = FolderDatabase::ForFolder(folder_)->loads();
  const std::vector<std::string> queries = {"SELECT Sum(AMT) FROM ITEMS WHERE DAY Is Null",
                                            "SELECT NAME FROM ITEMS WHERE CODE = '1'"};
  connection_.Preload(queries);
  EXPECT_EQ(FolderDatabase::ForFolder(folder_)->loads(), loads + 1);
  EXPECT_DOUBLE_EQ(First(queries[0]), 1);  // blank and zero dates are null, a blank amount too
  EXPECT_EQ(connection_.Execute(queries[1]).field(0), Value::Text("Café"));
  EXPECT_EQ(connection_.Execute("SELECT Count(*) FROM ITEMS WHERE NAME Is Null").field(0),
            Value::Number(1));
  EXPECT_EQ(FolderDatabase::ForFolder(folder_)->loads(), loads + 1);
  // Nor by a join in brackets, which names every field of its tables.
  EXPECT_DOUBLE_EQ(First("SELECT Sum(ITEMS.AMT) FROM STAX INNER JOIN (ITEMS INNER JOIN SP ON "
                         "ITEMS.CODE = SP.ST_TYPE) ON STAX.CODE = SP.ST_TYPE"),
                   5);
  ExpectFailure("SELECT Sum(BAD) FROM ITEMS", kCorruptTable, "items.dbf");
  EXPECT_DOUBLE_EQ(First("SELECT Sum(AMT) FROM ITEMS"), 3.5);  // the deleted record left out
}

// Rows reach the engine in batches and several to a statement: a long table with deleted
// records and blank dates between them keeps every row's own values.
TEST_F(ConnectionTest, EveryRowOfALongTableKeepsItsOwnValues) {
  const auto day_of = [](int n) { return Date{2015 + n % 3, 1 + n % 12, 1 + n % 28}; };
  TestTable days;
  days.fields = {{"NO", 'N', 6}, {"DAY", 'D', 8}, {"NOTE", 'C', 4}};
  for (int n = 0; n < 2500; ++n) {
    const Date day = day_of(n);
    char text[9];
    std::snprintf(text, sizeof text, "%04d%02d%02d", day.year, day.month, day.day);
    days.rows.push_back({std::to_string(n), n % 97 == 0 ? "" : text, std::to_string(n % 1000)});
    if (n % 250 == 3) days.deleted.push_back(n);
  }
  Write("days.dbf", days);
  RecordSet rows = connection_.Execute("SELECT NO, DAY, NOTE FROM DAYS");
  EXPECT_EQ(rows.record_count(), 2490);
  for (; !rows.eof(); rows.MoveNext()) {
    const int n = static_cast<int>(rows.field(0).number());
    ASSERT_EQ(rows.field(1), n % 97 == 0 ? Value() : Value::FromDate(day_of(n))) << n;
    ASSERT_EQ(rows.field(2), Value::Text(std::to_string(n % 1000))) << n;
  }
}

TEST_F(ConnectionTest, ATableRewrittenWithItsSizeAndTimeRestoredIsReloaded) {
  const std::string sum = "SELECT Sum(Bill_amt) FROM SP";
  EXPECT_DOUBLE_EQ(First(sum), 750.25);
  const std::string path = folder_ + "/Sp.DBF";
  const auto modified = std::filesystem::last_write_time(path);
  Write("Sp.DBF", Bills("900"));
  std::filesystem::last_write_time(path, modified);
  EXPECT_DOUBLE_EQ(First(sum), 1550.25);
}

TEST(ConnectionOpenTest, OpensCompanyFoldersWhateverTheirPathHolds) {
  const std::string root = testing::MakeTempFolder();
  const std::string host = root + "/a;b\\c";  // ';' and '\' are plain letters in a folder name
  std::filesystem::create_directories(host + "/007");
  testing::WriteFile(host + "/007/STAX.DBF", DbfBytes(TaxTypes()));
  Connection connection;
  connection.OpenFolder(CompanyFolder(host, "007"));
  EXPECT_EQ(connection.Execute("SELECT Count(*) FROM STAX").field(0).number(), 2);
  EXPECT_THROW(connection.OpenFolder(CompanyFolder(host, "008")), HostError);
  EXPECT_THROW(connection.Open("Provider=x;Extended Properties=dBase IV"), HostError);
  std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace vatrix
