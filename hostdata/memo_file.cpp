#include "hostdata/memo_file.h"

#include <filesystem>
#include <optional>
#include <utility>

#include "hostdata/file_bytes.h"
#include "hostdata/file_names.h"
#include "hostdata/host_error.h"

namespace vatrix {

namespace {

constexpr std::uint64_t kHeaderSize = 512;
constexpr std::uint64_t kBlockHeaderSize = 8;
constexpr char kEndOfText = 0x1A;
constexpr std::string_view kDbase4Signature("\xFF\xFF\x08\x00", 4);

std::uint64_t ReadNumber(std::string_view bytes, size_t pos, int size, bool big_endian) {
  std::uint64_t value = 0;
  for (int i = 0; i < size; ++i) {
    const int at = big_endian ? i : size - 1 - i;
    value = (value << 8) | static_cast<unsigned char>(bytes[pos + at]);
  }
  return value;
}

[[noreturn]] void Damaged(const std::string& path, const std::string& what) {
  throw HostError(kCorruptTable, "The memo file is damaged: " + what, "memo file " + path);
}

std::string ReadWholeFile(const std::string& path) {
  std::optional<std::string> bytes = ReadFileBytes(path);
  if (!bytes) throw HostError(kCorruptTable, "The memo file cannot be read", "memo file " + path);
  return std::move(*bytes);
}

}  // namespace

MemoFile::MemoFile(const std::string& path, MemoFormat format)
    : MemoFile(path, ReadWholeFile(path), format) {}

MemoFile::MemoFile(const std::string& path, std::string bytes, MemoFormat format)
    : path_(path), bytes_(std::move(bytes)), format_(format) {
  if (bytes_.size() < kHeaderSize) Damaged(path_, "it is too short for a memo header");
  if (format_ == MemoFormat::kFoxPro) block_size_ = ReadNumber(bytes_, 6, 2, true);
  if (format_ == MemoFormat::kDbase4) {
    block_size_ = ReadNumber(bytes_, 20, 2, false);
    if (block_size_ == 0) block_size_ = 512;  // written so by early versions
  }
  if (block_size_ == 0) Damaged(path_, "its header gives block size 0");
}

std::string_view MemoFile::Text(std::uint64_t block) const {
  const std::string where = "block " + std::to_string(block);
  const std::uint64_t start = block * block_size_;  // at most 10 digits times 16 bits
  if (start < kHeaderSize || start >= bytes_.size()) {
    Damaged(path_, where + " lies outside the memo blocks");
  }
  const std::string_view rest = std::string_view(bytes_).substr(start);
  if (format_ == MemoFormat::kDbase3) return rest.substr(0, rest.find(kEndOfText));
  if (rest.size() < kBlockHeaderSize) Damaged(path_, where + " is cut short");
  std::uint64_t length = 0;
  if (format_ == MemoFormat::kDbase4) {
    if (rest.substr(0, 4) != kDbase4Signature) Damaged(path_, where + " does not start a memo");
    length = ReadNumber(rest, 4, 4, false);  // the block header's 8 bytes included
    if (length < kBlockHeaderSize) Damaged(path_, where + " gives a length shorter than itself");
    length -= kBlockHeaderSize;
  } else {
    const std::uint64_t type = ReadNumber(rest, 0, 4, true);
    if (type == 0 || type == 2) {
      Damaged(path_, where + " holds " + (type == 0 ? "a picture" : "an object") + ", not text");
    }
    if (type != 1) Damaged(path_, where + " has block type " + std::to_string(type));
    length = ReadNumber(rest, 4, 4, true);
  }
  if (length > rest.size() - kBlockHeaderSize) {
    Damaged(path_, where + " holds " + std::to_string(length) +
                       " bytes of memo, more than the file has left");
  }
  return rest.substr(kBlockHeaderSize, length);
}

std::optional<std::string> FindMemoFile(const std::string& table_path, MemoFormat format) {
  const std::filesystem::path table(table_path);
  const std::string folder = table.has_parent_path() ? table.parent_path().string() : ".";
  const std::string extension = format == MemoFormat::kFoxPro ? ".fpt" : ".dbt";
  return FindFileIgnoringCase(folder, table.stem().string() + extension);
}

}  // namespace vatrix
