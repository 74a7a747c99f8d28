#include "returns/form201.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>

#include "hostdata/host_error.h"
#include "hostdata/query_helpers.h"
#include "hostdata/test_tables.h"
#include "returns/build_fixture.h"
#include "workbook/memory_spreadsheet.h"

namespace vatrix {
namespace {

namespace fs = std::filesystem;

double Num(MemorySpreadsheet& m, int sheet, int row, int column) {
  const CellValue value = m.Value(sheet, row, column);
  const double* number = std::get_if<double>(&value);
  return number ? *number : 0;
}

double SumRange(MemorySpreadsheet& m, int sheet, int first_row, int last_row, int first_column,
                int last_column) {
  double sum = 0;
  for (int row = first_row; row <= last_row; ++row) {
    for (int column = first_column; column <= last_column; ++column) {
      sum += Num(m, sheet, row, column);
    }
  }
  return sum;
}

// The sample Form 201 template: its six sheets and the formulas the builder reads back.
std::unique_ptr<MemorySpreadsheet> Form201Template(int sheets = 6) {
  std::vector<std::string> names = {"Turnover", "Tax Rates",   "Input Tax",
                                    "Balance",  "Declaration", "Deductions"};
  names.resize(sheets);
  auto m = std::make_unique<MemorySpreadsheet>(names);
  if (sheets < 6) return m;
  m->SetFormula(6, 24, 2, [](MemorySpreadsheet& s) { return SumRange(s, 6, 3, 23, 2, 2); });
  m->SetFormula(6, 24, 3, [](MemorySpreadsheet& s) { return SumRange(s, 6, 3, 23, 3, 3); });
  m->SetFormula(4, 4, 2, [](MemorySpreadsheet& s) { return SumRange(s, 3, 9, 200, 5, 6); });
  m->SetFormula(4, 5, 2, [](MemorySpreadsheet& s) { return Num(s, 4, 3, 2) + Num(s, 4, 4, 2); });
  m->SetFormula(4, 9, 2, [](MemorySpreadsheet& s) { return SumRange(s, 2, 3, 200, 6, 7); });
  m->SetFormula(4, 20, 2, [](MemorySpreadsheet& s) { return SumRange(s, 4, 9, 19, 2, 2); });
  m->SetFormula(4, 27, 2, [](MemorySpreadsheet& s) { return SumRange(s, 4, 22, 26, 2, 2); });
  return m;
}

// The last value written into a cell by the run; nullopt when it was never written.
std::optional<CellValue> Written(const MemorySpreadsheet& m, int sheet, int row, int column) {
  std::optional<CellValue> last;
  for (const auto& write : m.writes) {
    if (write.sheet == sheet && write.row == row && write.column == column) last = write.value;
  }
  return last;
}

// Checks a blank-if-zero amount cell.
void ExpectAmount(const MemorySpreadsheet& m, int sheet, int row, int column, double expected) {
  SCOPED_TRACE("sheet " + std::to_string(sheet) + " cell (" + std::to_string(row) + "," +
               std::to_string(column) + ")");
  const std::optional<CellValue> value = Written(m, sheet, row, column);
  ASSERT_TRUE(value.has_value()) << "not written";
  if (std::fabs(expected) < 0.005) {
    EXPECT_EQ(*value, CellValue(std::string())) << "a zero is written as the empty text";
  } else {
    ASSERT_TRUE(std::holds_alternative<double>(*value));
    EXPECT_NEAR(std::get<double>(*value), expected, 0.001);
  }
}

Form201Figures ZeroFigures() {
  Form201Figures figures;
  figures.q.assign(30, 0);
  return figures;
}

// ---------------------------------------------------------------------------------------
// The writing rules, on figures given directly.

class Form201FillTest : public ::testing::Test {
 protected:
  void Fill(const Form201Figures& figures, double vat_credit) {
    sheets_ = Form201Template();
    sheets_->Open("template.xls");
    FillForm201(*sheets_, &workbook_, figures, vat_credit);
  }

  std::unique_ptr<MemorySpreadsheet> sheets_;
  TemplateSession workbook_;
};

TEST_F(Form201FillTest, RateTextsHaveTwoDecimalsAndTwoLeadingDigits) {
  EXPECT_EQ(RateText(4), "04.00");
  EXPECT_EQ(RateText(12.5), "12.50");
  EXPECT_EQ(RateText(112.5), "112.50");
  EXPECT_EQ(RateText(0), "00.00");
  EXPECT_EQ(RateText(0.125), "00.13");  // half away from zero
  EXPECT_EQ(RateText(9.995), "10.00");
  EXPECT_EQ(RateText(13.5), "13.50");
  EXPECT_EQ(RateText(-4), "-04.00");
}

TEST_F(Form201FillTest, Row17WritesOnlyTheLargerSideOfTheVatAccount) {
  Form201Figures figures = ZeroFigures();
  figures.q[29] = 100;  // Q30: credit postings
  figures.q[23] = 20;   // Q24: tax on purchase returns
  figures.q[27] = 150;  // Q28: debit postings
  Fill(figures, 1000);  // a = 120 < b = 150: the credit grows by 30
  ExpectAmount(*sheets_, 6, 17, 2, 30);
  EXPECT_FALSE(Written(*sheets_, 6, 17, 3));
  ExpectAmount(*sheets_, 4, 6, 2, 30);
  ExpectAmount(*sheets_, 4, 7, 2, 1030);
  ExpectAmount(*sheets_, 1, 16, 2, 30);  // the deductions total copied to the turnover

  figures.q[27] = 70;  // a = 120 > b = 70: the credit shrinks by 50
  Fill(figures, 1000);
  EXPECT_FALSE(Written(*sheets_, 6, 17, 2));
  ExpectAmount(*sheets_, 6, 17, 3, 50);
  ExpectAmount(*sheets_, 4, 6, 2, 50);
  ExpectAmount(*sheets_, 4, 7, 2, 950);
  ExpectAmount(*sheets_, 1, 16, 3, 50);

  figures.q[27] = 120;  // a = b: (17,3) blank, no adjustment
  Fill(figures, 1000);
  EXPECT_FALSE(Written(*sheets_, 6, 17, 2));
  ExpectAmount(*sheets_, 6, 17, 3, 0);
  EXPECT_FALSE(Written(*sheets_, 4, 6, 2));
  ExpectAmount(*sheets_, 4, 7, 2, 1000);
  ExpectAmount(*sheets_, 4, 26, 2, 1000);
}

TEST_F(Form201FillTest, OutputTaxRowsThenPurchaseTaxRows) {
  Form201Figures figures = ZeroFigures();
  figures.output_tax = {{4, 100, 4, 0}, {12.5, 200, 25, 0}, {15, 50.1, 6.26, 1.25}};
  figures.purchase_tax = {{5, 300, 12, 3}, {15, 1000, 125, 25}};
  figures.input_tax = {{12.5, 80, 10, 0}};
  Fill(figures, 0);
  const struct {
    int row;
    std::string rate;
    std::string kind;
    double total;
  } rows[] = {{3, "04.00", "Output Tax", 104},
              {4, "12.50", "Output Tax", 225},
              {5, "15.00", "Output Tax", 57.61},
              {6, "05.00", "Purchase Tax", 315},
              {7, "15.00", "Purchase Tax", 1150}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.row);
    EXPECT_EQ(Written(*sheets_, 2, r.row, 1), CellValue(r.rate));
    EXPECT_EQ(Written(*sheets_, 2, r.row, 2), CellValue(r.kind));
    EXPECT_EQ(Written(*sheets_, 2, r.row, 3), CellValue(r.rate + "%"));
    EXPECT_FALSE(Written(*sheets_, 2, r.row, 4));
    EXPECT_EQ(Written(*sheets_, 2, r.row, 8), CellValue(r.total));
  }
  EXPECT_EQ(Written(*sheets_, 2, 6, 5), CellValue(300.0));
  EXPECT_FALSE(Written(*sheets_, 2, 8, 1));
  // Zero amounts of a rate row are written as numbers.
  EXPECT_EQ(Written(*sheets_, 2, 3, 7), CellValue(0.0));
  // Input tax rows start at row 9 of sheet 3, without kind or total.
  EXPECT_EQ(Written(*sheets_, 3, 9, 1), CellValue("12.50"));
  EXPECT_EQ(Written(*sheets_, 3, 9, 2), CellValue("12.50%"));
  EXPECT_EQ(Written(*sheets_, 3, 9, 5), CellValue(10.0));
  EXPECT_FALSE(Written(*sheets_, 3, 9, 3));
  EXPECT_FALSE(Written(*sheets_, 3, 9, 7));
  EXPECT_EQ(workbook_.CurrentSheet.position, 4);
  EXPECT_EQ(workbook_.SecondSheet.position, 6);

  // Purchase tax alone starts at row 3.
  figures.output_tax.clear();
  Fill(figures, 0);
  EXPECT_EQ(Written(*sheets_, 2, 3, 2), CellValue("Purchase Tax"));
}

TEST_F(Form201FillTest, BalanceSheetTakesNetPayableOrExcessCredit) {
  // d > 0: output tax 300 against a credit of 100.
  Form201Figures figures = ZeroFigures();
  figures.output_tax = {{12.5, 2400, 250, 50}};
  Fill(figures, 100);
  ExpectAmount(*sheets_, 4, 3, 2, 100);
  ExpectAmount(*sheets_, 4, 26, 2, 100);
  ExpectAmount(*sheets_, 4, 28, 2, 200);
  ExpectAmount(*sheets_, 4, 29, 2, 0);
  EXPECT_FALSE(Written(*sheets_, 4, 30, 2));
  ExpectAmount(*sheets_, 4, 32, 2, 0);

  // d < 0: output tax 100 against a credit of 500 and sale-return tax 50 (Q22); the class-18
  // tax Q26 - Q25 = 900 covers the whole excess of 450.
  figures.output_tax = {{4, 2500, 100, 0}};
  figures.q[21] = 50;
  figures.q[25] = 1000;
  figures.q[24] = 100;
  Fill(figures, 500);
  ExpectAmount(*sheets_, 6, 10, 3, 50);
  ExpectAmount(*sheets_, 4, 22, 2, 50);
  ExpectAmount(*sheets_, 4, 28, 2, 0);
  ExpectAmount(*sheets_, 4, 29, 2, 450);
  ExpectAmount(*sheets_, 4, 30, 2, 450);
  ExpectAmount(*sheets_, 4, 32, 2, 0);
  // A class-18 tax of 200 sets off only that much.
  figures.q[25] = 300;
  Fill(figures, 500);
  ExpectAmount(*sheets_, 4, 30, 2, 200);
  ExpectAmount(*sheets_, 4, 32, 2, 250);

  // d = 0, and a negative credit is no credit.
  figures = ZeroFigures();
  figures.output_tax = {{4, 2500, 100, 0}};
  figures.input_tax = {{4, 2500, 100, 0}};
  Fill(figures, -40);
  ExpectAmount(*sheets_, 4, 3, 2, 0);
  ExpectAmount(*sheets_, 4, 7, 2, 100);
  ExpectAmount(*sheets_, 4, 28, 2, 0);
  ExpectAmount(*sheets_, 4, 29, 2, 0);
  EXPECT_FALSE(Written(*sheets_, 4, 30, 2));
}

TEST_F(Form201FillTest, RateRowsEndAtRow32767) {
  Form201Figures figures = ZeroFigures();
  figures.purchase_tax.assign(32765, {5, 1, 0.04, 0.01});  // rows 3 to 32767
  EXPECT_NO_THROW(Fill(figures, 0));
  figures.output_tax = {{4, 1, 0.04, 0}};
  try {
    Fill(figures, 0);
    FAIL() << "row 32768 was written";
  } catch (const HostError& error) {
    EXPECT_EQ(error.number(), 6);
  }
}

TEST_F(Form201FillTest, ComputedCellThatIsNoNumberFailsTheRun) {
  sheets_ = Form201Template();
  sheets_->Open("template.xls");
  sheets_->SetFormula(6, 24, 2, [](MemorySpreadsheet&) { return CellValue("#VALUE!"); });
  EXPECT_THROW(FillForm201(*sheets_, &workbook_, ZeroFigures(), 0), HostError);
}

// ---------------------------------------------------------------------------------------
// Whole runs on company data.

std::string SampleFolder() {
  const char* sample = std::getenv("VATRIX_SAMPLE");
  return sample ? sample : std::string(VATRIX_BINARY_DIR) + "/sample";
}

class Form201RunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    run_.session.ReturnCode = "201";
    out_ = testing::MakeTempFolder();
    run_.panel.output_folder = out_ + "/";
    run_.panel.file_name = "Form 201";
  }
  void TearDown() override { fs::remove_all(out_); }

  void Period(const std::string& range, const std::string& start, int month, int quarter) {
    run_.session.PeriodRange = range;
    run_.session.PeriodStart = start;
    run_.session.PeriodMonth = static_cast<std::int16_t>(month);
    run_.session.PeriodIndex = static_cast<std::int16_t>(quarter);
  }

  void Run(const std::string& company_folder, int template_sheets = 6) {
    run_.lists.connection.OpenFolder(company_folder);
    run_.spreadsheets = [this, template_sheets]() -> std::unique_ptr<Spreadsheet> {
      kept_ = Form201Template(template_sheets);
      sheets_ = kept_.get();
      return Borrow(*kept_);
    };
    BuildContext context = run_.Context();
    Form201(context);
  }

  testing::BuildFixture run_;
  std::string out_;
  std::unique_ptr<MemorySpreadsheet> kept_;
  MemorySpreadsheet* sheets_ = nullptr;
};

// The raw rows of a company, summed in C++ the way each figure is defined.
class Ledgers {
 public:
  Ledgers(const Connection& connection, Date from, Date to) : from_(from), to_(to) {
    RecordSet stax = connection.Execute("SELECT * FROM STAX");
    for (; !stax.eof(); stax.MoveNext()) {
      taxes_[Text(stax, "CODE")] = {Number(stax, "VATTYPE"), Text(stax, "VATDET"),
                                    Text(stax, "TYPE"), Number(stax, "PCN")};
    }
    RecordSet act = connection.Execute("SELECT * FROM ACT");
    for (; !act.eof(); act.MoveNext()) act_types_[Text(act, "CODE")] = Number(act, "ACT_TYPE");
    RecordSet sp = connection.Execute("SELECT * FROM SP");
    for (; !sp.eof(); sp.MoveNext()) {
      if (!InPeriod(sp.field("DATE"))) continue;
      bills_.push_back({Text(sp, "VTYPE"), Text(sp, "ST_TYPE"), Number(sp, "BILL_AMT"),
                        Number(sp, "TAX_AMT"), Number(sp, "ST_AMT")});
    }
    RecordSet ledger = connection.Execute("SELECT * FROM LEDGER");
    for (; !ledger.eof(); ledger.MoveNext()) {
      if (!InPeriod(ledger.field("DATE"))) continue;
      postings_.push_back({Text(ledger, "CODE"), Text(ledger, "VTYPE"), Text(ledger, "DC"),
                           Number(ledger, "AMT"), Text(ledger, "VATCODE")});
    }
  }

  struct Tax {
    double vattype;
    std::string vatdet;
    std::string type;
    double pcn;
  };
  struct Bill {
    std::string vtype;
    std::string tax;
    double bill, taxable, tax_amount;
  };
  struct Posting {
    std::string account;
    std::string vtype;
    std::string dc;
    double amount;
    std::string tax;
  };

  // Sum of `value` over the period's bills with a known tax type meeting `test`.
  template <typename Test, typename Amount>
  double Bills(Test test, Amount value) const {
    double sum = 0;
    for (const Bill& b : bills_) {
      const auto tax = taxes_.find(b.tax);
      if (tax != taxes_.end() && test(b, tax->second)) sum += value(b);
    }
    return RoundHalfEven(sum, 2);
  }
  template <typename Amount>
  double AllBills(const std::string& vtype, Amount value) const {
    double sum = 0;
    for (const Bill& b : bills_) sum += b.vtype == vtype ? value(b) : 0;
    return RoundHalfEven(sum, 2);
  }
  template <typename Test, typename Amount>
  double Postings(Test test, Amount value) const {
    double sum = 0;
    for (const Posting& p : postings_) {
      const auto tax = taxes_.find(p.tax);
      if (tax != taxes_.end() && test(p, tax->second)) sum += value(p, tax->second);
    }
    return RoundHalfEven(sum, 2);
  }
  double ActType(const std::string& account) const {
    const auto found = act_types_.find(account);
    return found == act_types_.end() ? -1 : found->second;
  }

 private:
  static std::string Text(const RecordSet& r, const char* field) {
    const Value& v = r.field(field);
    return v.kind() == Value::Kind::kText ? v.text() : "";
  }
  static double Number(const RecordSet& r, const char* field) {
    const Value& v = r.field(field);
    return v.kind() == Value::Kind::kNumber ? v.number() : 0;
  }
  bool InPeriod(const Value& date) const {
    if (date.kind() != Value::Kind::kDate) return false;
    const Date d = date.date();
    const auto key = [](Date x) { return x.year * 10000 + x.month * 100 + x.day; };
    return key(d) >= key(from_) && key(d) <= key(to_);
  }

  Date from_, to_;
  std::map<std::string, Tax> taxes_;
  std::map<std::string, double> act_types_;
  std::vector<Bill> bills_;
  std::vector<Posting> postings_;
};

// Q1..Q30 computed from the raw rows.
std::vector<double> FiguresFromRows(const Ledgers& l) {
  using B = Ledgers::Bill;
  using T = Ledgers::Tax;
  using P = Ledgers::Posting;
  const auto bill = [](const B& b) { return b.bill; };
  const auto is = [](const char* vtype, double vattype) {
    return [=](const B& b, const T& t) { return b.vtype == vtype && t.vattype == vattype; };
  };
  const auto either = [](const B& b, const char* one, const char* other) {
    return b.vtype == one || b.vtype == other;
  };
  const auto central_sale = [](const T& t) {
    return t.vattype == 18 || t.vattype == 12 || t.type == "C";
  };
  const auto central_purchase = [](const T& t) { return t.vattype == 13 || t.type == "C"; };
  const auto non_bill = [&l](const char* dc) {
    return [&l, dc](const P& p, const T& t) {
      return p.vtype != "SA" && p.vtype != "SR" && p.vtype != "PR" && p.vtype != "PU" &&
             t.vattype != 18 && t.type == "V" && l.ActType(p.account) == 90 && p.dc == dc;
    };
  };
  const auto gross = [](const P& p, const T& t) { return p.amount + 100 * p.amount / t.pcn; };
  const auto tax_only = [](const P& p, const T&) { return p.amount; };
  const auto net_of_tax = [](const B& b) { return b.bill - b.taxable - b.tax_amount; };

  std::vector<double> q(31);
  q[1] = l.AllBills("SA", bill);
  q[2] = l.AllBills("PU", bill);
  q[3] = l.Bills(is("SA", 11), bill);
  q[4] = l.Bills(is("PU", 10), bill);
  q[5] = l.Bills(is("SA", 4), bill);
  q[6] = l.Bills(is("PU", 5), bill);
  q[7] = l.Bills(is("SA", 9), bill);
  q[8] = l.Bills(is("PU", 8), bill);
  q[9] = l.Bills(is("PU", 7), bill);
  q[10] = l.Bills(is("PU", 6), bill);
  q[11] = l.Postings([](const P&, const T& t) { return t.vatdet == "IC"; },
                     [](const P& p, const T& t) { return 100 * p.amount / t.pcn; });
  q[12] = l.Bills(
      [](const B& b, const T& t) { return b.vtype == "SA" && (t.type == "S" || t.vattype == 21); },
      bill);
  q[13] = l.Bills(
      [](const B& b, const T& t) { return b.vtype == "PU" && (t.type == "S" || t.vattype == 21); },
      bill);
  q[14] = l.Bills(
      [](const B& b, const T& t) { return b.vtype == "SA" && t.vatdet == "OV" && t.vattype != 18; },
      net_of_tax);
  q[15] = l.Bills([](const B& b, const T& t) { return b.vtype == "PU" && t.vatdet == "IV"; },
                  net_of_tax);
  q[16] = l.Bills([&](const B& b, const T& t) { return either(b, "SA", "SR") && central_sale(t); },
                  [](const B& b) { return b.vtype == "SA" ? b.bill : -b.bill; });
  q[17] =
      l.Bills([&](const B& b, const T& t) { return either(b, "PU", "PR") && central_purchase(t); },
              [](const B& b) { return b.vtype == "PU" ? b.bill : -b.bill; });
  q[18] = l.Bills([&](const B& b, const T& t) { return b.vtype == "SR" && central_sale(t); }, bill);
  q[19] =
      l.Bills([&](const B& b, const T& t) { return b.vtype == "PR" && central_purchase(t); }, bill);
  q[20] = l.Bills([](const B& b, const T& t) { return b.vtype == "PU" && t.vatdet == "IV"; },
                  [](const B& b) { return b.taxable + b.tax_amount; });
  q[21] = l.AllBills("SR", bill);
  q[22] = l.Bills([](const B& b, const T& t) { return b.vtype == "SR" && t.vatdet == "OV"; },
                  [](const B& b) { return b.tax_amount; });
  q[23] = l.AllBills("PR", bill);
  q[24] = l.Bills([](const B& b, const T& t) { return b.vtype == "PR" && t.vatdet == "IV"; },
                  [](const B& b) { return b.tax_amount; });
  q[25] = l.Postings([](const P&, const T& t) { return t.vattype == 18; },
                     [](const P& p, const T&) { return p.dc == "C" ? -p.amount : p.amount; });
  q[26] = l.Bills([&](const B& b, const T& t) { return either(b, "SA", "SR") && t.vattype == 18; },
                  [](const B& b) { return b.vtype == "SA" ? b.tax_amount : -b.tax_amount; });
  q[27] = l.Postings(non_bill("D"), gross);
  q[28] = l.Postings(non_bill("D"), tax_only);
  q[29] = l.Postings(non_bill("C"), gross);
  q[30] = l.Postings(non_bill("C"), tax_only);
  return q;
}

// Every cell of the cell table against the figures summed from the rows.
void ExpectCellTable(const MemorySpreadsheet& m, const std::vector<double>& q) {
  ExpectAmount(m, 1, 8, 2, q[1]);
  ExpectAmount(m, 1, 8, 3, q[2]);
  ExpectAmount(m, 1, 10, 2, q[5]);
  ExpectAmount(m, 1, 10, 3, q[6]);
  ExpectAmount(m, 1, 12, 2, q[7]);
  ExpectAmount(m, 1, 12, 3, q[8]);
  ExpectAmount(m, 1, 15, 3, q[9]);
  ExpectAmount(m, 1, 17, 2, q[12] + q[14]);
  ExpectAmount(m, 1, 17, 3, q[13] + q[15]);
  ExpectAmount(m, 6, 6, 3, q[21]);
  ExpectAmount(m, 6, 10, 3, q[22]);
  ExpectAmount(m, 6, 13, 2, q[27]);
  ExpectAmount(m, 6, 13, 3, q[23] + q[29]);
  const double a = q[30] + q[24], b = q[28];
  if (a < b) {
    ExpectAmount(m, 6, 17, 2, b - a);
  } else {
    ExpectAmount(m, 6, 17, 3, a - b);
  }
  ExpectAmount(m, 6, 21, 2, q[3]);
  ExpectAmount(m, 6, 21, 3, q[4]);
  ExpectAmount(m, 6, 23, 2, q[16] + q[18]);
  ExpectAmount(m, 6, 23, 3, q[17] + q[19]);
  const double deductions_2 = q[27] + (a < b ? b - a : 0) + q[3] + q[16] + q[18];
  const double deductions_3 =
      q[21] + q[22] + q[23] + q[29] + (a < b ? 0 : a - b) + q[4] + q[17] + q[19];
  ExpectAmount(m, 1, 16, 2, deductions_2);
  ExpectAmount(m, 1, 16, 3, deductions_3);
  ExpectAmount(m, 3, 3, 2, q[11]);
  ExpectAmount(m, 3, 4, 2, q[20]);
  ExpectAmount(m, 3, 5, 2, q[10]);
  ExpectAmount(m, 4, 22, 2, q[22]);
}

TEST_F(Form201RunTest, MonthQuarterAndLeapFebruaryFiguresMatchTheRows) {
  const std::string company = SampleFolder() + "/007";
  Run(company);
  ASSERT_TRUE(sheets_);
  ASSERT_EQ(run_.ui.messages.size(), 1u) << run_.ui.Transcript();
  Connection raw;
  raw.OpenFolder(company);
  const std::vector<double> april = FiguresFromRows(Ledgers(raw, {2015, 4, 1}, {2015, 4, 30}));
  for (size_t q = 1; q < april.size(); ++q) {
    EXPECT_NE(april[q], 0) << "the sample gives Q" << q << " nothing in April";
  }
  ExpectCellTable(*sheets_, april);
  EXPECT_EQ(sheets_->opened_path, run_.master_folder + "/" + kForm201Template);
  ASSERT_EQ(sheets_->saves.size(), 1u);
  EXPECT_EQ(sheets_->saves[0].path, out_ + "/Form 201.xls");
  EXPECT_TRUE(sheets_->quit);
  EXPECT_EQ(run_.ui.messages[0].text, "Data Exported Successfully into File : " + out_ +
                                          "/Form 201.xls\r\nPlease Verify data of this file with "
                                          "actual data and then submit it.");
  EXPECT_EQ(run_.ui.messages[0].icon, MessageIcon::kInformation);
  EXPECT_FALSE(run_.wait.state().visible);
  EXPECT_FALSE(run_.wait.state().hourglass);

  run_.ui.messages.clear();
  run_.panel.return_type = "Quaterly";
  Period(" Between #4/1/2015# and #6/30/2015# ", " #4/1/2015# ", 0, 1);
  Run(company);
  ASSERT_EQ(run_.ui.messages.size(), 1u) << run_.ui.Transcript();
  ExpectCellTable(*sheets_, FiguresFromRows(Ledgers(raw, {2015, 4, 1}, {2015, 6, 30})));

  // February of a leap year.
  run_.ui.messages.clear();
  run_.panel.return_type = "Monthly";
  Period(" Between #2/1/2016# and #2/29/2016# ", " #2/1/2016# ", 2, 0);
  Run(company);
  ASSERT_EQ(run_.ui.messages.size(), 1u) << run_.ui.Transcript();
  ExpectCellTable(*sheets_, FiguresFromRows(Ledgers(raw, {2016, 2, 1}, {2016, 2, 29})));
}

TEST_F(Form201RunTest, OldYearAndMissingTemplateStartNoWorkbook) {
  run_.session.YearFrom = "01/04/2007";
  Run(SampleFolder() + "/001");
  ASSERT_EQ(run_.ui.messages.size(), 1u);
  EXPECT_EQ(run_.ui.messages[0].text, "Old Return Not Done....");
  EXPECT_EQ(run_.ui.messages[0].icon, MessageIcon::kCritical);
  EXPECT_EQ(sheets_, nullptr);

  run_.ui.messages.clear();
  run_.session.YearFrom = "01/04/2015";
  run_.master_folder = out_;
  Run(SampleFolder() + "/007");
  ASSERT_EQ(run_.ui.messages.size(), 1u);
  EXPECT_EQ(run_.ui.messages[0].text,
            "Master Templete : " + out_ + "/" + kForm201Template + " was not found.....");
  EXPECT_EQ(sheets_, nullptr);
  EXPECT_FALSE(run_.wait.state().visible);
}

TEST_F(Form201RunTest, FailuresLeaveNoFileAndNoOpenWorkbook) {
  // A template without the deductions sheet fails once the workbook is open.
  Run(SampleFolder() + "/007", 5);
  ASSERT_EQ(run_.ui.messages.size(), 1u);
  EXPECT_EQ(run_.ui.messages[0].title, "Form 201 - Error");
  EXPECT_EQ(run_.ui.messages[0].icon, MessageIcon::kCritical);
  ASSERT_TRUE(sheets_);
  EXPECT_TRUE(sheets_->saves.empty());
  EXPECT_TRUE(sheets_->closed);
  EXPECT_TRUE(sheets_->quit);
  EXPECT_FALSE(run_.wait.state().visible);
  EXPECT_FALSE(run_.wait.state().hourglass);

  // A company whose bill table cannot be opened ends the program before any workbook.
  sheets_ = nullptr;
  const std::string copy = out_ + "/company";
  fs::copy(SampleFolder() + "/007", copy);
  for (const auto& entry : fs::directory_iterator(copy)) {
    if (entry.path().stem() == "SP" || entry.path().stem() == "sp") fs::remove(entry.path());
  }
  EXPECT_THROW(Run(copy), ProgramEnding);
  EXPECT_TRUE(run_.ui.ended);
  EXPECT_EQ(sheets_, nullptr);
  EXPECT_FALSE(run_.wait.state().visible);
}

// A small company: one VAT 12.5 % sale and one class-6 purchase of 1000 under BC_TAX 15.
TEST_F(Form201RunTest, RateRowsFromTheQueries) {
  const std::string company = out_ + "/small";
  fs::create_directory(company);
  testing::TestTable stax;
  stax.fields = {{"CODE", 'C', 4},    {"NAME", 'C', 30},  {"PCN", 'N', 6, 2}, {"BC_TAX", 'N', 6, 2},
                 {"VATTYPE", 'N', 3}, {"VATDET", 'C', 2}, {"TYPE", 'C', 1}};
  stax.rows = {{"2", "VAT 12.5% Sales", "12.50", "0.00", "1", "OV", "V"},
               {"26", "Purchase Tax 15%", "15.00", "15.00", "6", "IV", "V"}};
  testing::WriteFile(company + "/STAX.DBF", testing::DbfBytes(stax));
  testing::TestTable sp;
  sp.fields = {{"LINK", 'C', 10},       {"DATE", 'D', 8},      {"VTYPE", 'C', 2},
               {"CODE", 'C', 6},        {"ST_TYPE", 'C', 4},   {"BILL_AMT", 'N', 14, 2},
               {"TAX_AMT", 'N', 14, 2}, {"ST_AMT", 'N', 14, 2}};
  sp.rows = {{"1", "20150405", "SA", "P1", "2", "1125.00", "1000.00", "125.00"},
             {"2", "20150406", "PU", "P2", "26", "1000.00", "1000.00", "0.00"}};
  testing::WriteFile(company + "/SP.DBF", testing::DbfBytes(sp));
  testing::TestTable itvat;
  itvat.fields = {{"LINK", 'C', 10}, {"VATCODE", 'C', 4}, {"AMT", 'N', 14, 2}, {"VAT", 'N', 14, 2}};
  testing::WriteFile(company + "/ITVAT.DBF", testing::DbfBytes(itvat));
  testing::TestTable act;
  act.fields = {{"CODE", 'C', 6}, {"ACT_TYPE", 'N', 3}, {"OPBAL", 'N', 14, 2}};
  act.rows = {{"V1", "90", "-300.00"}};
  testing::WriteFile(company + "/ACT.DBF", testing::DbfBytes(act));
  testing::TestTable ledger;
  ledger.fields = {{"CODE", 'C', 6}, {"DATE", 'D', 8},    {"VTYPE", 'C', 2},
                   {"DC", 'C', 1},   {"AMT", 'N', 14, 2}, {"VATCODE", 'C', 4}};
  ledger.rows = {{"V1", "20150405", "SA", "C", "125.00", ""}};
  testing::WriteFile(company + "/LEDGER.DBF", testing::DbfBytes(ledger));

  Run(company);
  ASSERT_EQ(run_.ui.messages.size(), 1u) << run_.ui.Transcript();
  ASSERT_TRUE(sheets_);
  EXPECT_EQ(Written(*sheets_, 2, 3, 1), CellValue("12.50"));
  EXPECT_EQ(Written(*sheets_, 2, 3, 3), CellValue("12.50%"));
  EXPECT_EQ(Written(*sheets_, 2, 3, 6), CellValue(125.0));
  EXPECT_EQ(Written(*sheets_, 2, 4, 1), CellValue("15.00"));
  EXPECT_EQ(Written(*sheets_, 2, 4, 2), CellValue("Purchase Tax"));
  EXPECT_EQ(Written(*sheets_, 2, 4, 3), CellValue("15.00%"));
  EXPECT_EQ(Written(*sheets_, 2, 4, 5), CellValue(1000.0));
  EXPECT_EQ(Written(*sheets_, 2, 4, 6), CellValue(125.0));
  EXPECT_EQ(Written(*sheets_, 2, 4, 7), CellValue(25.0));
  EXPECT_EQ(Written(*sheets_, 2, 4, 8), CellValue(1150.0));
  // April keeps the opening credit of 300, against output and purchase tax of 275.
  ExpectAmount(*sheets_, 4, 3, 2, 300);
  ExpectAmount(*sheets_, 4, 28, 2, 0);
  ExpectAmount(*sheets_, 4, 29, 2, 25);
  ExpectAmount(*sheets_, 4, 32, 2, 25);
}

}  // namespace
}  // namespace vatrix
