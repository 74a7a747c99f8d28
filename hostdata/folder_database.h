// The tables of one data folder, loaded into an in-memory SQL database on first use and kept
// while their files are unchanged. One instance per folder serves every connection on it.
#ifndef VATRIX_HOSTDATA_FOLDER_DATABASE_H_
#define VATRIX_HOSTDATA_FOLDER_DATABASE_H_

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "hostdata/dbf_reader.h"

struct sqlite3;

namespace vatrix {

// Declared column types of loaded tables, by which results tell dates and logicals apart.
inline constexpr char kDateColumnType[] = "DATE_TEXT";       // 'yyyy-mm-dd' text
inline constexpr char kLogicalColumnType[] = "LOGICAL_INT";  // 1 or 0

class FolderDatabase {
 public:
  // The database of `folder`, shared with every other caller for the same folder. A few
  // recently used folders stay loaded; older ones are released when nobody holds them.
  static std::shared_ptr<FolderDatabase> ForFolder(const std::string& folder);

  explicit FolderDatabase(std::string folder);
  ~FolderDatabase();
  FolderDatabase(const FolderDatabase&) = delete;
  FolderDatabase& operator=(const FolderDatabase&) = delete;

  // Makes each named table current: opens its file when it is not loaded yet, or when the
  // file changed in any way (another file, size, modification or status-change time; its
  // memo files the same; the code page named for files that name none), and
  // declares the table with all its fields; its rows come with LoadColumnsFor. A table with a
  // layout (table_layout.h) is checked against it as it opens. Throws HostError
  // kTableUnavailable for a table without a file, or a file that cannot be read, and
  // kCorruptTable for a damaged one or one whose fields do not fit its layout (the previous
  // contents of that table are dropped then, never served stale).
  void EnsureTables(const std::vector<std::string>& tables);

  // Fills the current tables with the rows of their files, holding at least the columns
  // `sql` reads (preparing it tells which): a table gets its rows the first time, and is read
  // again when `sql` reads a column it does not hold yet; it then takes the columns its
  // layout names too, which the program's other queries read. Other columns stay null, their
  // values neither read nor checked. A text the engine cannot prepare fills nothing: its own
  // prepare reports the fault. Throws as EnsureTables for a value that does not fit its field.
  void LoadColumnsFor(const std::string& sql);
  // The same for the texts `sqls` of one run together: each table read once, with just the
  // columns they read.
  void LoadColumnsForAll(const std::vector<std::string>& sqls);

  // The records left out of the loaded `table` because a value did not fit its field, one
  // line each (only tables whose layout skips bad rows leave any out).
  std::vector<std::string> SkippedRecords(const std::string& table) const;
  // The file the loaded `table` was read from; "" when it is not loaded.
  std::string FileOf(const std::string& table) const;
  // The fields of loaded tables whose values could not be read (a type not read, a memo file
  // missing or damaged) that `sql` reads, in table order; none when it cannot be prepared.
  std::vector<UnreadableField> UnreadableFieldsRead(const std::string& sql) const;

  // Creates the indexes SQLite would otherwise build afresh for every run of `sql` (automatic
  // indexes on join keys), so that they are built once per loaded table.
  void AddIndexesFor(const std::string& sql);

  // The indexes a query over a long period needs where the date index no longer narrows a
  // table down (TranslatedQuery::long_date_range): the ledger's account, from which the
  // queries of the VAT account and of payments start, and the accounts' type, by which they
  // find those accounts (else a query that reads the ledger by account reads every
  // account's postings). Built the first time such a query reads the ledger among `tables`,
  // and from then on whenever either table is read again.
  void AddLongRangeIndexes(const std::vector<std::string>& tables);

  sqlite3* db() const { return db_; }
  const std::string& folder() const { return folder_; }
  // How many table loads this database has done (for tests of the cache).
  int loads() const { return loads_; }

 private:
  // What identifies one state of a table file. The status-change time moves with every
  // write and cannot be set back, so a rewrite that restores size and modification time
  // still shows.
  struct Stamp {
    std::string path;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modified_ns = 0;
    std::int64_t changed_ns = 0;
    std::string memo_files;         // the same of the memo files beside it
    std::string unnamed_code_page;  // the page read for headers that name none
    bool operator==(const Stamp&) const = default;
  };
  struct Loaded {
    Stamp stamp;
    std::vector<std::string> skipped;
    std::vector<UnreadableField> unreadable;
    std::vector<DbfField> fields;       // the file's fields, as the table declares them
    std::unique_ptr<DbfReader> unread;  // the opened file, until its rows are first read
    bool filled = false;                // the rows are in the table
    std::vector<bool> columns;          // per field: held by the rows
  };

  void EnsureTable(const std::string& name);
  // Creates the indexes AddLongRangeIndexes names on those of their tables that are filled.
  void CreateLongRangeIndexes();
  void Open(const std::string& key, const Stamp& stamp);
  // Per loaded table (by key) the columns preparing `sql` reads, one flag per field, and
  // every table not filled yet; empty when the text cannot be prepared.
  std::map<std::string, std::vector<bool>> WantedColumns(const std::string& sql);
  // Fills each table of `wanted` (by key) that lacks a marked column, keeping its columns.
  void FillColumns(std::map<std::string, std::vector<bool>> wanted);
  // Fills the table `key` with the rows of its file, holding the fields `columns` marks.
  void Fill(const std::string& key, std::vector<bool> columns);
  void CreateTable(const std::string& key, const std::vector<DbfField>& fields,
                   const std::string& source);
  void InsertRows(const std::string& key, DbfReader& reader, const std::vector<bool>& columns,
                  const std::string& source);
  void Drop(const std::string& name);
  void Exec(const std::string& sql, const std::string& source);

  std::string folder_;
  sqlite3* db_ = nullptr;
  std::map<std::string, Loaded> loaded_;  // by lower-case table name
  int loads_ = 0;
  bool long_range_ = false;  // a query over a long period has read the ledger
};

}  // namespace vatrix

#endif  // VATRIX_HOSTDATA_FOLDER_DATABASE_H_
