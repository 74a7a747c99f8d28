#include "returns/form3b.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>

#include "hostdata/test_tables.h"
#include "returns/build_fixture.h"
#include "workbook/memory_spreadsheet.h"

namespace vatrix {
namespace {

namespace fs = std::filesystem;

double Num(MemorySpreadsheet& m, int sheet, int row, int column) {
  const CellValue value = m.Value(sheet, row, column);
  return std::holds_alternative<double>(value) ? std::get<double>(value) : 0;
}

// The sample template's six sheets, with the tax account's net at sheet 6 (2,2).
std::unique_ptr<MemorySpreadsheet> Form3BTemplate(int sheets = 6) {
  std::vector<std::string> names = {"Turnover", "Rates", "Forms", "Account", "Remarks", "Payable"};
  names.resize(sheets);
  auto m = std::make_unique<MemorySpreadsheet>(names);
  if (sheets == 6)
    m->SetFormula(6, 2, 2, [](MemorySpreadsheet& s) { return Num(s, 4, 5, 2) - Num(s, 4, 5, 3); });
  return m;
}

// The last number written into a cell; nullopt when none was.
std::optional<double> Written(const MemorySpreadsheet& m, int sheet, int row, int column) {
  std::optional<double> last;
  for (const auto& w : m.writes) {
    if (w.sheet == sheet && w.row == row && w.column == column) last = std::get<double>(w.value);
  }
  return last;
}

TEST(Form3BFillTest, SideOfTheTaxAccountAndSetOff) {
  // C8 = 30, C14 = 20: with C12 = 100 the net S6 (2,2) is 50. X = C9 - |C10|; e = C11 - C10.
  const struct {
    double c9, c10, c11, c12, c13;
    std::optional<double> s4_6_2, s4_7_2, s4_6_3, s4_7_3, s6_7_2, s6_9_2;
  } cases[] = {
      {40, 0, 100, 100, 70, 50, 30, {}, {}, -30, 80},  // X < C13: payable; set off p = 80 <= e
      {40, 0, 60, 100, 70, 50, 30, {}, {}, -30, 60},   // e < p: e
      {90, 0, 100, 100, 70, {}, {}, -50, 20, 20, 30},  // X > C13: paid in excess
      {70, 0, 100, 100, 70, {}, {}, -50, 0, {}, 50},   // X = C13: column 3, S6 (7,2) untouched
      {40, -50, 0, 100, 0, 50, 10, {}, {}, -10, 50},   // |C10| lowers X; e = 50 < p = 60
      {40, 0, 100, 50, 70, 0, 30, {}, {}, -30, {}},    // a net of 0 sets nothing off
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("X from C9 " + std::to_string(c.c9) + ", C12 " + std::to_string(c.c12));
    Form3BFigures f;
    f.c = {0, 0, 0, 0, 0, 0, 0, 30, c.c9, c.c10, c.c11, c.c12, c.c13, 20, 0};
    auto sheets = Form3BTemplate();
    sheets->Open("template.xls");
    TemplateSession workbook;
    FillForm3B(*sheets, &workbook, f);
    EXPECT_EQ(Written(*sheets, 4, 6, 2), c.s4_6_2);
    EXPECT_EQ(Written(*sheets, 4, 7, 2), c.s4_7_2);
    EXPECT_EQ(Written(*sheets, 4, 6, 3), c.s4_6_3);
    EXPECT_EQ(Written(*sheets, 4, 7, 3), c.s4_7_3);
    EXPECT_EQ(Written(*sheets, 6, 7, 2), c.s6_7_2);
    EXPECT_EQ(Written(*sheets, 6, 9, 2), c.s6_9_2);
  }
}

// A company of seven tax types (1 local VAT, 2 and 3 central at 2 % and 0 %, 4 class 18 at 5 %,
// 5 class 11, 6 class 9, 7 TYPE "S"), the CST account C1 and the VAT account V1.
struct Posting {
  std::string account, vtype, dc;
  double amount;
  std::string tax, narration;
};
const std::vector<Posting> kPostings = {
    {"C1", "JV", "C", 40, "", "2%"},   {"C1", "JV", "C", 25, "", "abc"},
    {"C1", "JV", "C", 30, "", ""},     {"C1", "JV", "D", 12.5, "", "12.5"},
    {"C1", "BP", "D", 80, "", "paid"}, {"C1", "SA", "C", 50, "4", ""},
    {"B1", "JV", "C", 15, "4", ""},    {"V1", "SA", "C", 40, "1", ""}};

std::string Money(double amount) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", amount);
  return text;
}

class Form3BRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    out_ = testing::MakeTempFolder();
    run_.panel.output_folder = out_ + "/";
    run_.panel.file_name = "CST";
    run_.spreadsheets = [this] { return Borrow(*(kept_ = Form3BTemplate(template_sheets_))); };
    Write(kPostings, true);
  }
  void TearDown() override { fs::remove_all(out_); }

  void Write(const std::vector<Posting>& postings, bool narration) {
    using F = testing::TestField;
    const F amount{"AMT", 'N', 14, 2};
    Table("STAX", {{"CODE"}, {"PCN", 'N', 6, 2}, {"VATTYPE", 'N', 3}, {"TYPE"}},
          {{"1", "4", "1", "V"},
           {"2", "2", "12", "C"},
           {"3", "0", "12", "C"},
           {"4", "5", "18", "V"},
           {"5", "1", "11", "V"},
           {"6", "1", "9", "V"},
           {"7", "0", "21", "S"}});
    Table("SP",
          {{"DATE", 'D', 8},
           {"VTYPE"},
           {"ST_TYPE"},
           F{"BILL_AMT", 'N', 14, 2},
           F{"TAX_AMT", 'N', 14, 2},
           F{"ST_AMT", 'N', 14, 2}},
          {{"20150402", "SA", "1", "1040", "1000", "40"},
           {"20150403", "SA", "2", "2040", "2000", "40"},
           {"20150404", "SA", "3", "500", "500", "0"},
           {"20150405", "SA", "4", "1050", "1000", "50"},
           {"20150406", "SA", "5", "300", "300", "0"},
           {"20150407", "SA", "6", "200", "200", "0"},
           {"20150408", "SA", "7", "100", "100", "0"},
           {"20150409", "SR", "2", "102", "100", "2"},
           {"20150410", "SR", "4", "210", "200", "10"},
           {"20150501", "SA", "2", "999", "990", "9"},
           {"20150411", "PU", "2", "700", "700", "0"}});
    Table("ACT", {{"CODE"}, {"ACT_TYPE", 'N', 3}, {"OPBAL", 'N', 14, 2}},
          {{"C1", "4", "0"}, {"V1", "90", "-300"}, {"B1", "1", "0"}});
    std::vector<F> fields = {{"CODE"}, {"DATE", 'D', 8}, {"VTYPE"}, {"DC"}, amount, {"VATCODE"}};
    if (narration) fields.push_back({"NARR1", 'C', 40});
    std::vector<std::vector<std::string>> rows;
    for (const Posting& p : postings) {
      rows.push_back({p.account, "20150412", p.vtype, p.dc, Money(p.amount), p.tax});
      if (narration) rows.back().push_back(p.narration);
    }
    Table("LEDGER", fields, rows);
  }

  void Table(const std::string& name, std::vector<testing::TestField> fields,
             std::vector<std::vector<std::string>> rows) {
    testing::TestTable table;
    table.fields = std::move(fields);
    table.rows = std::move(rows);
    testing::WriteFile(out_ + "/" + name + ".DBF", testing::DbfBytes(table));
  }

  void Run(const std::string& range = " Between #4/1/2015# and #4/30/2015# ") {
    run_.session.PeriodRange = range;
    run_.lists.connection.OpenFolder(out_);
    BuildContext context = run_.Context();
    Form3B(context);
  }

  testing::BuildFixture run_;
  std::string out_;
  int template_sheets_ = 6;
  std::unique_ptr<MemorySpreadsheet> kept_;
};

TEST_F(Form3BRunTest, FiguresMatchTheRows) {
  run_.panel.file_type = ".csv";  // named ".xls" in the message all the same
  Run();
  ASSERT_EQ(run_.ui.messages.size(), 1u) << run_.ui.Transcript();
  // The CST account's postings other than bills: only "2%" and "12.5" carry a rate.
  double gross_credit = 0, gross_debit = 0, credit = 0, debit = 0;
  for (const Posting& p : kPostings) {
    if (p.account != "C1" || p.vtype == "SA") continue;
    const double rate = p.narration == "2%" ? 2 : p.narration == "12.5" ? 12.5 : 0;
    const double gross = rate == 0 ? 0 : p.amount + 100 * p.amount / rate;
    (p.dc == "C" ? gross_credit : gross_debit) += gross;
    (p.dc == "C" ? credit : debit) += p.amount;
  }
  const double return_tax = 100 + 2 + 200 + 10;
  const struct {
    int sheet, row, column;
    double expected;
  } cells[] = {{1, 3, 2, 1040 + 2040 + 500 + 1050 + 300 + 200 + 100},
               {1, 5, 2, 1040 + 100},
               {1, 7, 2, 300},
               {1, 8, 2, 500},
               {1, 9, 2, 200},
               {1, 13, 2, 100 + 0 + 0 + 0},  // central sales have no value beside tax
               {4, 3, 2, gross_credit},
               {4, 3, 3, gross_debit},
               {4, 4, 3, return_tax},
               {4, 5, 3, return_tax + gross_debit},
               // X = C9 (12) + C15 - |C10| (|-50 - 15|) is below C13.
               {4, 7, 2, credit - (12 + debit - 65)}};
  for (const auto& c : cells) {
    EXPECT_NEAR(Written(*kept_, c.sheet, c.row, c.column).value_or(-1), c.expected, 0.001)
        << "sheet " << c.sheet << " (" << c.row << "," << c.column << ")";
  }
  // Sheet 2: rate and taxable amount as read, by rate, from row 4.
  const double rates[][2] = {{0, 500}, {2, 2000}, {5, 1000}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Written(*kept_, 2, 4 + i, 1), rates[i][0]);
    EXPECT_EQ(Written(*kept_, 2, 4 + i, 2), rates[i][1]);
  }
  EXPECT_FALSE(Written(*kept_, 2, 7, 1));
  EXPECT_EQ(run_.ui.messages[0].text, "Data Exported Successfully into File : " + out_ +
                                          "/CST.xls\r\nPlease Verify data of this file with "
                                          "actual data and then submit it.");
  EXPECT_EQ(kept_->saves.at(0).path, out_ + "/CST.csv");
}

TEST_F(Form3BRunTest, EmptyPeriodAndFailures) {
  Run(" Between #6/1/2015# and #6/30/2015# ");
  ASSERT_EQ(run_.ui.messages.size(), 1u) << run_.ui.Transcript();
  for (const int row : {3, 5, 7, 8, 9, 13}) EXPECT_EQ(Written(*kept_, 1, row, 2), 0.0);
  for (const auto& write : kept_->writes) EXPECT_NE(write.sheet, 2);

  // No VAT account posting: the credit check fails under its own title and the return is
  // still saved.
  run_.ui.messages.clear();
  Write({kPostings.begin(), kPostings.end() - 1}, true);
  Run();
  ASSERT_EQ(run_.ui.messages.size(), 2u) << run_.ui.Transcript();
  EXPECT_EQ(run_.ui.messages[0].title, "Vat Credit Check - Error");
  EXPECT_EQ(run_.ui.messages[1].icon, MessageIcon::kInformation);

  // A ledger without the narration field cannot give C12 and C14: the run stops, naming the
  // field, and saves nothing.
  run_.ui.messages.clear();
  kept_->saves.clear();
  Write(kPostings, false);
  Run();
  ASSERT_FALSE(run_.ui.messages.empty());
  EXPECT_EQ(run_.ui.messages.back().title, "Form 3B - Error");
  EXPECT_NE(run_.ui.messages.back().text.find("field Narr1"), std::string::npos);
  EXPECT_TRUE(kept_->saves.empty());

  // A template without sheet 6 fails the run: no file.
  run_.ui.messages.clear();
  Write(kPostings, true);
  template_sheets_ = 5;
  Run();
  ASSERT_FALSE(run_.ui.messages.empty());
  EXPECT_EQ(run_.ui.messages.back().title, "Form 3B - Error");
  EXPECT_TRUE(kept_->saves.empty());
  EXPECT_TRUE(kept_->closed);
}

}  // namespace
}  // namespace vatrix
