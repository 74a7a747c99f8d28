// Test support: builder runs on the real office over the sample company 007, with one office
// shared by the tests of a suite and the output in a fresh temp folder.
#ifndef VATRIX_RETURNS_OFFICE_BUILD_TEST_H_
#define VATRIX_RETURNS_OFFICE_BUILD_TEST_H_

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "hostdata/test_tables.h"
#include "returns/build_fixture.h"
#include "workbook/office_spreadsheet.h"

namespace vatrix::testing {

class OfficeBuildTest : public ::testing::Test {
 protected:
  // One office for all the tests, ended before the program's own teardown begins.
  static void SetUpTestSuite() { office_ = new Office(); }
  static void TearDownTestSuite() {
    delete office_;
    office_ = nullptr;
  }
  static Office& SharedOffice() { return *office_; }

  void SetUp() override {
    const char* sample = std::getenv("VATRIX_SAMPLE");
    sample_ = sample ? sample : std::string(VATRIX_BINARY_DIR) + "/sample";
    master_ = std::string(VATRIX_BINARY_DIR) + "/Master";
    out_ = MakeTempFolder();
    run_.panel.output_folder = out_ + "/";
    run_.lists.connection.OpenFolder(sample_ + "/007");
    run_.spreadsheets = [] { return std::make_unique<OfficeSpreadsheet>(SharedOffice()); };
  }
  void TearDown() override { std::filesystem::remove_all(out_); }

  std::string sample_, master_, out_;
  BuildFixture run_;

 private:
  static inline Office* office_ = nullptr;
};

// An amount read back from a saved workbook: its number, 0 for an empty cell; text fails.
inline double Amount(const CellValue& value) {
  if (const double* number = std::get_if<double>(&value)) return *number;
  EXPECT_EQ(std::get<std::string>(value), "") << "a cell holds text where an amount belongs";
  return 0;
}

}  // namespace vatrix::testing

#endif  // VATRIX_RETURNS_OFFICE_BUILD_TEST_H_
