// Checks the generated templates with the office program itself: the build's Master folder,
// and templates filled the way the builders fill them, read back as CSV.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "tools/template_source.h"

namespace vatrix {
namespace {

namespace fs = std::filesystem;

using Table = std::vector<std::vector<std::string>>;

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<TemplateSource> Parse(const std::string& file) {
  return ParseTemplateSource(Slurp(fs::path(VATRIX_MASTER_SOURCES) / file), file);
}

// One row per line; fields split at commas outside double quotes.
Table ReadCsv(const fs::path& path) {
  Table table;
  std::istringstream lines(Slurp(path));
  std::string line;
  while (std::getline(lines, line)) {
    std::vector<std::string> row(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
      char c = line[i];
      if (c == '"' && quoted && i + 1 < line.size() && line[i + 1] == '"') {
        row.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = !quoted;
      } else if (c == ',' && !quoted) {
        row.emplace_back();
      } else {
        row.back() += c;
      }
    }
    table.push_back(row);
  }
  return table;
}

// The text of cell (row, column), 1-based; empty beyond the table.
std::string At(const Table& table, size_t row, size_t column) {
  if (row > table.size() || column > table[row - 1].size()) return "";
  return table[row - 1][column - 1];
}

class OfficeTest : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vatrix-templates-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Converts `files` with one office run into `format` (a --convert-to argument) in `out`.
  void Convert(const std::vector<fs::path>& files, const std::string& format, const fs::path& out) {
    std::string command = "soffice --headless --norestore -env:UserInstallation=file://" +
                          (dir_ / "profile").string() + " --convert-to '" + format +
                          "' --outdir '" + out.string() + "'";
    for (const fs::path& file : files) command += " '" + file.string() + "'";
    command += " >'" + (dir_ / "soffice.log").string() + "' 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << Slurp(dir_ / "soffice.log");
  }

  // Every sheet of each workbook as CSV in dir_/csv, named "<base>-<sheet>.csv".
  void ToCsv(const std::vector<fs::path>& workbooks) {
    Convert(workbooks,
            "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1",
            dir_ / "csv");
  }

  Table Sheet(const std::string& base, const std::string& sheet) {
    fs::path path = dir_ / "csv" / (base + "-" + sheet + ".csv");
    EXPECT_TRUE(fs::exists(path)) << path;
    return ReadCsv(path);
  }

  fs::path dir_;
};

const fs::path kMaster = fs::path(VATRIX_BINARY_DIR) / "Master";

TEST_F(OfficeTest, BuildMasterHoldsEveryTemplateAsWorkbook) {
  std::string manifest = Slurp(kMaster / ".vatrix-templates");
  int count = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(VATRIX_MASTER_SOURCES)) {
    if (entry.path().extension() != ".tpl") continue;
    for (const TemplateSource& source : Parse(entry.path().filename().string())) {
      std::string head = Slurp(kMaster / source.file_name).substr(0, 4);
      EXPECT_EQ(head, "\xD0\xCF\x11\xE0") << source.file_name;
      EXPECT_NE(manifest.find(" " + source.file_name + "\n"), std::string::npos)
          << source.file_name;
      ++count;
    }
  }
  EXPECT_GT(count, 0);
  for (const fs::directory_entry& entry : fs::directory_iterator(kMaster.parent_path())) {
    EXPECT_EQ(entry.path().filename().string().find("Master.partial-"), std::string::npos);
  }
}

TEST_F(OfficeTest, OfficeReadsSheetsPreparedRowsAndTotals) {
  ToCsv({kMaster / "VAT_RET_201A_500_Monthly_New.xls", kMaster / "VAT_RET_205_Yearly_new.xls",
         kMaster / "VAT_RET_202_m_Monthly.xls", kMaster / "SALES_DETAILS_CSV_M.xls"});
  Table list = Sheet("VAT_RET_201A_500_Monthly_New", "Sheet1");
  EXPECT_EQ(At(list, 4, 2), "Invoice No");
  EXPECT_EQ(At(list, 5, 1), "1");
  EXPECT_EQ(At(list, 504, 1), "500");
  EXPECT_EQ(At(list, 505, 1), "");
  EXPECT_EQ(At(list, 506, 2), "Total");
  EXPECT_EQ(At(list, 506, 10), "0");
  Table cst = Sheet("SALES_DETAILS_CSV_M", "SALES DETAILS");
  EXPECT_EQ(At(cst, 2, 2), "CST No");
  EXPECT_EQ(At(cst, 10, 1), "5");
  EXPECT_EQ(At(cst, 11, 1), "");
  for (const TemplateSource& source :
       {Parse("return_201_205.tpl").at(1), Parse("return_202.tpl").at(0)}) {
    std::string base = source.file_name.substr(0, source.file_name.size() - 4);
    for (const SheetSource& sheet : source.sheets) Sheet(base, sheet.name);
  }
  EXPECT_EQ(At(Sheet("VAT_RET_205_Yearly_new", "Deductions"), 24, 2), "0");
}

void Put(TemplateSource* source, size_t sheet, int row, int column, const std::string& value) {
  source->sheets.at(sheet).cells.push_back({row, column, value, 0});
}

// Templates filled as the builders fill them, saved as .xls, read back: the formulas at the
// read-back cells give the documented results.
TEST_F(OfficeTest, ReadBackCellsComputeFromTheWrittenCells) {
  TemplateSource form201 = Parse("return_201_205.tpl").at(0);
  for (auto [row, column, value] :
       std::vector<std::tuple<int, int, const char*>>{{6, 3, "10"},
                                                      {10, 3, "2.5"},
                                                      {13, 2, "100.25"},
                                                      {13, 3, "7"},
                                                      {17, 3, "3"},
                                                      {21, 2, "50"},
                                                      {21, 3, "40"},
                                                      {23, 2, "1000"},
                                                      {23, 3, "20.5"}}) {
    Put(&form201, 5, row, column, value);
  }
  Put(&form201, 2, 9, 5, "125");  // input tax rows of sheet 3
  Put(&form201, 2, 9, 6, "25");
  Put(&form201, 2, 10, 5, "12.5");
  Put(&form201, 1, 3, 6, "80");  // output and purchase tax rows of sheet 2
  Put(&form201, 1, 3, 7, "20");
  Put(&form201, 1, 4, 6, "5");
  Put(&form201, 1, 4, 7, "1");
  Put(&form201, 3, 3, 2, "40");  // sheet 4: credit brought forward, returns, net credit
  Put(&form201, 3, 22, 2, "6");
  Put(&form201, 3, 26, 2, "199.5");

  TemplateSource form3b = Parse("return_3b.tpl").at(0);
  Put(&form3b, 3, 5, 2, "500");
  Put(&form3b, 3, 5, 3, "120.75");
  Put(&form3b, 5, 7, 2, "-30");
  Put(&form3b, 5, 9, 2, "100");

  TemplateSource list;
  for (TemplateSource& source : Parse("lists_201ab.tpl")) {
    if (source.file_name == "VAT_RET_201A_CSV_M.xls") list = source;
  }
  for (int row = 8; row <= 13; ++row) {  // row 13 stands for a row inserted at the trigger row
    Put(&list, 0, row, 7, "100");
    Put(&list, 0, row, 8, "5");
    Put(&list, 0, row, 9, "1");
  }

  fs::create_directories(dir_ / "fods");
  std::vector<fs::path> sources;
  std::vector<fs::path> workbooks;
  for (const TemplateSource* source : {&form201, &form3b, &list}) {
    std::string base = source->file_name.substr(0, source->file_name.size() - 4);
    sources.push_back(dir_ / "fods" / (base + ".fods"));
    workbooks.push_back(dir_ / "xls" / source->file_name);
    std::ofstream(sources.back(), std::ios::binary) << RenderFlatOds(*source);
  }
  Convert(sources, "xls:MS Excel 97", dir_ / "xls");
  ToCsv(workbooks);

  Table deductions = Sheet("VAT_RET_201_Monthly_new", "Deductions");
  EXPECT_EQ(At(deductions, 24, 2), "1150.25");  // 100.25 + 50 + 1000
  EXPECT_EQ(At(deductions, 24, 3), "83");       // 10 + 2.5 + 7 + 3 + 40 + 20.5
  Table balance = Sheet("VAT_RET_201_Monthly_new", "Balance");
  EXPECT_EQ(At(balance, 4, 2), "162.5");   // input tax: 125 + 25 + 12.5
  EXPECT_EQ(At(balance, 5, 2), "202.5");   // plus the credit brought forward
  EXPECT_EQ(At(balance, 20, 2), "106");    // output and purchase tax: 80 + 20 + 5 + 1
  EXPECT_EQ(At(balance, 27, 2), "205.5");  // returns 6 + net credit 199.5

  Table payable = Sheet("CST_RET_FORM_3B_NEW", "Tax Payable");
  EXPECT_EQ(At(payable, 2, 2), "379.25");   // 500 - 120.75
  EXPECT_EQ(At(payable, 11, 2), "309.25");  // 379.25 + 30 - 100

  Table bills = Sheet("VAT_RET_201A_CSV_M", "FORM201A");
  EXPECT_EQ(At(bills, 8, 1), "1");
  EXPECT_EQ(At(bills, 12, 12), "106");
  EXPECT_EQ(At(bills, 14, 7), "600");   // six rows of 100, the trigger row included
  EXPECT_EQ(At(bills, 14, 12), "530");  // the check column covers the prepared rows
}

}  // namespace
}  // namespace vatrix
