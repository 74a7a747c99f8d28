// CSV text: a record set written for people who try queries by hand, and CSV files read back
// (RFC 4180) for the job lists of a batch.
#ifndef VATRIX_APP_RECORD_CSV_H_
#define VATRIX_APP_RECORD_CSV_H_

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

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

// One record of a CSV file and the line it starts on (1 for the first).
struct CsvRecord {
  int line = 0;
  std::vector<std::string> fields;
};

// The records of CSV `text` (RFC 4180): fields split at commas, a quoted field may hold commas,
// line breaks and doubled quotes; lines end with CR LF or LF; a UTF-8 byte order mark before
// the first record and empty lines are skipped. Stops at the first fault (a quote left open, text
// after a closing quote) and says where in `problem`; "" when none.
std::vector<CsvRecord> ReadCsv(std::string_view text, std::string* problem);

}  // namespace vatrix

#endif  // VATRIX_APP_RECORD_CSV_H_
