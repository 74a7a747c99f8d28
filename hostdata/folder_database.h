// The tables of one data folder, loaded into an in-memory SQL database on first use and kept
// while their files are unchanged. One instance per folder serves every connection on it.
#ifndef VATRIX_HOSTDATA_FOLDER_DATABASE_H_
#define VATRIX_HOSTDATA_FOLDER_DATABASE_H_

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

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

  // Makes each named table current: loads it when it is not loaded yet, reloads it when its
  // file changed in any way (another file, size, modification or status-change time). A table
  // with a layout (table_layout.h) is checked against it as it loads. Throws HostError
  // kTableUnavailable for a table without a file, or a file that cannot be read, and
  // kCorruptTable for a damaged one or one whose fields do not fit its layout (the previous
  // contents of that table are dropped then, never served stale).
  void EnsureTables(const std::vector<std::string>& tables);

  // The records left out of the loaded `table` because a value did not fit its field, one
  // line each (only tables whose layout skips bad rows leave any out).
  std::vector<std::string> SkippedRecords(const std::string& table) const;
  // The file the loaded `table` was read from; "" when it is not loaded.
  std::string FileOf(const std::string& table) const;

  // Creates the indexes SQLite would otherwise build afresh for every run of `sql` (automatic
  // indexes on join keys), so that they are built once per loaded table.
  void AddIndexesFor(const std::string& sql);

  // The indexes a query over a long period needs where the date index no longer narrows a
  // table down (TranslatedQuery::long_date_range): the ledger's account, from which the
  // queries of the VAT account and of payments start. Built the first time such a query
  // reads the table among `tables`, and kept while the table stays loaded.
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
    bool operator==(const Stamp&) const = default;
  };
  struct Loaded {
    Stamp stamp;
    std::vector<std::string> skipped;
  };

  void EnsureTable(const std::string& name);
  void Load(const std::string& name, const Stamp& stamp);
  void Drop(const std::string& name);
  void Exec(const std::string& sql, const std::string& source);

  std::string folder_;
  sqlite3* db_ = nullptr;
  std::map<std::string, Loaded> loaded_;  // by lower-case table name
  int loads_ = 0;
};

}  // namespace vatrix

#endif  // VATRIX_HOSTDATA_FOLDER_DATABASE_H_
