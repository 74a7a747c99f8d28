// Feeds arbitrary bytes to the query translator and runs what it accepts on a small database
// with the provider's functions: rejections are fine, crashes, hangs and sanitizer reports not.
// A translation that SQLite reads as more than one statement is a fault of the translator.
#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "hostdata/host_error.h"
#include "hostdata/jet_functions.h"
#include "hostdata/jet_sql.h"

namespace {

constexpr int kStepsPerCheck = 1000;
constexpr int kChecksAllowed = 2000;  // about two million virtual machine steps per input

int checks = 0;

int StopLongQueries(void*) { return ++checks > kChecksAllowed; }

sqlite3* Database() {
  static sqlite3* db = [] {
    sqlite3* db = nullptr;
    if (sqlite3_open(":memory:", &db) != SQLITE_OK) std::abort();
    vatrix::RegisterJetFunctions(db);
    const char* schema = R"(
      CREATE TABLE SP (LINK REAL, DOCNO TEXT COLLATE NOCASE, DATE DATE_TEXT,
        VTYPE TEXT COLLATE NOCASE, CODE TEXT COLLATE NOCASE, ST_TYPE TEXT COLLATE NOCASE,
        BILL_AMT REAL, FORM_REQ LOGICAL_INT);
      CREATE TABLE STAX (CODE TEXT COLLATE NOCASE, NAME TEXT COLLATE NOCASE, PCN REAL,
        VATTYPE REAL);
      CREATE TABLE LEDGER (CODE TEXT COLLATE NOCASE, DATE DATE_TEXT, DC TEXT COLLATE NOCASE,
        AMT REAL, NARR1 TEXT COLLATE NOCASE);
      CREATE TABLE ACT (CODE TEXT COLLATE NOCASE, NAME TEXT COLLATE NOCASE,
        "GROUP" TEXT COLLATE NOCASE, OPBAL REAL);
      INSERT INTO SP VALUES (1, 'S1', '2015-04-05', 'SA', '20', '1', 105, 1),
        (2, 'Ü2', NULL, 'PU', NULL, '2', -3.5, 0);
      INSERT INTO STAX VALUES ('1', 'Vat 5', 5, 4), ('2', '', 0, NULL);
      INSERT INTO LEDGER VALUES ('20', '2016-02-29', 'C', 12.5, '12.5% vat'),
        ('90', NULL, 'D', 0, '');
      INSERT INTO ACT VALUES ('20', 'Ravi Traders', '100005', -500), ('90', 'café', '', NULL);
    )";
    if (sqlite3_exec(db, schema, nullptr, nullptr, nullptr) != SQLITE_OK) std::abort();
    sqlite3_progress_handler(db, kStepsPerCheck, StopLongQueries, nullptr);
    return db;
  }();
  return db;
}

bool OnlyBlanks(const char* text) {
  for (; *text; ++text) {
    if (*text != ' ' && *text != '\t' && *text != '\r' && *text != '\n') return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  vatrix::TranslatedQuery query;
  try {
    query = vatrix::TranslateJetSql(text);
  } catch (const vatrix::HostError&) {
    return 0;
  }
  for (const auto& table : query.tables) {
    if (table.empty()) std::abort();
  }
  sqlite3* db = Database();
  sqlite3_stmt* statement = nullptr;
  const char* tail = nullptr;
  if (sqlite3_prepare_v2(db, query.sql.c_str(), -1, &statement, &tail) == SQLITE_OK) {
    if (tail && !OnlyBlanks(tail)) std::abort();
    checks = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
    }
  }
  sqlite3_finalize(statement);
  return 0;
}
