// Feeds arbitrary bytes as the text of a record set's fields: the CSV written must hold no
// control character but the line ends, and one line per row after the header. The same bytes
// read as CSV text must not crash the reader, and fields written with CsvField read back whole.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/record_csv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Fields are split at byte 0xFF, rows of three fields.
  std::vector<std::vector<vatrix::Value>> rows(1);
  std::string field;
  for (size_t i = 0; i <= size; ++i) {
    if (i < size && data[i] != 0xFF) {
      field += static_cast<char>(data[i]);
      continue;
    }
    if (rows.back().size() == 3) rows.emplace_back();
    rows.back().push_back(vatrix::Value::Text(field));
    field.clear();
  }
  rows.back().resize(3);
  vatrix::RecordSet records({"A", "B", "C"}, std::move(rows), "fuzz");
  std::ostringstream out;
  vatrix::WriteCsv(records, out);
  const std::string csv = out.str();
  const bool controls = std::any_of(csv.begin(), csv.end(), [](char c) {
    return c != '\n' && (static_cast<unsigned char>(c) < 0x20 || c == 0x7F);
  });
  const auto lines = std::count(csv.begin(), csv.end(), '\n');
  if (controls || lines != records.record_count() + 1) std::abort();

  std::string problem;
  vatrix::ReadCsv(std::string_view(reinterpret_cast<const char*>(data), size), &problem);
  const std::string whole(reinterpret_cast<const char*>(data), size);
  const auto back = vatrix::ReadCsv("h\n" + vatrix::CsvField(whole) + ",x\n", &problem);
  const bool same = back.size() == 2 && back[1].fields.size() == 2 && back[1].fields[0] == whole;
  if (!problem.empty() || !same) std::abort();
  return 0;
}
