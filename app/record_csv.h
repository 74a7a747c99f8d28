// Writing a record set as CSV text, for people who try queries by hand.
#ifndef VATRIX_APP_RECORD_CSV_H_
#define VATRIX_APP_RECORD_CSV_H_

#include <ostream>
#include <string>

#include "hostdata/record_set.h"

namespace vatrix {

// One field as CSV: quoted (inner quotes doubled) only when it holds a comma, a quote or a
// line break, or starts or ends with a blank.
std::string CsvField(const std::string& text);

// `text` with every control character (NUL, escape, line breaks, ...) written as a blank, so
// that table data shown on a terminal or in a CSV line cannot act on either.
std::string PrintableText(std::string text);

// A header line of field names, then one line per row from the first: dates dd/MM/yyyy,
// numbers in their shortest exact form, logicals True/False, null as an empty field; control
// characters as blanks. Lines end with "\n". Leaves the record set's cursor at EOF.
void WriteCsv(RecordSet& records, std::ostream& out);

}  // namespace vatrix

#endif  // VATRIX_APP_RECORD_CSV_H_
