// The two selection lists of the return-form panel (accounts, tax types, products, batches),
// filled from the company's tables by the queries of the chosen form.
#ifndef VATRIX_HOSTDATA_SELECTION_LISTS_H_
#define VATRIX_HOSTDATA_SELECTION_LISTS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hostdata/connection.h"
#include "hostdata/record_set.h"
#include "hostdata/user_interface.h"

namespace vatrix {

// A list entry: the text shown, and the whole-number code of its row (0 when the row has none).
struct ListItem {
  std::string text;
  std::int32_t code = 0;
  friend bool operator==(const ListItem&, const ListItem&) = default;
};

// The session's connection and the lists with the record sets behind them. A record set that
// came back empty is released (nullopt).
struct SelectionLists {
  Connection connection;
  std::optional<RecordSet> list1_records;
  std::optional<RecordSet> list2_records;
  std::vector<ListItem> list1;
  std::vector<ListItem> list2;
};

struct FormwiseChoice {
  std::string host_folder;
  std::string company_code;  // "007", "1234"
  std::string list1_query;   // the query that fills List1; "" keeps its items
  std::string list2_query;   // the same for List2
};

// Reopens `lists->connection` on the company's folder and refills the lists that have a query
// (a list without one keeps its items). Failures are reported under "Formwise
// Recordset - Error"; lists filled before the failure keep their items.
void FormwiseRecordSet(const FormwiseChoice& choice, SelectionLists* lists, UserInterface& ui);

// Replaces `list` by one item per row of `*records` (first field as text, the row's Code as
// item code when the record set has a Code field); releases an empty record set. Throws
// HostError when a Code is not a whole number.
void Load_Rec(std::vector<ListItem>* list, std::optional<RecordSet>* records);

// True when the record set has a field called `name`, letter case ignored.
bool isFieldExist(const RecordSet& records, std::string_view name);

}  // namespace vatrix

#endif  // VATRIX_HOSTDATA_SELECTION_LISTS_H_
