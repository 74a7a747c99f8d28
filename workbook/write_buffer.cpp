#include "workbook/write_buffer.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace vatrix {

namespace {

using CellMap = std::map<std::tuple<int, int, int>, CellValue>;

// One row's run of written cells in consecutive columns.
struct Run {
  int left = 0;
  std::vector<CellValue> values;
};

// Splits the cells of one (sheet, row) into runs; `it` ends past that row.
std::vector<Run> RunsOfRow(CellMap::iterator& it, CellMap::iterator end) {
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
  cells_.insert_or_assign({sheet, row, column}, std::move(value));
  return cells_.size() >= capacity_;
}

std::vector<CellBlock> WriteBuffer::Take() {
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
