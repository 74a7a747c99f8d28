#include "tools/sample_installation.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "hostdata/dbf_reader.h"
#include "hostdata/value.h"

namespace vatrix {
namespace {

namespace fs = std::filesystem;

constexpr const char* kTables[] = {"SP",     "ITVAT", "STAX",    "ACT",   "CASHCUST",
                                   "LEDGER", "Stock", "Product", "Batch", "FORMMAST"};

std::string SampleFolder() {
  const char* folder = std::getenv("VATRIX_SAMPLE");
  return folder != nullptr ? folder : "";
}

// A fresh, empty folder under the system's temporary folder, removed by the destructor.
class TempFolder {
 public:
  explicit TempFolder(const std::string& name)
      : path_(fs::temp_directory_path() /
              ("vatrix_sample_test_" + std::to_string(getpid()) + "_" + name)) {
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempFolder() { fs::remove_all(path_); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The live rows of a table, each as a map from column name to value.
using Row = std::map<std::string, Value>;

std::vector<Row> ReadRows(const std::string& path) {
  DbfReader reader(path);
  std::vector<Row> rows;
  std::vector<Value> values;
  while (reader.ReadRow(&values)) {
    Row row;
    for (size_t i = 0; i < values.size(); ++i) row[reader.fields()[i].name] = values[i];
    rows.push_back(row);
  }
  return rows;
}

std::string TablePath(const std::string& folder, const std::string& table) {
  std::optional<std::string> path = FindTableFile(folder, table);
  if (!path) throw std::runtime_error(folder + " has no table " + table);
  return *path;
}

std::vector<Row> ReadTable(const std::string& folder, const std::string& table) {
  return ReadRows(TablePath(folder, table));
}

std::string TextOf(const Row& row, const std::string& column) {
  const Value& value = row.at(column);
  return value.is_null() ? "" : value.text();
}

double NumberOf(const Row& row, const std::string& column) {
  const Value& value = row.at(column);
  return value.is_null() ? 0 : value.number();
}

bool InMonth(const Row& row, const std::string& column, int year, int month) {
  const Value& value = row.at(column);
  return !value.is_null() && value.date().year == year && value.date().month == month;
}

// Relative path -> bytes of every file under `root`.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) {
      files[fs::relative(entry.path(), root).string()] = ReadBytes(entry.path());
    }
  }
  return files;
}

TEST(SampleInstallationTest, EveryRunWritesTheSameBytes) {
  TempFolder first("first"), second("second");
  SampleOptions options;
  options.large_bills = 120;
  WriteSampleInstallation(first.path().string(), options);
  WriteSampleInstallation(second.path().string(), options);
  std::map<std::string, std::string> a = Snapshot(first.path()), b = Snapshot(second.path());
  ASSERT_GT(a.size(), 40u);
  EXPECT_TRUE(a == b) << "two runs differ";

  // The build's own sample, written by make_sample in another process, is the same too.
  ASSERT_FALSE(SampleFolder().empty()) << "VATRIX_SAMPLE is not set";
  TempFolder plain("plain");
  WriteSampleInstallation(plain.path().string(), SampleOptions());
  for (const auto& [name, bytes] : Snapshot(plain.path())) {
    EXPECT_TRUE(ReadBytes(fs::path(SampleFolder()) / name) == bytes)
        << name << " differs from the build's sample";
  }
}

TEST(SampleInstallationTest, EveryTableOfEveryCompanyIsReadableUnderMixedCaseNames) {
  const std::string root = SampleFolder();
  ASSERT_FALSE(root.empty()) << "VATRIX_SAMPLE is not set";
  std::vector<Row> companies = ReadRows(root + "/Company.dbf");
  ASSERT_FALSE(companies.empty());
  for (const Row& company : companies) {
    int code = static_cast<int>(NumberOf(company, "CODE"));
    char folder[8];
    std::snprintf(folder, sizeof folder, code <= 999 ? "%03d" : "%04d", code);
    for (const char* table : kTables) {
      SCOPED_TRACE(std::string(folder) + "/" + table);
      EXPECT_NO_THROW(EXPECT_FALSE(ReadTable(root + "/" + folder, table).empty()));
    }
  }
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    EXPECT_NE(entry.path().extension(), ".cpg") << entry.path();
  }
  // File names mix letter case, as on the dealer's machines.
  std::set<std::string> kinds;
  for (const auto& entry : fs::directory_iterator(SampleFolder() + "/007")) {
    std::string stem = entry.path().stem().string();
    bool upper = stem.find_first_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos;
    bool lower = stem.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") == std::string::npos;
    kinds.insert(upper ? "upper" : lower ? "lower" : "mixed");
    kinds.insert(entry.path().extension().string());
  }
  EXPECT_EQ(kinds, (std::set<std::string>{"upper", "lower", "mixed", ".dbf", ".DBF"}));
}

TEST(SampleInstallationTest, TextIsStoredAsWindowsAnsi) {
  const std::string main = SampleFolder() + "/007";
  // CASHCUST names no code page; the bytes must still be cp1252, not UTF-8.
  std::string bytes = ReadBytes(TablePath(main, "CASHCUST"));
  EXPECT_NE(bytes.find("Rajesh\x92s Kirana"), std::string::npos);
  EXPECT_NE(bytes.find("M\xFCller & Co."), std::string::npos);
  EXPECT_EQ(bytes.find("\xC3"), std::string::npos) << "UTF-8 lead byte found";
  EXPECT_EQ(static_cast<unsigned char>(bytes[29]), 0);
  EXPECT_EQ(static_cast<unsigned char>(ReadBytes(TablePath(main, "SP"))[29]), 0x57);

  std::set<std::string> names;
  for (const Row& row : ReadTable(main, "CASHCUST")) names.insert(TextOf(row, "NAME"));
  EXPECT_TRUE(names.count("Rajesh’s Kirana Store"));
  EXPECT_TRUE(names.count("Déjà Vu Décor"));
  std::vector<Row> catalogue = ReadRows(SampleFolder() + "/Company.dbf");
  EXPECT_EQ(TextOf(catalogue[0], "NAME"), "Sam's Traders & Co.");
}

// Rows of the main company's tables, indexed for the coverage checks below.
struct MainCompany {
  std::vector<Row> sp, itvat, ledger, act, cashcust, forms, stock, product, batch;
  std::map<std::string, Row> tax_by_code;

  MainCompany() {
    const std::string folder = SampleFolder() + "/007";
    sp = ReadTable(folder, "SP");
    itvat = ReadTable(folder, "ITVAT");
    ledger = ReadTable(folder, "LEDGER");
    act = ReadTable(folder, "ACT");
    cashcust = ReadTable(folder, "CASHCUST");
    forms = ReadTable(folder, "FORMMAST");
    stock = ReadTable(folder, "Stock");
    product = ReadTable(folder, "Product");
    batch = ReadTable(folder, "Batch");
    for (const Row& row : ReadTable(folder, "STAX")) tax_by_code[TextOf(row, "CODE")] = row;
  }
  const Row& TaxOf(const Row& bill) const { return tax_by_code.at(TextOf(bill, "ST_TYPE")); }
};

TEST(SampleInstallationTest, AprilHoldsEveryKindOfBill) {
  MainCompany main;
  std::set<int> classes;
  std::set<std::string> vtypes, itemwise_links, form_types;
  bool cash_party = false, stock_date_next_month = false, no_party = false;
  std::set<std::string> parties;
  for (const Row& row : main.act) parties.insert(TextOf(row, "CODE"));
  for (const Row& row : main.cashcust) parties.insert(TextOf(row, "CODE"));
  std::set<std::string> known_forms;
  for (const Row& row : main.forms) known_forms.insert(TextOf(row, "CODE"));
  for (const Row& bill : main.sp) {
    if (!InMonth(bill, "DATE", 2015, 4)) continue;
    const Row& tax = main.TaxOf(bill);
    classes.insert(static_cast<int>(NumberOf(tax, "VATTYPE")));
    vtypes.insert(TextOf(bill, "VTYPE"));
    if (NumberOf(tax, "VATTYPE") == 14 || NumberOf(tax, "VATTYPE") == 15) {
      itemwise_links.insert(TextOf(bill, "LINK"));
    }
    if (bill.at("FORM_REQ") == Value::Bool(true)) form_types.insert(TextOf(bill, "FORM_TYPE"));
    cash_party |= TextOf(bill, "CBR") != "R";
    stock_date_next_month |= InMonth(bill, "STOCKDT", 2015, 5);
    no_party |= !parties.count(TextOf(bill, "CODE"));
  }
  for (int vattype : {4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 18, 21}) {
    EXPECT_TRUE(classes.count(vattype)) << "no April bill of class " << vattype;
  }
  EXPECT_EQ(vtypes, (std::set<std::string>{"SA", "SR", "PU", "PR"}));
  EXPECT_TRUE(cash_party && stock_date_next_month && no_party);
  std::set<std::string> rates;
  for (const Row& line : main.itvat) {
    if (itemwise_links.count(TextOf(line, "LINK"))) {
      rates.insert(FormatNumber(NumberOf(main.tax_by_code.at(TextOf(line, "VATCODE")), "PCN")));
    }
  }
  EXPECT_EQ(rates, (std::set<std::string>{"5", "12.5", "14.5"}));
  bool unknown_form = false;
  for (const std::string& form : form_types) unknown_form |= !known_forms.count(form);
  EXPECT_TRUE(unknown_form) << "no declaration form missing from FORMMAST";
  EXPECT_GE(form_types.size(), 3u);
}

TEST(SampleInstallationTest, LedgerFeedsTheTaxAccountQueries) {
  MainCompany main;
  std::string vat_account, cst_account;
  for (const Row& row : main.act) {
    if (NumberOf(row, "ACT_TYPE") == 90) {
      vat_account = TextOf(row, "CODE");
      EXPECT_LT(NumberOf(row, "OPBAL"), 0);
    }
    if (NumberOf(row, "ACT_TYPE") == 4) cst_account = TextOf(row, "CODE");
  }
  std::set<std::string> seen;
  for (const Row& posting : main.ledger) {
    if (!InMonth(posting, "DATE", 2015, 4)) continue;
    std::string code = TextOf(posting, "CODE"), vtype = TextOf(posting, "VTYPE");
    std::string vatcode = TextOf(posting, "VATCODE"), dc = TextOf(posting, "DC");
    bool bill = vtype == "SA" || vtype == "SR" || vtype == "PU" || vtype == "PR";
    if (code == vat_account && !bill && !vatcode.empty()) {
      const Row& tax = main.tax_by_code.at(vatcode);
      seen.insert("vat journal " + dc + (NumberOf(tax, "VATTYPE") == 18 ? " 18" : " V"));
    }
    if (code == vat_account && !bill && vatcode.empty() && dc == "D") seen.insert("vat payment");
    if (!vatcode.empty() && TextOf(main.tax_by_code.at(vatcode), "VATDET") == "IC") {
      seen.insert("IC");
    }
    if (code == cst_account && !bill) seen.insert("cst " + dc + " " + TextOf(posting, "NARR1"));
  }
  for (const char* expected :
       {"vat journal D V", "vat journal C V", "vat journal D 18", "vat journal C 18", "vat payment",
        "IC", "cst C 2%", "cst D 12.5", "cst D abc", "cst C ", "cst D CST paid by challan"}) {
    EXPECT_TRUE(seen.count(expected)) << expected;
  }
}

// Bills in every month and on the leap day, stock of batches and challans, and deleted rows
// that are kept in the files but never read.
TEST(SampleInstallationTest, MonthsStockAndDeletedRowsAreCovered) {
  MainCompany main;
  std::set<int> months;
  bool leap_day = false;
  for (const Row& bill : main.sp) {
    Date date = bill.at("DATE").date();
    months.insert(date.month);
    leap_day |= date == Date{2016, 2, 29};
  }
  EXPECT_EQ(months.size(), 12u);
  EXPECT_TRUE(leap_day);
  std::map<std::string, int> products_of_batch;
  for (const Row& row : main.batch) ++products_of_batch[TextOf(row, "BATCHNO")];
  EXPECT_EQ(products_of_batch["B001"], 2);
  std::set<bool> kept_by_batch;
  for (const Row& row : main.product) kept_by_batch.insert(row.at("BATCH").boolean());
  EXPECT_EQ(kept_by_batch.size(), 2u);
  bool before_year = false, with_challan = false;
  for (const Row& row : main.stock) {
    before_year |= row.at("DATE").date().year == 2015 && row.at("DATE").date().month < 4;
    with_challan |= !TextOf(row, "CHLNLINK").empty();
  }
  EXPECT_TRUE(before_year && with_challan);
  for (const char* table : {"SP", "ITVAT", "LEDGER"}) {
    std::string path = TablePath(SampleFolder() + "/007", table);
    EXPECT_GT(DbfReader(path).record_count(), static_cast<int>(ReadRows(path).size())) << table;
  }
}

TEST(SampleInstallationTest, LargeCompanyHasTheAskedVolume) {
  TempFolder folder("large");
  SampleOptions options;
  options.large_bills = 1000;
  std::vector<std::string> progress;
  options.progress = [&](const std::string& line) { progress.push_back(line); };
  WriteSampleInstallation(folder.path().string(), options);
  const std::string large = (folder.path() / "1234").string();
  std::vector<Row> bills = ReadTable(large, "SP");
  ASSERT_EQ(bills.size(), 1000u);
  int first_half_sales = 0;
  for (const Row& bill : bills) {
    Date date = bill.at("DATE").date();
    first_half_sales += TextOf(bill, "VTYPE") == "SA" && date.year == 2015 && date.month <= 9;
  }
  EXPECT_GE(first_half_sales, 400);
  EXPECT_GE(ReadTable(large, "ITVAT").size(), 3000u);
  EXPECT_GE(ReadTable(large, "LEDGER").size(), 5000u);
  EXPECT_EQ(ReadRows((folder.path() / "Company.dbf").string()).size(), 5u);
  EXPECT_FALSE(progress.empty());
}

TEST(SampleInstallationTest, FailureNamesThePath) {
  TempFolder folder("failure");
  std::ofstream(folder.path() / "file") << "not a folder";
  const std::string target = (folder.path() / "file" / "sample").string();
  try {
    WriteSampleInstallation(target, SampleOptions());
    FAIL() << "writing under a file did not fail";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find(folder.path().string()), std::string::npos)
        << error.what();
  }
}

// Runs make_sample, built beside this test, with `arguments`; returns its exit status.
int RunMakeSample(const std::string& arguments) {
  const fs::path tool = fs::read_symlink("/proc/self/exe").parent_path() / "make_sample";
  std::string command = tool.string() + " " + arguments + " 2>/dev/null";
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(MakeSampleTest, ReplacesOnlyItsOwnSamples) {
  TempFolder folder("tool");
  const fs::path sample = folder.path() / "sample";
  const fs::path other = folder.path() / "other";
  fs::create_directories(other);
  std::ofstream(other / "keep.txt") << "user data";

  EXPECT_EQ(RunMakeSample("--out " + sample.string()), 0);
  EXPECT_TRUE(fs::exists(sample / "007"));
  EXPECT_EQ(RunMakeSample("--out " + sample.string() + "/"), 0) << "a second run replaces it";
  EXPECT_TRUE(fs::exists(sample / "Company.dbf"));

  const fs::path empty = folder.path() / "empty";
  fs::create_directories(empty);
  EXPECT_EQ(RunMakeSample("--out " + empty.string()), 0) << "an empty folder is taken";
  EXPECT_TRUE(fs::exists(empty / "Company.dbf"));

  EXPECT_EQ(RunMakeSample("--out " + other.string()), 1);
  EXPECT_EQ(ReadBytes(other / "keep.txt"), "user data");

  EXPECT_EQ(RunMakeSample(""), 2);
  EXPECT_EQ(RunMakeSample("--out " + sample.string() + " --large-bills -5"), 2);
  EXPECT_EQ(RunMakeSample("--out"), 2);

  std::set<std::string> left;
  for (const auto& entry : fs::directory_iterator(folder.path())) {
    left.insert(entry.path().filename().string());
  }
  EXPECT_EQ(left, (std::set<std::string>{"sample", "empty", "other"})) << "no staging folders left";
}

}  // namespace
}  // namespace vatrix
