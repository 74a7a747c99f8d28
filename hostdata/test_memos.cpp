#include "hostdata/test_memos.h"

namespace vatrix::testing {

namespace {

std::string Number(std::uint32_t value, bool big_endian) {
  std::string out(4, '\0');
  for (int i = 0; i < 4; ++i) {
    out[big_endian ? 3 - i : i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  }
  return out;
}

}  // namespace

TestMemo MemoBytes(MemoFormat format, const std::vector<std::string>& texts,
                   std::uint32_t block_size) {
  if (format == MemoFormat::kDbase3) block_size = 512;
  TestMemo memo;
  memo.bytes.assign(512, '\0');
  for (const std::string& text : texts) {
    memo.blocks.push_back(static_cast<std::uint32_t>(memo.bytes.size() / block_size));
    switch (format) {
      case MemoFormat::kDbase3:
        memo.bytes += text + "\x1A\x1A";
        break;
      case MemoFormat::kDbase4:
        memo.bytes += std::string("\xFF\xFF\x08\x00", 4) +
                      Number(static_cast<std::uint32_t>(text.size() + 8), false) + text;
        break;
      case MemoFormat::kFoxPro:
        memo.bytes +=
            Number(1, true) + Number(static_cast<std::uint32_t>(text.size()), true) + text;
        break;
    }
    memo.bytes.resize((memo.bytes.size() + block_size - 1) / block_size * block_size, '\0');
  }
  const auto next_free = static_cast<std::uint32_t>(memo.bytes.size() / block_size);
  const bool fox = format == MemoFormat::kFoxPro;
  memo.bytes.replace(0, 4, Number(next_free, fox));
  if (fox) memo.bytes.replace(4, 4, Number(block_size, true));  // bytes 6-7 hold the size
  if (format == MemoFormat::kDbase4) memo.bytes.replace(20, 4, Number(block_size, false));
  return memo;
}

}  // namespace vatrix::testing
