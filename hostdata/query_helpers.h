// The small query procedures the return builders share.
#ifndef VATRIX_HOSTDATA_QUERY_HELPERS_H_
#define VATRIX_HOSTDATA_QUERY_HELPERS_H_

#include <string>
#include <string_view>
#include <vector>

#include "hostdata/connection.h"
#include "hostdata/record_set.h"
#include "hostdata/user_interface.h"

namespace vatrix {

// `value` rounded to `decimals` places, an exact half going to the even neighbour. "Exact" is
// judged on the shortest decimal form of the double, so a sum that prints as 1.005 counts as a
// half (0.125 gives 0.12, 0.375 gives 0.38, 1.005 gives 1.0).
double RoundHalfEven(double value, int decimals = 2);

// First column of the first row of an aggregate query, rounded to 2 decimals; 0 for no row,
// null or empty text. A failure is reported under "Get Amount - Error" and yields 0; a table
// that cannot be opened ends the program (ProgramEnding); a damaged table (kCorruptTable) is
// not reported here but thrown on, so that the caller's run stops: a return with that figure
// as 0 would only look right.
double getAmount(const Connection& connection, std::string_view query, UserInterface& ui);

// True when a row whose field `field` equals `value` exists; the record set is then left on
// the first such row. An empty record set gives false without moving it. Failures are
// reported under "Record Found Function Error" and give false.
bool rec_found(RecordSet& records, std::string_view field, std::string_view value,
               UserInterface& ui);

// True when an item of `items` contains `value`, ignoring case; the first such item wins and
// is stored in `matched_item` (empty when none, or when `value` is empty).
bool SearchMyArray(std::string_view value, const std::vector<std::string>& items,
                   std::string* matched_item);

}  // namespace vatrix

#endif  // VATRIX_HOSTDATA_QUERY_HELPERS_H_
