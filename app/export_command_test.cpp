#include "app/export_command.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "hostdata/test_tables.h"
#include "workbook/memory_spreadsheet.h"

namespace vatrix {
namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class VatrixCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* sample = std::getenv("VATRIX_SAMPLE");
    ASSERT_TRUE(sample) << "run through ctest, which names the sample installation";
    sample_ = sample;
    out_ = testing::MakeTempFolder();
  }
  void TearDown() override { std::filesystem::remove_all(out_); }

  // Runs vatrix-cli with `arguments` (already quoted for the shell).
  Outcome Cli(const std::string& arguments) {
    const std::string command = std::string(VATRIX_CLI) + " " + arguments + " > " + out_ +
                                "/stdout 2> " + out_ + "/stderr < /dev/null";
    const int status = std::system(command.c_str());
    return {WEXITSTATUS(status), ReadAll(out_ + "/stdout"), ReadAll(out_ + "/stderr")};
  }
  std::string Export(const std::string& more) {
    return "export --host " + sample_ + " --company 7 --out " + out_ + " " + more;
  }

  std::string sample_;
  std::string out_;
};

TEST_F(VatrixCliTest, CompaniesInTheChoosersOrder) {
  const Outcome listed = Cli("companies --host " + sample_ + "/");
  EXPECT_EQ(listed.status, 0) << listed.err;
  EXPECT_EQ(listed.out,
            "0001 | 01/04/07-31/03/08 | Old Traders\n"
            "0012 | 01/04/16-31/03/17 | Patel & Sons\n"
            "0007 | 01/04/15-31/03/16 | Sam's Traders & Co.\n"
            "0008 | 01/04/16-31/03/17 | Sam's Traders & Co.\n");

  const Outcome missing = Cli("companies --host " + sample_ + "/007");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "Ordova - Vatrix: Company.dbf file was not found in " + sample_ +
                             "/007 / Please Select another Directory....\n");
}

TEST_F(VatrixCliTest, ExportOfAnUnavailableBuilderFails) {
  const Outcome run = Cli(Export("--form 201C --type Monthly --period 04.April"));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Ordova - Vatrix: Form 201C is not available in this build.\n");
  EXPECT_EQ(run.out, "");
}

TEST_F(VatrixCliTest, ExportOfABillListSavesIt) {
  // The notice of the bill-amount choice is information, on stdout.
  const Outcome lists =
      Cli(Export("--form 201A --type Quaterly --period 3 --accounts 100101,100103 --layout macro "
                 "--bill-amount --file-type .xls --name Q3"));
  EXPECT_EQ(lists.status, 0) << lists.err;
  EXPECT_NE(lists.out.find("We are not responsible For Wrong Report"), std::string::npos);
  EXPECT_NE(lists.out.find("Data Exported Successfully into File : " + out_ + "/Q3.xls"),
            std::string::npos)
      << lists.out;
}

TEST_F(VatrixCliTest, ExportOfForm201SavesTheReturnOrNothing) {
  const Outcome run = Cli(Export("--form 201 --type Monthly --period 04.April"));
  const std::string saved = out_ + "/Form 201 - Monthly - April.xls";
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Ordova - Vatrix: Data Exported Successfully into File : " + saved +
                         " / Please Verify data of this file with actual data and then submit "
                         "it.\n");
  EXPECT_TRUE(std::filesystem::exists(saved));

  // A company whose bill table cannot be opened: the program ends and writes nothing.
  const std::string host = out_ + "/host";
  std::filesystem::copy(sample_, host, std::filesystem::copy_options::recursive);
  std::filesystem::remove(host + "/007/SP.DBF");
  const std::string out = out_ + "/locked";
  std::filesystem::create_directory(out);
  const Outcome locked = Cli("export --host " + host + " --company 7 --out " + out +
                             " --form 201 --type Monthly --period 04.April");
  EXPECT_EQ(locked.status, 1);
  EXPECT_NE(locked.err.find("Necessary DBF File is Open / Unavailable"), std::string::npos)
      << locked.err;
  EXPECT_TRUE(std::filesystem::is_empty(out));
}

TEST_F(VatrixCliTest, ExportRefusesAnExistingFile) {
  // The name follows the period chosen, not the list's first one.
  std::ofstream(out_ + "/Form 201 - Monthly - February.xls") << "kept";
  const Outcome run = Cli(Export("--form 201 --type Monthly --period 02"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Form 201 - Monthly - February.xls is already exist....."),
            std::string::npos)
      << run.err;
}

TEST_F(VatrixCliTest, BadArgumentsSayWhich) {
  const struct {
    std::string arguments;
    std::string problem;
  } cases[] = {
      {Export("--form 206 --type Monthly --period 4"), "unknown form \"206\""},
      {Export("--form 205 --type Monthly --period 4"), "form 205 offers no return type"},
      {Export("--form 201 --type Monthly --period 13"), "has no period \"13\""},
      {Export("--form 201A --type Monthly --period 4 --accounts 99"),
       "unknown accounts entry \"99\""},
      {Export("--form 201A --type Monthly --period 4 --tax-types all"),
       "--tax-types does not apply to form 201A"},
      {Export("--form 201 --type Monthly --period 4 --file-type .csv"),
       "form 201 offers no file type \".csv\""},
      {Export("--form 201 --type Monthly --period 4 --colour red"), "no option --colour"},
      {"export --host " + sample_ + " --company 99 --form 201 --type Monthly --period 4 --out /tmp",
       "no company with code 99"},
      {"export --host " + sample_ + " --form 201", "export needs --company"},
  };
  for (const auto& c : cases) {
    const Outcome run = Cli(c.arguments);
    EXPECT_EQ(run.status, 2) << c.arguments;
    EXPECT_NE(run.err.find(c.problem), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("usage:"), std::string::npos);
  }
}

TEST_F(VatrixCliTest, TaxTypesNeedTheSettingAndMayHoldAnything) {
  const std::string ini = out_ + "/Vatrix.ini";
  std::ofstream(ini) << "[Settings]\nTax Selection=Yes\n";
  std::map<std::string, std::string> options = {
      {"host", sample_},
      {"company", "7"},
      {"form", "201A"},
      {"type", "Monthly"},
      {"period", "4"},
      {"out", out_},
      {"ini", ini},
      {"tax-types", "vat 5% sales,VAT 12.5% Sales"},
      {"master", std::string(VATRIX_BINARY_DIR) + "/Master"}};
  std::ostringstream out, err;
  const auto memory = [] {
    return std::make_unique<MemorySpreadsheet>(std::vector<std::string>{"Sheet1"});
  };
  EXPECT_EQ(RunExportCommand(options, out, err, memory), 0) << err.str();
  EXPECT_NE(out.str().find("Data Exported Successfully"), std::string::npos) << out.str();
}

}  // namespace
}  // namespace vatrix
