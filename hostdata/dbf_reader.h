// Reads one dBase III/IV table file (.dbf) record by record. The file is treated as hostile:
// every structural fault becomes a HostError naming the file, never a crash.
#ifndef VATRIX_HOSTDATA_DBF_READER_H_
#define VATRIX_HOSTDATA_DBF_READER_H_

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hostdata/value.h"

namespace vatrix {

struct DbfField {
  std::string name;  // as stored, e.g. "BILL_AMT"
  char type = 'C';   // 'C' character, 'N'/'F' numeric, 'D' date, 'L' logical, 'M' memo
  int width = 0;
  int decimals = 0;
};

class DbfReader {
 public:
  // Opens the file at `path`. Throws HostError: kTableUnavailable when the file cannot be
  // opened for reading, kCorruptTable when its header is not a valid dBase header, or the
  // file is shorter than its record count says, or holds a whole record past that count.
  explicit DbfReader(const std::string& path);
  // Reads the table from `bytes` held in memory; `path` names it in messages. Throws as above.
  DbfReader(const std::string& path, std::string bytes);
  ~DbfReader();
  DbfReader(const DbfReader&) = delete;
  DbfReader& operator=(const DbfReader&) = delete;

  const std::string& path() const { return path_; }
  const std::vector<DbfField>& fields() const { return fields_; }
  // Number of records in the file, deleted ones included.
  int record_count() const { return record_count_; }
  // Code page the text is decoded from ("CP1252" when the file names none).
  const std::string& code_page() const { return code_page_; }

  // Reads the next record that is not marked deleted into `row` (one value per field):
  // character values decoded to UTF-8, NUL bytes read as blanks, right-trimmed; blank
  // numbers, dates and logicals null; memo fields null. Returns false after the last record.
  // Throws HostError kCorruptTable, naming the file, record and field, for a value that does
  // not fit its field's type (text in a numeric field, an impossible date).
  bool ReadRow(std::vector<Value>* row);

  // From now on ReadRow passes over a record holding a value that does not fit its field
  // instead of throwing, and describes it in skipped_records(), named by its `key_field`.
  void SkipUnreadableRecords(const std::string& key_field);
  // One line per record passed over: "record 3 (CODE 9): field DFR holds ...".
  const std::vector<std::string>& skipped_records() const { return skipped_; }

 private:
  struct Impl;
  // Reads the fields of record bytes `raw` into `row`; throws for a value that does not fit.
  void ReadFields(const char* raw, std::vector<Value>* row);

  std::string path_;
  std::vector<DbfField> fields_;
  int record_count_ = 0;
  std::string code_page_;
  int next_record_ = 0;
  std::optional<size_t> skip_key_;  // the key field's index while skipping unreadable records
  std::vector<std::string> skipped_;
  std::unique_ptr<Impl> impl_;
};

// Path of the file of table `name` in `folder` ("<name>.dbf", letter case ignored in both
// parts), or nullopt when the folder holds none. Throws HostError kCorruptTable, naming
// them, when several files differ only in letter case: which one holds the table is unknown.
std::optional<std::string> FindTableFile(const std::string& folder, std::string_view name);

}  // namespace vatrix

#endif  // VATRIX_HOSTDATA_DBF_READER_H_
