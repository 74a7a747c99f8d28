#include "hostdata/folder_database.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <condition_variable>
#include <deque>
#include <exception>
#include <filesystem>
#include <iterator>
#include <list>
#include <mutex>
#include <optional>
#include <thread>

#include "hostdata/dbf_reader.h"
#include "hostdata/host_error.h"
#include "hostdata/jet_functions.h"
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

const char* ColumnType(const DbfField& field) {
  switch (field.type) {
    case 'N':
    case 'F':
      return "REAL";
    case 'D':
      return kDateColumnType;
    case 'L':
      return kLogicalColumnType;
    default:
      return "TEXT COLLATE NOCASE";  // the provider compares text ignoring case
  }
}

// Every query of a return selects a period by date: date columns are indexed as they load.
// Join keys get their index when a query first needs one (AddIndexesFor).
bool IndexedOnLoad(const DbfField& field) { return field.type == 'D'; }

// Reads a plan line "SEARCH t USING AUTOMATIC [PARTIAL] COVERING INDEX (a=? AND b=?)" into
// the table and its columns; false for any other line.
bool ReadAutomaticIndex(const std::string& detail, std::string* table,
                        std::vector<std::string>* columns) {
  static constexpr std::string_view kSearch = "SEARCH ";
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

void Bind(sqlite3_stmt* statement, int index, const Value& value) {
  switch (value.kind()) {
    case Value::Kind::kNull:
      sqlite3_bind_null(statement, index);
      break;
    case Value::Kind::kNumber:
      sqlite3_bind_double(statement, index, value.number());
      break;
    case Value::Kind::kText:
      sqlite3_bind_text(statement, index, value.text().data(),
                        static_cast<int>(value.text().size()), SQLITE_TRANSIENT);
      break;
    case Value::Kind::kDate: {
      const std::string iso = FormatIsoDate(value.date());
      sqlite3_bind_text(statement, index, iso.data(), static_cast<int>(iso.size()),
                        SQLITE_TRANSIENT);
      break;
    }
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
  static constexpr size_t kBatchRows = 4096;
  static constexpr size_t kBatchesAhead = 4;

  void Run() {
    try {
      bool more = true;
      while (more) {
        std::vector<Value> batch;
        batch.reserve(kBatchRows * reader_.fields().size());
        std::vector<Value> row;
        for (size_t n = 0; n < kBatchRows && (more = reader_.ReadRow(&row)); ++n) {
          std::move(row.begin(), row.end(), std::back_inserter(batch));
        }
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

std::int64_t Nanoseconds(const timespec& time) {
  return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
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
  if (sqlite3_open(":memory:", &db_) != SQLITE_OK) {
    const std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    throw HostError(kTableUnavailable, "The query engine cannot start: " + message, folder_);
  }
  // A double-quoted name that matches no column must be an error, not a text constant.
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
  Exec("PRAGMA journal_mode = OFF", folder_);
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
}

void FolderDatabase::AddLongRangeIndexes(const std::vector<std::string>& tables) {
  for (const std::string& table : tables) {
    if (ToLowerAscii(table) != "ledger" || !loaded_.count("ledger")) continue;
    // A ledger without the column fails the query itself, with its own message.
    sqlite3_exec(db_, "CREATE INDEX IF NOT EXISTS \"ledger_CODE\" ON \"ledger\" (\"CODE\")",
                 nullptr, nullptr, nullptr);
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
                    Nanoseconds(status.st_ctim)};
  const auto cached = loaded_.find(key);
  if (cached != loaded_.end() && cached->second.stamp == stamp) return;
  Drop(key);
  Load(key, stamp);
}

std::vector<std::string> FolderDatabase::SkippedRecords(const std::string& table) const {
  const auto found = loaded_.find(ToLowerAscii(table));
  return found == loaded_.end() ? std::vector<std::string>() : found->second.skipped;
}

std::string FolderDatabase::FileOf(const std::string& table) const {
  const auto found = loaded_.find(ToLowerAscii(table));
  return found == loaded_.end() ? std::string() : found->second.stamp.path;
}

void FolderDatabase::Drop(const std::string& key) {
  if (loaded_.erase(key)) Exec("DROP TABLE IF EXISTS " + Quoted(key), "table " + key);
}

void FolderDatabase::Load(const std::string& key, const Stamp& stamp) {
  DbfReader reader(stamp.path);
  const auto& fields = reader.fields();
  CheckTableLayout(key, fields, stamp.path);
  const TableLayout* layout = FindTableLayout(key);
  if (layout && layout->skips_bad_rows) {
    reader.SkipUnreadableRecords(std::string(layout->key_column));
  }
  std::string create = "CREATE TABLE " + Quoted(key) + " (";
  std::string insert = "INSERT INTO " + Quoted(key) + " VALUES (";
  for (size_t i = 0; i < fields.size(); ++i) {
    create += (i ? ", " : "") + Quoted(fields[i].name) + " " + ColumnType(fields[i]);
    insert += i ? ", ?" : "?";
  }
  const std::string source = "table file " + stamp.path;
  Exec("DROP TABLE IF EXISTS " + Quoted(key), source);
  Exec(create + ")", source);
  Exec("BEGIN", source);
  sqlite3_stmt* statement = nullptr;
  try {
    if (sqlite3_prepare_v2(db_, (insert + ")").c_str(), -1, &statement, nullptr) != SQLITE_OK) {
      throw HostError(kCorruptTable, sqlite3_errmsg(db_), source);
    }
    RowProducer rows(reader);
    std::vector<Value> batch;
    while (rows.Next(&batch)) {
      for (size_t row = 0; row < batch.size(); row += fields.size()) {
        for (size_t i = 0; i < fields.size(); ++i) {
          Bind(statement, static_cast<int>(i + 1), batch[row + i]);
        }
        if (sqlite3_step(statement) != SQLITE_DONE) {
          throw HostError(kCorruptTable, sqlite3_errmsg(db_), source);
        }
        sqlite3_reset(statement);
      }
    }
    sqlite3_finalize(statement);
    statement = nullptr;
    for (const auto& field : fields) {
      if (!IndexedOnLoad(field)) continue;
      Exec("CREATE INDEX " + Quoted(key + "_" + field.name) + " ON " + Quoted(key) + " (" +
               Quoted(field.name) + ")",
           source);
    }
    Exec("COMMIT", source);
  } catch (...) {
    sqlite3_finalize(statement);
    Exec("ROLLBACK", source);
    throw;
  }
  loaded_[key] = Loaded{stamp, reader.skipped_records()};
  ++loads_;
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
