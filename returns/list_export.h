// The export of a bill list into the department's list templates: the template by form,
// layout and size, and the run that writes one row per bill and saves the workbook.
#ifndef VATRIX_RETURNS_LIST_EXPORT_H_
#define VATRIX_RETURNS_LIST_EXPORT_H_

#include <cstdint>
#include <optional>
#include <string>

#include "hostdata/record_set.h"
#include "returns/build_context.h"
#include "returns/return_forms.h"

namespace vatrix {

// The list template of `list` for a list of `list_count` bills, with the "Old Type" layout
// (`old_type`) or the macro-based one, for a financial year that starts in `first_year`; "" when
// the form has no template for that layout and year. The count is 32-bit.
std::string ExcelFileName(const ListFacts& list, bool old_type, int first_year,
                          std::int32_t list_count);

// Writes the `list_count` bills of `*list_records` into the session's TemplateName (sheet,
// header cells and row layout from the session's form and the chosen layout), one row per bill
// whose account (or CST tax type) is in the session's List1Records, saves the workbook under the
// output path and shows "Data Exported Successfully into File : ...". Lists longer than the
// template's prepared rows get rows inserted (the template's macro, or natively when it has none).
// Always closes
// `*list_records` and takes the wait panel down. Reports a missing template, and any failure
// under "Import Into Excel" (a table that cannot be read under the program's title, without
// ending the program); on failure nothing is saved.
void DBFToExcel(BuildContext& context, std::optional<RecordSet>* list_records,
                std::int32_t list_count);

}  // namespace vatrix

#endif  // VATRIX_RETURNS_LIST_EXPORT_H_
