// Which stored columns a statement reads, as its compiled program reads them: a parenthesized
// join or a view that names every column of a table by "*" reads only those the statement
// goes on to use.
#ifndef VATRIX_HOSTDATA_COLUMNS_READ_H_
#define VATRIX_HOSTDATA_COLUMNS_READ_H_

#include <map>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace vatrix {

// Per table of `db`'s main schema (by its stored name), one flag per column position, set
// for each column the program of `sql` reads from the table, and each column of an index on
// it the program opens;
// vectors stop after the last flag set. A table the program reads only by row number has an
// entry without flags. nullopt when `sql` cannot be prepared.
std::optional<std::map<std::string, std::vector<bool>>> ColumnsRead(sqlite3* db,
                                                                    const std::string& sql);

}  // namespace vatrix

#endif  // VATRIX_HOSTDATA_COLUMNS_READ_H_
