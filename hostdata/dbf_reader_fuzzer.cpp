// Feeds arbitrary bytes to the dBase reader as a table file: it must fail cleanly, never crash.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "hostdata/dbf_reader.h"
#include "hostdata/host_error.h"
#include "hostdata/test_tables.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = (std::filesystem::temp_directory_path() /
                                   ("vatrix-fuzz-" + std::to_string(getpid()) + ".dbf"))
                                      .string();
  vatrix::testing::WriteFile(path, std::string(reinterpret_cast<const char*>(data), size));
  try {
    vatrix::DbfReader reader(path);
    std::vector<vatrix::Value> row;
    while (reader.ReadRow(&row)) {
      for (const auto& value : row) (void)value.ToDisplayText();
    }
  } catch (const vatrix::HostError&) {
  }
  return 0;
}
