#include "workbook/spreadsheet.h"

#include <cmath>

#include "hostdata/host_error.h"

namespace vatrix {

std::string CellSource(const Sheet& sheet, int row, int column) {
  return "sheet '" + sheet.name + "' cell (" + std::to_string(row) + ", " + std::to_string(column) +
         ")";
}

void CheckCellAddress(const Sheet& sheet, int row, int column) {
  if (row < 1 || row > kMaxRow || column < 1 || column > kMaxColumn) {
    throw HostError(kSpreadsheetError,
                    "the cell lies outside the sheet (rows 1-" + std::to_string(kMaxRow) +
                        ", columns 1-" + std::to_string(kMaxColumn) + ")",
                    CellSource(sheet, row, column));
  }
}

void CheckCellValue(const Sheet& sheet, int row, int column, const CellValue& value) {
  const double* number = std::get_if<double>(&value);
  if (number != nullptr && !std::isfinite(*number)) {
    throw HostError(kSpreadsheetError, "the value to write is not a finite number",
                    CellSource(sheet, row, column));
  }
}

}  // namespace vatrix
