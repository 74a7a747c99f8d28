// Feeds arbitrary bytes as an installation's Company.dbf: the chooser's items and each listed
// company's record may fail with a HostError, never crash.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/company_catalogue.h"
#include "hostdata/host_error.h"
#include "hostdata/test_tables.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string host = vatrix::testing::MakeTempFolder();
  vatrix::testing::WriteFile(host + "/Company.dbf",
                             std::string(reinterpret_cast<const char*>(data), size));
  try {
    std::vector<std::string> left_out;
    for (const std::string& item : vatrix::CatalogueChooserItems(host, &left_out)) {
      vatrix::CompanyRecord record;
      try {
        vatrix::ReadCompany(host, vatrix::ChooserItemCode(item), &record);
      } catch (const vatrix::HostError&) {
      }
    }
  } catch (const vatrix::HostError&) {
  }
  std::filesystem::remove_all(host);
  return 0;
}
