// The export of a bill list into the department's list templates: the template by form,
// layout and size, and the run that writes one row per bill and saves the workbook.
#ifndef VATRIX_RETURNS_LIST_EXPORT_H_
#define VATRIX_RETURNS_LIST_EXPORT_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/build_context.h"
#include "hostdata/record_set.h"

namespace vatrix {

// The year of a "dd/MM/yyyy" text; 0 when the text is not such a date.
int YearOfDate(std::string_view date);

// The list template of `return_code` for a list of `list_count` bills, with the "Old Type"
// layout (`old_type`) or the macro-based one; "Old Type" names differ for financial years that
// start (`first_year`) before 2008. "" for an unknown code and for "Old Type" 202A/202B before
// 2008, which have no template. The count is 32-bit; the size steps are 500, 1000, 5000, 20000
// and 40000 for 201A/201B, and 500, 2000, 20000 and 40000 for the CST lists.
std::string ExcelFileName(std::string_view return_code, bool old_type, int first_year,
                          std::int32_t list_count);

// Writes the `list_count` bills of `*list_records` into the session's TemplateName (sheet,
// header cells and row layout by form and layout), one row per bill whose account (or CST tax
// type) is in the session's List1Records, saves the workbook under the output path and shows
// "Data Exported Successfully into File : ...". Lists longer than the template's prepared
// rows get rows inserted (the template's macro, or natively when it has none). Always closes
// `*list_records` and takes the wait panel down. Reports a missing template, and any failure
// under "Import Into Excel" (a table that cannot be read under the program's title, without
// ending the program); on failure nothing is saved.
void DBFToExcel(BuildContext& context, std::optional<RecordSet>* list_records,
                std::int32_t list_count);

}  // namespace vatrix

#endif  // VATRIX_RETURNS_LIST_EXPORT_H_
