// Record-set fields written into a workbook as they were read.
#ifndef VATRIX_RETURNS_FIELD_CELLS_H_
#define VATRIX_RETURNS_FIELD_CELLS_H_

#include "hostdata/value.h"
#include "workbook/spreadsheet.h"

namespace vatrix {

// A field's value as a cell: a number as itself, anything else as the text a user reads
// (null as the empty cell), neither rounded nor formatted.
CellValue CellAsRead(const Value& value);

}  // namespace vatrix

#endif  // VATRIX_RETURNS_FIELD_CELLS_H_
