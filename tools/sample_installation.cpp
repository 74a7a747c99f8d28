// The sample installation: a catalogue and four (five with the large company) company folders
// written with shapelib as dBase IV tables, byte for byte the same on every run.
//
// Catalogue (Company.dbf, rows deliberately not in name order):
//   7    "Sam's Traders & Co."  1/4/2015-31/3/2016  folder 007   the main sample
//   1    "Old Traders"          1/4/2007-31/3/2008  folder 001   small; a year before 2008
//   12   "Patel & Sons"         1/4/2016-31/3/2017  folder 012   small; its name sorts between
//   8    "Sam's Traders & Co."  1/4/2016-31/3/2017  folder 008   small; same name, next year
//   1234 "Large Traders"        1/4/2015-31/3/2016  folder 1234  only with large_bills > 0
//
// Every company folder holds all ten tables. File names mix their letter case per table and
// company (SP.DBF, sp.dbf, Sp.dbf, SP.dbf, sp.DBF); CASHCUST and FORMMAST carry no code page
// (readers assume cp1252), the others language driver 0x57 (cp1252). Text is stored in
// cp1252: names hold é, ü, ö, &, /, #, an apostrophe and a typographic apostrophe (0x92).
//
// Masters (the same in every company):
// - STAX: sales-side ("OV") and purchase-side ("IV") tax types of every class 4, 5, 6, 7, 8,
//   9, 10, 11, 12, 13, 14, 15, 18 and 21, plain classes 1 and 2, and two "IC" types; TYPE
//   "V", "C" (also on classes outside 12/13/18) and "S"; rates 0, 1, 2, 4, 5, 12.5, 14.5, 15
//   and 17.5; additional tax (BC_TAX 1 and 2.5); class-6 purchase tax with BC_TAX 5, 15, 17.5
//   and 4.
// - ACT: sales accounts (group 100005), purchase accounts (100006), the VAT account
//   (ACT_TYPE 90, credit opening balance), the CST account (ACT_TYPE 4), bank, cash, expense
//   accounts and registered parties with STATE "GUJARAT", "Gujarat", "Maharastra", "Delhi",
//   "RAJASTHAN", a blank STATE whose ADD3 ends with a state name.
// - CASHCUST: cash parties (bills with CBR "C"). A bill of party 999999 has no party row.
// - FORMMAST: "CST-Form C", "CST-Form F", "CST-Form H" and one other form.
// - Product/Batch/Stock: products with and without batches, batch B001 of two products, a
//   product without closing rate, one whose stock comes back to 0; movements before the year
//   and in every month, some with a challan link (not counted).
//
// Bills of the main company: the same 33 kinds of bill in every month of the year (sales,
// sale returns, purchases and purchase returns of every tax class, item-wise bills with
// ITVAT lines at 5, 12.5 and 14.5 %, CST bills with FORM_REQ and a declaration form, a stock
// date on some bills and blank on others, both blank forms; the end-of-month CST bills carry
// a stock date in the next month; February 2016 has bills on the 29th), so each monthly and
// quarterly return has rows of every kind. April 2015 also holds one bill whose FORM_TYPE is
// not in FORMMAST and deleted records in SP, ITVAT and LEDGER with amounts that would change
// every total if they were counted. Each bill is posted to the ledger (party, sales or
// purchase account, freight, tax by tax type, settlement by bank).
// Non-bill ledger postings every month: journal debits and credits on the VAT account with
// "V" tax types and with a class-18 tax type, "IC" postings, VAT payments by bank (two in
// some months), and on the CST account journals whose NARR1 holds "2%", "12.5", "abc" or
// nothing, with bank (BP) and cash (CP) payments.
//
// The small companies hold the same kinds of bill for April and October only. The large
// company holds N bills spread evenly over the year: 84 % sales (so at least 40 % of all
// bills are sales of April to September), half of the sales and purchases item-wise with
// eight ITVAT lines each, and six or more ledger postings per bill.
#include "tools/sample_installation.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "tools/dbf_writer.h"

namespace vatrix {
namespace {

namespace fs = std::filesystem;

// ---------------------------------------------------------------------------------------
// Calendar.

using dbf::Day;  // the day a date field holds

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

Day AddDays(Day day, int count) {
  for (int i = 0; i < count; ++i) {
    if (++day.day > DaysInMonth(day.year, day.month)) {
      day.day = 1;
      if (++day.month > 12) {
        day.month = 1;
        ++day.year;
      }
    }
  }
  return day;
}

Day SubtractDays(Day day, int count) {
  for (int i = 0; i < count; ++i) {
    if (--day.day == 0) {
      if (--day.month == 0) {
        day.month = 12;
        --day.year;
      }
      day.day = DaysInMonth(day.year, day.month);
    }
  }
  return day;
}

bool Before(const Day& a, const Day& b) {
  return std::tie(a.year, a.month, a.day) < std::tie(b.year, b.month, b.day);
}

// Month `index` (0 = April) of the financial year starting in April of `first_year`.
Day MonthOfYear(int first_year, int index, int day) {
  int month = 4 + index;
  return month > 12 ? Day{first_year + 1, month - 12, day} : Day{first_year, month, day};
}

// ---------------------------------------------------------------------------------------
// Deterministic numbers (splitmix64), the same on every platform and library.

class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // A number in [low, high].
  long long Range(long long low, long long high) {
    return low + static_cast<long long>(Next() % static_cast<std::uint64_t>(high - low + 1));
  }

 private:
  std::uint64_t state_;
};

// ---------------------------------------------------------------------------------------
// Money in paise; rates in hundredths of a percent (12.5 % is 1250).

using Paise = long long;

Paise Percent(Paise base, int rate) { return (base * rate + 5000) / 10000; }
double Rupees(Paise amount) { return static_cast<double>(amount) / 100.0; }
double Rate(int rate) { return rate / 100.0; }
dbf::Cell Money(Paise amount) { return dbf::Number(Rupees(amount)); }

// ---------------------------------------------------------------------------------------
// The schema.

enum Table { kSp, kItvat, kStax, kAct, kCashCust, kLedger, kStock, kProduct, kBatch, kFormMast };
constexpr int kTableCount = 10;

struct TableLayout {
  const char* name;
  dbf::CodePage code_page;
  std::vector<dbf::Column> columns;
};

const std::vector<dbf::Column> kPartyColumns = {
    {"CODE", 'C', 6, 0},   {"NAME", 'C', 40, 0},  {"STNO", 'C', 15, 0},
    {"CSTNO", 'C', 15, 0}, {"ADD3", 'C', 30, 0},  {"ITNO", 'C', 15, 0},
    {"LICNO", 'C', 15, 0}, {"EMAIL", 'C', 30, 0}, {"CATEGORY", 'C', 20, 0}};

std::vector<dbf::Column> ActColumns() {
  std::vector<dbf::Column> columns = kPartyColumns;
  columns.insert(columns.end(), {{"STATE", 'C', 25, 0},
                                 {"GROUP", 'C', 6, 0},
                                 {"ACT_TYPE", 'N', 3, 0},
                                 {"OPBAL", 'N', 14, 2},
                                 {"FLAG", 'C', 1, 0},
                                 {"TAG", 'C', 1, 0}});
  return columns;
}

const std::array<TableLayout, kTableCount>& TableLayouts() {
  static const std::array<TableLayout, kTableCount> kLayouts = {{
      {"SP",
       dbf::CodePage::kWindowsAnsi,
       {{"LINK", 'C', 10, 0},
        {"DOCNO", 'C', 10, 0},
        {"DATE", 'D', 8, 0},
        {"STOCKDT", 'D', 8, 0},
        {"VTYPE", 'C', 2, 0},
        {"CODE", 'C', 6, 0},
        {"CBR", 'C', 1, 0},
        {"PSCODE", 'C', 6, 0},
        {"ST_TYPE", 'C', 4, 0},
        {"BILL_AMT", 'N', 14, 2},
        {"TAX_AMT", 'N', 14, 2},
        {"ST_AMT", 'N', 14, 2},
        {"AT_AMT", 'N', 14, 2},
        {"FORM_REQ", 'L', 1, 0},
        {"FORM_TYPE", 'C', 4, 0}}},
      {"ITVAT",
       dbf::CodePage::kWindowsAnsi,
       {{"LINK", 'C', 10, 0}, {"VATCODE", 'C', 4, 0}, {"AMT", 'N', 14, 2}, {"VAT", 'N', 14, 2}}},
      {"STAX",
       dbf::CodePage::kWindowsAnsi,
       {{"CODE", 'C', 4, 0},
        {"NAME", 'C', 30, 0},
        {"PCN", 'N', 6, 2},
        {"BC_TAX", 'N', 6, 2},
        {"VATTYPE", 'N', 3, 0},
        {"VATDET", 'C', 2, 0},
        {"TYPE", 'C', 1, 0},
        {"TAG", 'C', 1, 0}}},
      {"ACT", dbf::CodePage::kWindowsAnsi, ActColumns()},
      {"CASHCUST", dbf::CodePage::kNone, kPartyColumns},
      {"LEDGER",
       dbf::CodePage::kWindowsAnsi,
       {{"CODE", 'C', 6, 0},
        {"DATE", 'D', 8, 0},
        {"VTYPE", 'C', 2, 0},
        {"DC", 'C', 1, 0},
        {"AMT", 'N', 14, 2},
        {"VATCODE", 'C', 4, 0},
        {"NARR1", 'C', 40, 0}}},
      {"Stock",
       dbf::CodePage::kWindowsAnsi,
       {{"CODE", 'C', 6, 0},
        {"BATCHNO", 'C', 10, 0},
        {"DATE", 'D', 8, 0},
        {"QTY", 'N', 12, 3},
        {"AL", 'C', 1, 0},
        {"CHLNLINK", 'C', 10, 0}}},
      {"Product",
       dbf::CodePage::kWindowsAnsi,
       {{"CODE", 'C', 6, 0},
        {"NAME", 'C', 40, 0},
        {"UNIT1", 'C', 6, 0},
        {"OP_QTY", 'N', 12, 3},
        {"TOTIN", 'N', 12, 3},
        {"TOTOUT", 'N', 12, 3},
        {"CL_QTY", 'N', 12, 3},
        {"CLRATE", 'N', 12, 2},
        {"BATCH", 'L', 1, 0},
        {"TAG", 'C', 1, 0}}},
      {"Batch",
       dbf::CodePage::kWindowsAnsi,
       {{"CODE", 'C', 6, 0},
        {"BATCHNO", 'C', 10, 0},
        {"OP_QTY", 'N', 12, 3},
        {"CLRATE", 'N', 12, 2},
        {"TAG", 'C', 1, 0}}},
      {"FORMMAST", dbf::CodePage::kNone, {{"CODE", 'C', 4, 0}, {"NAME", 'C', 30, 0}}},
  }};
  return kLayouts;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The file name of a table, its letter case varied by table and company.
std::string SpelledFileName(const std::string& table, int variant) {
  std::string capitalised = Lower(table);
  capitalised[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(capitalised[0])));
  switch (variant % 5) {
    case 0:
      return Upper(table) + ".DBF";
    case 1:
      return Lower(table) + ".dbf";
    case 2:
      return capitalised + ".dbf";
    case 3:
      return Upper(table) + ".dbf";
    default:
      return Lower(table) + ".DBF";
  }
}

// The ten open tables of one company folder.
class CompanyTables {
 public:
  CompanyTables(const fs::path& folder, int spelling) {
    for (int t = 0; t < kTableCount; ++t) {
      const TableLayout& layout = TableLayouts()[t];
      tables_[t] = std::make_unique<dbf::Writer>(folder, SpelledFileName(layout.name, spelling + t),
                                                 layout.columns, layout.code_page);
    }
  }
  dbf::Writer& operator[](Table table) { return *tables_[table]; }
  void Finish() {
    for (auto& table : tables_) table->Finish();
  }

 private:
  std::array<std::unique_ptr<dbf::Writer>, kTableCount> tables_;
};

// ---------------------------------------------------------------------------------------
// Masters.

struct TaxType {
  const char* code;
  const char* name;
  int pcn;  // hundredths of a percent
  int bc_tax;
  int vattype;
  const char* vatdet;
  const char* type;
};

constexpr TaxType kTaxTypes[] = {
    // Sales side.
    {"1", "VAT 5% Sales", 500, 0, 4, "OV", "V"},
    {"2", "VAT 12.5% Sales", 1250, 0, 1, "OV", "V"},
    {"3", "VAT 15% Sales (12.5+2.5)", 1500, 250, 1, "OV", "V"},
    {"4", "Tax Free Sales", 0, 0, 21, "OV", "S"},
    {"5", "Sales Item-wise", 0, 0, 15, "OV", "V"},
    {"6", "CST 2% Sales agst Form C", 200, 0, 9, "OV", "C"},
    {"7", "Export Sales agst Form H", 0, 0, 11, "OV", "C"},
    {"8", "CST 12.5% Sales", 1250, 0, 12, "OV", "V"},
    {"9", "CST 5% Sales (Class 18)", 500, 0, 18, "OV", "V"},
    {"10", "CST 1% Sales agst Form C", 100, 0, 0, "OV", "C"},
    {"13", "VAT 14.5% Sales (13.5+1)", 1450, 100, 1, "OV", "V"},
    // Purchase side.
    {"21", "VAT 5% Purchase", 500, 0, 5, "IV", "V"},
    {"22", "VAT 12.5% Purchase", 1250, 0, 2, "IV", "V"},
    {"23", "VAT 15% Purchase (12.5+2.5)", 1500, 250, 2, "IV", "V"},
    {"24", "Purchase Item-wise", 0, 0, 14, "IV", "V"},
    {"25", "Purchase Tax 5% (4+1)", 500, 500, 6, "IV", "V"},
    {"26", "Purchase Tax 15% (12.5+2.5)", 1500, 1500, 6, "IV", "V"},
    {"27", "Purchase Tax 17.5% (15+2.5)", 1750, 1750, 6, "IV", "V"},
    {"28", "Purchase Tax 4%", 400, 400, 6, "IV", "V"},
    {"29", "Capital Goods Purchase 5%", 500, 0, 7, "IV", "V"},
    {"30", "CST 2% Purchase agst Form C", 200, 0, 8, "IV", "C"},
    {"31", "Branch Transfer agst Form F", 0, 0, 10, "IV", "C"},
    {"32", "CST 12.5% Purchase", 1250, 0, 13, "IV", "V"},
    {"33", "Tax Free Purchase", 0, 0, 21, "IV", "S"},
    {"35", "VAT 14.5% Purchase (13.5+1)", 1450, 100, 2, "IV", "V"},
    // Input credit postings.
    {"41", "Input Credit 5% (IC)", 500, 0, 0, "IC", "V"},
    {"42", "Input Credit 12.5% (IC)", 1250, 0, 0, "IC", "V"},
};

const TaxType& FindTax(std::string_view code) {
  for (const TaxType& tax : kTaxTypes) {
    if (code == tax.code) return tax;
  }
  throw std::runtime_error("unknown sample tax type " + std::string(code));
}

bool IsCstClass(const TaxType& tax) {
  return std::string_view(tax.type) == "C" || tax.vattype == 8 || tax.vattype == 9 ||
         (tax.vattype >= 10 && tax.vattype <= 13) || tax.vattype == 18;
}

// Account codes used by the bills and postings.
constexpr const char* kSalesLocal = "100101";
constexpr const char* kSalesInterstate = "100102";
constexpr const char* kSalesItemwise = "100103";
constexpr const char* kPurchaseLocal = "100201";
constexpr const char* kPurchaseInterstate = "100202";
constexpr const char* kPurchaseUnregistered = "100203";
constexpr const char* kVatAccount = "100301";
constexpr const char* kCstAccount = "100302";
constexpr const char* kFreight = "100401";
constexpr const char* kCapitalGoods = "100402";
constexpr const char* kRateDifference = "100403";
constexpr const char* kBank = "100501";
constexpr const char* kCash = "100502";
constexpr const char* kMissingParty = "999999";

struct Account {
  const char* code;
  const char* name;
  const char* group;
  int act_type;
  Paise opening;
  const char* stno = "";
  const char* add3 = "";
  const char* state = "";
};

const std::vector<Account>& Accounts() {
  static const std::vector<Account> kAccounts = {
      {kSalesLocal, "Sales A/c - Local", "100005", 0, 0},
      {kSalesInterstate, "Sales A/c - Interstate", "100005", 0, 0},
      {kSalesItemwise, "Sales A/c - Item-wise", "100005", 0, 0},
      {kPurchaseLocal, "Purchase A/c - Local", "100006", 0, 0},
      {kPurchaseInterstate, "Purchase A/c - Interstate", "100006", 0, 0},
      {kPurchaseUnregistered, "Purchase A/c - URD", "100006", 0, 0},
      {kVatAccount, "VAT A/c", "100020", 90, -1500050},
      {kCstAccount, "CST A/c", "100020", 4, 0},
      {kFreight, "Freight & Packing", "100030", 0, 0},
      {kCapitalGoods, "Capital Goods (Input Credit)", "100030", 0, 0},
      {kRateDifference, "Rate Difference / Adjustments", "100030", 0, 0},
      {kBank, "State Bank of India #4512", "100040", 0, 25000000},
      {kCash, "Cash A/c", "100040", 0, 1500000},
      {"200001", "Gujarat Steel Works", "100010", 0, 0, "24071100011", "GIDC, Vatva, Ahmedabad",
       "GUJARAT"},
      {"200002", "Shree Ganesh Traders", "100010", 0, 0, "24071100022", "Ring Road, Surat",
       "Gujarat"},
      {"200003", "Mumbai Chemicals Pvt. Ltd.", "100010", 0, 0, "27150033333", "Andheri (E), Mumbai",
       "Maharastra"},
      {"200004", "Désai & Söhne Exports", "100010", 0, 0, "23090044444",
       "Vijay Nagar, Madhya Pradesh", ""},
      {"200005", "O'Brien Agencies #2", "100010", 0, 0, "07120055555", "Karol Bagh, New Delhi",
       "Delhi"},
      {"200006", "A/B Distributors", "100010", 0, 0, "08160066666", "M.I. Road, Jaipur",
       "RAJASTHAN"},
      {"200007", "Kerala Spices & Co.", "100010", 0, 0, "32070077777", "Fort Kochi", "Kerala"},
      {"200008", "Prime Suppliers", "100011", 0, 0, "24071100088", "Naroda, Ahmedabad", "Gujarat"},
      {"200009", "Andhra Agro Industries", "100011", 0, 0, "28990099999", "Guntur",
       "Andhra Pradesh"},
  };
  return kAccounts;
}

struct CashParty {
  const char* code;
  const char* name;
  const char* add3;
};

constexpr CashParty kCashParties[] = {
    {"900001", "Walk-in Customer", ""},
    {"900002", "Rajesh’s Kirana Store", "Maninagar, Ahmedabad"},
    {"900003", "Müller & Co.", "Vadodara"},
    {"900004", "Déjà Vu Décor", "Pune, Maharastra"},
    {"900005", "Kanti Bhai (URD)", "Anand"},
};

struct Form {
  const char* code;
  const char* name;
};

constexpr Form kForms[] = {
    {"1", "CST-Form C"}, {"2", "CST-Form F"}, {"3", "CST-Form H"}, {"4", "CST-Form E-I"}};
constexpr const char* kUnknownForm = "9";

void WriteTaxTypes(dbf::Writer& stax) {
  for (const TaxType& tax : kTaxTypes) {
    stax.Add({dbf::Text(tax.code), dbf::Text(tax.name), dbf::Number(Rate(tax.pcn)),
              dbf::Number(Rate(tax.bc_tax)), dbf::Number(tax.vattype), dbf::Text(tax.vatdet),
              dbf::Text(tax.type), dbf::Text("")});
  }
}

void WriteAccount(dbf::Writer& act, const Account& account, int index) {
  bool party = *account.stno != '\0';
  act.Add({dbf::Text(account.code), dbf::Text(account.name), dbf::Text(account.stno),
           dbf::Text(party ? std::string("C") + account.stno : ""), dbf::Text(account.add3),
           dbf::Text(party ? "AAAPL" + std::to_string(1000 + index) + "K" : ""), dbf::Text(""),
           dbf::Text(party ? "accounts" + std::to_string(index) + "@example.in" : ""),
           dbf::Text(party ? "Dealer" : "Ledger"), dbf::Text(account.state),
           dbf::Text(account.group), dbf::Number(account.act_type), Money(account.opening),
           dbf::Text(index % 2 ? "Y" : ""), dbf::Text("")});
}

void WriteAccounts(dbf::Writer& act, int extra_parties) {
  int index = 0;
  for (const Account& account : Accounts()) WriteAccount(act, account, index++);
  static constexpr const char* kStates[] = {"Gujarat", "GUJARAT", "Maharastra", "Rajasthan"};
  for (int i = 1; i <= extra_parties; ++i) {
    std::string code = std::to_string(210000 + i);
    std::string stno = std::to_string(24000000000LL + i);
    std::string name = "Party " + std::to_string(i) + " & Sons";
    WriteAccount(act,
                 Account{code.c_str(), name.c_str(), "100010", 0, 0, stno.c_str(), "Ahmedabad",
                         kStates[i % 4]},
                 index++);
  }
}

void WriteCashParties(dbf::Writer& cashcust) {
  for (const CashParty& party : kCashParties) {
    cashcust.Add({dbf::Text(party.code), dbf::Text(party.name), dbf::Text(""), dbf::Text(""),
                  dbf::Text(party.add3), dbf::Text(""), dbf::Text(""), dbf::Text(""),
                  dbf::Text("Cash")});
  }
}

void WriteForms(dbf::Writer& formmast) {
  for (const Form& form : kForms) formmast.Add({dbf::Text(form.code), dbf::Text(form.name)});
}

// ---------------------------------------------------------------------------------------
// Bills and their ledger postings.

struct Line {
  std::string vatcode;
  Paise amount = 0;
  Paise vat = 0;
};

struct Bill {
  std::string link;
  std::string docno;
  Day date;
  std::optional<Day> stock_date;
  bool blank_as_spaces = false;  // how an empty STOCKDT is written
  std::string vtype;
  std::string party;
  char cbr = 'R';
  std::string pscode;
  std::string tax_code;
  Paise taxable = 0;
  Paise tax = 0;
  Paise other = 0;  // freight and packing, part of the bill total
  Paise further_tax = 0;
  std::string form_type;  // empty: no declaration form due
  std::vector<Line> lines;
  bool deleted = false;

  Paise Total() const { return taxable + tax + other; }
};

struct Posting {
  std::string code;
  Day date;
  std::string vtype;
  char dc = 'D';
  Paise amount = 0;
  std::string vatcode;
  std::string narration;
  bool deleted = false;
};

void WritePosting(dbf::Writer& ledger, const Posting& posting) {
  ledger.Add({dbf::Text(posting.code), dbf::Date(posting.date), dbf::Text(posting.vtype),
              dbf::Text(std::string(1, posting.dc)), Money(posting.amount),
              dbf::Text(posting.vatcode), dbf::Text(posting.narration)},
             posting.deleted);
}

void WriteSpRow(dbf::Writer& sp, const Bill& bill) {
  dbf::Cell stock_date = bill.stock_date        ? dbf::Date(*bill.stock_date)
                         : bill.blank_as_spaces ? dbf::Spaces()
                                                : dbf::Null();
  sp.Add({dbf::Text(bill.link), dbf::Text(bill.docno), dbf::Date(bill.date), stock_date,
          dbf::Text(bill.vtype), dbf::Text(bill.party), dbf::Text(std::string(1, bill.cbr)),
          dbf::Text(bill.pscode), dbf::Text(bill.tax_code), Money(bill.Total()),
          Money(bill.taxable), Money(bill.tax), Money(bill.further_tax),
          dbf::Logical(!bill.form_type.empty()), dbf::Text(bill.form_type)},
         bill.deleted);
}

void WriteItemLines(dbf::Writer& itvat, const Bill& bill) {
  for (const Line& line : bill.lines) {
    itvat.Add({dbf::Text(bill.link), dbf::Text(line.vatcode), Money(line.amount), Money(line.vat)},
              bill.deleted);
  }
}

const char* TaxAccount(std::string_view tax_code) {
  return IsCstClass(FindTax(tax_code)) ? kCstAccount : kVatAccount;
}

// Party, sales or purchase account, freight, tax by tax type and settlement by bank.
void WriteBillPostings(dbf::Writer& ledger, const Bill& bill, const Day& year_end) {
  bool party_debit = bill.vtype == "SA" || bill.vtype == "PR";
  char party_dc = party_debit ? 'D' : 'C';
  char other_dc = party_debit ? 'C' : 'D';
  std::string narration = "Bill " + bill.docno;
  auto post = [&](std::string code, char dc, Paise amount, std::string vatcode) {
    WritePosting(ledger, {std::move(code), bill.date, bill.vtype, dc, amount, std::move(vatcode),
                          narration, bill.deleted});
  };
  post(bill.party, party_dc, bill.Total(), "");
  post(bill.pscode, other_dc, bill.taxable, "");
  if (bill.other > 0) post(kFreight, other_dc, bill.other, "");
  // One tax posting per tax type of the bill, as the package posts item-wise bills.
  std::map<std::string, Paise> tax_by_code;
  for (const Line& line : bill.lines) tax_by_code[line.vatcode] += line.vat;
  for (const auto& [vatcode, vat] : tax_by_code) {
    if (vat > 0) post(TaxAccount(vatcode), other_dc, vat, vatcode);
  }
  if (bill.lines.empty() && bill.tax > 0) {
    post(TaxAccount(bill.tax_code), other_dc, bill.tax, bill.tax_code);
  }
  Day settled = AddDays(bill.date, 15);
  if (Before(year_end, settled)) settled = year_end;
  std::string vtype = party_debit ? "BR" : "BP";
  WritePosting(ledger, {bill.party, settled, vtype, other_dc, bill.Total(), "",
                        "Settled " + bill.docno, bill.deleted});
  WritePosting(ledger, {kBank, settled, vtype, party_dc, bill.Total(), "", "Settled " + bill.docno,
                        bill.deleted});
}

void WriteBill(CompanyTables& tables, const Bill& bill, const Day& year_end) {
  WriteSpRow(tables[kSp], bill);
  WriteItemLines(tables[kItvat], bill);
  WriteBillPostings(tables[kLedger], bill, year_end);
}

// Numbers bills: one LINK series per company, one DOCNO series per voucher type.
class BillNumbers {
 public:
  void Assign(Bill& bill) {
    char link[16];
    std::snprintf(link, sizeof link, "L%09d", ++links_);
    bill.link = link;
    char docno[16];
    std::snprintf(docno, sizeof docno, "%s/%05d", bill.vtype.c_str(), ++docnos_[bill.vtype]);
    bill.docno = docno;
  }

 private:
  int links_ = 0;
  std::map<std::string, int> docnos_;
};

// Fills taxable amount, tax and item lines of `bill` for its tax type.
void PriceBill(Bill& bill, Paise taxable, const std::vector<std::string>& line_codes, Rng& rng) {
  const TaxType& tax = FindTax(bill.tax_code);
  bill.lines.clear();
  if (tax.vattype == 14 || tax.vattype == 15) {
    bill.taxable = bill.tax = 0;
    for (const std::string& code : line_codes) {
      Paise amount = rng.Range(taxable / 8, taxable / 2);
      Paise vat = Percent(amount, FindTax(code).pcn);
      bill.lines.push_back({code, amount, vat});
      bill.taxable += amount;
      bill.tax += vat;
    }
    return;
  }
  bill.taxable = taxable;
  // Class-6 purchases carry no tax on the bill: the return computes it from BC_TAX.
  bill.tax = tax.vattype == 6 ? 0 : Percent(taxable, tax.pcn);
  bill.further_tax = std::string_view(tax.type) == "V" ? Percent(bill.other, 2500) : 0;
}

// ---------------------------------------------------------------------------------------
// The monthly bills of the main and the small companies.

struct Recipe {
  const char* vtype;
  const char* tax_code;
  const char* party;
  char cbr;
  const char* pscode;
  const char* form_type;
  bool end_of_month;
  bool stock_date;
};

constexpr Recipe kRecipes[] = {
    {"SA", "1", "200001", 'R', kSalesLocal, "", false, false},
    {"SA", "2", "900002", 'C', kSalesLocal, "", false, false},
    {"SA", "3", "200002", 'R', kSalesLocal, "", false, false},
    {"SA", "4", "900003", 'C', kSalesLocal, "", false, false},
    {"SA", "5", "200001", 'R', kSalesItemwise, "", false, false},
    {"SA", "6", "200003", 'R', kSalesInterstate, "1", false, true},
    {"SA", "7", "200004", 'R', kSalesInterstate, "3", false, false},
    {"SA", "8", "200007", 'R', kSalesInterstate, "", false, false},
    {"SA", "9", "200005", 'R', kSalesInterstate, "1", false, true},
    {"SA", "10", "200006", 'R', kSalesInterstate, "1", true, true},
    {"SA", "1", kMissingParty, 'C', kSalesLocal, "", false, false},
    {"SA", "6", "900004", 'C', kSalesInterstate, "1", false, false},
    {"SR", "1", "200001", 'R', kSalesLocal, "", false, false},
    {"SR", "6", "200003", 'R', kSalesInterstate, "", false, false},
    {"SR", "9", "200005", 'R', kSalesInterstate, "", false, false},
    {"PU", "21", "200008", 'R', kPurchaseLocal, "", false, false},
    {"PU", "22", "200002", 'R', kPurchaseLocal, "", false, false},
    {"PU", "23", "200008", 'R', kPurchaseLocal, "", false, false},
    {"PU", "24", "200008", 'R', kPurchaseLocal, "", false, false},
    {"PU", "25", "900005", 'C', kPurchaseUnregistered, "", false, false},
    {"PU", "26", "900005", 'C', kPurchaseUnregistered, "", false, false},
    {"PU", "27", "900005", 'C', kPurchaseUnregistered, "", false, false},
    {"PU", "28", "900005", 'C', kPurchaseUnregistered, "", false, false},
    {"PU", "29", "200002", 'R', kPurchaseLocal, "", false, false},
    {"PU", "30", "200003", 'R', kPurchaseInterstate, "1", false, true},
    {"PU", "31", "200009", 'R', kPurchaseInterstate, "2", false, false},
    {"PU", "32", "200003", 'R', kPurchaseInterstate, "1", true, true},
    {"PU", "33", "200008", 'R', kPurchaseLocal, "", false, false},
    {"PR", "21", "200008", 'R', kPurchaseLocal, "", false, false},
    {"PR", "30", "200003", 'R', kPurchaseInterstate, "", false, false},
    {"PR", "32", "200003", 'R', kPurchaseInterstate, "", false, false},
    {"SA", "3", "900001", 'C', kSalesLocal, "", false, false},
    {"PU", "24", "200002", 'R', kPurchaseLocal, "", false, false},
};

const std::vector<std::string> kSaleLineCodes = {"1", "2", "13"};
const std::vector<std::string> kPurchaseLineCodes = {"21", "22", "35"};

bool IsReturn(std::string_view vtype) { return vtype == "SR" || vtype == "PR"; }

Bill BillFromRecipe(const Recipe& recipe, int kind, int month_index, int first_year, Rng& rng) {
  Bill bill;
  bill.vtype = recipe.vtype;
  bill.tax_code = recipe.tax_code;
  bill.party = recipe.party;
  bill.cbr = recipe.cbr;
  bill.pscode = recipe.pscode;
  bill.form_type = recipe.form_type;
  Day first = MonthOfYear(first_year, month_index, 1);
  int days = DaysInMonth(first.year, first.month);
  first.day = recipe.end_of_month ? days : 1 + (kind * 7 + month_index * 3) % (days - 1);
  bill.date = first;
  if (recipe.stock_date && (recipe.end_of_month || month_index % 2 == 0)) {
    bill.stock_date = AddDays(bill.date, 2);
  }
  bill.blank_as_spaces = kind % 2 == 1;
  bill.other = rng.Range(100, 50000);
  Paise taxable = IsReturn(bill.vtype) ? rng.Range(10000, 500000) : rng.Range(100000, 15000000);
  PriceBill(bill, taxable, bill.vtype == "SA" ? kSaleLineCodes : kPurchaseLineCodes, rng);
  return bill;
}

// April only: a bill whose form is not in FORMMAST and a deleted bill with a deleted line.
void AddAprilOddities(std::vector<Bill>& bills, int first_year, Rng& rng) {
  for (Bill& bill : bills) {
    if (bill.tax_code == "9" && bill.vtype == "SA") bill.form_type = kUnknownForm;
  }
  Bill deleted = BillFromRecipe(kRecipes[4], 4, 0, first_year, rng);
  deleted.lines.push_back({"1", 90000000, 4500000});
  deleted.taxable += 90000000;
  deleted.tax += 4500000;
  deleted.date = Day{first_year, 4, 10};
  deleted.deleted = true;
  bills.push_back(deleted);
  Bill plain = BillFromRecipe(kRecipes[0], 0, 0, first_year, rng);
  PriceBill(plain, 99999900, {}, rng);
  plain.deleted = true;
  bills.push_back(plain);
}

std::vector<Bill> MonthBills(int month_index, int first_year, Rng& rng) {
  std::vector<Bill> bills;
  int kind = 0;
  for (const Recipe& recipe : kRecipes) {
    bills.push_back(BillFromRecipe(recipe, kind++, month_index, first_year, rng));
  }
  if (month_index == 0) AddAprilOddities(bills, first_year, rng);
  std::stable_sort(bills.begin(), bills.end(),
                   [](const Bill& a, const Bill& b) { return Before(a.date, b.date); });
  return bills;
}

// ---------------------------------------------------------------------------------------
// Non-bill ledger postings of one month.

// A journal of two postings: `code` on one side, `contra` on the other.
void WriteJournal(dbf::Writer& ledger, const std::string& vtype, const Day& date,
                  const std::string& code, char dc, Paise amount, const std::string& vatcode,
                  const std::string& narration, const std::string& contra, bool deleted = false) {
  WritePosting(ledger, {code, date, vtype, dc, amount, vatcode, narration, deleted});
  WritePosting(ledger,
               {contra, date, vtype, dc == 'D' ? 'C' : 'D', amount, "", narration, deleted});
}

void WriteVatJournals(dbf::Writer& ledger, const Day& first, Rng& rng) {
  Day day = AddDays(first, 11);
  WriteJournal(ledger, "JV", day, kVatAccount, 'D', rng.Range(50000, 900000), "21",
               "Input VAT adjustment", kRateDifference);
  WriteJournal(ledger, "JV", day, kVatAccount, 'C', rng.Range(20000, 400000), "1",
               "Output VAT adjustment", kRateDifference);
  WriteJournal(ledger, "JV", day, kVatAccount, 'D', rng.Range(300000, 600000), "9",
               "Class 18 tax adjustment", kRateDifference);
  WriteJournal(ledger, "JV", day, kVatAccount, 'C', rng.Range(10000, 200000), "9",
               "Class 18 tax reversal", kRateDifference);
  WriteJournal(ledger, "JV", AddDays(first, 13), kCapitalGoods, 'D', rng.Range(20000, 300000), "41",
               "Input credit on capital goods", kRateDifference);
  if (first.month % 2 == 0) {
    WriteJournal(ledger, "JV", AddDays(first, 14), kCapitalGoods, 'D', rng.Range(20000, 300000),
                 "42", "Input credit 12.5%", kRateDifference);
  }
}

void WriteVatPayments(dbf::Writer& ledger, const Day& first, int month_index, Rng& rng) {
  WriteJournal(ledger, "BP", AddDays(first, 19), kVatAccount, 'D', rng.Range(100000, 2000000), "",
               "VAT paid by challan", kBank);
  if (month_index == 0 || month_index == 5) {
    WriteJournal(ledger, "BP", AddDays(first, 24), kVatAccount, 'D', rng.Range(10000, 200000), "",
                 "VAT interest paid", kBank);
  }
}

void WriteCstJournals(dbf::Writer& ledger, const Day& first, int month_index, Rng& rng) {
  Day day = AddDays(first, 16);
  WriteJournal(ledger, "JV", day, kCstAccount, 'C', rng.Range(50000, 500000), "", "2%",
               kRateDifference);
  WriteJournal(ledger, "JV", day, kCstAccount, 'D', rng.Range(10000, 100000), "", "12.5",
               kRateDifference);
  WriteJournal(ledger, "JV", day, kCstAccount, 'D', rng.Range(10000, 100000), "", "abc",
               kRateDifference);
  WriteJournal(ledger, "JV", day, kCstAccount, 'C', rng.Range(10000, 100000), "", "",
               kRateDifference);
  WriteJournal(ledger, "BP", AddDays(first, 20), kCstAccount, 'D', rng.Range(50000, 500000), "",
               "CST paid by challan", kBank);
  if (month_index % 2 == 1) {
    WriteJournal(ledger, "CP", AddDays(first, 21), kCstAccount, 'D', rng.Range(1000, 50000), "",
                 "CST paid in cash", kCash);
  }
}

// April only: deleted postings that would change the VAT and CST figures if counted.
void WriteDeletedJournals(dbf::Writer& ledger, const Day& first) {
  WriteJournal(ledger, "JV", AddDays(first, 8), kVatAccount, 'D', 77777700, "21",
               "Cancelled adjustment", kRateDifference, true);
  WriteJournal(ledger, "JV", AddDays(first, 8), kCstAccount, 'C', 55555500, "", "2%",
               kRateDifference, true);
}

void WriteMonthJournals(dbf::Writer& ledger, int month_index, int first_year, Rng& rng) {
  Day first = MonthOfYear(first_year, month_index, 1);
  WriteVatJournals(ledger, first, rng);
  WriteVatPayments(ledger, first, month_index, rng);
  WriteCstJournals(ledger, first, month_index, rng);
  if (month_index == 0) WriteDeletedJournals(ledger, first);
}

// ---------------------------------------------------------------------------------------
// Products, batches and stock.

struct ProductInfo {
  const char* code;
  const char* name;
  const char* unit;
  long long opening;  // thousandths
  std::optional<Paise> rate;
  bool by_batch;
};

const std::vector<ProductInfo>& Products() {
  static const std::vector<ProductInfo> kProducts = {
      {"300001", "Steel Rod 10mm", "KG", 100000, 5550, false},
      {"300002", "Paint A&B/C 1 Ltr", "LTR", 40000, std::nullopt, false},
      {"300003", "Cement Bag 50 Kg", "BAG", 200000, 31025, false},
      {"300004", "Cough Syrup 100ml", "BTL", 70000, 4500, true},
      {"300005", "Paracetamol Tablet", "STRIP", 30000, 1200, true},
      {"300006", "Discontinued Item", "NOS", 10000, 500, false},
  };
  return kProducts;
}

struct BatchInfo {
  const char* product;
  const char* number;
  long long opening;
  std::optional<Paise> rate;
};

constexpr BatchInfo kBatches[] = {
    {"300004", "B001", 50000, 4250},
    {"300004", "B002", 20000, 4400},
    {"300005", "B001", 30000, 1225},
    {"300005", "B003", 0, std::nullopt},
};

struct Movement {
  std::string product;
  std::string batch;
  Day date;
  long long quantity = 0;  // thousandths
  char al = 'A';
  std::string challan;
};

// Movements before the year (one bringing product 300006 to 0) and twice in every month.
std::vector<Movement> StockMovements(int first_year, int months, Rng& rng) {
  Day before = SubtractDays(Day{first_year, 4, 1}, 9);
  std::vector<Movement> moves = {{"300001", "", before, 25000, 'A', ""},
                                 {"300004", "B001", before, 10000, 'A', ""},
                                 {"300004", "B002", before, 5000, 'L', ""},
                                 {"300006", "", before, 10000, 'L', ""},
                                 {"300003", "", before, 30000, 'A', "C0000001"}};
  int challans = 1;
  for (int m = 0; m < months; ++m) {
    Day early = MonthOfYear(first_year, m, 5);
    Day late = MonthOfYear(first_year, m, 20);
    for (const char* product : {"300001", "300002", "300003"}) {
      moves.push_back({product, "", early, rng.Range(5000, 60000), 'A', ""});
      moves.push_back({product, "", late, rng.Range(1000, 20000), 'L', ""});
    }
    moves.push_back({"300004", "B001", early, rng.Range(1000, 9000), 'A', ""});
    moves.push_back({"300004", "B001", late, rng.Range(500, 4000), 'L', ""});
    moves.push_back({"300005", "B001", early, rng.Range(1000, 9000), 'A', ""});
    moves.push_back({"300005", "B003", late, rng.Range(1000, 9000), 'A', ""});
    char challan[16];
    std::snprintf(challan, sizeof challan, "C%07d", ++challans);
    moves.push_back({"300002", "", late, rng.Range(1000, 5000), 'L', challan});
  }
  return moves;
}

void WriteStock(dbf::Writer& stock, const std::vector<Movement>& moves) {
  for (const Movement& move : moves) {
    stock.Add({dbf::Text(move.product), dbf::Text(move.batch), dbf::Date(move.date),
               dbf::Number(move.quantity / 1000.0), dbf::Text(std::string(1, move.al)),
               dbf::Text(move.challan)});
  }
}

void WriteProducts(dbf::Writer& product, const std::vector<Movement>& moves) {
  for (const ProductInfo& info : Products()) {
    long long in = 0, out = 0;
    for (const Movement& move : moves) {
      if (move.product != info.code || !move.challan.empty()) continue;
      (move.al == 'A' ? in : out) += move.quantity;
    }
    product.Add({dbf::Text(info.code), dbf::Text(info.name), dbf::Text(info.unit),
                 dbf::Number(info.opening / 1000.0), dbf::Number(in / 1000.0),
                 dbf::Number(out / 1000.0), dbf::Number((info.opening + in - out) / 1000.0),
                 info.rate ? Money(*info.rate) : dbf::Null(), dbf::Logical(info.by_batch),
                 dbf::Text("")});
  }
}

void WriteBatches(dbf::Writer& batch) {
  for (const BatchInfo& info : kBatches) {
    batch.Add({dbf::Text(info.product), dbf::Text(info.number), dbf::Number(info.opening / 1000.0),
               info.rate ? Money(*info.rate) : dbf::Spaces(), dbf::Text("")});
  }
}

// ---------------------------------------------------------------------------------------
// Companies.

struct CompanyInfo {
  int code;
  const char* name;
  int first_year;  // the financial year runs from 1/4/first_year to 31/3/first_year+1
  const char* stno;
  const char* cstno;
};

constexpr CompanyInfo kMain = {7, "Sam's Traders & Co.", 2015, "24073001234", "24573001234"};
constexpr CompanyInfo kOld = {1, "Old Traders", 2007, "24071000001", "24571000001"};
constexpr CompanyInfo kPatel = {12, "Patel & Sons", 2016, "24075005678", "24575005678"};
constexpr CompanyInfo kNextYear = {8, "Sam's Traders & Co.", 2016, "24073001234", "24573001234"};
constexpr CompanyInfo kLarge = {1234, "Large Traders", 2015, "24079009999", "24579009999"};

std::string FolderName(int code) {
  char name[16];
  std::snprintf(name, sizeof name, code <= 999 ? "%03d" : "%04d", code);
  return name;
}

Day YearEnd(const CompanyInfo& company) { return Day{company.first_year + 1, 3, 31}; }

void WriteMasters(CompanyTables& tables, int extra_parties) {
  WriteTaxTypes(tables[kStax]);
  WriteAccounts(tables[kAct], extra_parties);
  WriteCashParties(tables[kCashCust]);
  WriteForms(tables[kFormMast]);
  WriteBatches(tables[kBatch]);
}

void WriteStockTables(CompanyTables& tables, int first_year, int months, Rng& rng) {
  std::vector<Movement> moves = StockMovements(first_year, months, rng);
  WriteStock(tables[kStock], moves);
  WriteProducts(tables[kProduct], moves);
}

// The monthly bills and journals of `month_indexes` (0 = April).
void WriteMonths(CompanyTables& tables, const CompanyInfo& company,
                 const std::vector<int>& month_indexes, Rng& rng) {
  BillNumbers numbers;
  for (int m : month_indexes) {
    for (Bill& bill : MonthBills(m, company.first_year, rng)) {
      numbers.Assign(bill);
      WriteBill(tables, bill, YearEnd(company));
    }
    WriteMonthJournals(tables[kLedger], m, company.first_year, rng);
  }
}

void WriteMonthlyCompany(const fs::path& root, const CompanyInfo& company, int spelling,
                         const std::vector<int>& month_indexes) {
  fs::path folder = root / FolderName(company.code);
  fs::create_directories(folder);
  Rng rng(static_cast<std::uint64_t>(company.code) * 7919);
  CompanyTables tables(folder, spelling);
  WriteMasters(tables, 0);
  WriteMonths(tables, company, month_indexes, rng);
  WriteStockTables(tables, company.first_year, static_cast<int>(month_indexes.size()), rng);
  tables.Finish();
}

// ---------------------------------------------------------------------------------------
// The large company.

constexpr int kLargeParties = 300;
constexpr int kLargeItemLines = 8;

const std::vector<std::string> kLargeSaleTaxes = {"1", "2", "3", "6", "8", "9", "10"};
const std::vector<std::string> kLargePurchaseTaxes = {"21", "22", "23", "29", "30", "32"};

// Bill `index` of `count`: kind by index (84 % sales), month by position in the year.
Bill LargeBill(int index, int count, int first_year, Rng& rng) {
  static constexpr std::array<const char*, 4> kKinds = {"SA", "SR", "PU", "PR"};
  int slot = index % 50;
  Bill bill;
  bill.vtype = kKinds[slot < 42 ? 0 : slot == 42 ? 1 : slot < 49 ? 2 : 3];
  bool sale = bill.vtype == "SA" || bill.vtype == "SR";
  bool itemwise = index % 2 == 0 && (bill.vtype == "SA" || bill.vtype == "PU");
  const auto& taxes = sale ? kLargeSaleTaxes : kLargePurchaseTaxes;
  bill.tax_code = itemwise ? (sale ? "5" : "24") : taxes[rng.Next() % taxes.size()];
  bill.party = std::to_string(210001 + rng.Next() % kLargeParties);
  bill.pscode = sale ? (itemwise    ? kSalesItemwise
                        : index % 3 ? kSalesLocal
                                    : kSalesInterstate)
                     : kPurchaseLocal;
  int month_index = static_cast<int>(static_cast<long long>(index) * 12 / count);
  Day first = MonthOfYear(first_year, month_index, 1);
  bill.date = Day{first.year, first.month,
                  static_cast<int>(rng.Range(1, DaysInMonth(first.year, first.month)))};
  if (!itemwise && IsCstClass(FindTax(bill.tax_code)) && !IsReturn(bill.vtype)) {
    bill.form_type = "1";
    bill.stock_date = AddDays(bill.date, 1);
  }
  bill.other = rng.Range(100, 20000);
  std::vector<std::string> lines;
  for (int i = 0; i < kLargeItemLines; ++i) {
    lines.push_back((sale ? kSaleLineCodes : kPurchaseLineCodes)[i % 3]);
  }
  PriceBill(bill, rng.Range(50000, 5000000), lines, rng);
  return bill;
}

void WriteLargeCompany(const fs::path& root, int bills, const SampleOptions& options) {
  fs::path folder = root / FolderName(kLarge.code);
  fs::create_directories(folder);
  Rng rng(0x5EED1234);
  CompanyTables tables(folder, 3);
  WriteMasters(tables, kLargeParties);
  BillNumbers numbers;
  int step = std::max(1, bills / 10);
  for (int i = 0; i < bills; ++i) {
    Bill bill = LargeBill(i, bills, kLarge.first_year, rng);
    numbers.Assign(bill);
    WriteBill(tables, bill, YearEnd(kLarge));
    if (options.progress && (i + 1) % step == 0) {
      options.progress("company 1234: " + std::to_string(i + 1) + " of " + std::to_string(bills) +
                       " bills");
    }
  }
  for (int m = 0; m < 12; ++m) WriteMonthJournals(tables[kLedger], m, kLarge.first_year, rng);
  WriteStockTables(tables, kLarge.first_year, 12, rng);
  tables.Finish();
}

// ---------------------------------------------------------------------------------------
// The catalogue.

void WriteCatalogue(const fs::path& root, const std::vector<CompanyInfo>& companies) {
  dbf::Writer catalogue(root, "Company.dbf",
                        {{"CODE", 'N', 4, 0},
                         {"NAME", 'C', 40, 0},
                         {"DFR", 'D', 8, 0},
                         {"DTO", 'D', 8, 0},
                         {"STNO", 'C', 15, 0},
                         {"CSTNO", 'C', 15, 0}},
                        dbf::CodePage::kWindowsAnsi);
  for (const CompanyInfo& company : companies) {
    catalogue.Add({dbf::Number(company.code), dbf::Text(company.name),
                   dbf::Date(Day{company.first_year, 4, 1}), dbf::Date(YearEnd(company)),
                   dbf::Text(company.stno), dbf::Text(company.cstno)});
  }
  catalogue.Finish();
}

std::vector<int> AllMonths() {
  std::vector<int> months(12);
  for (int m = 0; m < 12; ++m) months[m] = m;
  return months;
}

void Report(const SampleOptions& options, const std::string& line) {
  if (options.progress) options.progress(line);
}

void WriteInstallation(const fs::path& root, const SampleOptions& options) {
  fs::create_directories(root);
  std::vector<CompanyInfo> companies = {kMain, kOld, kPatel, kNextYear};
  if (options.large_bills > 0) companies.push_back(kLarge);
  WriteCatalogue(root, companies);
  Report(options, "company 007: main sample, 2015-16");
  WriteMonthlyCompany(root, kMain, 0, AllMonths());
  Report(options, "companies 001, 012, 008: small samples");
  WriteMonthlyCompany(root, kOld, 1, {0, 6});
  WriteMonthlyCompany(root, kPatel, 2, {0, 6});
  WriteMonthlyCompany(root, kNextYear, 4, {0, 6});
  if (options.large_bills > 0) {
    Report(options, "company 1234: " + std::to_string(options.large_bills) + " bills");
    WriteLargeCompany(root, options.large_bills, options);
  }
}

}  // namespace

void WriteSampleInstallation(const std::string& folder, const SampleOptions& options) {
  try {
    WriteInstallation(fs::path(folder), options);
  } catch (const fs::filesystem_error& error) {
    throw std::runtime_error(folder + ": " + error.what());
  }
}

namespace {

constexpr char kMarkerName[] = ".vatrix-sample";
constexpr char kMarkerText[] = "Sample installation written by make_sample.\n";

}  // namespace

bool IsGeneratedSample(const std::string& folder) {
  std::error_code error;
  return fs::is_directory(folder, error) &&
         fs::is_regular_file(fs::path(folder) / kMarkerName, error);
}

void MarkGeneratedSample(const std::string& folder) {
  const fs::path path = fs::path(folder) / kMarkerName;
  std::ofstream marker(path, std::ios::binary);
  marker << kMarkerText;
  marker.close();
  if (!marker) throw std::runtime_error(path.string() + ": cannot write");
}

}  // namespace vatrix
