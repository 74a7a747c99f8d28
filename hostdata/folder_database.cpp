#include "hostdata/folder_database.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <list>

#include "hostdata/dbf_reader.h"
#include "hostdata/host_error.h"
#include "hostdata/jet_functions.h"

namespace vatrix {

namespace {

constexpr size_t kFoldersKept = 4;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

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

// Columns that queries filter or join on, worth an index on a large table.
bool WorthIndex(const DbfField& field) {
  const std::string name = Lower(field.name);
  return field.type == 'D' || name == "link" || name == "code";
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

std::int64_t ModifiedTime(const std::filesystem::path& path, std::error_code& error) {
  return std::filesystem::last_write_time(path, error).time_since_epoch().count();
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
  RegisterJetFunctions(db_);
}

FolderDatabase::~FolderDatabase() { sqlite3_close(db_); }

void FolderDatabase::EnsureTables(const std::vector<std::string>& tables) {
  for (const auto& name : tables) EnsureTable(name);
}

void FolderDatabase::EnsureTable(const std::string& name) {
  const std::string key = Lower(name);
  const auto path = FindTableFile(folder_, name);
  std::error_code error;
  Stamp stamp;
  if (path) {
    stamp.path = *path;
    stamp.size = std::filesystem::file_size(*path, error);
    if (!error) stamp.modified = ModifiedTime(*path, error);
  }
  if (!path || error) {
    Drop(key);
    throw HostError(kTableUnavailable,
                    "The table " + name + " cannot be found in the data folder " + folder_,
                    "table " + name);
  }
  const auto cached = loaded_.find(key);
  if (cached != loaded_.end() && cached->second == stamp) return;
  Drop(key);
  Load(key, stamp);
}

void FolderDatabase::Drop(const std::string& key) {
  if (loaded_.erase(key)) Exec("DROP TABLE IF EXISTS " + Quoted(key), "table " + key);
}

void FolderDatabase::Load(const std::string& key, const Stamp& stamp) {
  DbfReader reader(stamp.path);
  const auto& fields = reader.fields();
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
    std::vector<Value> row;
    while (reader.ReadRow(&row)) {
      for (size_t i = 0; i < row.size(); ++i) Bind(statement, static_cast<int>(i + 1), row[i]);
      if (sqlite3_step(statement) != SQLITE_DONE) {
        throw HostError(kCorruptTable, sqlite3_errmsg(db_), source);
      }
      sqlite3_reset(statement);
    }
    sqlite3_finalize(statement);
    statement = nullptr;
    for (const auto& field : fields) {
      if (!WorthIndex(field)) continue;
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
  loaded_[key] = stamp;
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
