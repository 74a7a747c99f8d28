#include "hostdata/test_tables.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace vatrix::testing {

namespace {

void PutLittleEndian(std::string* bytes, size_t pos, unsigned value, int size) {
  for (int i = 0; i < size; ++i) (*bytes)[pos + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string Padded(const std::string& text, const TestField& field) {
  const size_t width = field.width;
  std::string cut = text.substr(0, width);
  if (field.type == 'C') return cut + std::string(width - cut.size(), ' ');
  return std::string(width - cut.size(), ' ') + cut;
}

}  // namespace

std::string DbfBytes(const TestTable& table) {
  const size_t header_length = 32 + 32 * table.fields.size() + 1;
  size_t record_length = 1;
  for (const auto& field : table.fields) record_length += field.width;
  std::string bytes(header_length, '\0');
  bytes[0] = 0x03;
  bytes[1] = 115;  // last update 2015-06-30
  bytes[2] = 6;
  bytes[3] = 30;
  PutLittleEndian(&bytes, 4, static_cast<unsigned>(table.rows.size()), 4);
  PutLittleEndian(&bytes, 8, static_cast<unsigned>(header_length), 2);
  PutLittleEndian(&bytes, 10, static_cast<unsigned>(record_length), 2);
  bytes[29] = static_cast<char>(table.language_driver);
  for (size_t i = 0; i < table.fields.size(); ++i) {
    const TestField& field = table.fields[i];
    const size_t pos = 32 + 32 * i;
    std::copy_n(field.name.begin(), std::min<size_t>(field.name.size(), 10), bytes.begin() + pos);
    bytes[pos + 11] = field.type;
    bytes[pos + 16] = static_cast<char>(field.width);
    bytes[pos + 17] = static_cast<char>(field.decimals);
  }
  bytes[header_length - 1] = 0x0D;
  for (size_t r = 0; r < table.rows.size(); ++r) {
    const bool deleted = std::find(table.deleted.begin(), table.deleted.end(),
                                   static_cast<int>(r)) != table.deleted.end();
    bytes += deleted ? '*' : ' ';
    for (size_t f = 0; f < table.fields.size(); ++f) {
      const std::string text = f < table.rows[r].size() ? table.rows[r][f] : "";
      bytes += Padded(text, table.fields[f]);
    }
  }
  bytes += '\x1A';
  return bytes;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string MakeTempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vatrix-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a temp folder");
  return pattern;
}

}  // namespace vatrix::testing
