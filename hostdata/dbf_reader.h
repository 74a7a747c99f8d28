// Reads one dBase table file (.dbf) record by record: dBase III, III+, IV and 5 tables, FoxPro
// and Visual FoxPro tables and dBase 7 tables, with the memo file beside them. The files are
// treated as hostile: every structural fault becomes a HostError naming the file, never a
// crash.
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
  // 'C' character, 'N'/'F' numeric, 'D' date, 'L' logical, 'M' memo; FoxPro's 'I' integer,
  // 'Y' currency, 'B' double, 'T' date-time, 'V' varchar; others are not read.
  char type = 'C';
  int width = 0;
  int decimals = 0;
};

// A field whose values the reader cannot give: a type it does not read, or a memo field whose
// memo file is missing or damaged. Its values read as null; a query that reads the field must
// fail with this description and source instead.
struct UnreadableField {
  std::string field;        // as stored
  std::string description;  // "The field PHOTO has type 'G' (FoxPro general/OLE), which is ..."
  std::string source;       // "table file <path>[, memo file <path>], field PHOTO"
};

class DbfReader {
 public:
  // Opens the file at `path`, and the memo file beside it when a field needs one; the records
  // are read from the file as they are needed, never held whole. Throws
  // HostError: kTableUnavailable when the file cannot be opened for reading, kCorruptTable
  // when its header is not a valid dBase header, or the file is shorter than its record count
  // says, or holds a whole record past that count, or names one field twice.
  explicit DbfReader(const std::string& path);
  // Reads the table from `bytes` held in memory, its memo file from `memo` (none when
  // nullopt); `path` names the table in messages. Throws as above.
  DbfReader(const std::string& path, std::string bytes,
            std::optional<std::string> memo = std::nullopt);
  ~DbfReader();
  DbfReader(const DbfReader&) = delete;
  DbfReader& operator=(const DbfReader&) = delete;

  const std::string& path() const { return path_; }
  const std::vector<DbfField>& fields() const { return fields_; }
  // Number of records in the file, deleted ones included.
  int record_count() const { return record_count_; }
  // Code page the text is decoded from: the one the header names; else the one
  // SetUnnamedCodePage set; else "UTF-8" when the table's text is valid UTF-8 holding
  // multi-byte sequences, "CP1252" otherwise.
  const std::string& code_page() const { return code_page_; }

  // Reads the next record that is not marked deleted into `row` (one value per field):
  // character values decoded to UTF-8, NUL bytes read as blanks, right-trimmed; memo and
  // varchar texts decoded as they are; blank numbers, dates, logicals and date-times null,
  // FoxPro's null values null; date-times as "yyyy-mm-dd hh:mm:ss" text (".mmm" added when
  // there are milliseconds); unreadable fields null. Returns false after the last record.
  // Throws HostError kCorruptTable, naming the file, record and field, for a value that does
  // not fit its field's type (text in a numeric field, an impossible date).
  bool ReadRow(std::vector<Value>* row);
  // The same into `values[0, fields().size())`, every slot set.
  bool ReadRow(Value* values);

  // The fields whose values cannot be read: known when the reader opens, and grown by memo
  // faults met while reading. Complete after ReadRow returned false.
  const std::vector<UnreadableField>& unreadable_fields() const { return unreadable_; }

  // From now on ReadRow passes over a record holding a value that does not fit its field
  // instead of throwing, and describes it in skipped_records(), named by its `key_field`.
  void SkipUnreadableRecords(const std::string& key_field);
  // One line per record passed over: "record 3 (CODE 9): field DFR holds ...".
  const std::vector<std::string>& skipped_records() const { return skipped_; }

  // From now on ReadRow reads only the fields whose index `wanted` marks true (one flag per
  // field; missing flags false); the others stay null, unparsed and unchecked. An empty
  // `wanted` reads every field again.
  void ReadOnlyFields(std::vector<bool> wanted);

 private:
  struct Impl;
  // Reads the fields of record bytes `raw` into `values`; throws for a value that does not fit.
  void ReadFields(const char* raw, Value* values);
  // Checks the table's header and prepares reading; the memo file from `memo`, or found
  // beside the table when `memo_on_disk`.
  void Open(std::optional<std::string> memo, bool memo_on_disk);
  // Opens the memo file the memo fields need; marks them unreadable when it cannot be read.
  void OpenMemo(std::optional<std::string> memo, bool memo_on_disk);
  // The table's code page, guessed from its text when the header names none.
  std::string ChooseCodePage();
  void MarkUnreadable(size_t field, std::string description, std::string source);
  // Marks a memo field unreadable for `fault` of the memo file.
  void MarkMemoUnreadable(size_t field, const std::string& fault);

  std::string path_;
  std::vector<DbfField> fields_;
  int record_count_ = 0;
  std::string code_page_;
  int next_record_ = 0;
  std::optional<size_t> skip_key_;  // the key field's index while skipping unreadable records
  std::vector<std::string> skipped_;
  std::vector<UnreadableField> unreadable_;
  std::vector<bool> wanted_;  // ReadOnlyFields; empty: every field
  std::unique_ptr<Impl> impl_;
};

// Path of the file of table `name` in `folder` ("<name>.dbf", letter case ignored in both
// parts), or nullopt when the folder holds none. Throws HostError kCorruptTable, naming
// them, when several files differ only in letter case: which one holds the table is unknown.
std::optional<std::string> FindTableFile(const std::string& folder, std::string_view name);

}  // namespace vatrix

#endif  // VATRIX_HOSTDATA_DBF_READER_H_
