#include "hostdata/memo_file.h"

#include <gtest/gtest.h>

#include "hostdata/host_error.h"
#include "hostdata/test_memos.h"

namespace vatrix {
namespace {

using testing::MemoBytes;

// Expects reading block `block` of memo file `bytes` to fail naming the file and `detail`.
void ExpectDamage(const std::string& bytes, MemoFormat format, std::uint64_t block,
                  const std::string& detail) {
  try {
    MemoFile("m.fpt", bytes, format).Text(block);
    FAIL() << "block " << block << " was read";
  } catch (const HostError& error) {
    EXPECT_EQ(error.number(), kCorruptTable);
    EXPECT_EQ(error.source(), "memo file m.fpt");
    EXPECT_NE(error.description().find(detail), std::string::npos) << error.description();
  }
}

TEST(MemoFileTest, ReadsTheTextsOfEachFormat) {
  const std::string long_text(700, 'x');  // longer than a block
  const std::vector<std::string> texts = {"First memo\r\n", long_text, "\x1F\x1A in text"};
  for (const MemoFormat format : {MemoFormat::kDbase4, MemoFormat::kFoxPro}) {
    for (const std::uint32_t block_size : {64u, 512u}) {
      const auto memo = MemoBytes(format, texts, block_size);
      const MemoFile file("m", memo.bytes, format);
      for (size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(file.Text(memo.blocks[i]), texts[i]) << static_cast<int>(format) << block_size;
      }
    }
  }
  // dBase III's texts end at the first end-of-text byte, or with the file.
  auto memo = MemoBytes(MemoFormat::kDbase3, {"First memo\r\n", long_text});
  const MemoFile dbase3("m", memo.bytes + "no end", MemoFormat::kDbase3);
  EXPECT_EQ(dbase3.Text(memo.blocks[0]), "First memo\r\n");
  EXPECT_EQ(dbase3.Text(memo.blocks[1]), long_text);
  EXPECT_EQ(dbase3.Text(memo.bytes.size() / 512), "no end");
}

TEST(MemoFileTest, DamagedHeadersAndBlocksFailNamingFileAndBlock) {
  const auto fox = MemoBytes(MemoFormat::kFoxPro, {"text"}, 64);
  const auto dbase4 = MemoBytes(MemoFormat::kDbase4, {"text"});
  ExpectDamage(fox.bytes.substr(0, 100), MemoFormat::kFoxPro, 8, "too short for a memo header");
  std::string no_size = fox.bytes;
  no_size[7] = 0;
  ExpectDamage(no_size, MemoFormat::kFoxPro, 8, "block size 0");
  ExpectDamage(fox.bytes, MemoFormat::kFoxPro, 3, "block 3 lies outside");  // in the header
  ExpectDamage(fox.bytes, MemoFormat::kFoxPro, 4000000000u, "block 4000000000 lies outside");
  std::string picture = fox.bytes;
  picture[fox.blocks[0] * 64 + 3] = 0;
  ExpectDamage(picture, MemoFormat::kFoxPro, fox.blocks[0], "holds a picture, not text");
  std::string too_long = fox.bytes;
  too_long[fox.blocks[0] * 64 + 6] = 1;  // 260 bytes in a 64-byte block at the end
  ExpectDamage(too_long, MemoFormat::kFoxPro, fox.blocks[0], "more than the file has left");
  ExpectDamage(fox.bytes.substr(0, fox.blocks[0] * 64 + 5), MemoFormat::kFoxPro, fox.blocks[0],
               "cut short");
  std::string unsigned_block = dbase4.bytes;
  unsigned_block[512] = 'x';
  ExpectDamage(unsigned_block, MemoFormat::kDbase4, 1, "block 1 does not start a memo");
  std::string short_length = dbase4.bytes;
  short_length[516] = 3;
  ExpectDamage(short_length, MemoFormat::kDbase4, 1, "shorter than itself");
}

}  // namespace
}  // namespace vatrix
