// Feeds arbitrary bytes as a table file of a data folder and queries it the way the returns do:
// loading may fail with a HostError, never crash, and a table that loads answers its queries.
// The first byte chooses the table: one with a layout to check (SP) or one without.
#include <cstdint>
#include <filesystem>
#include <string>

#include "hostdata/connection.h"
#include "hostdata/host_error.h"
#include "hostdata/test_tables.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string table = data[0] & 1 ? "SP" : "T";
  const std::string folder = vatrix::testing::MakeTempFolder();
  vatrix::testing::WriteFile(folder + "/" + table + ".dbf",
                             std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  try {
    vatrix::Connection connection;
    connection.OpenFolder(folder);
    for (const std::string& query : {"SELECT * FROM " + table, "SELECT Count(*) FROM " + table}) {
      vatrix::RecordSet records = connection.Execute(query);
      for (records.MoveFirst(); !records.eof(); records.MoveNext()) {
        for (int i = 0; i < records.field_count(); ++i) (void)records.field(i).ToDisplayText();
      }
    }
  } catch (const vatrix::HostError&) {
  }
  std::filesystem::remove_all(folder);
  return 0;
}
