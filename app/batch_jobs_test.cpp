#include "app/batch_jobs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "hostdata/test_tables.h"

namespace vatrix {
namespace {

class BatchJobsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* sample = std::getenv("VATRIX_SAMPLE");
    ASSERT_TRUE(sample) << "run through ctest, which names the sample installation";
    defaults_ = {{"host", sample}, {"out", out_}};
  }
  void TearDown() override { std::filesystem::remove_all(out_); }

  std::string out_ = testing::MakeTempFolder();
  ExportOptions defaults_;
  std::vector<std::string> problems_;
};

TEST_F(BatchJobsTest, EveryFaultIsReportedWithItsLine) {
  const auto jobs = ReadBatchJobs(
      "company,form,type,period,colour,bill-amount\n"
      "7,201,Monthly,4,red,\n"
      "7,206,Monthly,4,,\n"
      "7,201,Monthly,,,\n"
      "99,201,Monthly,4,,\n"
      "7,201,Annually,1,,\n"
      "7,201,Monthly,13,,\n"
      "7,201A,Monthly,4,,maybe\n"
      "7,201,Monthly,04.April,,\n",
      defaults_, &problems_);
  EXPECT_TRUE(jobs.empty());
  EXPECT_EQ(problems_,
            (std::vector<std::string>{
                "line 1: unknown column \"colour\"",
                "line 3: unknown form \"206\" (forms: 201, 201A, 201B, 201C, 202, 202A, 202B, 205, "
                "3B, 3BSALES, 3BPURCHASE)",
                "line 4: export needs --period",
                "line 5: no company with code 99 in the catalogue of " + defaults_["host"],
                "line 6: form 201 offers no return type \"Annually\" (it offers Monthly, Quaterly, "
                "HalfYearly)",
                "line 7: return type Monthly has no period \"13\" (it has 04.April, 05.May, "
                "06.June, 07.July, 08.August, 09.September, 10.October, 11.November, 12.December, "
                "01.January, 02.February, 03.March)",
                "line 8: bill-amount takes yes or no, not \"maybe\"",
                "line 9: writes " + out_ + "/Form 201 - Monthly - April.xls, as line 2 does"}));
}

TEST_F(BatchJobsTest, CellsOverDefaultsAndEveryCompanyInItsOwnFolder) {
  const std::string own = out_ + "/own";
  std::filesystem::create_directory(own);
  const auto jobs = ReadBatchJobs(
      "\"company\",form,type,period,name,out,bill-amount\r\n"
      "all,201,monthly,4,,,\r\n"
      "7,201a,QUARTERLY,2,\"Q2, \"\"sales\"\"\"," +
          own + ",yes\r\n",
      defaults_, &problems_);
  EXPECT_EQ(problems_, std::vector<std::string>{});
  ASSERT_EQ(jobs.size(), 5u);
  const char* folders[] = {"0001 2007-08", "0012 2016-17", "0007 2015-16", "0008 2016-17"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(jobs[i].line, 2);
    EXPECT_TRUE(jobs[i].makes_out);
    EXPECT_EQ(jobs[i].file, out_ + "/" + folders[i] + "/Form 201 - Monthly - April.xls");
  }
  EXPECT_EQ(jobs[4].options, (ExportOptions{{"host", defaults_["host"]},
                                            {"out", own},
                                            {"company", "7"},
                                            {"form", "201A"},
                                            {"type", "Quaterly"},
                                            {"period", "2"},
                                            {"name", "Q2, \"sales\""},
                                            {"bill-amount", ""}}));
  EXPECT_EQ(jobs[4].period, "Quaterly 02.Quarter");
  EXPECT_EQ(jobs[4].file, own + "/Q2, \"sales\".csv");
  EXPECT_FALSE(jobs[4].makes_out);
}

TEST(BatchWorkOrderTest, GroupsByCompanyKeepingEachCompanysOrder) {
  std::vector<BatchJob> jobs;
  for (const char* company : {"0007", "0008", "0007", "0001", "0008"}) {
    BatchJob job;
    job.options = {{"host", "/h"}};
    job.company = company;
    jobs.push_back(job);
  }
  jobs[3].options["host"] = "/h/";  // the same installation
  EXPECT_EQ(WorkOrder(jobs), (std::vector<size_t>{0, 2, 1, 4, 3}));
}

}  // namespace
}  // namespace vatrix
