#include "workbook/write_buffer.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

namespace vatrix {
namespace {

CellValue Text(const char* text) { return std::string(text); }

TEST(WriteBufferTest, ListRowsBecomeOneBlockPerColumnRun) {
  WriteBuffer buffer;
  // A list that leaves column 6 alone, written row by row as a builder does.
  for (int row = 8; row <= 11; ++row) {
    for (int column : {2, 3, 4, 5, 7, 8}) buffer.Put(1, row, column, row * 100.0 + column);
  }
  const std::vector<CellBlock> blocks = buffer.Take();
  ASSERT_EQ(blocks.size(), 2u);
  EXPECT_EQ(std::tie(blocks[0].top, blocks[0].left, blocks[0].rows, blocks[0].columns),
            std::make_tuple(8, 2, 4, 4));
  EXPECT_EQ(std::tie(blocks[1].top, blocks[1].left, blocks[1].rows, blocks[1].columns),
            std::make_tuple(8, 7, 4, 2));
  EXPECT_EQ(blocks[0].values[0], CellValue(802.0));
  EXPECT_EQ(blocks[0].values[5], CellValue(903.0));  // row-major
  EXPECT_EQ(blocks[1].values.back(), CellValue(1108.0));
  EXPECT_TRUE(buffer.empty());
  EXPECT_TRUE(buffer.Take().empty());
}

using Cells = std::map<std::tuple<int, int, int>, CellValue>;  // (sheet, row, column)

// The cells the blocks write; a cell written by two blocks fails the test.
Cells Covered(const std::vector<CellBlock>& blocks) {
  Cells cells;
  for (const CellBlock& block : blocks) {
    EXPECT_EQ(block.values.size(), static_cast<size_t>(block.rows * block.columns));
    for (size_t i = 0; i < block.values.size(); ++i) {
      const int row = block.top + static_cast<int>(i) / block.columns;
      const int column = block.left + static_cast<int>(i) % block.columns;
      EXPECT_TRUE(cells.insert({{block.sheet, row, column}, block.values[i]}).second)
          << "sheet " << block.sheet << " cell (" << row << ", " << column << ") written twice";
    }
  }
  return cells;
}

// No block spans a cell that was not written: not a row, column or sheet between writes.
TEST(WriteBufferTest, BlocksCoverExactlyTheWrittenCellsAndTheLastWriteWins) {
  const Cells written = {
      {{1, 1, 1}, 1.0},           {{1, 1, 2}, 2.0},       // columns 1-2
      {{1, 2, 1}, 3.0},                                   // narrower than row 1
      {{1, 4, 1}, 4.0},           {{1, 4, 2}, Text("")},  // row 1's columns again, a row apart
      {{1, 8, 3}, 8.0},           {{1, 10, 3}, 10.0},     // rows 8 and 10, row 9 untouched
      {{1, 12, 2}, 1.0},          {{1, 12, 4}, 2.0},      // column 3 untouched
      {{1, 13, 2}, 3.0},          {{1, 13, 4}, 4.0},      // the same again in the next row
      {{2, 14, 2}, 5.0},          {{2, 14, 4}, 6.0},      // the next row, on the next sheet
      {{2, 20, 3}, Text("text")},
  };
  WriteBuffer buffer;
  buffer.Put(1, 4, 2, Text("x"));  // the later write of the empty text replaces it
  for (auto it = written.rbegin(); it != written.rend(); ++it) {  // last cell first
    const auto [sheet, row, column] = it->first;
    buffer.Put(sheet, row, column, it->second);
  }
  const std::vector<CellBlock> blocks = buffer.Take();
  EXPECT_EQ(Covered(blocks), written);
  EXPECT_EQ(blocks.size(), 10u);  // rows 12-13 merged by column
}

TEST(WriteBufferTest, AsksForAFlushAtCapacity) {
  WriteBuffer buffer(3);
  EXPECT_FALSE(buffer.Put(1, 1, 1, 1.0));
  EXPECT_FALSE(buffer.Put(1, 1, 1, 2.0));  // the same cell again
  EXPECT_FALSE(buffer.Put(1, 1, 2, 2.0));
  EXPECT_TRUE(buffer.Put(1, 1, 3, 2.0));
}

}  // namespace
}  // namespace vatrix
