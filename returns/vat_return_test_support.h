// Test support for the VAT returns 201 and 205: their template as an in-memory workbook with
// the formulas the builders read back, what a run wrote, and the company's raw rows summed in
// C++ the way each figure and each rate-wise row is defined (never by the builders' query
// texts), with the cells of sheets 1, 3, 4 and 6 checked against those sums.
#ifndef VATRIX_RETURNS_VAT_RETURN_TEST_SUPPORT_H_
#define VATRIX_RETURNS_VAT_RETURN_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "hostdata/connection.h"
#include "hostdata/query_helpers.h"
#include "hostdata/record_set.h"
#include "hostdata/test_tables.h"
#include "hostdata/value.h"
#include "returns/build_fixture.h"
#include "returns/vat_return_sheets.h"
#include "workbook/memory_spreadsheet.h"

namespace vatrix::testing {

// The sample installation ctest names in VATRIX_SAMPLE, else the build's.
inline std::string SampleFolder() {
  const char* sample = std::getenv("VATRIX_SAMPLE");
  return sample ? sample : std::string(VATRIX_BINARY_DIR) + "/sample";
}

inline double Num(MemorySpreadsheet& m, int sheet, int row, int column) {
  const CellValue value = m.Value(sheet, row, column);
  const double* number = std::get_if<double>(&value);
  return number ? *number : 0;
}

inline double SumRange(MemorySpreadsheet& m, int sheet, int first_row, int last_row,
                       int first_column, int last_column) {
  double sum = 0;
  for (int row = first_row; row <= last_row; ++row) {
    for (int column = first_column; column <= last_column; ++column) {
      sum += Num(m, sheet, row, column);
    }
  }
  return sum;
}

// The sample Form 201 template (Form 205's with its seventh sheet): the first `sheets` of its
// sheets and the formulas the builders read back.
inline std::unique_ptr<MemorySpreadsheet> VatReturnTemplate(int sheets = 6) {
  std::vector<std::string> names = {"Turnover",    "Tax Rates",  "Input Tax", "Balance",
                                    "Declaration", "Deductions", "Payments"};
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
inline std::optional<CellValue> Written(const MemorySpreadsheet& m, int sheet, int row,
                                        int column) {
  std::optional<CellValue> last;
  for (const auto& write : m.writes) {
    if (write.sheet == sheet && write.row == row && write.column == column) last = write.value;
  }
  return last;
}

// Checks a blank-if-zero amount cell.
inline void ExpectAmount(const MemorySpreadsheet& m, int sheet, int row, int column,
                         double expected) {
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

// The raw rows of a company, summed in C++ the way each figure is defined.
class Ledgers {
 public:
  Ledgers(const Connection& connection, Date from, Date to) : from_(from), to_(to) {
    RecordSet stax = connection.Execute("SELECT * FROM STAX");
    for (; !stax.eof(); stax.MoveNext()) {
      taxes_[Text(stax, "CODE")] = {Number(stax, "VATTYPE"), Text(stax, "VATDET"),
                                    Text(stax, "TYPE"), Number(stax, "PCN"),
                                    Number(stax, "BC_TAX")};
    }
    RecordSet act = connection.Execute("SELECT * FROM ACT");
    for (; !act.eof(); act.MoveNext()) act_types_[Text(act, "CODE")] = Number(act, "ACT_TYPE");
    RecordSet sp = connection.Execute("SELECT * FROM SP");
    for (; !sp.eof(); sp.MoveNext()) {
      if (!InPeriod(sp.field("DATE"))) continue;
      bills_.push_back({Text(sp, "VTYPE"), Text(sp, "ST_TYPE"), Number(sp, "BILL_AMT"),
                        Number(sp, "TAX_AMT"), Number(sp, "ST_AMT"), Text(sp, "LINK")});
    }
    RecordSet itvat = connection.Execute("SELECT * FROM ITVAT");
    for (; !itvat.eof(); itvat.MoveNext()) {
      lines_[Text(itvat, "LINK")].push_back(
          {Text(itvat, "VATCODE"), Number(itvat, "AMT"), Number(itvat, "VAT")});
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
    double bc_tax;
  };
  struct Bill {
    std::string vtype;
    std::string tax;
    double bill, taxable, tax_amount;
    std::string link;
  };
  struct Line {
    std::string tax;
    double amount, vat;
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

  // Output tax by rate (`sales`) or input tax by rate: the item-wise bills (VATTYPE 15 for
  // sales, 14 for purchases) line by line under the line's tax type, the other "V" bills of
  // the side whole, each grouped by PCN and BC_TAX (and the bill's VATDET); the rate is PCN less
  // BC_TAX. Sorted by rate, then taxable amount.
  std::vector<RateRow> TaxByRate(bool sales) const {
    const std::string vtype = sales ? "SA" : "PU";
    const std::string side = sales ? "OV" : "IV";
    const double itemwise = sales ? 15 : 14;
    std::map<std::tuple<int, double, double>, RateRow> groups;  // (half, PCN, BC_TAX)
    const auto add = [&groups](int half, const Tax& t, double taxable, double tax) {
      RateRow& row = groups[{half, t.pcn, t.bc_tax}];
      const double vat = taxable * (t.pcn - t.bc_tax) / 100;
      row.rate = t.pcn - t.bc_tax;
      row.taxable += taxable;
      row.vat += vat;
      row.additional += tax - vat;
    };
    for (const Bill& b : bills_) {
      const auto bill_tax = taxes_.find(b.tax);
      if (b.vtype != vtype || bill_tax == taxes_.end()) continue;
      const Tax& t = bill_tax->second;
      if (t.vatdet == side && t.vattype == itemwise) {
        const auto lines = lines_.find(b.link);
        if (lines == lines_.end()) continue;
        for (const Line& line : lines->second) {
          const auto line_tax = taxes_.find(line.tax);
          if (line_tax != taxes_.end()) add(0, line_tax->second, line.amount, line.vat);
        }
      } else if (t.type == "V" && t.vattype != itemwise && !(sales && t.vattype == 18) &&
                 t.vatdet == side) {
        add(1, t, b.taxable, b.tax_amount);
      }
    }
    return Rounded(groups);
  }

  // Purchase tax by rate: bills of VATTYPE 6 (whatever their voucher type) grouped by BC_TAX,
  // the bill amount split by the fixed rule. Sorted by rate.
  std::vector<RateRow> PurchaseTaxByRate() const {
    std::map<std::tuple<int, double, double>, RateRow> groups;
    for (const Bill& b : bills_) {
      const auto tax = taxes_.find(b.tax);
      if (tax == taxes_.end() || tax->second.vattype != 6) continue;
      const double bc = tax->second.bc_tax;
      const double vat_rate = bc == 5 ? 4 : bc == 15 ? 12.5 : bc == 17.5 ? 15 : bc;
      const double additional_rate = bc == 5 ? 1 : bc == 15 || bc == 17.5 ? 2.5 : 0;
      RateRow& row = groups[{0, bc, 0}];
      row.rate = bc;
      row.taxable += b.bill;
      row.vat += b.bill * vat_rate / 100;
      row.additional += b.bill * additional_rate / 100;
    }
    return Rounded(groups);
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

  static std::vector<RateRow> Rounded(
      const std::map<std::tuple<int, double, double>, RateRow>& groups) {
    std::vector<RateRow> rows;
    for (const auto& [key, row] : groups) {
      rows.push_back({row.rate, RoundHalfEven(row.taxable, 2), RoundHalfEven(row.vat, 2),
                      RoundHalfEven(row.additional, 2)});
    }
    std::sort(rows.begin(), rows.end(), [](const RateRow& x, const RateRow& y) {
      return std::tie(x.rate, x.taxable) < std::tie(y.rate, y.taxable);
    });
    return rows;
  }

  Date from_, to_;
  std::map<std::string, Tax> taxes_;
  std::map<std::string, std::vector<Line>> lines_;
  std::map<std::string, double> act_types_;
  std::vector<Bill> bills_;
  std::vector<Posting> postings_;
};

// Q1..Q30 computed from the raw rows.
inline std::vector<double> FiguresFromRows(const Ledgers& l) {
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

// Every cell of Form 201's cell table against the figures summed from the rows. Form 205 has
// the same cells with the same figures, but for its sale returns in sheet 6 (6,3).
inline void ExpectCellTable(const MemorySpreadsheet& m, const std::vector<double>& q,
                            std::optional<double> sale_returns = std::nullopt) {
  const double returns = sale_returns.value_or(q[21]);
  ExpectAmount(m, 1, 8, 2, q[1]);
  ExpectAmount(m, 1, 8, 3, q[2]);
  ExpectAmount(m, 1, 10, 2, q[5]);
  ExpectAmount(m, 1, 10, 3, q[6]);
  ExpectAmount(m, 1, 12, 2, q[7]);
  ExpectAmount(m, 1, 12, 3, q[8]);
  ExpectAmount(m, 1, 15, 3, q[9]);
  ExpectAmount(m, 1, 17, 2, q[12] + q[14]);
  ExpectAmount(m, 1, 17, 3, q[13] + q[15]);
  ExpectAmount(m, 6, 6, 3, returns);
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
      returns + q[22] + q[23] + q[29] + (a < b ? 0 : a - b) + q[4] + q[17] + q[19];
  ExpectAmount(m, 1, 16, 2, deductions_2);
  ExpectAmount(m, 1, 16, 3, deductions_3);
  ExpectAmount(m, 3, 3, 2, q[11]);
  ExpectAmount(m, 3, 4, 2, q[20]);
  ExpectAmount(m, 3, 5, 2, q[10]);
  ExpectAmount(m, 4, 22, 2, q[22]);
}

// The rows of a small company made by hand, as field texts in the columns named.
struct SmallCompanyRows {
  std::vector<std::vector<std::string>> taxes;     // CODE NAME PCN BC_TAX VATTYPE VATDET TYPE
  std::vector<std::vector<std::string>> bills;     // LINK DATE VTYPE CODE ST_TYPE BILL_AMT
                                                   // TAX_AMT ST_AMT
  std::vector<std::vector<std::string>> accounts;  // CODE ACT_TYPE OPBAL
  std::vector<std::vector<std::string>> postings;  // CODE DATE VTYPE DC AMT VATCODE
};

// Writes STAX, SP, ACT and LEDGER of `rows` and an empty ITVAT into `folder`, created.
inline void WriteSmallCompany(const std::string& folder, const SmallCompanyRows& rows) {
  std::filesystem::create_directories(folder);
  const auto write = [&folder](const char* name, std::vector<TestField> fields,
                               const std::vector<std::vector<std::string>>& table_rows) {
    TestTable table;
    table.fields = std::move(fields);
    table.rows = table_rows;
    WriteFile(folder + "/" + name + ".DBF", DbfBytes(table));
  };
  write("STAX",
        {{"CODE", 'C', 4},
         {"NAME", 'C', 30},
         {"PCN", 'N', 6, 2},
         {"BC_TAX", 'N', 6, 2},
         {"VATTYPE", 'N', 3},
         {"VATDET", 'C', 2},
         {"TYPE", 'C', 1}},
        rows.taxes);
  write("SP",
        {{"LINK", 'C', 10},
         {"DATE", 'D', 8},
         {"VTYPE", 'C', 2},
         {"CODE", 'C', 6},
         {"ST_TYPE", 'C', 4},
         {"BILL_AMT", 'N', 14, 2},
         {"TAX_AMT", 'N', 14, 2},
         {"ST_AMT", 'N', 14, 2}},
        rows.bills);
  write("ITVAT", {{"LINK", 'C', 10}, {"VATCODE", 'C', 4}, {"AMT", 'N', 14, 2}, {"VAT", 'N', 14, 2}},
        {});
  write("ACT", {{"CODE", 'C', 6}, {"ACT_TYPE", 'N', 3}, {"OPBAL", 'N', 14, 2}}, rows.accounts);
  write("LEDGER",
        {{"CODE", 'C', 6},
         {"DATE", 'D', 8},
         {"VTYPE", 'C', 2},
         {"DC", 'C', 1},
         {"AMT", 'N', 14, 2},
         {"VATCODE", 'C', 4}},
        rows.postings);
}

// A builder run on a company folder, saving into a fresh output folder; the workbook the run
// made is kept for the checks (`sheets_` stays null when the run made none).
class CompanyRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    out_ = MakeTempFolder();
    run_.panel.output_folder = out_ + "/";
  }
  void TearDown() override { std::filesystem::remove_all(out_); }

  void RunOn(const std::string& company_folder, void (*builder)(BuildContext&),
             std::function<std::unique_ptr<MemorySpreadsheet>()> make_workbook) {
    sheets_ = nullptr;
    run_.lists.connection.OpenFolder(company_folder);
    run_.spreadsheets = [this, make_workbook]() -> std::unique_ptr<Spreadsheet> {
      kept_ = make_workbook();
      sheets_ = kept_.get();
      return Borrow(*kept_);
    };
    BuildContext context = run_.Context();
    builder(context);
  }

  BuildFixture run_;
  std::string out_;
  std::unique_ptr<MemorySpreadsheet> kept_;
  MemorySpreadsheet* sheets_ = nullptr;
};

}  // namespace vatrix::testing

#endif  // VATRIX_RETURNS_VAT_RETURN_TEST_SUPPORT_H_
