// Collects cell writes and hands them over as rectangular blocks, so that a long list reaches
// the engine in a few block calls instead of one call per cell.
#ifndef VATRIX_WORKBOOK_WRITE_BUFFER_H_
#define VATRIX_WORKBOOK_WRITE_BUFFER_H_

#include <cstddef>
#include <tuple>
#include <utility>
#include <vector>

#include "workbook/spreadsheet.h"

namespace vatrix {

// A rectangle of cells written in one call: `rows` × `columns` values, row by row.
struct CellBlock {
  int sheet = 0;  // 1-based sheet position
  int top = 0;    // 1-based row
  int left = 0;   // 1-based column
  int rows = 0;
  int columns = 0;
  std::vector<CellValue> values;
};

class WriteBuffer {
 public:
  // `capacity`: the number of buffered cells at which Put asks for a flush. The default holds
  // a long list (some 40,000 rows of a dozen columns) for one block call.
  explicit WriteBuffer(size_t capacity = 1 << 19) : capacity_(capacity) {}

  // Records a write; a later write to the same cell replaces the earlier one. True when the
  // buffer has reached its capacity and should be taken.
  bool Put(int sheet, int row, int column, CellValue value);
  bool empty() const { return cells_.empty(); }

  // The buffered writes as blocks that cover exactly the written cells, sheet by sheet, from
  // top to bottom; empties the buffer.
  std::vector<CellBlock> Take();

 private:
  // Sorts the writes by cell and keeps each cell's last one.
  void Compact();

  size_t capacity_;
  std::vector<std::pair<std::tuple<int, int, int>, CellValue>> cells_;  // (sheet, row, column)
};

}  // namespace vatrix

#endif  // VATRIX_WORKBOOK_WRITE_BUFFER_H_
