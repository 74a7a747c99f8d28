// The bill lists' query texts in every variant a user can choose (tax types selected or all,
// one account or all, stock date or bill date), for the sample's own selections, run on the
// sample installation. The builders' tests run the rest of the texts against sums of their own.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "hostdata/connection.h"
#include "hostdata/dbf_reader.h"
#include "hostdata/host_error.h"
#include "hostdata/text.h"
#include "hostdata/value.h"
#include "returns/list_queries.h"
#include "returns/return_forms.h"

namespace vatrix {
namespace {

// ---- The sample installation: the catalogue and the 2015-16 company (code 7) ----

std::string SampleRoot() {
  const char* root = std::getenv("VATRIX_SAMPLE");
  return root == nullptr ? "" : root;
}

std::string CompanyFolder() { return SampleRoot() + "/007"; }

// Period texts of the 2015-16 year as the period list writes them: a leading blank,
// month/day/year literals, a trailing "# ".
constexpr char kApril[] = " Between #4/1/2015# and #4/30/2015# ";
constexpr char kFirstQuarter[] = " Between #4/1/2015# and #6/30/2015# ";

// ---- Table rows read straight from the files ----

using Text = std::optional<std::string>;

// The live rows of one host table, with typed access by column name (case ignored).
class TableRows {
 public:
  TableRows(const std::string& folder, std::string_view table) : table_(table) {
    const std::optional<std::string> path = FindTableFile(folder, table);
    if (!path) throw std::runtime_error("no file for table " + table_ + " in " + folder);
    DbfReader reader(*path);
    for (const DbfField& field : reader.fields()) names_.push_back(field.name);
    std::vector<Value> row;
    while (reader.ReadRow(&row)) rows_.push_back(row);
  }

  size_t size() const { return rows_.size(); }

  // A blank character field counts as null, as the engine reads it.
  Text TextAt(size_t row, std::string_view column) const {
    const Value& value = At(row, column);
    if (value.kind() != Value::Kind::kText || value.text().empty()) return std::nullopt;
    return value.text();
  }

 private:
  const Value& At(size_t row, std::string_view column) const {
    for (size_t i = 0; i < names_.size(); ++i) {
      if (EqualsIgnoreCase(names_[i], column)) return rows_.at(row).at(i);
    }
    throw std::runtime_error("table " + table_ + " has no column " + std::string(column));
  }

  std::string table_;
  std::vector<std::string> names_;
  std::vector<std::vector<Value>> rows_;
};

// A text column compared as a WHERE clause compares it: a null satisfies no comparison.
bool Is(const Text& text, std::string_view wanted) {
  return text && EqualsIgnoreCase(*text, wanted);
}

// ---- The selections a user makes in the panel, taken from the sample's own lists ----

// A list item keeps the whole-number value of its row's code.
std::string ItemCode(const Text& code) {
  if (!code) return "";
  try {
    return std::to_string(std::stoll(*code));
  } catch (const std::exception&) {
    return *code;
  }
}

// The account codes of the list, each as " 'code' ," with the final comma dropped.
std::string AccountCodesOf(const std::vector<std::string>& codes) {
  std::string text;
  for (const std::string& code : codes) text += " '" + std::string(Trim(code)) + "' ,";
  if (!text.empty()) text.pop_back();
  return text;
}

// The tax-type condition: " Stax.Name= 'name' OR " per chosen type, the last "OR " dropped.
// An apostrophe inside a name is doubled so the name stays one literal.
std::string TaxFilterOf(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) {
    std::string quoted;
    for (char c : name) quoted += c == '\'' ? std::string("''") : std::string(1, c);
    text += " Stax.Name= '" + quoted + "' OR ";
  }
  if (text.size() >= 3) text.resize(text.size() - 3);
  return text;
}

struct Selections {
  std::vector<std::string> sales_accounts;      // group 100005, in name order
  std::vector<std::string> purchase_accounts;   // group 100006
  std::vector<std::string> sales_tax_types;     // names of "OV" tax types
  std::vector<std::string> purchase_tax_types;  // names of "IV" tax types
};

Selections ReadSelections() {
  Selections s;
  const std::string folder = CompanyFolder();
  const TableRows act(folder, "ACT");
  std::multimap<std::string, std::string> sales, purchases;  // name -> code
  for (size_t i = 0; i < act.size(); ++i) {
    const std::string name = act.TextAt(i, "NAME").value_or("");
    if (Is(act.TextAt(i, "GROUP"), "100005")) sales.emplace(name, ItemCode(act.TextAt(i, "CODE")));
    if (Is(act.TextAt(i, "GROUP"), "100006")) {
      purchases.emplace(name, ItemCode(act.TextAt(i, "CODE")));
    }
  }
  for (const auto& [name, code] : sales) s.sales_accounts.push_back(code);
  for (const auto& [name, code] : purchases) s.purchase_accounts.push_back(code);
  const TableRows stax(folder, "STAX");
  for (size_t i = 0; i < stax.size(); ++i) {
    const std::string name = stax.TextAt(i, "NAME").value_or("");
    if (Is(stax.TextAt(i, "VATDET"), "OV")) s.sales_tax_types.push_back(name);
    if (Is(stax.TextAt(i, "VATDET"), "IV")) s.purchase_tax_types.push_back(name);
  }
  return s;
}

const Selections& SampleSelections() {
  static const Selections selections = ReadSelections();
  return selections;
}

// ---- The table of every query text ----

std::string ListQueryOf(const char* code, const ListQueryInputs& inputs) {
  return FindReturnForm(code)->list->query(inputs);
}

enum class Expect {
  kRuns,    // may legitimately give no row
  kRows,    // the sample gives at least one row
  kOneRow,  // an aggregate: exactly one row, even over no bills
};

struct CatalogueQuery {
  std::string name;
  Expect expect;
  std::function<std::string()> text;  // assembled when the test runs
};

void PrintTo(const CatalogueQuery& query, std::ostream* out) { *out << query.name; }

void Add(std::vector<CatalogueQuery>* table, std::string name, Expect expect,
         std::function<std::string()> text) {
  table->push_back({std::move(name), expect, std::move(text)});
}

// The bill lists as their builders compose them, for the sample's own accounts and tax types.
void AddAnnexures(std::vector<CatalogueQuery>* t) {
  for (const char* code : {"201A", "201B", "202A"}) {
    const bool sales = code == std::string("201A");
    auto inputs = [sales](const char* period, bool one_account, bool selected) {
      const Selections& s = SampleSelections();
      std::vector<std::string> accounts = sales ? s.sales_accounts : s.purchase_accounts;
      if (one_account && !accounts.empty()) accounts.resize(1);
      return ListQueryInputs{period, AccountCodesOf(accounts),
                             TaxFilterOf(sales ? s.sales_tax_types : s.purchase_tax_types),
                             selected, false};
    };
    const std::string form = std::string("Form") + code;
    Add(t, form + " tax types selected", Expect::kRows,
        [=] { return ListQueryOf(code, inputs(kApril, false, true)); });
    Add(t, form + " all tax types", Expect::kRows,
        [=] { return ListQueryOf(code, inputs(kApril, false, false)); });
    Add(t, form + " one account all tax types", Expect::kRuns,
        [=] { return ListQueryOf(code, inputs(kApril, true, false)); });
    Add(t, form + " all tax types quarter", Expect::kRows,
        [=] { return ListQueryOf(code, inputs(kFirstQuarter, false, false)); });
  }
  Add(t, "Form202B list", Expect::kRows, [] {
    return ListQueryOf(
        "202B", {kApril, AccountCodesOf(SampleSelections().sales_accounts), "", false, false});
  });
  for (const char* code : {"3BSALES", "3BPURCHASE"}) {
    for (bool stock_date : {false, true}) {
      Add(t, std::string("Form") + code + (stock_date ? " by stock date" : " by bill date"),
          Expect::kRows, [=] {
            return ListQueryOf(code, {kApril, "", "", false, stock_date});
          });
    }
  }
}

std::vector<CatalogueQuery> EveryQuery() {
  std::vector<CatalogueQuery> table;
  AddAnnexures(&table);
  return table;
}

const Connection& CompanyConnection() {
  static const Connection connection = [] {
    Connection c;
    c.Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + SampleRoot() + "\\007" +
           ";Extended Properties=dBASE IV;User ID=;Password=");
    return c;
  }();
  return connection;
}

std::string Describe(const HostError& error) {
  return "error " + std::to_string(error.number()) + ": " + error.description() + " [" +
         error.source() + "]";
}

class QueryCatalogueTest : public testing::TestWithParam<CatalogueQuery> {
 protected:
  void SetUp() override {
    if (SampleRoot().empty()) GTEST_SKIP() << "VATRIX_SAMPLE is not set";
  }
};

TEST_P(QueryCatalogueTest, Executes) {
  const CatalogueQuery& query = GetParam();
  std::string text;
  try {
    text = query.text();
    const Connection& connection = CompanyConnection();
    const RecordSet records = connection.Execute(text);
    switch (query.expect) {
      case Expect::kRuns:
        break;
      case Expect::kRows:
        EXPECT_GE(records.record_count(), 1) << query.name << " gave no row:\n" << text;
        break;
      case Expect::kOneRow:
        EXPECT_EQ(records.record_count(), 1) << query.name << ":\n" << text;
        break;
    }
  } catch (const HostError& error) {
    ADD_FAILURE() << query.name << " failed, " << Describe(error) << "\n" << text;
  } catch (const std::exception& error) {
    ADD_FAILURE() << query.name << ": " << error.what();
  }
}

std::string TestName(const testing::TestParamInfo<CatalogueQuery>& info) {
  std::string name;
  for (char c : info.param.name) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(EveryText, QueryCatalogueTest, testing::ValuesIn(EveryQuery()), TestName);

// No two entries run the same text: a slip in a figure map would otherwise leave a text unrun
// while the table still looks complete.
TEST(QueryCatalogue, RunsEachTextOnce) {
  if (SampleRoot().empty()) GTEST_SKIP() << "VATRIX_SAMPLE is not set";
  std::map<std::string, std::string> names;  // text -> the entry that runs it
  for (const CatalogueQuery& query : EveryQuery()) {
    const auto [first, added] = names.emplace(query.text(), query.name);
    EXPECT_TRUE(added) << query.name << " repeats " << first->second;
  }
}
}  // namespace
}  // namespace vatrix
