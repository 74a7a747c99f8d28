// The memo file beside a dBase table: the texts of its memo fields, kept in blocks that the
// table's records point to by number. The file is treated as hostile: every block number and
// length is checked against the file, and a fault becomes a HostError naming the file.
#ifndef VATRIX_HOSTDATA_MEMO_FILE_H_
#define VATRIX_HOSTDATA_MEMO_FILE_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vatrix {

// dBase III (.dbt, 512-byte blocks, text ended by 0x1A), dBase IV (.dbt, block size in the
// header, each text after a signature and its length) and FoxPro (.fpt, big-endian block
// size in the header, each block typed and its length before it).
enum class MemoFormat { kDbase3, kDbase4, kFoxPro };

class MemoFile {
 public:
  // Reads the memo file at `path`. Throws HostError kCorruptTable naming it when it cannot be
  // read or its header is not valid for `format`.
  MemoFile(const std::string& path, MemoFormat format);
  // Reads the memo file from `bytes` held in memory; `path` names it in messages.
  MemoFile(const std::string& path, std::string bytes, MemoFormat format);

  const std::string& path() const { return path_; }

  // The text stored from block `block` on, bytes as stored. Throws HostError kCorruptTable,
  // naming the file and block, when the block lies outside the file, holds no memo or one
  // longer than the file, or (FoxPro) holds a picture or object instead of text.
  std::string_view Text(std::uint64_t block) const;

 private:
  std::string path_;
  std::string bytes_;
  MemoFormat format_;
  std::uint64_t block_size_ = 512;
};

// The memo file of the table file `table_path` in `format`: the file beside it with the
// table's name and ".fpt" (FoxPro) or ".dbt", letter case ignored; nullopt when there is none.
std::optional<std::string> FindMemoFile(const std::string& table_path, MemoFormat format);

}  // namespace vatrix

#endif  // VATRIX_HOSTDATA_MEMO_FILE_H_
