#include "returns/list_forms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <tuple>

#include "hostdata/selection_lists.h"
#include "returns/list_test_support.h"
#include "returns/return_forms.h"

namespace vatrix {
namespace {

constexpr char kFirstQuarter[] = " Between #4/1/2015# and #6/30/2015# ";

bool InFirstQuarter(const Date& d) { return d.year == 2015 && d.month >= 4 && d.month <= 6; }

// The sample company 007 (2015-16) with the form's selection lists loaded, every account of
// List1 chosen and the first quarter as the period.
struct SampleList : testing::ListRun {
  explicit SampleList(const std::string& code) {
    EXPECT_TRUE(LoadSample(code, kFirstQuarter)) << "run through ctest, which names the sample";
  }
  void Run(void (*builder)(BuildContext&)) {
    BuildContext context = Context();
    builder(context);
  }
  std::set<std::string> ListCodes() const {
    std::set<std::string> codes;
    for (const ListItem& item : lists.list1) codes.insert(std::to_string(item.code));
    return codes;
  }
};

// A bill as the test computes it from the plain table rows.
struct Bill {
  Date date;
  Date dated;  // by the stock date when the list uses it
  std::string docno;
  double taxable = 0, vat = 0, additional = 0, bill = 0;
  std::string vtype;
  bool itemwise = false;
  bool cash = false;
  bool party_missing = false;
};

struct Tax {
  double pcn, bc_tax;
  int vattype;
};

double Num(const RecordSet& r, const char* field) {
  const Value& v = r.field(field);
  return v.kind() == Value::Kind::kNumber ? v.number() : 0;
}
std::string Text(const RecordSet& r, const char* field) { return r.field(field).ToDisplayText(); }

// Every bill of SP in the first quarter, dated by `stock_date` when set, with its amounts
// from the bill itself or, when its tax type is item-wise (`itemwise_class`), from its lines.
std::vector<Bill> ComputeBills(const Connection& db, int itemwise_class, bool by_stock_date,
                               std::vector<std::string>* tax_codes = nullptr) {
  std::map<std::string, Tax> taxes;
  for (RecordSet r = db.Execute("SELECT * FROM STAX"); !r.eof(); r.MoveNext()) {
    taxes[Text(r, "CODE")] = {Num(r, "PCN"), Num(r, "BC_TAX"), static_cast<int>(Num(r, "VATTYPE"))};
  }
  std::set<std::string> parties;
  for (RecordSet r = db.Execute("SELECT CODE FROM ACT"); !r.eof(); r.MoveNext()) {
    parties.insert("R" + Text(r, "CODE"));
  }
  for (RecordSet r = db.Execute("SELECT CODE FROM CASHCUST"); !r.eof(); r.MoveNext()) {
    parties.insert("C" + Text(r, "CODE"));
  }
  std::map<std::string, std::vector<std::tuple<std::string, double, double>>> lines;
  for (RecordSet r = db.Execute("SELECT * FROM ITVAT"); !r.eof(); r.MoveNext()) {
    lines[Text(r, "LINK")].push_back({Text(r, "VATCODE"), Num(r, "AMT"), Num(r, "VAT")});
  }
  std::vector<Bill> bills;
  for (RecordSet r = db.Execute("SELECT * FROM SP"); !r.eof(); r.MoveNext()) {
    const auto tax = taxes.find(Text(r, "ST_TYPE"));
    if (tax == taxes.end()) continue;
    const Value& stock = r.field("STOCKDT");
    const Date date = r.field("DATE").date();
    const Date dated = by_stock_date && stock.kind() == Value::Kind::kDate ? stock.date() : date;
    if (!InFirstQuarter(dated)) continue;
    Bill bill;
    bill.date = date;
    bill.dated = dated;
    bill.vtype = Text(r, "VTYPE");
    bill.bill = Num(r, "BILL_AMT");
    bill.cash = Text(r, "CBR") != "R";
    bill.party_missing = !parties.count((bill.cash ? "C" : "R") + Text(r, "CODE"));
    if (tax->second.vattype == itemwise_class) {
      bill.itemwise = true;
      bool any = false;
      for (const auto& [code, amount, vat] : lines[Text(r, "LINK")]) {
        const auto line_tax = taxes.find(code);
        if (line_tax == taxes.end()) continue;
        const double v = amount * (line_tax->second.pcn - line_tax->second.bc_tax) / 100;
        bill.taxable += amount;
        bill.vat += v;
        bill.additional += vat - v;
        any = true;
      }
      if (!any) continue;
    } else {
      bill.taxable = Num(r, "TAX_AMT");
      bill.vat = bill.taxable * (tax->second.pcn - tax->second.bc_tax) / 100;
      bill.additional = Num(r, "ST_AMT") - bill.vat;
    }
    if (tax_codes) tax_codes->push_back(Text(r, "ST_TYPE"));
    if (!r.field("FORM_REQ").is_null() && r.field("FORM_REQ").boolean()) bill.vtype += "+form";
    bill.docno = Text(r, "DOCNO") + "|" + Text(r, "PSCODE");
    bills.push_back(bill);
  }
  return bills;
}

std::string DocNo(const Bill& bill) { return bill.docno.substr(0, bill.docno.find('|')); }
std::string Account(const Bill& bill) { return bill.docno.substr(bill.docno.find('|') + 1); }

void SortByDateAndNumber(std::vector<Bill>* bills, bool by_dated = false) {
  std::stable_sort(bills->begin(), bills->end(), [by_dated](const Bill& a, const Bill& b) {
    const Date& x = by_dated ? a.dated : a.date;
    const Date& y = by_dated ? b.dated : b.date;
    return std::tie(x.year, x.month, x.day, a.docno) < std::tie(y.year, y.month, y.day, b.docno);
  });
}

double AsNumber(const CellValue& value) {
  const double* number = std::get_if<double>(&value);
  return number ? *number : NAN;
}

// Compares the written rows with the computed bills: number, date and amounts, in order. The
// caller checks that the counts agree before it walks the rows itself.
void ExpectRows(const std::map<int, std::map<int, CellValue>>& rows, const std::vector<Bill>& bills,
                bool amounts) {
  EXPECT_EQ(rows.size(), bills.size());
  auto row = rows.begin();
  for (const Bill& bill : bills) {
    if (row == rows.end()) return;
    auto cells = row->second;
    EXPECT_EQ(cells[2], CellValue(DocNo(bill))) << "row " << row->first;
    EXPECT_EQ(cells[3], CellValue(FormatDisplayDate(amounts ? bill.date : bill.dated)))
        << "row " << row->first;
    if (amounts) {
      EXPECT_NEAR(AsNumber(cells[7]), bill.taxable, 1e-6) << DocNo(bill);
      EXPECT_NEAR(AsNumber(cells[8]), bill.vat, 1e-6) << DocNo(bill);
      EXPECT_NEAR(AsNumber(cells[9]), bill.additional, 1e-6) << DocNo(bill);
      EXPECT_NEAR(AsNumber(cells[10]), bill.taxable + bill.vat + bill.additional, 1e-6);
      if (bill.party_missing) {
        EXPECT_EQ(cells[4], CellValue("Cash A/c"));
      }
    }
    ++row;
  }
}

TEST(ListFormsTest, InvoiceListsMatchTheBillsComputedFromTheTables) {
  const struct {
    std::string code;
    void (*builder)(BuildContext&);
    std::string vtype;
    int itemwise_class;
  } forms[] = {
      {"201A", Form201A, "SA", 15}, {"201B", Form201B, "PU", 14}, {"202A", Form202A, "PU", 14}};
  for (const auto& form : forms) {
    SCOPED_TRACE(form.code);
    SampleList run(form.code);
    run.Run(form.builder);
    ASSERT_EQ(run.ui.messages.size(), 1u) << run.ui.messages[0].text;
    EXPECT_EQ(run.ui.messages[0].icon, MessageIcon::kInformation);
    std::vector<Bill> bills;
    for (const Bill& bill : ComputeBills(run.lists.connection, form.itemwise_class, false)) {
      if (bill.vtype.rfind(form.vtype, 0) == 0 && run.ListCodes().count(Account(bill))) {
        bills.push_back(bill);
      }
    }
    SortByDateAndNumber(&bills);
    ExpectRows(run.Rows(form.code == "202A" ? 6 : 1, 5), bills, true);
    const auto itemwise =
        std::find_if(bills.begin(), bills.end(), [](const Bill& b) { return b.itemwise; });
    ASSERT_NE(itemwise, bills.end());
    EXPECT_EQ(std::count_if(bills.begin(), bills.end(),
                            [&](const Bill& b) { return DocNo(b) == DocNo(*itemwise); }),
              1);
    EXPECT_EQ(run.workbook.TemplateName, form.code == "202A"
                                             ? "VAT_RET_202A_m.xls"
                                             : "VAT_RET_" + form.code + "_500_Monthly_New.xls");
  }
}

TEST(ListFormsTest, SalesListOfForm202BHoldsReturns) {
  SampleList run("202B");
  run.Run(Form202B);
  std::vector<Bill> bills;
  for (const Bill& bill : ComputeBills(run.lists.connection, -1, false)) {
    if (run.ListCodes().count(Account(bill))) bills.push_back(bill);
  }
  SortByDateAndNumber(&bills);
  ASSERT_TRUE(
      std::any_of(bills.begin(), bills.end(), [](const Bill& b) { return b.vtype == "SR"; }));
  const auto rows = run.Rows(7, 7);
  ASSERT_EQ(rows.size(), bills.size());
  ExpectRows(rows, bills, false);
  auto row = rows.begin();
  for (const Bill& bill : bills) EXPECT_EQ(AsNumber((row++)->second.at(7)), bill.bill);
}

TEST(ListFormsTest, CstListsFollowTheStockDateAndTheTaxTypeList) {
  for (const std::string code : {"3BSALES", "3BPURCHASE"}) {
    for (const std::string stock : {"Yes", "No"}) {
      SCOPED_TRACE(code + " stock date " + stock);
      SampleList run(code);
      run.panel.use_stock_date = stock;
      run.panel.old_type = false;
      run.Run(code == "3BSALES" ? Form3BSales : Form3BPurchase);
      ASSERT_EQ(run.ui.messages.size(), 1u) << run.ui.messages[0].text;
      EXPECT_EQ(run.session.StateNames.size(), 36u);
      std::vector<std::string> tax_codes;
      const std::vector<Bill> all =
          ComputeBills(run.lists.connection, -1, stock == "Yes", &tax_codes);
      std::vector<Bill> bills;
      const std::set<std::string> listed = run.ListCodes();
      for (size_t i = 0; i < all.size(); ++i) {
        if (all[i].vtype == (code == "3BSALES" ? "SA+form" : "PU+form") &&
            listed.count(tax_codes[i])) {
          bills.push_back(all[i]);
        }
      }
      SortByDateAndNumber(&bills, code == "3BPURCHASE");
      const auto rows = run.Rows(code == "3BSALES" ? 4 : 5, 6);
      ASSERT_EQ(rows.size(), bills.size());
      ExpectRows(rows, bills, false);
      // A cash party has no state; a registered one in Gujarat or Maharastra has one.
      auto row = rows.begin();
      for (const Bill& bill : bills) {
        if (bill.cash) {
          EXPECT_EQ(row->second.count(6), 0u) << DocNo(bill);
        }
        ++row;
      }
      EXPECT_TRUE(std::any_of(rows.begin(), rows.end(),
                              [](const auto& r) { return r.second.count(6) == 1; }));
      if (code == "3BSALES") {
        EXPECT_TRUE(std::any_of(bills.begin(), bills.end(), [](const Bill& b) { return b.cash; }));
      }
    }
  }
}

TEST(ListFormsTest, FailuresCarryTheFormsTitle) {
  SampleList run("202A");
  run.session.AccountCodes = "";
  run.Run(Form202A);
  ASSERT_EQ(run.ui.messages.size(), 1u);
  EXPECT_EQ(run.ui.messages[0].title, "Form 202A Error");
  EXPECT_NE(run.ui.messages[0].text.find("No account is selected"), std::string::npos)
      << run.ui.messages[0].text;
  EXPECT_TRUE(run.book.opened_path.empty());
  EXPECT_FALSE(run.wait.state().visible);
}

}  // namespace
}  // namespace vatrix
