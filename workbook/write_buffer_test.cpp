#include "workbook/write_buffer.h"

#include <gtest/gtest.h>

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

TEST(WriteBufferTest, BlocksCoverOnlyWrittenCellsAndTheLastWriteWins) {
  WriteBuffer buffer;
  buffer.Put(2, 5, 3, Text("late"));  // another sheet, written first
  buffer.Put(1, 1, 1, 1.0);
  buffer.Put(1, 1, 2, 2.0);
  buffer.Put(1, 2, 1, 3.0);  // narrower than row 1: a block of its own
  buffer.Put(1, 4, 1, 4.0);  // a gap of one row
  buffer.Put(1, 4, 2, Text("x"));
  buffer.Put(1, 4, 2, Text(""));  // the empty text replaces the earlier write
  const std::vector<CellBlock> blocks = buffer.Take();
  ASSERT_EQ(blocks.size(), 4u);
  size_t cells = 0;
  for (const CellBlock& block : blocks) {
    EXPECT_EQ(block.values.size(), static_cast<size_t>(block.rows * block.columns));
    cells += block.values.size();
  }
  EXPECT_EQ(cells, 6u);
  EXPECT_EQ(std::tie(blocks[0].sheet, blocks[0].top, blocks[0].columns), std::make_tuple(1, 1, 2));
  EXPECT_EQ(std::tie(blocks[1].top, blocks[1].columns), std::make_tuple(2, 1));
  EXPECT_EQ(blocks[2].values, (std::vector<CellValue>{4.0, Text("")}));
  EXPECT_EQ(blocks[3].sheet, 2);
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
