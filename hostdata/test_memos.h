// Test support: memo files written byte by byte in each of the three formats.
#ifndef VATRIX_HOSTDATA_TEST_MEMOS_H_
#define VATRIX_HOSTDATA_TEST_MEMOS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "hostdata/memo_file.h"

namespace vatrix::testing {

struct TestMemo {
  std::string bytes;
  std::vector<std::uint32_t> blocks;  // the block of each text, in order
};

// A memo file in `format` holding `texts` one after another, in blocks of `block_size` bytes
// (dBase III always uses 512).
TestMemo MemoBytes(MemoFormat format, const std::vector<std::string>& texts,
                   std::uint32_t block_size = 512);

}  // namespace vatrix::testing

#endif  // VATRIX_HOSTDATA_TEST_MEMOS_H_
