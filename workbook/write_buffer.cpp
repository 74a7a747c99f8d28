#include "workbook/write_buffer.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace vatrix {

namespace {

using Cell = std::pair<std::tuple<int, int, int>, CellValue>;  // (sheet, row, column), value
using CellIt = std::vector<Cell>::iterator;

bool KeyLess(const Cell& a, const Cell& b) { return a.first < b.first; }

// One row's run of written cells in consecutive columns.
struct Run {
  int left = 0;
  std::vector<CellValue> values;
};

// Splits the cells of one (sheet, row) into runs; `it` ends past that row.
std::vector<Run> RunsOfRow(CellIt& it, CellIt end) {
  const auto [sheet, row, first_column] = it->first;
  std::vector<Run> runs;
  int next_column = 0;
  for (; it != end && std::get<0>(it->first) == sheet && std::get<1>(it->first) == row; ++it) {
    const int column = std::get<2>(it->first);
    if (runs.empty() || column != next_column) runs.push_back({column, {}});
    runs.back().values.push_back(std::move(it->second));
    next_column = column + 1;
  }
  return runs;
}

// Grows the open blocks of the row above by this row's runs of the same span; blocks that do
// not continue move to `done`.
void MergeRow(int sheet, int row, std::vector<Run> runs, std::vector<CellBlock>& open,
              std::vector<CellBlock>& done) {
  std::vector<CellBlock> still_open;
  for (Run& run : runs) {
    const int width = static_cast<int>(run.values.size());
    auto above = std::find_if(open.begin(), open.end(), [&](const CellBlock& block) {
      return block.sheet == sheet && block.top + block.rows == row && block.left == run.left &&
             block.columns == width;
    });
    if (above == open.end()) {
      still_open.push_back({sheet, row, run.left, 1, width, std::move(run.values)});
      continue;
    }
    std::move(run.values.begin(), run.values.end(), std::back_inserter(above->values));
    ++above->rows;
    still_open.push_back(std::move(*above));
    open.erase(above);
  }
  std::move(open.begin(), open.end(), std::back_inserter(done));
  open = std::move(still_open);
}

}  // namespace

bool WriteBuffer::Put(int sheet, int row, int column, CellValue value) {
  cells_.emplace_back(std::make_tuple(sheet, row, column), std::move(value));
  if (cells_.size() < capacity_) return false;
  Compact();
  return cells_.size() >= capacity_;
}

void WriteBuffer::Compact() {
  // Cells come mostly in order (row by row); the stable sort keeps a cell's writes in order.
  if (!std::is_sorted(cells_.begin(), cells_.end(), KeyLess)) {
    std::stable_sort(cells_.begin(), cells_.end(), KeyLess);
  }
  // Of a cell's writes, the last one stays.
  auto kept = cells_.begin();
  for (auto it = cells_.begin(); it != cells_.end(); ++it) {
    if (std::next(it) != cells_.end() && std::next(it)->first == it->first) continue;
    if (kept != it) *kept = std::move(*it);
    ++kept;
  }
  cells_.erase(kept, cells_.end());
}

std::vector<CellBlock> WriteBuffer::Take() {
  Compact();
  std::vector<CellBlock> done;
  std::vector<CellBlock> open;
  for (auto it = cells_.begin(); it != cells_.end();) {
    const auto [sheet, row, column] = it->first;
    MergeRow(sheet, row, RunsOfRow(it, cells_.end()), open, done);
  }
  std::move(open.begin(), open.end(), std::back_inserter(done));
  cells_.clear();
  std::sort(done.begin(), done.end(), [](const CellBlock& a, const CellBlock& b) {
    return std::tie(a.sheet, a.top, a.left) < std::tie(b.sheet, b.top, b.left);
  });
  return done;
}

}  // namespace vatrix
