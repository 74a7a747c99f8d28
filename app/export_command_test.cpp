#include "app/export_command.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/cli_test_fixture.h"
#include "hostdata/test_tables.h"
#include "workbook/memory_spreadsheet.h"

namespace vatrix {
namespace {

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
  EXPECT_EQ(missing.err, "vatrix-cli: Ordova - Vatrix: Company.dbf file was not found in " +
                             sample_ + "/007 / Please Select another Directory....\n");
}

TEST_F(VatrixCliTest, ExportOfForms205And202SavesThemOrNothing) {
  // The April question is answered from the command line and printed with its answer's run.
  const Outcome annual = Cli(Export("--form 205 --type Annually --period 1 --april-shift yes"));
  const std::string annual_file = out_ + "/Form 205 - Annually - Annually - 01.xls";
  EXPECT_EQ(annual.status, 0) << annual.err;
  EXPECT_EQ(annual.out,
            "Ordova - Vatrix: Do You Want April Month VAT Payment is treated as Previous Year "
            "March Month Payment...?\nOrdova - Vatrix: Data Exported Successfully into File : " +
                annual_file +
                " / Please Verify data of this file with actual data and then submit it.\n");
  EXPECT_TRUE(std::filesystem::exists(annual_file));

  const Outcome lump = Cli(Export("--form 202 --type Quaterly --period 2"));
  EXPECT_EQ(lump.status, 0) << lump.err;
  EXPECT_TRUE(std::filesystem::exists(out_ + "/Form - 202 - Quaterly - Quarter - 02.xls"))
      << lump.out;

  // A template that fails the run: the report, the program's end, status 1 and no file.
  const std::string master = out_ + "/master";
  const std::string out = out_ + "/failed";
  std::filesystem::create_directory(master);
  std::filesystem::create_directory(out);
  std::filesystem::copy_file(std::string(VATRIX_BINARY_DIR) + "/Master/VAT_RET_201_Monthly_new.xls",
                             master + "/VAT_RET_205_Yearly_new.xls");
  const Outcome failed =
      Cli("export --host " + sample_ + " --company 7 --out " + out + " --master " + master +
          " --form 205 --type Annually --period 1 --april-shift no");
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(
      failed.err.rfind("vatrix-cli: Form 205 - Error: Error Number : 9 / Error Description : ", 0),
      0u)
      << failed.err;
  EXPECT_TRUE(std::filesystem::is_empty(out));
}

TEST_F(VatrixCliTest, ExportOfABillListSavesIt) {
  // The notice of the bill-amount choice is information, on stdout. Options take either form
  // and any case; the file keeps the program's own spelling.
  const Outcome lists =
      Cli(Export("--form=201a --type=QUARTERLY --period=3 --accounts 100101,100103 --layout macro "
                 "--bill-amount --file-type .xls"));
  EXPECT_EQ(lists.status, 0) << lists.err;
  EXPECT_NE(lists.out.find("We are not responsible For Wrong Report"), std::string::npos);
  const std::string saved = out_ + "/Sales - 201A - Quaterly - Quarter - 03.xls";
  EXPECT_NE(lists.out.find("Data Exported Successfully into File : " + saved), std::string::npos)
      << lists.out;
  EXPECT_TRUE(std::filesystem::exists(saved));
}

TEST_F(VatrixCliTest, ExportOfForm201SavesTheReturn) {
  const Outcome run = Cli(Export("--form 201 --type Monthly --period 04.April"));
  const std::string saved = out_ + "/Form 201 - Monthly - April.xls";
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Ordova - Vatrix: Data Exported Successfully into File : " + saved +
                         " / Please Verify data of this file with actual data and then submit "
                         "it.\n");
  EXPECT_TRUE(std::filesystem::exists(saved));
}

// Gives field `name` of the dBase file at `path` the type `type`, as a damaged copy would.
void SetFieldType(const std::string& path, const std::string& name, char type) {
  std::string bytes = ReadAll(path);
  for (size_t at = 32; at + 32 <= bytes.size() && bytes[at] != '\x0D'; at += 32) {
    if (bytes.compare(at, name.size() + 1, name.c_str(), name.size() + 1) == 0)
      bytes[at + 11] = type;
  }
  testing::WriteFile(path, bytes);
}

TEST_F(VatrixCliTest, DamagedTablesStopTheRunAndWriteNothing) {
  const std::string host = out_ + "/host";
  std::filesystem::copy(sample_, host, std::filesystem::copy_options::recursive);
  const std::string out = out_ + "/out";
  std::filesystem::create_directory(out);
  SetFieldType(host + "/007/SP.DBF", "DATE", 'C');
  const Outcome run = Cli("export --host " + host + " --company 7 --out " + out +
                          " --form 201 --type Monthly --period 04.April");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("SP.DBF, field DATE"), std::string::npos) << run.err;
  EXPECT_EQ(run.out.find("Data Exported Successfully"), std::string::npos) << run.out;
  EXPECT_TRUE(std::filesystem::is_empty(out));

  // One unreadable company: the others are listed and the bad row is named once.
  std::string catalogue = ReadAll(host + "/Company.dbf");
  catalogue.replace(catalogue.find("20150401"), 8, "20150230");
  testing::WriteFile(host + "/Company.dbf", catalogue);
  const Outcome listed = Cli("companies --host " + host);
  EXPECT_EQ(listed.status, 0) << listed.err;
  EXPECT_EQ(listed.out.find("0007 |"), std::string::npos) << listed.out;
  EXPECT_NE(listed.out.find("0008 | 01/04/16-31/03/17"), std::string::npos) << listed.out;
  EXPECT_NE(listed.out.find("field DFR holds \"20150230\""), std::string::npos) << listed.out;
}

TEST_F(VatrixCliTest, ExportLeavesNothingBehindEvenWhenTerminated) {
  const std::string temp = out_ + "/temp";
  const std::string out = out_ + "/out";
  std::filesystem::create_directory(temp);
  std::filesystem::create_directory(out);
  const std::string command = "env TMPDIR=" + temp + " " + VATRIX_CLI + " export --host " +
                              sample_ + " --company 7 --out " + out +
                              " --form 201 --type Monthly --period 04.April >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(TracesOf(temp), "");

  std::filesystem::remove_all(out);
  std::filesystem::create_directory(out);
  const pid_t cli = fork();
  if (cli == 0) {
    execl("/bin/sh", "sh", "-c", ("exec " + command).c_str(), nullptr);
    _exit(127);
  }
  // Terminated as soon as its office runs, before the return is saved.
  for (int i = 0; i < 3000 && TracesOf(temp).find("soffice") == std::string::npos; ++i) {
    usleep(2000);
  }
  const bool office_ran = TracesOf(temp).find("soffice") != std::string::npos;
  kill(cli, SIGTERM);
  int status = 0;
  waitpid(cli, &status, 0);
  EXPECT_TRUE(office_ran);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 143) << status;
  EXPECT_EQ(TracesOf(temp), "");
  EXPECT_TRUE(std::filesystem::is_empty(out));
}

TEST_F(VatrixCliTest, OutputIsCheckedBeforeAnyTableOrTheOffice) {
  const std::string host = out_ + "/host";
  std::filesystem::copy(sample_, host, std::filesystem::copy_options::recursive);
  std::filesystem::remove(host + "/007/SP.DBF");
  const std::string temp = out_ + "/temp";
  std::filesystem::create_directory(temp);
  std::ofstream(out_ + "/file") << "a file";
  const struct {
    std::string out;
    std::string problem;
  } cases[] = {{out_ + "/file", "The output folder " + out_ + "/file is a file, not a folder"},
               {out_ + "/none", "The output folder " + out_ + "/none does not exist"}};
  for (const auto& c : cases) {
    const Outcome run = Cli("export --host " + host + " --company 7 --out " + c.out +
                                " --form 201 --type Monthly --period 04.April",
                            "TMPDIR=" + temp);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(c.problem), std::string::npos) << run.err;
    EXPECT_EQ(TracesOf(temp), "");
  }
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
      {"export --host " + sample_ + " --company 99 --form 201 --type Monthly --period 4 --out /tmp",
       "no company with code 99"},
      {"export --host " + sample_ + " --form 201", "export needs --company"},
      {"export --host --company 7 --form 201", "--host lacks its value"},
      {Export("--form 201 --type Monthly --period 4 --bill-amount"),
       "--bill-amount does not apply to form 201"},
      {Export("--form 201 --type Monthly --period 4 --april-shift no"),
       "--april-shift does not apply to form 201"},
      {Export("--form 201 --type Monthly --period 4 --ini=" + out_ + "/none.ini"),
       "vatrix-cli: --ini: the settings file " + out_ + "/none.ini does not exist"},
      {"companies --hots " + sample_, "vatrix-cli: companies has no option --hots"},
      {"companies --host " + sample_ + " --code-page NO-SUCH-PAGE", "vatrix-cli: --code-page: "},
      {"export --help=yes", "vatrix-cli: export has no option --help"},
  };
  for (const auto& c : cases) {
    const Outcome run = Cli(c.arguments);
    EXPECT_EQ(run.status, 2) << c.arguments;
    EXPECT_NE(run.err.find(c.problem), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("usage:"), std::string::npos);
  }
}

TEST_F(VatrixCliTest, HelpVersionOptionFormsAndAliases) {
  for (const std::string command : {"sql", "figures", "companies", "export", "batch"}) {
    const Outcome help = Cli(command + " --help");
    EXPECT_EQ(help.status, 0) << command;
    EXPECT_EQ(help.out.rfind("usage: vatrix-cli " + command, 0), 0u) << help.out;
    EXPECT_NE(help.out.find("--code-page NAME"), std::string::npos) << command;
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(Cli("help " + command).out, help.out);
  }
  for (const char* top : {"--help", "-h", "help"}) {
    const Outcome help = Cli(top);
    EXPECT_EQ(help.status, 0) << top;
    EXPECT_NE(help.out.find("Exit status:"), std::string::npos) << help.out;
  }
  const Outcome version = Cli("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("vatrix-cli 1.", 0), 0u) << version.out;

  const Outcome listed = Cli("companies --host=" + sample_);
  EXPECT_EQ(listed.status, 0) << listed.err;
  EXPECT_NE(listed.out.find("0007 | 01/04/15-31/03/16"), std::string::npos) << listed.out;
}

TEST_F(VatrixCliTest, ProgressOnATerminalShowsTheNumbers) {
  int terminal = -1;
  const pid_t cli = forkpty(&terminal, nullptr, nullptr, nullptr);
  ASSERT_GE(cli, 0);
  if (cli == 0) {
    const std::string command = "exec " + std::string(VATRIX_CLI) + " " +
                                Export("--form 201A --type Quaterly --period 1 --file-type .xls") +
                                " </dev/null >/dev/null";
    execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
    _exit(127);
  }
  std::string shown;
  char buffer[4096];
  for (ssize_t got; (got = read(terminal, buffer, sizeof buffer)) > 0;) shown.append(buffer, got);
  int status = 0;
  waitpid(cli, &status, 0);
  close(terminal);
  EXPECT_EQ(WEXITSTATUS(status), 0) << shown;
  EXPECT_NE(shown.find("Total Records : "), std::string::npos) << shown;
  EXPECT_NE(shown.find("Current Records : 1"), std::string::npos) << shown;
  EXPECT_EQ(shown.find("<"), std::string::npos) << shown;
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
