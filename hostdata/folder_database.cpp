#include "hostdata/folder_database.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <condition_variable>
#include <deque>
#include <exception>
#include <filesystem>
#include <list>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

#include "hostdata/code_page.h"
#include "hostdata/columns_read.h"
#include "hostdata/dbf_reader.h"
#include "hostdata/host_error.h"
#include "hostdata/jet_functions.h"
#include "hostdata/memo_file.h"
#include "hostdata/table_layout.h"
#include "hostdata/text.h"

namespace vatrix {

namespace {

constexpr size_t kFoldersKept = 4;

std::string Quoted(const std::string& name) {
  std::string out = "\"";
  for (char c : name) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

constexpr char kTextColumnType[] = "TEXT COLLATE NOCASE";  // the provider ignores case

const char* ColumnType(const DbfField& field) {
  switch (field.type) {
    case 'N':
    case 'F':
    case 'I':
    case 'Y':
    case 'B':
      return "REAL";
    case 'D':
      return kDateColumnType;
    case 'L':
      return kLogicalColumnType;
    default:
      return kTextColumnType;
  }
}

// Whether the column `name` of a table with `fields` holds text, compared ignoring case.
bool HoldsText(const std::vector<DbfField>& fields, const std::string& name) {
  for (const DbfField& field : fields) {
    if (EqualsIgnoreCase(field.name, name)) return ColumnType(field) == kTextColumnType;
  }
  return false;
}

// Every query of a return selects a period by date: date columns are indexed as they load.
// Join keys get their index when a query first needs one (AddIndexesFor).
bool IndexedOnLoad(const DbfField& field) { return field.type == 'D'; }

constexpr size_t kRowsPerInsert = 16;

// Reads a plan line "SEARCH t USING AUTOMATIC [PARTIAL] COVERING INDEX (a=? AND b=?)" (with
// " LEFT-JOIN" after it for the inner table of an outer join) into the table and its columns;
// false for any other line.
bool ReadAutomaticIndex(std::string detail, std::string* table, std::vector<std::string>* columns) {
  static constexpr std::string_view kSearch = "SEARCH ";
  static constexpr std::string_view kOuterJoin = " LEFT-JOIN";
  if (detail.size() > kOuterJoin.size() &&
      detail.compare(detail.size() - kOuterJoin.size(), kOuterJoin.size(), kOuterJoin) == 0) {
    detail.resize(detail.size() - kOuterJoin.size());
  }
  const auto using_at = detail.find(" USING AUTOMATIC ");
  const auto open = detail.find(" INDEX (", using_at == std::string::npos ? 0 : using_at);
  if (detail.rfind(kSearch, 0) != 0 || using_at == std::string::npos || open == std::string::npos ||
      detail.back() != ')') {
    return false;
  }
  *table = detail.substr(kSearch.size(), using_at - kSearch.size());
  columns->clear();
  std::string terms = detail.substr(open + 8, detail.size() - open - 9);
  size_t start = 0;
  while (start < terms.size()) {
    size_t end = terms.find(" AND ", start);
    if (end == std::string::npos) end = terms.size();
    const std::string term = terms.substr(start, end - start);
    const auto op = term.find_first_of("=<>");
    if (op == std::string::npos || op == 0) return false;
    columns->push_back(term.substr(0, op));
    start = end + 5;
  }
  return !columns->empty();
}

// Binds `value` to parameter `index`, a date written as text into `date_text` (10 bytes).
// Both are bound in place: the value and `date_text` must outlive the statement's next step.
void Bind(sqlite3_stmt* statement, int index, const Value& value, char* date_text) {
  switch (value.kind()) {
    case Value::Kind::kNull:
      sqlite3_bind_null(statement, index);
      break;
    case Value::Kind::kNumber:
      sqlite3_bind_double(statement, index, value.number());
      break;
    case Value::Kind::kText:
      sqlite3_bind_text(statement, index, value.text().data(),
                        static_cast<int>(value.text().size()), SQLITE_STATIC);
      break;
    case Value::Kind::kDate:
      WriteIsoDate(value.date(), date_text);
      sqlite3_bind_text(statement, index, date_text, 10, SQLITE_STATIC);
      break;
    case Value::Kind::kBool:
      sqlite3_bind_int(statement, index, value.boolean() ? 1 : 0);
      break;
  }
}

// Reads a table's rows on a second thread, a batch at a time, while the caller inserts the
// batches already read: parsing and inserting each take about half of a large table's load.
class RowProducer {
 public:
  explicit RowProducer(DbfReader& reader) : reader_(reader), thread_([this] { Run(); }) {}
  ~RowProducer() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }

  // The next batch of rows, row after row in one vector (a row has one value per field);
  // false after the last. Rethrows the reader's failure.
  bool Next(std::vector<Value>* batch) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !ready_.empty() || finished_; });
    if (ready_.empty()) {
      if (failure_) std::rethrow_exception(failure_);
      return false;
    }
    *batch = std::move(ready_.front());
    ready_.pop_front();
    changed_.notify_all();
    return true;
  }

 private:
  static constexpr size_t kBatchRows = 1024;
  static constexpr size_t kBatchesAhead = 4;

  void Run() {
    try {
      const size_t width = reader_.fields().size();
      bool more = true;
      while (more) {
        std::vector<Value> batch(kBatchRows * width);
        size_t rows = 0;
        while (rows < kBatchRows && (more = reader_.ReadRow(batch.data() + rows * width))) ++rows;
        batch.resize(rows * width);
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return ready_.size() < kBatchesAhead || stopping_; });
        if (stopping_) return;
        if (!batch.empty()) ready_.push_back(std::move(batch));
        changed_.notify_all();
      }
    } catch (...) {
      std::lock_guard lock(mutex_);
      failure_ = std::current_exception();
    }
    std::lock_guard lock(mutex_);
    finished_ = true;
    changed_.notify_all();
  }

  DbfReader& reader_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::vector<Value>> ready_;
  bool finished_ = false;
  bool stopping_ = false;
  std::exception_ptr failure_;
  std::thread thread_;  // last: starts once the members above exist
};

// The engine keeps no memory statistics: they cost a lock on every allocation. Only takes
// effect before the engine's first use in the process; later it changes nothing.
bool ConfigureEngine() {
  sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
  return true;
}

// Whether every column `wanted` marks is marked in `held` too.
bool Holds(const std::vector<bool>& held, const std::vector<bool>& wanted) {
  for (size_t i = 0; i < wanted.size(); ++i) {
    if (wanted[i] && (i >= held.size() || !held[i])) return false;
  }
  return true;
}

// Marks in `columns` every column `more` marks as well.
void AddColumns(const std::vector<bool>& more, std::vector<bool>* columns) {
  if (columns->size() < more.size()) columns->resize(more.size(), false);
  for (size_t i = 0; i < more.size(); ++i) (*columns)[i] = (*columns)[i] || more[i];
}

std::int64_t Nanoseconds(const timespec& time) {
  return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

// What identifies the state of the memo files beside the table file `path`: each one's path,
// size and times, so that a memo file that appears, goes or changes reloads the table.
std::string MemoFilesState(const std::string& path) {
  std::string state;
  for (const MemoFormat format : {MemoFormat::kDbase3, MemoFormat::kFoxPro}) {
    const std::optional<std::string> memo = FindMemoFile(path, format);
    struct stat status {};
    if (!memo || stat(memo->c_str(), &status) != 0) continue;
    state += *memo + '\n' + std::to_string(status.st_ino) + ' ' + std::to_string(status.st_size) +
             ' ' + std::to_string(Nanoseconds(status.st_mtim)) + ' ' +
             std::to_string(Nanoseconds(status.st_ctim)) + '\n';
  }
  return state;
}

}  // namespace

std::shared_ptr<FolderDatabase> FolderDatabase::ForFolder(const std::string& folder) {
  static std::list<std::shared_ptr<FolderDatabase>> recent;  // most recently used first
  std::error_code error;
  std::string key = std::filesystem::weakly_canonical(folder, error).string();
  if (error) key = folder;
  auto found = std::find_if(recent.begin(), recent.end(),
                            [&](const auto& database) { return database->folder_ == key; });
  std::shared_ptr<FolderDatabase> database =
      found != recent.end() ? *found : std::make_shared<FolderDatabase>(key);
  if (found != recent.end()) recent.erase(found);
  recent.push_front(database);
  if (recent.size() > kFoldersKept) recent.pop_back();
  return database;
}

FolderDatabase::FolderDatabase(std::string folder) : folder_(std::move(folder)) {
  static const bool configured = ConfigureEngine();
  (void)configured;
  // One connection per folder, used by one thread at a time: no per-call locking.
  if (sqlite3_open_v2(":memory:", &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) !=
      SQLITE_OK) {
    const std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    throw HostError(kTableUnavailable, "The query engine cannot start: " + message, folder_);
  }
  // A double-quoted name that matches no column must be an error, not a text constant.
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
  Exec("PRAGMA journal_mode = OFF", folder_);
  Exec("PRAGMA analysis_limit = 400", folder_);  // statistics from a sample of each index
  RegisterJetFunctions(db_);
}

void FolderDatabase::AddIndexesFor(const std::string& sql) {
  sqlite3_stmt* plan = nullptr;
  if (sqlite3_prepare_v2(db_, ("EXPLAIN QUERY PLAN " + sql).c_str(), -1, &plan, nullptr) !=
      SQLITE_OK) {
    sqlite3_finalize(plan);
    return;  // the caller's own prepare reports the fault
  }
  std::vector<std::pair<std::string, std::vector<std::string>>> wanted;
  while (sqlite3_step(plan) == SQLITE_ROW) {
    const auto* detail = reinterpret_cast<const char*>(sqlite3_column_text(plan, 3));
    std::string table;
    std::vector<std::string> columns;
    if (detail && ReadAutomaticIndex(detail, &table, &columns) &&
        loaded_.count(ToLowerAscii(table))) {
      // Every column of the key is compared for equality, so their order is free: numbers
      // and dates go first, where a probe for an absent key fails on the cheap comparison
      // before a text is compared ignoring case.
      const std::vector<DbfField>& fields = loaded_.at(ToLowerAscii(table)).fields;
      std::stable_partition(columns.begin(), columns.end(),
                            [&](const std::string& column) { return !HoldsText(fields, column); });
      wanted.emplace_back(ToLowerAscii(table), columns);
    }
  }
  sqlite3_finalize(plan);
  for (const auto& [table, columns] : wanted) {
    std::string name = table;
    std::string list;
    for (const auto& column : columns) {
      name += "_" + ToLowerAscii(column);
      list += (list.empty() ? "" : ", ") + Quoted(column);
    }
    Exec("CREATE INDEX IF NOT EXISTS " + Quoted(name) + " ON " + Quoted(table) + " (" + list + ")",
         "table " + table);
  }
  // With a join key's index beside the date index the planner must know which one narrows
  // the table down (a bill's link does; its tax type hardly): sampled statistics tell it.
  std::set<std::string> tables;
  for (const auto& [table, columns] : wanted) tables.insert(table);
  for (const std::string& table : tables) Exec("ANALYZE " + Quoted(table), "table " + table);
}

void FolderDatabase::AddLongRangeIndexes(const std::vector<std::string>& tables) {
  const bool ledger = std::any_of(tables.begin(), tables.end(), [](const std::string& table) {
    return ToLowerAscii(table) == "ledger";
  });
  if (!ledger || !loaded_.count("ledger")) return;
  long_range_ = true;
  CreateLongRangeIndexes();
}

void FolderDatabase::CreateLongRangeIndexes() {
  static const struct {
    const char* table;
    const char* create;
  } kIndexes[] = {{"ledger", "CREATE INDEX IF NOT EXISTS \"ledger_CODE\" ON \"ledger\" (\"CODE\")"},
                  {"act", "CREATE INDEX IF NOT EXISTS \"act_ACT_TYPE\" ON \"act\" (\"ACT_TYPE\")"}};
  for (const auto& index : kIndexes) {
    const auto found = loaded_.find(index.table);
    if (found == loaded_.end() || !found->second.filled) continue;
    // A table without the column fails the queries that read it, with their own messages.
    sqlite3_exec(db_, index.create, nullptr, nullptr, nullptr);
  }
}

FolderDatabase::~FolderDatabase() { sqlite3_close(db_); }

void FolderDatabase::EnsureTables(const std::vector<std::string>& tables) {
  for (const auto& name : tables) EnsureTable(name);
}

void FolderDatabase::EnsureTable(const std::string& name) {
  const std::string key = ToLowerAscii(name);
  std::optional<std::string> path;
  try {
    path = FindTableFile(folder_, name);
  } catch (const HostError&) {
    Drop(key);
    throw;
  }
  struct stat status {};
  if (!path || stat(path->c_str(), &status) != 0) {
    Drop(key);
    throw HostError(kTableUnavailable,
                    "The table " + name + " cannot be found in the data folder " + folder_,
                    "table " + name);
  }
  const Stamp stamp{*path,
                    static_cast<std::uint64_t>(status.st_dev),
                    static_cast<std::uint64_t>(status.st_ino),
                    static_cast<std::int64_t>(status.st_size),
                    Nanoseconds(status.st_mtim),
                    Nanoseconds(status.st_ctim),
                    MemoFilesState(*path),
                    UnnamedCodePage()};
  const auto cached = loaded_.find(key);
  if (cached != loaded_.end() && cached->second.stamp == stamp) return;
  Drop(key);
  Open(key, stamp);
}

std::vector<std::string> FolderDatabase::SkippedRecords(const std::string& table) const {
  const auto found = loaded_.find(ToLowerAscii(table));
  return found == loaded_.end() ? std::vector<std::string>() : found->second.skipped;
}

std::string FolderDatabase::FileOf(const std::string& table) const {
  const auto found = loaded_.find(ToLowerAscii(table));
  return found == loaded_.end() ? std::string() : found->second.stamp.path;
}

std::vector<UnreadableField> FolderDatabase::UnreadableFieldsRead(const std::string& sql) const {
  std::vector<UnreadableField> refused;
  const bool any = std::any_of(loaded_.begin(), loaded_.end(),
                               [](const auto& table) { return !table.second.unreadable.empty(); });
  if (!any) return refused;
  const auto read = vatrix::ColumnsRead(db_, sql);
  if (!read) return refused;
  for (const auto& [table, flags] : *read) {
    const auto found = loaded_.find(ToLowerAscii(table));
    if (found == loaded_.end()) continue;
    const Loaded& loaded = found->second;
    for (const UnreadableField& field : loaded.unreadable) {
      for (size_t i = 0; i < flags.size() && i < loaded.fields.size(); ++i) {
        if (flags[i] && EqualsIgnoreCase(loaded.fields[i].name, field.field)) {
          refused.push_back(field);
        }
      }
    }
  }
  return refused;
}

void FolderDatabase::Drop(const std::string& key) {
  if (loaded_.erase(key)) Exec("DROP TABLE IF EXISTS " + Quoted(key), "table " + key);
}

// A reader of the table file `path`, set to pass over bad rows where the table's layout
// wants that.
std::unique_ptr<DbfReader> OpenReader(const std::string& key, const std::string& path) {
  auto reader = std::make_unique<DbfReader>(path);
  CheckTableLayout(key, reader->fields(), path);
  const TableLayout* layout = FindTableLayout(key);
  if (layout && layout->skips_bad_rows) {
    reader->SkipUnreadableRecords(std::string(layout->key_column));
  }
  return reader;
}

void FolderDatabase::Open(const std::string& key, const Stamp& stamp) {
  std::unique_ptr<DbfReader> reader = OpenReader(key, stamp.path);
  CreateTable(key, reader->fields(), "table file " + stamp.path);
  Loaded& table = loaded_[key];
  table.stamp = stamp;
  table.unreadable = reader->unreadable_fields();
  table.fields = reader->fields();
  table.unread = std::move(reader);
  ++loads_;
}

std::map<std::string, std::vector<bool>> FolderDatabase::WantedColumns(const std::string& sql) {
  std::map<std::string, std::vector<bool>> columns;
  const auto read = vatrix::ColumnsRead(db_, sql);
  if (!read) return columns;
  for (const auto& [table, flags] : *read) {
    const auto found = loaded_.find(ToLowerAscii(table));
    if (found == loaded_.end()) continue;
    std::vector<bool>& wanted = columns[found->first];
    wanted = flags;
    wanted.resize(found->second.fields.size(), false);
  }
  // A table opened but not filled yet is never served empty, whatever the engine reported.
  for (const auto& [key, table] : loaded_) {
    if (!table.filled) columns[key].resize(table.fields.size(), false);
  }
  return columns;
}

void FolderDatabase::LoadColumnsFor(const std::string& sql) {
  std::map<std::string, std::vector<bool>> wanted = WantedColumns(sql);
  for (auto& [key, columns] : wanted) {
    const Loaded& table = loaded_.at(key);
    if (table.filled && Holds(table.columns, columns)) continue;
    for (size_t i = 0; i < table.fields.size(); ++i) {
      if (LayoutReads(key, table.fields[i].name)) columns[i] = true;
    }
  }
  FillColumns(std::move(wanted));
}

void FolderDatabase::LoadColumnsForAll(const std::vector<std::string>& sqls) {
  std::map<std::string, std::vector<bool>> wanted;
  for (const std::string& sql : sqls) {
    for (const auto& [key, columns] : WantedColumns(sql)) {
      AddColumns(columns, &wanted[key]);
    }
  }
  FillColumns(std::move(wanted));
}

void FolderDatabase::FillColumns(std::map<std::string, std::vector<bool>> wanted) {
  for (auto& [key, columns] : wanted) {
    const Loaded& table = loaded_.at(key);
    if (table.filled) {
      if (Holds(table.columns, columns)) continue;
      AddColumns(table.columns, &columns);
    }
    try {
      Fill(key, std::move(columns));
    } catch (...) {
      Drop(key);
      throw;
    }
  }
}

void FolderDatabase::Fill(const std::string& key, std::vector<bool> columns) {
  Loaded& table = loaded_.at(key);
  std::unique_ptr<DbfReader> reader = std::move(table.unread);
  if (!reader) {
    reader = OpenReader(key, table.stamp.path);
    ++loads_;
  }
  const std::string source = "table file " + table.stamp.path;
  columns.resize(reader->fields().size(), false);
  reader->ReadOnlyFields(columns);
  if (table.filled) CreateTable(key, reader->fields(), source);
  Exec("BEGIN", source);
  try {
    InsertRows(key, *reader, columns, source);
    for (size_t i = 0; i < columns.size(); ++i) {
      const DbfField& field = reader->fields()[i];
      if (!columns[i] || !IndexedOnLoad(field)) continue;
      Exec("CREATE INDEX " + Quoted(key + "_" + field.name) + " ON " + Quoted(key) + " (" +
               Quoted(field.name) + ")",
           source);
    }
    Exec("COMMIT", source);
  } catch (...) {
    Exec("ROLLBACK", source);
    throw;
  }
  table.skipped = reader->skipped_records();
  table.unreadable = reader->unreadable_fields();
  table.fields = reader->fields();
  table.columns = std::move(columns);
  table.filled = true;
  if (long_range_) CreateLongRangeIndexes();  // a table read again gets them back
}

void FolderDatabase::CreateTable(const std::string& key, const std::vector<DbfField>& fields,
                                 const std::string& source) {
  std::string create = "CREATE TABLE " + Quoted(key) + " (";
  for (size_t i = 0; i < fields.size(); ++i) {
    create += (i ? ", " : "") + Quoted(fields[i].name) + " " + ColumnType(fields[i]);
  }
  Exec("DROP TABLE IF EXISTS " + Quoted(key), source);
  Exec(create + ")", source);
}

void FolderDatabase::InsertRows(const std::string& key, DbfReader& reader,
                                const std::vector<bool>& columns, const std::string& source) {
  const auto& fields = reader.fields();
  std::string names;
  std::string row_parameters;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (!columns[i]) continue;
    names += (names.empty() ? "" : ", ") + Quoted(fields[i].name);
    row_parameters += row_parameters.empty() ? "(?" : ", ?";
  }
  // Rows go in blocks of several per statement: each step of a statement costs about as much
  // as a row.
  const size_t block_rows = names.empty() ? 1 : kRowsPerInsert;
  const auto prepare = [&](size_t rows) {
    std::string insert = "INSERT INTO " + Quoted(key);
    if (names.empty()) {
      insert += " DEFAULT VALUES";
    } else {
      insert += " (" + names + ") VALUES " + row_parameters + ")";
      for (size_t row = 1; row < rows; ++row) insert += ", " + row_parameters + ")";
    }
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, insert.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
      sqlite3_finalize(statement);
      throw HostError(kCorruptTable, sqlite3_errmsg(db_), source);
    }
    return std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)>(statement, sqlite3_finalize);
  };
  const auto single = prepare(1);
  const auto block = prepare(block_rows);
  RowProducer rows(reader);
  std::vector<Value> batch;
  std::vector<char> date_texts(block_rows * fields.size() * 10);
  while (rows.Next(&batch)) {
    const size_t batch_rows = batch.size() / fields.size();
    for (size_t row = 0; row < batch_rows;) {
      const size_t count = batch_rows - row >= block_rows ? block_rows : 1;
      sqlite3_stmt* statement = count == 1 ? single.get() : block.get();
      int parameter = 0;
      for (const size_t end = row + count; row < end; ++row) {
        for (size_t i = 0; i < fields.size(); ++i) {
          if (!columns[i]) continue;
          char* date_text = &date_texts[static_cast<size_t>(parameter) * 10];
          Bind(statement, ++parameter, batch[row * fields.size() + i], date_text);
        }
      }
      if (sqlite3_step(statement) != SQLITE_DONE) {
        throw HostError(kCorruptTable, sqlite3_errmsg(db_), source);
      }
      sqlite3_reset(statement);
    }
    // Before the batch the bound texts point into goes.
    sqlite3_clear_bindings(single.get());
    sqlite3_clear_bindings(block.get());
  }
}

void FolderDatabase::Exec(const std::string& sql, const std::string& source) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    const std::string text = message ? message : "unknown error";
    sqlite3_free(message);
    throw HostError(kCorruptTable, "The table cannot be loaded: " + text, source);
  }
}

}  // namespace vatrix
