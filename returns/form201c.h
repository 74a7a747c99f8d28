// Form 201C, the statement of stock: one row per product (and per batch of the products kept
// by batch) whose closing quantity is not 0, written into "VAT_RET_201C_Monthly.xls".
#ifndef VATRIX_RETURNS_FORM201C_H_
#define VATRIX_RETURNS_FORM201C_H_

#include <cstdint>
#include <string>
#include <vector>

#include "hostdata/record_set.h"
#include "returns/build_context.h"
#include "returns/form201c_queries.h"
#include "returns/wait_panel.h"
#include "workbook/spreadsheet.h"
#include "workbook/template_session.h"

namespace vatrix {

inline constexpr char kForm201CTemplate[] = "VAT_RET_201C_Monthly.xls";
// The template's list area: sheet rows 3 to 4998 of sheet 1.
inline constexpr int kForm201CFirstRow = 3;
inline constexpr int kForm201CLastRow = 4998;

// Writes the rows of `stock` from its first row into the list area of the open template
// (columns 2 and 4 to 8), showing the count written on the wait panel. Sets CurrentSheet.
// Returns how many rows did not fit. Throws HostError on a spreadsheet failure.
std::int32_t FillForm201C(Spreadsheet& sheets, TemplateSession* workbook, RecordSet& stock,
                          const std::vector<std::string>& special_chars, WaitPanel& wait);

// The builder Proceed calls for "201C", with the lists taken as the panel's options say.
void Form201C(BuildContext& context);

// The run: the stock query first ("No Record Found for Vatrix....." when it lists nothing),
// then the template check and the filled workbook saved through CloseExcelApplication; the
// success message says how many rows the template could not hold. A failure is reported
// under "Form 201C" and leaves no output file; a table that cannot be opened ends the program.
void Form201CWithLists(BuildContext& context, ListChoice products, ListChoice batches);

}  // namespace vatrix

#endif  // VATRIX_RETURNS_FORM201C_H_
