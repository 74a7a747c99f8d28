#include "returns/vat_credit.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "hostdata/host_error.h"
#include "hostdata/recording_ui.h"
#include "hostdata/test_tables.h"

namespace vatrix {
namespace {

struct Posting {
  std::string code;
  std::string date;  // yyyymmdd
  std::string vtype;
  std::string dc;
  std::string amt;
  std::string vatcode;
};

// A company whose VAT account is 100301 (opening balance `opbal`) beside a bank account.
class VatCreditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = testing::MakeTempFolder();
    session_.AppTitle = kAppTitle;
    session_.YearFrom = "01/04/2015";
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  void WriteCompany(const std::string& opbal, const std::vector<Posting>& postings) {
    testing::TestTable act;
    act.fields = {{"CODE", 'C', 6}, {"ACT_TYPE", 'N', 3}, {"OPBAL", 'N', 14, 2}};
    act.rows = {{"100301", "90", opbal}, {"100501", "0", "-5000"}};
    testing::WriteFile(folder_ + "/ACT.DBF", testing::DbfBytes(act));
    testing::TestTable ledger;
    ledger.fields = {{"CODE", 'C', 6}, {"DATE", 'D', 8},    {"VTYPE", 'C', 2},
                     {"DC", 'C', 1},   {"AMT", 'N', 14, 2}, {"VATCODE", 'C', 4}};
    for (const Posting& p : postings) {
      ledger.rows.push_back({p.code, p.date, p.vtype, p.dc, p.amt, p.vatcode});
    }
    testing::WriteFile(folder_ + "/LEDGER.DBF", testing::DbfBytes(ledger));
    connection_.OpenFolder(folder_);
  }

  // Runs the check for the month (monthly rule) or quarter starting on `start` (#m/d/yyyy#).
  double Credit(const std::string& return_type, int number, const std::string& start) {
    session_.PeriodStart = " " + start + " ";
    if (return_type == "Quaterly") {
      session_.PeriodIndex = static_cast<std::int16_t>(number);
    } else {
      session_.PeriodMonth = static_cast<std::int16_t>(number);
    }
    VatCreditCheck(&session_, connection_, return_type, ui_);
    return session_.VatCredit;
  }

  std::string folder_;
  Session session_;
  Connection connection_;
  testing::RecordingUi ui_;
};

// Opening credit 1000; April nets -1500, May +800, June +200, July 1st -5000, August +300.
// The bank account's posting never counts; the July posting counts only for a later period.
const std::vector<Posting> kYear = {
    {"100301", "20150410", "SA", "C", "1500.00", ""},
    {"100301", "20150505", "PU", "D", "800.00", ""},
    {"100301", "20150620", "JV", "D", "200.00", "41"},
    {"100501", "20150621", "JV", "D", "9999.00", "41"},
    {"100301", "20150701", "JV", "C", "5000.00", "41"},
    {"100301", "20150815", "PU", "D", "300.00", ""},
};

TEST_F(VatCreditTest, RollsTheOpeningCreditForwardWithAFloorAtEveryStep) {
  WriteCompany("-1000.00", kYear);
  // April: 1000 - 1500 -> 0; May: 800; June: 1000.
  EXPECT_DOUBLE_EQ(Credit("Monthly", 7, "#7/1/2015#"), 1000);
  EXPECT_DOUBLE_EQ(Credit("Monthly", 5, "#5/1/2015#"), 0);
  EXPECT_DOUBLE_EQ(Credit("Monthly", 6, "#6/1/2015#"), 800);
  // A half-year uses the monthly rule with the last month computed.
  EXPECT_DOUBLE_EQ(Credit("HalfYearly", 7, "#7/1/2015#"), 1000);
  // Quarter 1 nets -500 at once (no floor inside a quarter): 500. For quarter 3 the July
  // 1st posting lies inside the range and quarter 2 nets -4700: 0.
  EXPECT_DOUBLE_EQ(Credit("Quaterly", 2, "#7/1/2015#"), 500);
  EXPECT_DOUBLE_EQ(Credit("Quaterly", 3, "#10/1/2015#"), 0);
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(VatCreditTest, FirstPeriodGetsTheOpeningCredit) {
  WriteCompany("-1000.00", kYear);
  EXPECT_DOUBLE_EQ(Credit("Monthly", 4, "#4/1/2015#"), 1000);
  EXPECT_DOUBLE_EQ(Credit("Quaterly", 1, "#4/1/2015#"), 1000);
  // A debit opening balance is no credit.
  WriteCompany("250.00", kYear);
  EXPECT_DOUBLE_EQ(Credit("Monthly", 4, "#4/1/2015#"), 0);
  EXPECT_DOUBLE_EQ(Credit("Monthly", 6, "#6/1/2015#"), 800);
}

TEST_F(VatCreditTest, NoPostingsReportsAndNeverCarriesAnEarlierCredit) {
  WriteCompany("-1000.00", {});
  session_.VatCredit = 777;
  EXPECT_EQ(Credit("Monthly", 7, "#7/1/2015#"), 0);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].title, "Vat Credit Check - Error");
  EXPECT_EQ(ui_.messages[0].icon, MessageIcon::kCritical);
}

TEST_F(VatCreditTest, MissingLedgerEndsTheProgram) {
  WriteCompany("-1000.00", kYear);
  std::filesystem::remove(folder_ + "/LEDGER.DBF");
  session_.PeriodStart = " #7/1/2015# ";
  session_.PeriodMonth = 7;
  EXPECT_THROW(VatCreditCheck(&session_, connection_, "Monthly", ui_), ProgramEnding);
  EXPECT_TRUE(ui_.ended);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_NE(ui_.messages[0].text.find("Necessary DBF File is Open"), std::string::npos);
}

TEST(VatCreditQueryTest, YearStartIsWrittenWithoutLeadingZeros) {
  const std::string query = MonthlyCreditStepQuery("01/04/2015", " #7/1/2015# ");
  EXPECT_NE(query.find("Ledger.DATE Between #4/1/2015# and #7/1/2015# GROUP BY "),
            std::string::npos);
  EXPECT_NE(QuarterlyCreditStepQuery("05/10/2009", " #1/1/2010# ").find("#10/5/2009# and"),
            std::string::npos);
  EXPECT_THROW(MonthlyCreditStepQuery("2015-04-01", " #7/1/2015# "), HostError);
  EXPECT_THROW(MonthlyCreditStepQuery("31/02/2015", " #7/1/2015# "), HostError);
}

}  // namespace
}  // namespace vatrix
