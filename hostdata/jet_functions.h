// The provider's SQL functions that SQLite lacks, under the names the query translator
// (hostdata/jet_sql.h) gives them: jet_isnull, jet_isdate, jet_val, jet_format, jet_month,
// jet_ucase, jet_mid, and jet_div for the '/' operator.
#ifndef VATRIX_HOSTDATA_JET_FUNCTIONS_H_
#define VATRIX_HOSTDATA_JET_FUNCTIONS_H_

struct sqlite3;

namespace vatrix {

// Registers on `db` the provider's functions the translated texts call (deterministic, UTF-8).
// Throws HostError kQueryRejected when SQLite refuses a registration.
//  IsNull(x)        1 when x is null, else 0.
//  IsDate(x)        1 for a stored date ('yyyy-mm-dd') or a text that reads as a day
//                   (d/m/yyyy, m/d/yyyy, blanks around allowed); 0 for anything else or null.
//  Val(x)           the number at the start of a text, blanks, tabs and line feeds ignored
//                   ("12.5%" 12.5, "1e3" 1000, "abc" 0); a number as it is; null for null
//                   (where the provider raises "Invalid use of Null").
//  Format(x[, f])   numeric formats of 0, # and , with an optional decimal point ("00": 4 gives
//                   "04"), rounding halves away from zero; date formats of d, dd, m, mm, yy, yyyy
//                   ("dd/mm/yyyy"); any other format, or none, gives x as text; null for null.
//  Month(x)         the month of a date; null for null; an error for a value that is no date.
//  UCase(x)         upper case, ASCII and Latin-1 letters; null for null.
//  Mid(x, s[, n])   n characters (all when n is left out) from the s-th (1-based) UTF-8
//                   character; null when an argument is null; an error for s < 1 or n < 0.
//  a / b            as jet_div(a, b): null when either is null; an error for a zero divisor.
void RegisterJetFunctions(sqlite3* db);

}  // namespace vatrix

#endif  // VATRIX_HOSTDATA_JET_FUNCTIONS_H_
