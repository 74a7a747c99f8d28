// The host tables' layout as the program's queries need it: for each table the columns they
// read and the field types that hold those columns exactly. Columns no query reads are free.
#ifndef VATRIX_HOSTDATA_TABLE_LAYOUT_H_
#define VATRIX_HOSTDATA_TABLE_LAYOUT_H_

#include <string>
#include <string_view>
#include <vector>

#include "hostdata/dbf_reader.h"

namespace vatrix {

struct TableLayout {
  std::string_view table;  // upper case, e.g. "SP"
  // A row holding a value its field cannot read is left out and reported, instead of failing
  // the whole table (the company catalogue: one bad company must not hide the others).
  bool skips_bad_rows = false;
  std::string_view key_column;  // names a left-out row in its report
};

// The layout of table `name` (letter case ignored), or nullptr for a table no query names.
const TableLayout* FindTableLayout(std::string_view name);

// Throws HostError kCorruptTable, naming `path` and the field, when `fields` hold a column
// that the queries read from table `name` in a field of an unfit type (a date in a character
// field, text in a memo). Tables without a layout pass.
void CheckTableLayout(std::string_view name, const std::vector<DbfField>& fields,
                      const std::string& path);

// Whether the queries read `column` from table `name` (letter case ignored in both).
bool LayoutReads(std::string_view name, std::string_view column);

}  // namespace vatrix

#endif  // VATRIX_HOSTDATA_TABLE_LAYOUT_H_
