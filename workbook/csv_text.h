// The bytes of a CSV save: the active sheet's displayed cell texts, comma separated, a field
// quoted only when it must be, CRLF line ends, Windows-1252 text.
#ifndef VATRIX_WORKBOOK_CSV_TEXT_H_
#define VATRIX_WORKBOOK_CSV_TEXT_H_

#include <string>
#include <string_view>
#include <vector>

namespace vatrix {

using TextGrid = std::vector<std::vector<std::string>>;  // rows of UTF-8 cell texts

// The CSV file of `rows` (the used range from A1): every row padded with empty fields to the
// widest row, a field quoted when it holds a comma, a quote or a line break (quotes doubled),
// other control characters written as blanks, each row ended by CR LF.
std::string CsvBytes(const TextGrid& rows);

// `utf8` in Windows-1252; a character that code page cannot hold, or a malformed byte,
// becomes '?'.
std::string ToWindows1252(std::string_view utf8);

// Reads comma separated UTF-8 text with '"' quoting and LF or CR LF line ends into rows of
// fields. Never fails: an unterminated quote runs to the end of the text.
TextGrid ParseCsv(std::string_view text);

}  // namespace vatrix

#endif  // VATRIX_WORKBOOK_CSV_TEXT_H_
