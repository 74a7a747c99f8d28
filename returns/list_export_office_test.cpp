// The bill lists end to end through the real office: the builders on the sample company fill
// the generated sample templates, and the saved files are read back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

#include "hostdata/selection_lists.h"
#include "hostdata/test_tables.h"
#include "returns/list_forms.h"
#include "returns/list_test_support.h"
#include "returns/return_forms.h"
#include "workbook/office_spreadsheet.h"

namespace vatrix {
namespace {

namespace fs = std::filesystem;

class ListExportOfficeTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { office_ = new Office(); }
  static void TearDownTestSuite() {
    delete office_;
    office_ = nullptr;
  }
  void SetUp() override { out_ = testing::MakeTempFolder() + "/"; }
  void TearDown() override { fs::remove_all(out_); }

  // Runs `builder` for `code` on the sample company's first quarter into out_/name + type.
  void Run(testing::ListRun& run, const std::string& code, void (*builder)(BuildContext&),
           const std::string& type) {
    ASSERT_TRUE(run.LoadSample(code, " Between #4/1/2015# and #6/30/2015# "))
        << "run through ctest, which names the sample installation";
    run.session.CompanyStNo = "24000000007";
    run.panel.output_folder = out_;
    run.panel.file_type = type;
    run.session.FileFormat = type == ".csv" ? kFormatCsv : kFormatExcel97;
    BuildContext context = run.Context();
    context.NewSpreadsheet = [] { return std::make_unique<OfficeSpreadsheet>(*office_); };
    builder(context);
    ASSERT_EQ(run.ui.messages.size(), 1u);
    ASSERT_EQ(run.ui.messages[0].icon, MessageIcon::kInformation) << run.ui.messages[0].text;
  }

  static Office* office_;
  std::string out_;
};

Office* ListExportOfficeTest::office_ = nullptr;

double Number(const CellValue& value) {
  const double* number = std::get_if<double>(&value);
  return number ? *number : -1;
}

TEST_F(ListExportOfficeTest, OldTypeAndMacroBasedWorkbooksReadBack) {
  testing::ListRun old_type;
  Run(old_type, "201A", Form201A, ".xls");
  OfficeSpreadsheet saved(*office_);
  saved.Open(out_ + "List.xls");
  Sheet sheet = saved.SheetAt(1);
  int rows = 0;
  double taxable = 0;
  while (Number(saved.Read(sheet, 5 + rows, 7)) >= 0)
    taxable += Number(saved.Read(sheet, 5 + rows++, 7));
  EXPECT_GT(rows, 5);
  EXPECT_EQ(saved.Read(sheet, 5, 3).index(), 1u);                 // the date, as text dd/MM/yyyy
  EXPECT_NEAR(Number(saved.Read(sheet, 506, 7)), taxable, 1e-6);  // the template's total
  saved.Close();

  // The macro-based template has five prepared rows; the rest are inserted below them.
  testing::ListRun macro;
  macro.panel.old_type = false;
  macro.session.PeriodName = "First Quarter";
  macro.panel.file_name = "Macro";
  Run(macro, "201A", Form201A, ".xls");
  OfficeSpreadsheet filled(*office_);
  filled.Open(out_ + "Macro.xls");
  sheet = filled.SheetNamed("FORM201A");
  EXPECT_EQ(filled.Read(sheet, 2, 3), CellValue("24000000007"));
  EXPECT_EQ(filled.Read(sheet, 3, 3), CellValue("First Quarter"));
  EXPECT_EQ(filled.Read(sheet, 8 + rows - 1, 1), CellValue(double(rows)));  // serial number
  EXPECT_NEAR(Number(filled.Read(sheet, 8 + rows + 1, 7)), taxable, 1e-6);
  filled.Close();
}

TEST_F(ListExportOfficeTest, CsvHoldsDatesAsText) {
  testing::ListRun run;
  Run(run, "202B", Form202B, ".csv");
  std::ifstream in(out_ + "List.csv", std::ios::binary);
  const std::string csv((std::istreambuf_iterator<char>(in)), {});
  EXPECT_TRUE(std::regex_search(csv, std::regex(",[0-3][0-9]/0[4-6]/2015,"))) << csv.substr(0, 400);
  EXPECT_NE(csv.find("Cash A/c"), std::string::npos);
}

}  // namespace
}  // namespace vatrix
