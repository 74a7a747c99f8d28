#include "hostdata/connection.h"

#include <sqlite3.h>

#include <cstring>
#include <filesystem>

#include "hostdata/file_names.h"
#include "hostdata/folder_database.h"
#include "hostdata/host_error.h"
#include "hostdata/jet_sql.h"
#include "hostdata/table_layout.h"
#include "hostdata/text.h"

namespace vatrix {

namespace {

std::string QuerySource(std::string_view query) { return "query: " + std::string(query); }

// The value of "Data Source=" in a provider connection text, blanks around it removed.
std::string DataSource(std::string_view text) {
  static constexpr std::string_view kKey = "data source=";
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(';', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view item = Trim(text.substr(start, end - start));
    if (EqualsIgnoreCase(item.substr(0, kKey.size()), kKey)) {
      item.remove_prefix(kKey.size());
      return std::string(item);
    }
    start = end + 1;
  }
  return "";
}

// The company's folder text as the program writes it, in this platform's path form.
std::string NativePath(std::string path) {
#ifndef _WIN32
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
#endif
  return path;
}

Value ColumnValue(sqlite3_stmt* statement, int column) {
  switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL:
      return Value();
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: {
      const char* declared = sqlite3_column_decltype(statement, column);
      if (declared && std::strcmp(declared, kLogicalColumnType) == 0) {
        return Value::Bool(sqlite3_column_int(statement, column) != 0);
      }
      return Value::Number(sqlite3_column_double(statement, column));
    }
    default: {
      const char* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
      std::string value(text ? text : "", sqlite3_column_bytes(statement, column));
      // Dates travel as 'yyyy-mm-dd' text: a date column, or an expression that yields one.
      const char* declared = sqlite3_column_decltype(statement, column);
      const bool may_be_date = !declared || std::strcmp(declared, kDateColumnType) == 0;
      if (may_be_date) {
        if (const auto date = ParseIsoDate(value)) return Value::FromDate(*date);
      }
      return Value::Text(std::move(value));
    }
  }
}

// A column the queries read that a loaded table lacks is a table that cannot be read as the
// return needs it: it stops the run, naming the file and field, instead of counting as 0.
void ThrowIfLayoutFieldMissing(const std::string& message, const FolderDatabase& database,
                               const std::vector<std::string>& tables) {
  constexpr std::string_view kNoSuchColumn = "no such column: ";
  if (message.rfind(kNoSuchColumn, 0) != 0) return;
  std::string column = message.substr(kNoSuchColumn.size());
  std::string qualifier;
  if (const auto dot = column.rfind('.'); dot != std::string::npos) {
    qualifier = column.substr(0, dot);
    column = column.substr(dot + 1);
  }
  for (const std::string& table : tables) {
    if (!qualifier.empty() && !EqualsIgnoreCase(qualifier, table)) continue;
    const std::string file = database.FileOf(table);
    if (file.empty() || !LayoutReads(table, column)) continue;
    throw HostError(kCorruptTable, "The table has no field " + column + ", which the return reads",
                    "table file " + file + ", field " + column);
  }
}

// One failure naming every field whose values cannot be read, each with its own source.
[[noreturn]] void ThrowUnreadable(const std::vector<UnreadableField>& fields) {
  std::string description, source;
  for (const UnreadableField& field : fields) {
    description += (description.empty() ? "" : "; ") + field.description;
    source += (source.empty() ? "" : "; ") + field.source;
  }
  throw HostError(kCorruptTable, description, source);
}

[[noreturn]] void Rejected(const std::string& message, std::string_view query) {
  const bool unknown = message.rfind("no such column", 0) == 0 ||
                       message.rfind("no such function", 0) == 0 ||
                       message.rfind("no such table", 0) == 0;
  throw HostError(unknown ? kUnknownName : kQueryRejected, "The query cannot be run: " + message,
                  QuerySource(query));
}

}  // namespace

Connection::Connection() = default;
Connection::~Connection() = default;
Connection::Connection(Connection&&) noexcept = default;
Connection& Connection::operator=(Connection&&) noexcept = default;

void Connection::Open(std::string_view connection_text) {
  const std::string folder = DataSource(connection_text);
  if (folder.empty()) {
    throw HostError(kTableUnavailable, "The connection text names no data folder",
                    "connection: " + std::string(connection_text));
  }
  OpenFolder(NativePath(folder));
}

void Connection::OpenFolder(const std::string& folder) {
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) {
    throw HostError(kTableUnavailable, "The data folder " + folder + " does not exist",
                    "folder " + folder);
  }
  database_ = FolderDatabase::ForFolder(folder);
  folder_ = folder;
}

void Connection::Close() {
  database_.reset();
  folder_.clear();
}

RecordSet Connection::Execute(std::string_view query) const {
  if (!database_) {
    throw HostError(kTableUnavailable, "The connection is not open", QuerySource(query));
  }
  const TranslatedQuery translated = TranslateJetSql(query);
  database_->EnsureTables(translated.tables);
  database_->LoadColumnsFor(translated.sql);
  if (translated.long_date_range) database_->AddLongRangeIndexes(translated.tables);
  database_->AddIndexesFor(translated.sql);
  sqlite3* db = database_->db();
  const std::vector<UnreadableField> unreadable = database_->UnreadableFieldsRead(translated.sql);
  if (!unreadable.empty()) ThrowUnreadable(unreadable);
  sqlite3_stmt* statement = nullptr;
  const int prepared = sqlite3_prepare_v2(db, translated.sql.c_str(), -1, &statement, nullptr);
  if (prepared != SQLITE_OK) {
    const std::string message = sqlite3_errmsg(db);
    sqlite3_finalize(statement);
    ThrowIfLayoutFieldMissing(message, *database_, translated.tables);
    Rejected(message, query);
  }
  const int columns = sqlite3_column_count(statement);
  std::vector<std::string> names;
  for (int i = 0; i < columns; ++i) names.emplace_back(sqlite3_column_name(statement, i));
  std::vector<std::vector<Value>> rows;
  int status;
  while ((status = sqlite3_step(statement)) == SQLITE_ROW) {
    std::vector<Value> row;
    row.reserve(columns);
    for (int i = 0; i < columns; ++i) row.push_back(ColumnValue(statement, i));
    rows.push_back(std::move(row));
  }
  if (status != SQLITE_DONE) {
    const std::string message = sqlite3_errmsg(db);
    sqlite3_finalize(statement);
    Rejected(message, query);
  }
  sqlite3_finalize(statement);
  return RecordSet(std::move(names), std::move(rows), QuerySource(query));
}

void Connection::Preload(const std::vector<std::string>& queries) const {
  if (!database_) return;
  std::vector<std::string> texts;
  for (const std::string& query : queries) {
    try {
      TranslatedQuery translated = TranslateJetSql(query);
      database_->EnsureTables(translated.tables);
      texts.push_back(std::move(translated.sql));
    } catch (const HostError&) {
      // reported when the query runs
    }
  }
  try {
    database_->LoadColumnsForAll(texts);
  } catch (const HostError&) {
    // the table was dropped; the first query that reads it reports why
  }
}

std::string CompanyFolder(const std::string& host_folder, const std::string& company_code) {
  return WithSeparator(host_folder) + company_code;
}

}  // namespace vatrix
