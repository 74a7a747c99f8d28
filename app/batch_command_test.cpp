#include "app/batch_command.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <map>

#include "app/cli_test_fixture.h"
#include "app/record_csv.h"

namespace vatrix {
namespace {

class BatchCliTest : public VatrixCliTest {
 protected:
  // Writes the job list and returns the batch's arguments before its own options.
  std::string Batch(const std::string& jobs) {
    testing::WriteFile(out_ + "/jobs.csv", jobs);
    return "batch " + out_ + "/jobs.csv --host " + sample_ + " --out " + out_;
  }
  // The summary CSV's records after its header, by line and company.
  std::map<std::string, std::vector<std::string>> Summary(const std::string& path) {
    std::string problem;
    const auto records = ReadCsv(ReadAll(path), &problem);
    EXPECT_EQ(problem, "");
    EXPECT_EQ(records.at(0).fields[5], "status");
    std::map<std::string, std::vector<std::string>> rows;
    for (size_t i = 1; i < records.size(); ++i) {
      rows[records[i].fields[0] + " " + records[i].fields[1]] = records[i].fields;
    }
    return rows;
  }
};

TEST_F(BatchCliTest, AFailingJobLetsTheOthersFinish) {
  const std::string master = out_ + "/master";  // without Form 202's template
  std::filesystem::create_directory(master);
  for (const auto& entry :
       std::filesystem::directory_iterator(std::string(VATRIX_BINARY_DIR) + "/Master")) {
    const std::string name = entry.path().filename().string();
    if (name != "VAT_RET_202_m_Monthly.xls") {
      std::filesystem::create_symlink(entry.path(), master + "/" + name);
    }
  }
  const Outcome run = Cli(Batch("company,form,type,period,file-type\n"
                                "7,201,Monthly,4,\n"
                                "7,202,quarterly,2,\n"
                                "all,201A,Quarterly,1,.csv\n"
                                "8,201,monthly,5,\n") +
                          " --master " + master + " --summary " + out_ + "/summary.csv");
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_NE(run.out.find("line  company  form"), std::string::npos) << run.out;
  const auto rows = Summary(out_ + "/summary.csv");
  ASSERT_EQ(rows.size(), 7u) << run.out;
  const std::string folder7 = out_ + "/0007 2015-16/";
  EXPECT_EQ(rows.at("2 0007")[4], folder7 + "Form 201 - Monthly - April.xls");
  EXPECT_EQ(rows.at("2 0007")[5], "ok");
  EXPECT_TRUE(std::filesystem::exists(folder7 + "Form 201 - Monthly - April.xls"));
  EXPECT_EQ(rows.at("3 0007")[5], "failed");
  EXPECT_NE(rows.at("3 0007")[7].find("VAT_RET_202"), std::string::npos) << rows.at("3 0007")[7];
  for (const char* company : {"0001", "0007", "0008", "0012"}) {
    EXPECT_EQ(rows.at(std::string("4 ") + company)[5], "ok") << company;
  }
  EXPECT_TRUE(
      std::filesystem::exists(out_ + "/0012 2016-17/Sales - 201A - Quaterly - Quarter - 01.csv"));
  EXPECT_EQ(rows.at("5 0008")[5], "ok");
  EXPECT_EQ(rows.at("5 0008")[2], "201");
  EXPECT_EQ(rows.at("5 0008")[3], "Monthly 05.May");

  // Form 201 of company 7 again: its file exists, so the job fails; the JSON parses back.
  testing::WriteFile(out_ + "/jobs.csv", "company,form,type,period\n7,201,Monthly,4\n");
  const Outcome again = Cli("batch " + out_ + "/jobs.csv --host " + sample_ + " --out '" + folder7 +
                            "' --master " + master + " --summary " + out_ + "/summary.json");
  EXPECT_EQ(again.status, 1);
  const std::string parsed =
      "jq -e 'length == 1 and .[0].line == 2 and .[0].status == \"failed\" "
      "and (.[0].message | test(\"already exist\"))' \"" +
      out_ + "/summary.json\" >/dev/null";
  EXPECT_EQ(std::system(parsed.c_str()), 0) << ReadAll(out_ + "/summary.json");
}

TEST_F(BatchCliTest, FaultsOfTheJobListAreAllReportedAndNothingRuns) {
  const Outcome run =
      Cli(Batch("company,form,type,period,color\n"
                "7,201,Monthly,4,\n"
                "7,201,Monthly,04.April,\n"
                "\"7,201\n"));
  EXPECT_EQ(run.status, 2);
  const std::string jobs = out_ + "/jobs.csv";
  for (const std::string& line : {"vatrix-cli: " + jobs + ": line 4: a quoted field is not closed",
                                  "vatrix-cli: " + jobs + ": line 1: unknown column \"color\"",
                                  "vatrix-cli: " + jobs + ": line 3: writes " + out_ +
                                      "/Form 201 - Monthly - April.xls, as line 2 does"}) {
    EXPECT_NE(run.err.find(line + "\n"), std::string::npos) << run.err;
  }
  EXPECT_EQ(run.out, "");
  EXPECT_FALSE(std::filesystem::exists(out_ + "/Form 201 - Monthly - April.xls"));
}

// The pid of the office that a run with TMPDIR `temp` started, or -1 while there is none.
pid_t OfficeOf(const std::string& temp) {
  for (const auto& process : std::filesystem::directory_iterator("/proc")) {
    const std::string command = ReadAll(process.path().string() + "/cmdline");
    if (command.find("soffice") != std::string::npos && command.find(temp) != std::string::npos) {
      return std::stoi(process.path().filename().string());
    }
  }
  return -1;
}

TEST_F(BatchCliTest, AKilledOfficeIsStartedAgainForTheRest) {
  const std::string temp = out_ + "/temp";
  std::filesystem::create_directory(temp);
  testing::WriteFile(out_ + "/jobs.csv",
                     "company,form,type,period\n7,201,Monthly,4\n7,201,Monthly,5\n"
                     "7,201,Monthly,6\n7,201,Monthly,7\n");
  const std::string command = "exec env TMPDIR=" + temp + " " + VATRIX_CLI + " batch " + out_ +
                              "/jobs.csv --host " + sample_ + " --out " + out_ + " --summary " +
                              out_ + "/summary.csv >/dev/null 2>&1";
  const pid_t cli = fork();
  if (cli == 0) {
    execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
    _exit(127);
  }
  pid_t office = -1;
  for (int i = 0; i < 30000 && office < 0; ++i) {
    usleep(2000);
    office = OfficeOf(temp);
  }
  ASSERT_GT(office, 0);
  kill(office, SIGKILL);
  int status = 0;
  waitpid(cli, &status, 0);
  const auto rows = Summary(out_ + "/summary.csv");
  ASSERT_EQ(rows.size(), 4u);
  int failed = 0;
  for (const auto& [key, row] : rows) failed += row[5] == "failed";
  EXPECT_LE(failed, 1);
  EXPECT_EQ(rows.at("5 0007")[5], "ok");
  EXPECT_EQ(WEXITSTATUS(status), failed ? 1 : 0);
  EXPECT_EQ(TracesOf(temp), "");
}

}  // namespace
}  // namespace vatrix
