// Feeds arbitrary bytes to the dBase reader as a table file and, after the marker "--memo--",
// as its memo file: it must fail cleanly, never crash.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "hostdata/dbf_reader.h"
#include "hostdata/host_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static constexpr std::string_view kMarker = "--memo--";
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t marker = input.find(kMarker);
  std::optional<std::string> memo;
  if (marker != std::string_view::npos) memo = std::string(input.substr(marker + kMarker.size()));
  try {
    vatrix::DbfReader reader("fuzz.dbf", std::string(input.substr(0, marker)), memo);
    std::vector<vatrix::Value> row;
    while (reader.ReadRow(&row)) {
      for (const auto& value : row) (void)value.ToDisplayText();
    }
    for (const auto& field : reader.unreadable_fields()) (void)field.description.size();
  } catch (const vatrix::HostError&) {
  }
  return 0;
}
