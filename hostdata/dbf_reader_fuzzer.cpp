// Feeds arbitrary bytes to the dBase reader as a table file: it must fail cleanly, never crash.
#include <cstdint>
#include <string>

#include "hostdata/dbf_reader.h"
#include "hostdata/host_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    vatrix::DbfReader reader("fuzz.dbf", std::string(reinterpret_cast<const char*>(data), size));
    std::vector<vatrix::Value> row;
    while (reader.ReadRow(&row)) {
      for (const auto& value : row) (void)value.ToDisplayText();
    }
  } catch (const vatrix::HostError&) {
  }
  return 0;
}
